#include "platform/Wnd.h"

#include "platform/Dc.h"
#include "platform/QtConvert.h"
#include "platform/TimerHost.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

CWnd* g_pCapture = nullptr;
CWnd* g_pMainWnd = nullptr;

// Widgets whose event handler is running right now, innermost last. A window destroyed from
// inside one of them must not free the widget under Qt's feet.
std::vector<QWidget*> g_dispatching;

// The hover request is timed by the timer host under an id no window timer uses.
constexpr UINT_PTR kHoverTimerId = ~UINT_PTR(0);
constexpr UINT kDefaultHoverMs = 400;

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

UINT VirtualKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    default: break;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return static_cast<UINT>(key);
    return static_cast<UINT>(key & 0xFFFF);
}

} // namespace

// The widget behind a CWnd: turns Qt's events into the window's messages.
class CWndWidget : public QWidget {
public:
    CWndWidget(CWnd* owner, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), m_owner(owner)
    {
        setMouseTracking(true);
    }
    ~CWndWidget() override
    {
        if (m_owner)
            m_owner->WidgetGone();
    }

    CWnd* m_owner;

protected:
    bool event(QEvent* e) override
    {
        g_dispatching.push_back(this);
        const bool result = QWidget::event(e);
        g_dispatching.pop_back();
        return result;
    }

    void paintEvent(QPaintEvent* e) override
    {
        if (!m_owner)
            return;
        m_owner->RunPaintPass();
        if (!m_owner)
            return;
        QPainter painter(this);
        painter.setClipRegion(e->region());
        painter.drawImage(0, 0, m_owner->GetSurface());
    }

