#pragma once

// Pictures of the skin library. Paths are the game's relative Windows-style names
// ("Telvo\img\Number.png", any case), resolved through the data folders of support/DataPaths.h.
// No caller looks at the result of a load or a draw: a picture that is missing or unreadable is
// a null picture, and drawing a null picture draws nothing.

#include "platform/WinDefs.h"

#include <QImage>

#include <string>
#include <string_view>

class CDC;

// Reads a picture file by its game name (PNG, JPEG or BMP, told apart by content), as a 32-bit
// picture with alpha. Null when the name does not resolve or the file is not a picture.
QImage LoadSkinPicture(std::string_view path);

// The program's bitmap resources are files here: SetLoadInfo(id, ...) loads the file registered
// for the id. The application registers its resources at start-up.
void RegisterBitmapResource(UINT uResourceID, std::string_view path);
std::string BitmapResourcePath(UINT uResourceID);

// A PNG picture with its own transparency.
class CPngImage {
public:
    CPngImage() = default;

    bool LoadImage(std::string_view path);
    void DestroyImage() { m_image = QImage(); }
    // Takes a picture made in memory (generated pictures, tests).
    void SetImage(const QImage& image);
    bool IsNull() const { return m_image.isNull(); }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    const QImage& Image() const { return m_image; }

    // The whole picture at (x, y).
    void DrawImage(CDC* pDC, int x, int y) const;
    // The cx x cy piece at (xSrc, ySrc), unscaled.
    void DrawImage(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc) const;
    // The piece (xSrc, ySrc, cxSrc, cySrc) stretched into (x, y, cxDest, cyDest).
    void DrawImage(CDC* pDC, int x, int y, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc, int cySrc) const;

    // Callers read the size through the arrow as well (image->GetWidth()).
    const CPngImage* operator->() const { return this; }

private:
    QImage m_image;
};

// A picture with the operations of the Windows CImage the game uses, plus colour-key and
// blended drawing and deferred loading.
class CSkinImage {
public:
    CSkinImage() = default;
    ~CSkinImage();
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    // JPEG, BMP or PNG by game name.
    bool Load(std::string_view path);
    // A blank picture; 32 bits is the only depth. It counts as opaque when drawn.
    bool Create(int nWidth, int nHeight, int nBPP, DWORD dwFlags = 0);
    void Destroy();
    void SetImage(const QImage& image, bool hasAlpha);
    bool IsNull() const { return m_image.isNull(); }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

    // A context on the picture itself; every GetDC is matched by a ReleaseDC.
    CDC* GetDC();
    void ReleaseDC();

    // Copies the picture (or a piece of it) to the context unchanged.
    BOOL BitBlt(CDC* pDestDC, int xDest, int yDest, DWORD dwROP = SRCCOPY) const;
    BOOL BitBlt(CDC* pDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc, DWORD dwROP = SRCCOPY) const;
    // Draws the picture, with its transparency when it has any.
    BOOL Draw(CDC* pDestDC, int xDest, int yDest) const;
    BOOL Draw(CDC* pDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight) const;

    // The unscaled piece without the pixels of crTransparent.
    bool AlphaDrawImage(CDC* pDestDC, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, COLORREF crTransparent) const;
    // The same, mixed in with cbAlphaDepth (0 transparent .. 255 opaque).
    bool BlendDrawImage(CDC* pDestDC, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, COLORREF crTransparent,
        BYTE cbAlphaDepth) const;

    // Names the picture without loading it; CImageHandle loads it while the handle lives.
    void SetLoadInfo(UINT uResourceID, HINSTANCE hInstance, bool bShareResource = false);
    void SetLoadInfo(std::string_view path, bool bShareResource = false);
    bool HasLoadInfo() const { return !m_strLoadPath.empty(); }

private:
    friend class CImageHandle;
    QImage Opaque(const QImage& piece) const;

    QImage m_image;
    bool m_bHasAlpha = false;
    std::string m_strLoadPath;
    int m_nHandles = 0;
    bool m_bLoadedByHandle = false;
    CDC* m_pDC = nullptr;
    int m_nDCCount = 0;
};

// Keeps the picture named by SetLoadInfo loaded while it lives; the last handle to go unloads it.
class CImageHandle {
public:
    explicit CImageHandle(CSkinImage* pImage = nullptr);
    ~CImageHandle();
    CImageHandle(const CImageHandle&) = delete;
    CImageHandle& operator=(const CImageHandle&) = delete;

    bool AttachResource(CSkinImage* pImage);
    void DetachResource();
    bool IsResourceValid() const { return m_pImage && !m_pImage->IsNull(); }
    CSkinImage* operator->() const { return m_pImage; }

private:
    CSkinImage* m_pImage = nullptr;
};
