#include "platform/SkinImage.h"

#include "platform/Dc.h"
#include "support/DataPaths.h"

#include <QImageReader>
#include <QPainter>
#include <QString>

#include <map>

namespace {

// Larger pictures are refused before they are decoded; the biggest picture of the game is the
// table background.
constexpr int kMaxPictureSide = 8192;

std::map<UINT, std::string>& Resources()
{
    static std::map<UINT, std::string> resources;
    return resources;
}

} // namespace

QImage LoadSkinPicture(std::string_view path)
{
    if (path.empty())
        return {};
    const auto resolved = ResolveForReading(path);
    if (!resolved)
        return {};
    QImageReader reader(QString::fromStdString(resolved->string()));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide))
        return {};
    QImage image = reader.read();
    if (image.isNull() || image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
        return {};
    return image.convertToFormat(kSurfaceFormat);
}

void RegisterBitmapResource(UINT uResourceID, std::string_view path) { Resources()[uResourceID] = std::string(path); }

std::string BitmapResourcePath(UINT uResourceID)
{
    const auto it = Resources().find(uResourceID);
    return it == Resources().end() ? std::string() : it->second;
}

// ---- CPngImage ---------------------------------------------------------------------------------

bool CPngImage::LoadImage(std::string_view path)
{
    m_image = LoadSkinPicture(path);
    return !m_image.isNull();
}

void CPngImage::SetImage(const QImage& image) { m_image = image.isNull() ? QImage() : image.convertToFormat(kSurfaceFormat); }

void CPngImage::DrawImage(CDC* pDC, int x, int y) const
{
    DrawImage(pDC, x, y, GetWidth(), GetHeight(), 0, 0, GetWidth(), GetHeight());
}

void CPngImage::DrawImage(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc) const
{
    DrawImage(pDC, x, y, cx, cy, xSrc, ySrc, cx, cy);
}

void CPngImage::DrawImage(CDC* pDC, int x, int y, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc, int cySrc) const
{
    if (pDC && !m_image.isNull())
        pDC->DrawImage(m_image, x, y, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc);
}

// ---- CSkinImage --------------------------------------------------------------------------------

CSkinImage::~CSkinImage() { delete m_pDC; }

bool CSkinImage::Load(std::string_view path)
{
    Destroy();
    m_image = LoadSkinPicture(path);
    m_bHasAlpha = m_image.hasAlphaChannel() && !m_image.isNull();
    // A picture without real transparency (JPEG, BMP) is drawn as an opaque copy.
    if (m_bHasAlpha) {
        bool anyTransparent = false;
        for (int y = 0; y < m_image.height() && !anyTransparent; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
            for (int x = 0; x < m_image.width(); ++x) {
                if (qAlpha(line[x]) != 255) {
                    anyTransparent = true;
                    break;
                }
            }
        }
        m_bHasAlpha = anyTransparent;
    }
    return !m_image.isNull();
}

bool CSkinImage::Create(int nWidth, int nHeight, int /*nBPP*/, DWORD /*dwFlags*/)
{
    Destroy();
    m_image = MakeSurface(nWidth, nHeight);
    m_bHasAlpha = false;
    return !m_image.isNull();
}

void CSkinImage::Destroy()
{
    m_image = QImage();
    m_bHasAlpha = false;
}

void CSkinImage::SetImage(const QImage& image, bool hasAlpha)
{
    m_image = image.isNull() ? QImage() : image.convertToFormat(kSurfaceFormat);
    m_bHasAlpha = hasAlpha;
}

CDC* CSkinImage::GetDC()
{
    if (!m_pDC)
        m_pDC = new CDC(&m_image);
    ++m_nDCCount;
    return m_pDC;
}

void CSkinImage::ReleaseDC()
{
    if (m_nDCCount > 0 && --m_nDCCount == 0) {
        delete m_pDC;
        m_pDC = nullptr;
    }
}

QImage CSkinImage::Opaque(const QImage& piece) const
{
    return m_bHasAlpha ? piece : piece.convertToFormat(QImage::Format_RGB32).convertToFormat(kSurfaceFormat);
}

BOOL CSkinImage::BitBlt(CDC* pDestDC, int xDest, int yDest, DWORD dwROP) const
{
    return BitBlt(pDestDC, xDest, yDest, GetWidth(), GetHeight(), 0, 0, dwROP);
}

BOOL CSkinImage::BitBlt(CDC* pDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc, DWORD dwROP) const
{
    if (!pDestDC || m_image.isNull())
        return FALSE;
    QImage piece = Opaque(m_image);
    CDC source(&piece);
    return pDestDC->BitBlt(xDest, yDest, nDestWidth, nDestHeight, &source, xSrc, ySrc, dwROP);
}

BOOL CSkinImage::Draw(CDC* pDestDC, int xDest, int yDest) const { return Draw(pDestDC, xDest, yDest, GetWidth(), GetHeight()); }

BOOL CSkinImage::Draw(CDC* pDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight) const
{
    if (!pDestDC || m_image.isNull())
        return FALSE;
    pDestDC->DrawImage(Opaque(m_image), xDest, yDest, nDestWidth, nDestHeight, 0, 0, GetWidth(), GetHeight());
    return TRUE;
}

bool CSkinImage::AlphaDrawImage(CDC* pDestDC, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, COLORREF crTransparent) const
{
    return BlendDrawImage(pDestDC, xDest, yDest, cxDest, cyDest, xSrc, ySrc, crTransparent, 255);
}

bool CSkinImage::BlendDrawImage(CDC* pDestDC, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, COLORREF crTransparent,
    BYTE cbAlphaDepth) const
{
    if (!pDestDC || m_image.isNull())
        return false;
    pDestDC->DrawImageKeyed(m_image, xDest, yDest, cxDest, cyDest, xSrc, ySrc, crTransparent, cbAlphaDepth);
    return true;
}

void CSkinImage::SetLoadInfo(UINT uResourceID, HINSTANCE /*hInstance*/, bool /*bShareResource*/)
{
    m_strLoadPath = BitmapResourcePath(uResourceID);
}

void CSkinImage::SetLoadInfo(std::string_view path, bool /*bShareResource*/) { m_strLoadPath.assign(path); }

// ---- CImageHandle ------------------------------------------------------------------------------

CImageHandle::CImageHandle(CSkinImage* pImage) { AttachResource(pImage); }

CImageHandle::~CImageHandle() { DetachResource(); }

bool CImageHandle::AttachResource(CSkinImage* pImage)
{
    DetachResource();
    if (!pImage)
        return false;
    m_pImage = pImage;
    if (m_pImage->m_nHandles++ == 0 && m_pImage->IsNull() && m_pImage->HasLoadInfo()) {
        m_pImage->Load(m_pImage->m_strLoadPath);
        m_pImage->m_bLoadedByHandle = true;
    }
    return IsResourceValid();
}

void CImageHandle::DetachResource()
{
    if (!m_pImage)
        return;
    if (--m_pImage->m_nHandles == 0 && m_pImage->m_bLoadedByHandle) {
        m_pImage->Destroy();
        m_pImage->m_bLoadedByHandle = false;
    }
    m_pImage = nullptr;
}