    void resizeEvent(QResizeEvent*) override
    {
        if (m_owner)
            m_owner->SendSizeAndMove(false);
    }
    void moveEvent(QMoveEvent*) override
    {
        if (m_owner)
            m_owner->SendSizeAndMove(false);
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        Mouse(e, e->button() == Qt::LeftButton ? WM_LBUTTONDOWN : e->button() == Qt::RightButton ? WM_RBUTTONDOWN : 0);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        Mouse(e, e->button() == Qt::LeftButton ? WM_LBUTTONUP : e->button() == Qt::RightButton ? WM_RBUTTONUP : 0);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        CWnd* target = Target();
        const bool doubles = target && target->m_bDoubleClicks;
        if (e->button() == Qt::LeftButton)
            Mouse(e, doubles ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
        else if (e->button() == Qt::RightButton)
            Mouse(e, doubles ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN);
    }
    void mouseMoveEvent(QMouseEvent* e) override { Mouse(e, WM_MOUSEMOVE); }

    void enterEvent(QEnterEvent*) override
    {
        if (m_owner)
            m_owner->m_bPointerInside = true;
    }
    void leaveEvent(QEvent*) override
    {
        if (!m_owner)
            return;
        CWnd* owner = m_owner;
        owner->m_bPointerInside = false;
        if (owner->m_dwTrack & TME_HOVER) {
            owner->m_dwTrack &= ~TME_HOVER;
            GetTimerHost().stopTimer(owner, kHoverTimerId);
        }
        if (owner->m_dwTrack & TME_LEAVE) {
            owner->m_dwTrack &= ~TME_LEAVE;
            owner->DispatchQueuedMessage(WM_MOUSELEAVE, 0, 0);
        }
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        if (!m_owner) {
            QWidget::keyPressEvent(e);
            return;
        }
        m_owner->DispatchQueuedMessage(WM_KEYDOWN, VirtualKey(e->key()), MAKELPARAM(1, 0));
    }

    void closeEvent(QCloseEvent* e) override
    {
        // Closing is the window's decision (OnClose), as with WM_CLOSE.
        e->ignore();
        if (m_owner)
            m_owner->DispatchQueuedMessage(WM_CLOSE, 0, 0);
    }

private:
    CWnd* Target() const { return g_pCapture && g_pCapture->IsWindow() ? g_pCapture : m_owner; }

    void Mouse(QMouseEvent* e, UINT message)
    {
        if (!m_owner || message == 0)
            return;
        CWnd* target = Target();
        QPoint local = e->position().toPoint();
        if (target != m_owner)
            local = target->GetSafeHwnd()->mapFromGlobal(mapToGlobal(local));
        else
            m_owner->m_bPointerInside = true;
        const LPARAM where = MAKELPARAM(local.x(), local.y());
        const UINT flags = MouseFlags(e->buttons(), e->modifiers());
        target->m_ptLastMouse = ToCPoint(local);
        if (message == WM_MOUSEMOVE) {
            const auto life = target->GetLifeToken();
            target->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            if (life.expired())
                return;
            if (target->m_dwTrack & TME_HOVER)
                target->ScheduleHover();
        }
        target->DispatchQueuedMessage(message, flags, where);
    }
};

namespace {

void DisposeWidget(CWndWidget* widget)
{
    widget->m_owner = nullptr;
    const bool busy = std::any_of(g_dispatching.begin(), g_dispatching.end(),
        [widget](QWidget* w) { return w == widget || widget->isAncestorOf(w); });
    if (busy) {
        widget->hide();
        widget->deleteLater();
    } else {
        delete widget;
    }
}

CWndWidget* AsWndWidget(QObject* object) { return dynamic_cast<CWndWidget*>(object); }

// Topmost windows stay above their siblings: after any change of order they are raised again,
// keeping their order among themselves.
void RestackTopmost(QWidget* parent)
{
    if (!parent)
        return;
    std::vector<QWidget*> topmost;
    for (QObject* child : parent->children()) {
        CWndWidget* w = AsWndWidget(child);
        if (w && w->m_owner && (w->m_owner->GetExStyle() & WS_EX_TOPMOST))
            topmost.push_back(w);
    }
    for (QWidget* w : topmost)
        w->raise();
}

} // namespace

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;
const CWnd CWnd::wndTopMost;
const CWnd CWnd::wndNoTopMost;

CWnd::CWnd() : m_life(std::make_shared<int>(0)) {}

CWnd::~CWnd()
{
    if (g_pMainWnd == this)
        g_pMainWnd = nullptr;
    if (g_pCapture == this)
        g_pCapture = nullptr;
    m_dcs.clear();
    if (m_pWidget) {
        GetTimerHost().stopTimers(this);
        CWndWidget* widget = m_pWidget;
        m_pWidget = nullptr;
        DisposeWidget(widget);
    }
}

// ---- Creation ----------------------------------------------------------------------------------

BOOL CWnd::Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID) { return CreateEx(0, dwStyle, rect, pParentWnd, nID); }

