#include "platform/Region.h"

#include "platform/QtConvert.h"

#include <QPainterPath>
#include <QPolygon>

#include <vector>

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    m_region = QRegion(ToQRect(CRect(x1, y1, x2, y2)).normalized());
    return TRUE;
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x1, y1, x2 - x1, y2 - y1), w / 2.0, h / 2.0);
    m_region = QRegion(path.toFillPolygon().toPolygon());
    return TRUE;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode)
{
    const QRegion ra = a ? a->m_region : QRegion();
    const QRegion rb = b ? b->m_region : QRegion();
    switch (mode) {
    case RGN_AND: m_region = ra.intersected(rb); break;
    case RGN_OR: m_region = ra.united(rb); break;
    case RGN_XOR: m_region = ra.xored(rb); break;
    case RGN_DIFF: m_region = ra.subtracted(rb); break;
    case RGN_COPY: m_region = ra; break;
    default: return RGN_ERROR;
    }
    if (m_region.isEmpty())
        return NULLREGION;
    return m_region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

CRect CRgn::GetRgnBox() const { return ToCRect(m_region.boundingRect()); }

BOOL CRgn::DeleteObject()
{
    m_region = QRegion();
    return TRUE;
}

namespace {

// One rectangle per run of kept pixels on each row. Rows are separate bands of height one, which
// is the banded form QRegion::setRects expects, so the region is built in one pass.
template <typename Keep>
QRegion RegionOfRuns(const QImage& source, Keep keep)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRect> rects;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && !keep(line[x]))
                ++x;
            const int start = x;
            while (x < image.width() && keep(line[x]))
                ++x;
            if (x > start)
                rects.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace

QRegion RegionWithoutColor(const QImage& image, COLORREF key)
{
    const QRgb rgbKey = ToQRgb(key) & 0x00FFFFFF;
    return RegionOfRuns(image, [rgbKey](QRgb p) { return (p & 0x00FFFFFF) != rgbKey; });
}

QRegion RegionOfVisiblePixels(const QImage& image)
{
    return RegionOfRuns(image, [](QRgb p) { return qAlpha(p) != 0; });
}
