#pragma once

// Device contexts over QImage. A CDC draws on one picture: a window's surface (CPaintDC,
// CClientDC), a bitmap selected into a memory context (CreateCompatibleDC + CBitmap), or the
// picture of a CSkinImage. The context keeps the Windows drawing state (text colour, background
// mode, selected font, pen and brush) and opens a QPainter only for the length of one call, so
// several contexts may target one picture at a time.
//
// Colours are COLORREF (0x00BBGGRR). Pictures are 32-bit with alpha; a fresh bitmap is all zero
// (black, fully transparent), which shows black when copied into an opaque picture and lets the
// table show through when used for a layered window. Copies (BitBlt, StretchBlt) replace the
// destination pixels including their alpha; every other drawing composes over them.
//
// Text is UTF-8. The defaults are those of Windows: black text on an opaque white background;
// callers that want transparent text call SetBkMode(TRANSPARENT).

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <QFont>
#include <QImage>

#include <functional>
#include <string_view>

class CDC;

class CBitmap {
public:
    CBitmap() = default;
    // A zeroed 32-bit picture of cx x cy; the context argument is accepted for callers.
    BOOL CreateCompatibleBitmap(CDC* pDC, int cx, int cy);
    BOOL CreateBitmap(int cx, int cy);
    BOOL DeleteObject();
    CSize GetSize() const { return CSize(m_image.width(), m_image.height()); }
    bool IsNull() const { return m_image.isNull(); }
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

private:
    QImage m_image;
};

// A font by family, pixel height and weight. An empty CFont stands for the default font (the
// family "宋体", 12 pixels), so selecting one that was never created is harmless.
class CFont {
public:
    CFont() = default;
    // The Windows argument list: a negative height is the character height in pixels, a positive
    // one the cell height (characters get a little smaller); 0 means 12. Width, angles,
    // precisions, quality, pitch and character set are accepted and ignored.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic, BYTE bUnderline,
        BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
        const char* lpszFacename);
    // The short form most callers want.
    BOOL CreateFont(int nHeight, int nWeight, const char* lpszFacename, BOOL bUnderline = FALSE);
    // A size in tenths of a point at 96 dots per inch (140 = 14 points = about 19 pixels).
    BOOL CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* pDC = nullptr);
    BOOL DeleteObject();
    bool IsCreated() const { return m_bCreated; }
    QFont Font() const;

private:
    QFont m_font;
    bool m_bCreated = false;
};

class CPen {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_crColor = 0;
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor);
    bool m_bNull = false;
    COLORREF m_crColor = RGB(255, 255, 255);
};

// Stock objects for SelectStockObject.
inline constexpr int NULL_BRUSH = 5;
inline constexpr int NULL_PEN = 8;

class CDC {
public:
    CDC() = default;
    // A context drawing on `target` (not owned; may be null).
    explicit CDC(QImage* target) : m_pImage(target) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // ---- Memory contexts ------------------------------------------------------------------------

    // A context with no picture until a bitmap is selected.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    // Selecting returns what was selected before (null: the default), for restoring.
    CBitmap* SelectObject(CBitmap* pBitmap);
    CFont* SelectObject(CFont* pFont);
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    void SelectStockObject(int nIndex);

    // The picture drawn on, or null. GetSafeHdc is non-null exactly when there is one.
    QImage* GetImage() const { return m_pImage; }
    const void* GetSafeHdc() const { return m_pImage; }
    void SetImage(QImage* target) { m_pImage = target; }
    // Called after every drawing call (window contexts use it to show the surface).
    void SetChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

    // ---- Attributes -----------------------------------------------------------------------------

    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF GetBkColor() const { return m_crBk; }
    int SetBkMode(int nBkMode);
    int GetBkMode() const { return m_nBkMode; }
    QFont GetCurrentQFont() const;

    // ---- Copies between contexts ------------------------------------------------------------------