BOOL CWnd::CreateEx(DWORD dwExStyle, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    if (m_pWidget)
        return FALSE;
    if (pParentWnd && !pParentWnd->IsWindow())
        return FALSE;
    if ((dwStyle & WS_CHILD) && !pParentWnd)
        return FALSE;

    QWidget* parentWidget = nullptr;
    Qt::WindowFlags flags = Qt::Widget;
    if (pParentWnd && (dwStyle & WS_CHILD))
        parentWidget = pParentWnd->GetSafeHwnd();
    else if (pParentWnd)
        parentWidget = pParentWnd->GetSafeHwnd()->window();
    else
        flags = Qt::Window | Qt::FramelessWindowHint;

    m_pParent = pParentWnd;
    m_nID = nID;
    m_dwStyle = dwStyle & ~(WS_VISIBLE | WS_DISABLED);
    m_dwExStyle = dwExStyle;
    m_bNeedsPaint = true;
    m_bLayeredUpdated = false;
    m_sizeSent = CSize(-1, -1);
    m_posSent = CPoint(-1000000, -1000000);

    m_pWidget = new CWndWidget(this, parentWidget, flags);
    if (!parentWidget && (dwExStyle & WS_EX_LAYERED))
        m_pWidget->setAttribute(Qt::WA_TranslucentBackground);
    if (dwExStyle & WS_EX_TRANSPARENT)
        m_pWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!m_strText.empty() && !parentWidget)
        m_pWidget->setWindowTitle(QString::fromStdString(m_strText));
    // Like CreateWindow: the position is kept and a negative extent counts as zero, so callers
    // may pass a rectangle with only its top-left set.
    m_pWidget->setGeometry(rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    // Explicitly hidden, so that showing the parent later does not show it (WS_VISIBLE decides).
    m_pWidget->hide();
    if (dwStyle & WS_DISABLED)
        m_pWidget->setEnabled(false);
    RestackTopmost(parentWidget);
    OnWidgetCreated(m_pWidget);

    const auto life = GetLifeToken();
    if (WindowProc(WM_CREATE, 0, 0) == -1) {
        if (!life.expired())
            DestroyWindow();
        return FALSE;
    }
    if (life.expired() || !m_pWidget)
        return FALSE;
    SendSizeAndMove(true);
    if (m_pWidget && (dwStyle & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    return m_pWidget ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_pWidget)
        return FALSE;
    const auto life = GetLifeToken();
    WindowProc(WM_DESTROY, 0, 0);
    if (life.expired() || !m_pWidget)
        return TRUE;

    // Children and owned popups go with their parent, each told with its own WM_DESTROY.
    std::vector<std::weak_ptr<void>> lives;
    std::vector<CWnd*> children;
    auto collect = [&](QWidget* container, bool ownedOnly) {
        for (QObject* child : container->children()) {
            CWndWidget* w = AsWndWidget(child);
            if (w && w->m_owner && w->m_owner != this && (!ownedOnly || w->m_owner->m_pParent == this)) {
                children.push_back(w->m_owner);
                lives.push_back(w->m_owner->GetLifeToken());
            }
        }
    };
    collect(m_pWidget, false);
    if (!m_pWidget->isWindow())
        collect(m_pWidget->window(), true);
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (!lives[i].expired())
            children[i]->DestroyWindow();
    }
    if (life.expired() || !m_pWidget)
        return TRUE;

    GetTimerHost().stopTimers(this);
    if (g_pCapture == this)
        g_pCapture = nullptr;
    CWndWidget* widget = m_pWidget;
    m_pWidget = nullptr;
    DisposeWidget(widget);
    m_surface = QImage();
    m_presented = QImage();
    m_layerUpdate = LayerUpdate{};
    m_bHasRegion = false;
    m_region = QRegion();
    m_visiblePixels = QRegion();
    m_dwTrack = 0;
    m_bPointerInside = false;
    return TRUE;
}

void CWnd::WidgetGone()
{
    // Qt freed the widget (its parent went): the window is over, without OnDestroy.
    m_pWidget = nullptr;
    GetTimerHost().stopTimers(this);
    if (g_pCapture == this)
        g_pCapture = nullptr;
}

QWidget* CWnd::GetSafeHwnd() const { return m_pWidget; }

CWnd* CWnd::FromWidget(const QWidget* widget)
{
    const auto* w = dynamic_cast<const CWndWidget*>(widget);
    return w ? w->m_owner : nullptr;
}

// ---- Relations and styles ------------------------------------------------------------------------

CWnd* CWnd::GetTopLevelParent() const
{
    if (!m_pWidget)
        return nullptr;
    return FromWidget(m_pWidget->window());
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    if (!m_pWidget)
        return nullptr;
    auto find = [&](QWidget* container) -> CWnd* {
        for (QObject* child : container->children()) {
            CWndWidget* w = AsWndWidget(child);
            if (w && w->m_owner && w->m_owner->m_pParent == this && w->m_owner->GetDlgCtrlID() == nID)
                return w->m_owner;
        }
        return nullptr;
    };
    if (CWnd* found = find(m_pWidget))
        return found;
    return m_pWidget->isWindow() ? nullptr : find(m_pWidget->window());
}

