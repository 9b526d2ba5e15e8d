#include "platform/MouseInput.h"

#include "platform/Wnd.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// Qt delivers a release only to the widget its press went to. A real double click comes with a
// press Qt makes and keeps to itself; a simulated one has none, so the release that follows it
// is handed to the widget that took the double click.
QPointer<QWidget> g_doubleClicked;

} // namespace

bool SimulateMouse(CWnd* pWnd, UINT message, CPoint point, UINT nFlags)
{
    QWidget* widget = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (!widget)
        return false;
    QWidget* top = widget->window();
    QWindow* window = top->windowHandle();
    if (!window || !top->isVisible())
        return false;

    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons held;
    if (nFlags & MK_LBUTTON)
        held |= Qt::LeftButton;
    if (nFlags & MK_RBUTTON)
        held |= Qt::RightButton;
    switch (message) {
    case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; held |= Qt::LeftButton; break;
    case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; held &= ~Qt::MouseButtons(Qt::LeftButton); break;
    case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::LeftButton; held |= Qt::LeftButton; break;
    case WM_RBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::RightButton; held |= Qt::RightButton; break;
    case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; held &= ~Qt::MouseButtons(Qt::RightButton); break;
    case WM_RBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::RightButton; held |= Qt::RightButton; break;
    case WM_MOUSEMOVE: break;
    default: return false;
    }
    const QPoint inWindow = widget->mapTo(top, QPoint(point.x, point.y));
    const QPointF global = window->mapToGlobal(QPointF(inWindow));
    if (type == QEvent::MouseButtonRelease && g_doubleClicked) {
        QWidget* target = g_doubleClicked;
        g_doubleClicked = nullptr;
        QMouseEvent event(type, target->mapFrom(top, inWindow), global, button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
        return true;
    }
    if (type == QEvent::MouseButtonDblClick) {
        QWidget* hit = top->childAt(inWindow);
        g_doubleClicked = hit ? hit : top;
    } else if (type != QEvent::MouseMove) {
        g_doubleClicked = nullptr;
    }
    QMouseEvent event(type, QPointF(inWindow), global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
    return true;
}

bool SimulateClick(CWnd* pWnd, CPoint point)
{
    return SimulateMouse(pWnd, WM_MOUSEMOVE, point) && SimulateMouse(pWnd, WM_LBUTTONDOWN, point)
        && SimulateMouse(pWnd, WM_LBUTTONUP, point);
}

bool SimulateRightClick(CWnd* pWnd, CPoint point)
{
    return SimulateMouse(pWnd, WM_MOUSEMOVE, point) && SimulateMouse(pWnd, WM_RBUTTONDOWN, point)
        && SimulateMouse(pWnd, WM_RBUTTONUP, point);
}

bool SimulateControlClick(CWnd* pParent, int nID)
{
    CWnd* control = pParent ? pParent->GetDlgItem(nID) : nullptr;
    if (!control || !control->IsWindowVisible() || !control->IsWindowEnabled())
        return false;
    CRect rect;
    control->GetClientRect(&rect);
    return SimulateClick(control, CPoint(rect.Width() / 2, rect.Height() / 2));
}
