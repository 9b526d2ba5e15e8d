#pragma once

// Window regions (card shapes, region buttons) over QRegion. A window given a region through
// CWnd::SetWindowRgn only exists inside it: clicks outside reach the window beneath.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <QImage>
#include <QRegion>

class CRgn {
public:
    CRgn() = default;

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(const CRect& r) { return CreateRectRgn(r.left, r.top, r.right, r.bottom); }
    // A rectangle with corners rounded by an ellipse of w x h.
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
    // dest = a <mode> b; returns NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    BOOL PtInRegion(int x, int y) const { return m_region.contains(QPoint(x, y)); }
    BOOL PtInRegion(const CPoint& p) const { return PtInRegion(p.x, p.y); }
    void OffsetRgn(int dx, int dy) { m_region.translate(dx, dy); }
    CRect GetRgnBox() const;
    BOOL DeleteObject();
    bool IsEmpty() const { return m_region.isEmpty(); }

    const QRegion& Region() const { return m_region; }
    void SetRegion(const QRegion& region) { m_region = region; }

private:
    QRegion m_region;
};

// The area of `image` whose pixels are not `key` (compared as opaque RGB), in image coordinates.
QRegion RegionWithoutColor(const QImage& image, COLORREF key);
// The area of `image` whose pixels are not fully transparent.
QRegion RegionOfVisiblePixels(const QImage& image);