DWORD CWnd::GetStyle() const
{
    DWORD style = m_dwStyle;
    if (m_pWidget && !m_pWidget->isHidden())
        style |= WS_VISIBLE;
    if (m_pWidget && m_pWidget->testAttribute(Qt::WA_ForceDisabled))
        style |= WS_DISABLED;
    return style;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT /*nFlags*/)
{
    if (!m_pWidget)
        return FALSE;
    const DWORD before = GetStyle();
    const DWORD after = (before & ~dwRemove) | dwAdd;
    m_dwStyle = after & ~(WS_VISIBLE | WS_DISABLED);
    if ((before ^ after) & WS_VISIBLE)
        ShowWindow((after & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
    if ((before ^ after) & WS_DISABLED)
        EnableWindow((after & WS_DISABLED) ? FALSE : TRUE);
    return before != after ? TRUE : FALSE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT /*nFlags*/)
{
    const DWORD before = m_dwExStyle;
    m_dwExStyle = (before & ~dwRemove) | dwAdd;
    if (!m_pWidget)
        return before != m_dwExStyle ? TRUE : FALSE;
    if ((before ^ m_dwExStyle) & WS_EX_TRANSPARENT)
        m_pWidget->setAttribute(Qt::WA_TransparentForMouseEvents, (m_dwExStyle & WS_EX_TRANSPARENT) != 0);
    if ((before ^ m_dwExStyle) & WS_EX_TOPMOST)
        RestackTopmost(m_pWidget->parentWidget());
    if ((before & WS_EX_LAYERED) && !(m_dwExStyle & WS_EX_LAYERED)) {
        m_bLayeredUpdated = false;
        m_dwLayerFlags = 0;
        m_presented = QImage();
        m_layerUpdate = LayerUpdate{};
        m_visiblePixels = QRegion();
        ApplyMask();
        Invalidate();
    }
    return before != m_dwExStyle ? TRUE : FALSE;
}

void CWnd::SetWindowText(std::string_view text)
{
    m_strText.assign(text);
    if (m_pWidget && m_pWidget->isWindow())
        m_pWidget->setWindowTitle(QString::fromStdString(m_strText));
    Invalidate();
}

// ---- Visibility and state -------------------------------------------------------------------------

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL wasVisible = m_pWidget->isHidden() ? FALSE : TRUE;
    if (nCmdShow == SW_HIDE) {
        m_pWidget->hide();
        return wasVisible;
    }
    if (!wasVisible)
        m_bNeedsPaint = true;
    if (m_pWidget->isWindow() && (nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED))
        m_pWidget->showMinimized();
    else if (m_pWidget->isWindow() && nCmdShow == SW_RESTORE)
        m_pWidget->showNormal();
    else
        m_pWidget->show();
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    if (!m_pWidget)
        return FALSE;
    for (const QWidget* w = m_pWidget; w; w = w->parentWidget()) {
        if (w->isHidden())
            return FALSE;
    }
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL wasDisabled = m_pWidget->testAttribute(Qt::WA_ForceDisabled) ? TRUE : FALSE;
    if ((wasDisabled != 0) == (bEnable != 0)) {
        m_pWidget->setEnabled(bEnable != 0);
        if (!bEnable && g_pCapture == this)
            g_pCapture = nullptr;
        Invalidate();
    }
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_pWidget && !m_pWidget->testAttribute(Qt::WA_ForceDisabled) ? TRUE : FALSE;
}

// ---- Geometry --------------------------------------------------------------------------------------

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (!m_pWidget)
        return;
    m_pWidget->setGeometry(x, y, std::max(0, nWidth), std::max(0, nHeight));
    SendSizeAndMove(false);
    if (bRepaint)
        Invalidate();
}

