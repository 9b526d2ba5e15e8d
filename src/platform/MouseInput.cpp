#include "platform/MouseInput.h"

#include "platform/Wnd.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

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
    const QPointF inWindow = widget->mapTo(top, QPoint(point.x, point.y));
    QMouseEvent event(type, inWindow, window->mapToGlobal(inWindow), button, held, Qt::NoModifier);
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
