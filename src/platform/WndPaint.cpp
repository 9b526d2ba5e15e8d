#include "platform/Wnd.h"

#include "platform/Dc.h"
#include "platform/QtConvert.h"
#include "platform/Region.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

// The painting half of CWnd: the surface and its paint passes, window regions and layered windows.

namespace {

// A region no pixel of the widget lies in: QWidget::setMask treats an empty region as "no mask".
QRegion NothingRegion() { return QRegion(-2, -2, 1, 1); }

} // namespace

// ---- Regions -----------------------------------------------------------------------------------------

BOOL CWnd::PtInWindowShape(const CPoint& point) const
{
    if (!m_pWidget || !GetSafeHwnd()->rect().contains(ToQPoint(point)))
        return FALSE;
    if (m_bHasRegion && !m_region.contains(ToQPoint(point)))
        return FALSE;
    const bool layered = (m_dwExStyle & WS_EX_LAYERED) && (m_bLayeredUpdated || m_dwLayerFlags != 0);
    if (layered && !m_visiblePixels.contains(ToQPoint(point)))
        return FALSE;
    return TRUE;
}

int CWnd::SetWindowRgn(const CRgn* pRgn, BOOL bRedraw)
{
    if (!m_pWidget)
        return 0;
    m_bHasRegion = pRgn != nullptr;
    m_region = pRgn ? pRgn->Region() : QRegion();
    ApplyMask();
    if (bRedraw)
        Invalidate();
    return 1;
}

void CWnd::ApplyMask()
{
    if (!m_pWidget)
        return;
    const bool layered = (m_dwExStyle & WS_EX_LAYERED) && (m_bLayeredUpdated || m_dwLayerFlags != 0);
    if (!m_bHasRegion && !layered) {
        GetSafeHwnd()->clearMask();
        return;
    }
    QRegion mask = m_bHasRegion ? m_region : QRegion(GetSafeHwnd()->rect());
    if (layered) {
        // Child controls draw into the layered window's picture too: a key-coloured backdrop
        // behind a button must not cut the button away.
        QRegion shown = m_visiblePixels;
        for (const QObject* object : GetSafeHwnd()->children()) {
            const auto* child = qobject_cast<const QWidget*>(object);
            if (child && !child->isHidden())
                shown += child->mask().isEmpty() ? QRegion(child->geometry()) : child->mask().translated(child->pos());
        }
        mask = mask.intersected(shown);
    }
    GetSafeHwnd()->setMask(mask.isEmpty() ? NothingRegion() : mask);
}

// ---- Painting ----------------------------------------------------------------------------------------

QImage& CWnd::Surface()
{
    const QSize size = m_pWidget ? GetSafeHwnd()->size() : QSize();
    if (m_surface.size() != size) {
        QImage fresh = MakeSurface(size.width(), size.height());
        if (!fresh.isNull() && !m_surface.isNull()) {
            QPainter painter(&fresh);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, m_surface);
        }
        m_surface = fresh;
        m_bNeedsPaint = true;
    }
    return m_surface;
}

const QImage& CWnd::GetSurface() const
{
    if (m_bLayeredUpdated)
        return ComposedLayer();
    return (m_dwLayerFlags != 0 && !m_presented.isNull()) ? m_presented : m_surface;
}

void CWnd::Invalidate(BOOL /*bErase*/)
{
    m_bNeedsPaint = true;
    if (m_pWidget)
        GetSafeHwnd()->update();
}

void CWnd::InvalidateRect(const CRect* /*lpRect*/, BOOL bErase) { Invalidate(bErase); }

void CWnd::UpdateWindow()
{
    if (RunPaintPass() && m_pWidget)
        GetSafeHwnd()->update();
}

bool CWnd::RunPaintPass()
{
    // Runs inside paintEvent as well, so it never asks Qt for another paint itself.
    if (!m_pWidget || m_bInPaint)
        return false;
    bool changed = false;
    if (!m_bLayeredUpdated) {
        Surface();
        if (m_bNeedsPaint) {
            m_bNeedsPaint = false;
            const auto life = GetLifeToken();
            m_bInPaint = true;
            WindowProc(WM_PAINT, 0, 0);
            if (life.expired())
                return false;
            m_bInPaint = false;
            m_bPresentDirty = true;
            changed = true;
        }
    }
    if (m_bPresentDirty && m_dwLayerFlags != 0 && !m_bLayeredUpdated && m_pWidget)
        PresentLayered();
    m_bPresentDirty = false;
    return changed;
}

void CWnd::ShowSurface()
{
    if (!m_pWidget || m_bInPaint)
        return;
    // Colour key and alpha are applied once, when the surface is next shown.
    m_bPresentDirty = true;
    GetSafeHwnd()->update();
}

void CWnd::OnPaint()
{
    CPaintDC dc(this);
    OnDraw(&dc);
}

CDC* CWnd::GetDC()
{
    if (!m_pWidget)
        return nullptr;
    m_dcs.push_back(std::make_unique<CClientDC>(this));
    return m_dcs.back().get();
}

int CWnd::ReleaseDC(CDC* pDC)
{
    auto it = std::find_if(m_dcs.begin(), m_dcs.end(), [pDC](const auto& dc) { return dc.get() == pDC; });
    if (it == m_dcs.end())
        return 0;
    m_dcs.erase(it);
    return 1;
}

// ---- Layered windows ------------------------------------------------------------------------------

