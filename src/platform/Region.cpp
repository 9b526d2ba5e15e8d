#include "platform/Region.h"

#include "platform/QtConvert.h"

#include <QPainterPath>
#include <QPolygon>

#include <cstring>
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

// One rectangle per run of kept pixels on each row, in the banded form QRegion::setRects
// expects, so the region is built in one pass. A row whose runs are those of the row above
// extends that band instead of starting one: pictures are mostly rows alike, and a region of few
// rectangles is cheap for every later use (masks, hit tests).
template <typename Keep>
QRegion RegionOfRuns(const QImage& source, Keep keepStraight)
{
    // The surfaces are premultiplied: their pixels are read as they are rather than converting
    // the whole picture first, and only the partly transparent ones need unpremultiplying.
    const bool premultiplied = source.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage image = premultiplied ? source : source.convertToFormat(QImage::Format_ARGB32);
    const auto keep = [&](QRgb p) { return keepStraight(premultiplied && qAlpha(p) != 255 ? qUnpremultiply(p) : p); };
    const int width = image.width(), height = image.height();
    std::vector<QRect> rects;
    std::size_t band = 0;  // the first rectangle of the last band
    std::vector<std::pair<int, int>> runs, lastRuns;
    const auto extendBand = [&] {
        for (std::size_t i = band; i < rects.size(); ++i)
            rects[i].setHeight(rects[i].height() + 1);
    };
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        // A row of the same pixels as the row above has its runs, found without looking at them.
        if (y > 0 && std::memcmp(line, image.constScanLine(y - 1), sizeof(QRgb) * static_cast<std::size_t>(width)) == 0) {
            if (!lastRuns.empty())
                extendBand();
            continue;
        }
        runs.clear();
        int x = 0;
        while (x < width) {
            while (x < width && !keep(line[x]))
                ++x;
            const int start = x;
            while (x < width && keep(line[x]))
                ++x;
            if (x > start)
                runs.emplace_back(start, x - start);
        }
        if (!runs.empty() && runs == lastRuns && rects.back().bottom() == y - 1) {
            extendBand();
            continue;
        }
        band = rects.size();
        for (const auto& [start, length] : runs)
            rects.emplace_back(start, y, length, 1);
        std::swap(runs, lastRuns);
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