void CWnd::MoveWindow(const CRect& rect, BOOL bRepaint) { MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), bRepaint); }

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    if (!m_pWidget)
        return FALSE;
    QRect geometry = m_pWidget->geometry();
    if (!(nFlags & SWP_NOMOVE))
        geometry.moveTo(x, y);
    if (!(nFlags & SWP_NOSIZE))
        geometry.setSize(QSize(std::max(0, cx), std::max(0, cy)));
    if (!(nFlags & SWP_NOZORDER)) {
        if (pWndInsertAfter == &wndTopMost) {
            m_dwExStyle |= WS_EX_TOPMOST;
            m_pWidget->raise();
        } else if (pWndInsertAfter == &wndNoTopMost) {
            m_dwExStyle &= ~WS_EX_TOPMOST;
        } else if (pWndInsertAfter == &wndBottom) {
            m_pWidget->lower();
        } else if (pWndInsertAfter == &wndTop || !pWndInsertAfter) {
            m_pWidget->raise();
        } else if (pWndInsertAfter->m_pWidget && pWndInsertAfter->m_pWidget->parentWidget() == m_pWidget->parentWidget()) {
            m_pWidget->stackUnder(pWndInsertAfter->m_pWidget);
        }
        RestackTopmost(m_pWidget->parentWidget());
    }
    if (geometry != m_pWidget->geometry()) {
        m_pWidget->setGeometry(geometry);
        SendSizeAndMove(false);
    }
    if (nFlags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOWNA);
    else if (nFlags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CWnd::BringWindowToTop() { return SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

void CWnd::GetClientRect(CRect* lpRect) const
{
    if (!lpRect)
        return;
    *lpRect = m_pWidget ? CRect(0, 0, m_pWidget->width(), m_pWidget->height()) : CRect();
}

void CWnd::GetWindowRect(CRect* lpRect) const
{
    if (!lpRect)
        return;
    if (!m_pWidget) {
        *lpRect = CRect();
        return;
    }
    const QPoint origin = m_pWidget->isWindow() ? QPoint(0, 0) : m_pWidget->mapTo(m_pWidget->window(), QPoint(0, 0));
    *lpRect = CRect(origin.x(), origin.y(), origin.x() + m_pWidget->width(), origin.y() + m_pWidget->height());
}

void CWnd::ClientToScreen(CPoint* lpPoint) const
{
    CRect window;
    GetWindowRect(&window);
    if (lpPoint)
        lpPoint->Offset(window.left, window.top);
}

void CWnd::ClientToScreen(CRect* lpRect) const
{
    CRect window;
    GetWindowRect(&window);
    if (lpRect)
        lpRect->OffsetRect(window.left, window.top);
}

void CWnd::ScreenToClient(CPoint* lpPoint) const
{
    CRect window;
    GetWindowRect(&window);
    if (lpPoint)
        lpPoint->Offset(-window.left, -window.top);
}

void CWnd::ScreenToClient(CRect* lpRect) const
{
    CRect window;
    GetWindowRect(&window);
    if (lpRect)
        lpRect->OffsetRect(-window.left, -window.top);
}

CWnd* CWnd::ChildWindowFromPoint(const CPoint& point) const
{
    if (!m_pWidget)
        return nullptr;
    QWidget* hit = m_pWidget->childAt(ToQPoint(point));
    while (hit && hit->parentWidget() != m_pWidget)
        hit = hit->parentWidget();
    CWnd* child = hit ? FromWidget(hit) : nullptr;
    return child ? child : const_cast<CWnd*>(this);
}

void CWnd::SendSizeAndMove(bool force)
{
    if (!m_pWidget)
        return;
    const auto life = GetLifeToken();
    const CSize size(m_pWidget->width(), m_pWidget->height());
    if (force || size != m_sizeSent) {
        m_sizeSent = size;
        m_bNeedsPaint = true;
        m_pWidget->update();
        WindowProc(WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
        if (life.expired() || !m_pWidget)
            return;
    }
    const CPoint pos = ToCPoint(m_pWidget->pos());
    if (force || pos != m_posSent) {
        m_posSent = pos;
        WindowProc(WM_MOVE, 0, MAKELPARAM(pos.x, pos.y));
    }
}

// ---- Messages and timers --------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pWidget)
        return 0;
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pWidget)
        return FALSE;
    QPointer<CWndWidget> target(m_pWidget);
    GetTimerHost().post(m_pWidget, [target, message, wParam, lParam] {
        if (target && target->m_owner)
            target->m_owner->DispatchQueuedMessage(message, wParam, lParam);
    });
    return TRUE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* /*lpfnTimer*/)
{
    if (!m_pWidget || nIDEvent == kHoverTimerId)
        return 0;
    GetTimerHost().startTimer(this, nIDEvent, nElapse, [this, nIDEvent, life = GetLifeToken()] {
        if (!life.expired() && m_pWidget)
            DispatchQueuedMessage(WM_TIMER, nIDEvent, 0);
    });
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return GetTimerHost().stopTimer(this, nIDEvent) ? TRUE : FALSE; }

void CWnd::DispatchQueuedMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pWidget)
        return;
    MSG msg{this, message, wParam, lParam, {}};
    if (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK) {
        msg.pt = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        ClientToScreen(&msg.pt);
    }
    const auto life = GetLifeToken();
    for (CWnd* wnd = this; wnd; wnd = wnd->m_pParent) {
        if (wnd->PreTranslateMessage(&msg))
            return;
        if (life.expired() || !m_pWidget)
            return;
        if (wnd->m_pWidget && wnd->m_pWidget->isWindow())
            break;
    }
    WindowProc(message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/) { return FALSE; }

