#pragma once

// Mouse input as the desktop would give it, for tests and the scripted driver. The event enters
// the game window through Qt at a point, so the window under the point receives it: hidden and
// disabled windows are passed over, window regions and transparent pixels of layered windows
// let it through to what lies beneath, and a window that captured the mouse gets it wherever
// it happens. The game window must have been shown (offscreen is fine).

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

class CWnd;

// `message` is one of WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
// WM_RBUTTONUP, WM_RBUTTONDBLCLK or WM_MOUSEMOVE; `point` is in pWnd's client coordinates;
// nFlags (MK_LBUTTON, MK_RBUTTON) are the buttons held during a move. False when the event
// could not be sent (no window, or the game window not shown).
bool SimulateMouse(CWnd* pWnd, UINT message, CPoint point, UINT nFlags = 0);
// A move to the point, a left press and a left release there.
bool SimulateClick(CWnd* pWnd, CPoint point);
// The same with the right button.
bool SimulateRightClick(CWnd* pWnd, CPoint point);
// A click in the middle of control nID of the window, as a user would make it. False, and nothing
// happens, when the control is missing, hidden or disabled.
bool SimulateControlClick(CWnd* pParent, int nID);