    // Copies a piece unchanged (pixels and alpha). Only SRCCOPY is known.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop = SRCCOPY);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
        DWORD dwRop = SRCCOPY);
    // Copies a piece (scaled when the sizes differ) leaving out the pixels of crTransparent.
    BOOL TransparentBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
        COLORREF crTransparent);
    // Mixes a piece in with the blend's constant alpha; with AC_SRC_ALPHA also by the source's own alpha.
    BOOL AlphaBlend(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
        BLENDFUNCTION blend);

    // ---- Pictures -----------------------------------------------------------------------------

    // Draws the piece (xSrc, ySrc, cxSrc, cySrc) of `image` into (x, y, cx, cy) with its own
    // alpha, times `alpha`; smooth when scaled. Parts of the piece outside the image draw nothing.
    void DrawImage(const QImage& image, int x, int y, int cx, int cy, int xSrc, int ySrc, int cxSrc, int cySrc, BYTE alpha = 255);
    // Draws the unscaled piece without the pixels of `key`, times `alpha`.
    void DrawImageKeyed(const QImage& image, int x, int y, int cx, int cy, int xSrc, int ySrc, COLORREF key, BYTE alpha = 255);

    // ---- Shapes -------------------------------------------------------------------------------

    void FillSolidRect(const CRect& rect, COLORREF crColor);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor);
    // Fills (x, y, cx, cy) with a colour at a constant alpha (the card veil, fades).
    void FillAlphaRect(const CRect& rect, COLORREF crColor, BYTE alpha);
    // Outline with the selected pen, inside filled with the selected brush; right and bottom exclusive.
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(const CRect& rect) { return Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, COLORREF crColor);

    // ---- Text ---------------------------------------------------------------------------------

    // Formats: DT_LEFT/DT_CENTER/DT_RIGHT, DT_TOP/DT_VCENTER/DT_BOTTOM, DT_SINGLELINE,
    // DT_WORDBREAK, DT_END_ELLIPSIS, DT_NOCLIP (otherwise clipped to the rectangle) and
    // DT_CALCRECT (measure only: right and bottom of *lpRect are set). Returns the text height.
    // nCount is in bytes; -1 means up to the terminating zero.
    int DrawText(const char* lpszString, int nCount, CRect* lpRect, UINT nFormat);
    int DrawText(std::string_view text, CRect* lpRect, UINT nFormat);
    // Text whose top-left is (x, y).
    BOOL TextOut(int x, int y, const char* lpszString, int nCount);
    BOOL TextOut(int x, int y, std::string_view text);
    CSize GetTextExtent(std::string_view text) const;

private:
    template <typename Draw>
    bool Paint(Draw draw);
    QImage SourcePiece(CDC* pSrcDC, int xSrc, int ySrc, int w, int h) const;

    QImage* m_pImage = nullptr;
    std::function<void()> m_onChange;
    CBitmap* m_pBitmap = nullptr;
    CFont* m_pFont = nullptr;
    CPen* m_pPen = nullptr;
    CBrush* m_pBrush = nullptr;
    bool m_bNullPen = false;
    bool m_bNullBrush = false;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBk = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
    CPoint m_ptCurrent;
};

class CWnd;

// Draws on a window's surface from anywhere and shows the result at the next chance; the
// window's next paint pass may draw over it.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
};
using CWindowDC = CClientDC;

// The context of a paint pass (OnPaint): the window's surface.
class CPaintDC : public CClientDC {
public:
    explicit CPaintDC(CWnd* pWnd) : CClientDC(pWnd) {}
};

// The zeroed 32-bit picture format used for every surface and bitmap.
inline constexpr QImage::Format kSurfaceFormat = QImage::Format_ARGB32_Premultiplied;
QImage MakeSurface(int cx, int cy);

// Maps the font families the game names ("黑体", "宋体", "Arial") to fonts that are installed.
// The application calls it once at start-up, after creating the QApplication.
void InstallFontSubstitutions();
