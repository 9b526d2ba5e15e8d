#include "platform/SkinImage.h"

#include "platform/Dc.h"
#include "support/DataPaths.h"

#include <QImageReader>
#include <QPainter>
#include <QString>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

namespace {

// Larger pictures are refused before they are decoded; the biggest picture of the game is the
// table background.
constexpr int kMaxPictureSide = 8192;

std::map<UINT, std::string>& Resources()
{
    static std::map<UINT, std::string> resources;
    return resources;
}

// Pictures already decoded, by file. Windows are made again and again (the trustee banner at
// every game, the windows of each table of a program) from the same files, and decoding them is
// most of the cost of making a window. The copies handed out share the pixels until one is
// changed. A file that changed on disk since (its size or time) is read again.
class PictureCache {
public:
    // The game's pictures take a few tens of megabytes decoded; more than this only comes from
    // changing data folders (tests), and starting over keeps the memory bounded.
    static constexpr qsizetype kMaxBytes = 128 * 1024 * 1024;

    std::optional<QImage> Find(const std::filesystem::path& file, std::uintmax_t size, std::filesystem::file_time_type time)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_entries.find(file);
        if (it == m_entries.end() || it->second.size != size || it->second.time != time)
            return std::nullopt;
        return it->second.image;
    }

    void Keep(const std::filesystem::path& file, std::uintmax_t size, std::filesystem::file_time_type time, const QImage& image)
    {
        const std::lock_guard lock(m_mutex);
        if (m_bytes + image.sizeInBytes() > kMaxBytes) {
            m_entries.clear();
            m_bytes = 0;
        }
        if (const auto it = m_entries.find(file); it != m_entries.end())
            m_bytes -= it->second.image.sizeInBytes();
        m_entries[file] = Entry{size, time, image};
        m_bytes += image.sizeInBytes();
    }

private:
    struct Entry {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time;
        QImage image;
    };
    std::mutex m_mutex;
    std::map<std::filesystem::path, Entry> m_entries;
    qsizetype m_bytes = 0;
};

PictureCache& Pictures()
{
    static PictureCache cache;
    return cache;
}

QImage DecodePicture(const std::filesystem::path& file)
{
    QImageReader reader(QString::fromStdString(file.string()));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide))
        return {};
    QImage image = reader.read();
    if (image.isNull() || image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
        return {};
    return image.convertToFormat(kSurfaceFormat);
}

} // namespace

QImage LoadSkinPicture(std::string_view path)
{
    if (path.empty())
        return {};
    const auto resolved = ResolveForReading(path);
    if (!resolved)
        return {};
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(*resolved, error);
    const std::filesystem::file_time_type time = error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(*resolved, error);
    if (error)
        return DecodePicture(*resolved);
    if (auto cached = Pictures().Find(*resolved, size, time))
        return *cached;
    QImage image = DecodePicture(*resolved);
    if (!image.isNull())
        Pictures().Keep(*resolved, size, time, image);
    return image;
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
    // Only the piece copied is made opaque: the small cells of the table's effects are taken
    // from a background picture of the whole table.
    const QRect inside = QRect(xSrc, ySrc, nDestWidth, nDestHeight).intersected(m_image.rect());
    if (inside.isEmpty())
        return FALSE;
    QImage piece = Opaque(m_image.copy(inside));
    CDC source(&piece);
    return pDestDC->BitBlt(xDest + inside.x() - xSrc, yDest + inside.y() - ySrc, inside.width(), inside.height(), &source, 0, 0, dwROP);
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