namespace {

// Colour key and alpha as a layered window applies them, into a premultiplied picture.
QImage ComposeLayer(const QImage& source, bool keepSourceAlpha, bool useKey, COLORREF key, BYTE constantAlpha)
{
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgbKey = ToQRgb(key) & 0x00FFFFFF;
    const int width = out.width(), height = out.height();
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb p = line[x];
            if (!keepSourceAlpha)
                p |= 0xFF000000;
            if (useKey && (p & 0x00FFFFFF) == rgbKey)
                p = 0;
            else if (constantAlpha != 255)
                p = qRgba(qRed(p), qGreen(p), qBlue(p), qAlpha(p) * constantAlpha / 255);
            line[x] = p;
        }
    }
    return out.convertToFormat(kSurfaceFormat);
}

} // namespace

void CWnd::PresentLayered()
{
    const bool useKey = (m_dwLayerFlags & LWA_COLORKEY) != 0;
    const BYTE alpha = (m_dwLayerFlags & LWA_ALPHA) ? m_bLayerAlpha : 255;
    m_presented = ComposeLayer(m_surface, true, useKey, m_crLayerKey, alpha);
    m_visiblePixels = RegionOfVisiblePixels(m_presented);
    ApplyMask();
}

BOOL CWnd::SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags)
{
    if (!m_pWidget)
        return FALSE;
    m_dwExStyle |= WS_EX_LAYERED;
    m_crLayerKey = crKey;
    m_bLayerAlpha = bAlpha;
    m_dwLayerFlags = dwFlags & (LWA_COLORKEY | LWA_ALPHA);
    if (m_dwLayerFlags == 0)
        m_dwLayerFlags = LWA_ALPHA, m_bLayerAlpha = 255;
    if (!m_bLayeredUpdated)
        PresentLayered();
    GetSafeHwnd()->update();
    return TRUE;
}

bool CWnd::SameVisiblePixels(const LayerUpdate& a, const LayerUpdate& b)
{
    // A source without alpha of its own is opaque: any constant alpha but 0 shows all of it.
    const bool sameAlpha = a.bSourceAlpha ? a.cbAlpha == b.cbAlpha : (a.cbAlpha == 0) == (b.cbAlpha == 0);
    return a.source.cacheKey() == b.source.cacheKey() && a.bSourceAlpha == b.bSourceAlpha && a.bUseKey == b.bUseKey &&
           (!a.bUseKey || a.crKey == b.crKey) && sameAlpha;
}

QRegion CWnd::VisiblePixels(const LayerUpdate& update)
{
    if (update.bSourceAlpha)
        return RegionOfVisiblePixels(ComposeLayer(update.source, true, update.bUseKey, update.crKey, update.cbAlpha));
    // An opaque source shows every pixel but the key's, unless the constant alpha hides it all.
    if (update.cbAlpha == 0)
        return QRegion();
    return update.bUseKey ? RegionWithoutColor(update.source, update.crKey) : QRegion(update.source.rect());
}

const QImage& CWnd::ComposedLayer() const
{
    if (m_bLayerStale) {
        const LayerUpdate& update = m_layerUpdate;
        m_presented = ComposeLayer(update.source, update.bSourceAlpha, update.bUseKey, update.crKey, update.cbAlpha);
        m_bLayerStale = false;
    }
    return m_presented;
}

BOOL CWnd::UpdateLayeredWindow(const QImage& image, const CPoint* pptDst, COLORREF crKey, const BLENDFUNCTION* pBlend, DWORD dwFlags)
{
    if (!m_pWidget)
        return FALSE;
    const BLENDFUNCTION blend = pBlend ? *pBlend : BLENDFUNCTION{};
    const bool alpha = (dwFlags & ULW_ALPHA) != 0;
    const LayerUpdate update{image, alpha && (blend.AlphaFormat & AC_SRC_ALPHA), (dwFlags & ULW_COLORKEY) != 0, crKey,
                             alpha ? blend.SourceConstantAlpha : BYTE{255}};
    const bool sameShape = m_bLayeredUpdated && SameVisiblePixels(m_layerUpdate, update);
    m_layerUpdate = update;
    m_bLayerStale = true;
    m_dwExStyle |= WS_EX_LAYERED;
    m_bLayeredUpdated = true;
    m_bNeedsPaint = false;

    QRect geometry = GetSafeHwnd()->geometry();
    if (pptDst) {
        QPoint pos = ToQPoint(*pptDst);
        if (QWidget* parent = GetSafeHwnd()->parentWidget(); parent && !parent->isWindow())
            pos -= parent->mapTo(parent->window(), QPoint(0, 0));
        geometry.moveTo(pos);
    }
    geometry.setSize(image.size());
    if (geometry != GetSafeHwnd()->geometry()) {
        GetSafeHwnd()->setGeometry(geometry);
        SendSizeAndMove(false);
        if (!m_pWidget)
            return FALSE;
        m_bNeedsPaint = false;
    }
    if (!sameShape)
        m_visiblePixels = VisiblePixels(update);
    ApplyMask();
    GetSafeHwnd()->update();
    return TRUE;
}

BOOL CWnd::UpdateLayeredWindow(const CPoint* pptDst, const CSize* pSize, CDC* pSrcDC, const CPoint* pptSrc, COLORREF crKey,
    const BLENDFUNCTION* pBlend, DWORD dwFlags)
{
    if (!pSrcDC || !pSrcDC->GetImage())
        return FALSE;
    const QImage& source = *pSrcDC->GetImage();
    const QPoint from = pptSrc ? ToQPoint(*pptSrc) : QPoint(0, 0);
    const QSize size = pSize ? ToQSize(*pSize) : source.size();
    if (size.isEmpty())
        return FALSE;
    // The whole source is passed on as it is (shared, not copied), so that showing one picture
    // again is known for the same picture.
    const QRect piece(from, size);
    return UpdateLayeredWindow(piece == source.rect() ? source : source.copy(piece), pptDst, crKey, pBlend, dwFlags);
}