LRESULT CWnd::DefWindowProc(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = static_cast<UINT>(wParam);
    switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SIZE: OnSize(flags, LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam))); return 0;
    case WM_MOVE: OnMove(point.x, point.y); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_LBUTTONDOWN: OnLButtonDown(flags, point); return 0;
    case WM_LBUTTONUP: OnLButtonUp(flags, point); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, point); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, point); return 0;
    case WM_RBUTTONUP: OnRButtonUp(flags, point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(flags, point); return 0;
    case WM_MOUSEHOVER: OnMouseHover(flags, point); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<CWnd*>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
    case WM_KEYDOWN: OnKeyDown(flags, LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam))); return 0;
    case WM_CLOSE: OnClose(); return 0;
    default: return DefWindowProc(message, wParam, lParam);
    }
}

// ---- Mouse ---------------------------------------------------------------------------------------------

CWnd* CWnd::SetCapture()
{
    CWnd* previous = g_pCapture;
    if (m_pWidget)
        g_pCapture = this;
    return previous;
}

CWnd* GetCapture() { return g_pCapture; }

BOOL ReleaseCapture()
{
    g_pCapture = nullptr;
    return TRUE;
}

BOOL CWnd::TrackMouseEvent(DWORD dwFlags, UINT dwHoverTime)
{
    if (!m_pWidget)
        return FALSE;
    const DWORD requests = dwFlags & (TME_HOVER | TME_LEAVE);
    if (dwFlags & TME_CANCEL) {
        m_dwTrack &= ~requests;
        if (requests & TME_HOVER)
            GetTimerHost().stopTimer(this, kHoverTimerId);
        return TRUE;
    }
    if ((requests & TME_LEAVE) && !m_bPointerInside) {
        // Asked while the pointer is already elsewhere: the leave is due at once.
        PostMessage(WM_MOUSELEAVE);
    } else {
        m_dwTrack |= requests & TME_LEAVE;
    }
    if (requests & TME_HOVER) {
        m_dwTrack |= TME_HOVER;
        m_nHoverTime = dwHoverTime == HOVER_DEFAULT ? kDefaultHoverMs : dwHoverTime;
        ScheduleHover();
    }
    return TRUE;
}

void CWnd::ScheduleHover()
{
    // Every move restarts the wait: hovering means resting.
    GetTimerHost().startTimer(this, kHoverTimerId, m_nHoverTime, [this, life = GetLifeToken()] {
        if (life.expired())
            return;
        GetTimerHost().stopTimer(this, kHoverTimerId);
        if (!(m_dwTrack & TME_HOVER) || !m_bPointerInside || !m_pWidget)
            return;
        m_dwTrack &= ~TME_HOVER;
        DispatchQueuedMessage(WM_MOUSEHOVER, 0, MAKELPARAM(m_ptLastMouse.x, m_ptLastMouse.y));
    });
}

void CWnd::SetCursor(const QCursor& cursor)
{
    if (m_pWidget)
        m_pWidget->setCursor(cursor);
}

CWnd* AfxGetMainWnd() { return g_pMainWnd; }

void AfxSetMainWnd(CWnd* pWnd) { g_pMainWnd = pWnd; }
