#pragma once

// CWnd: a window of the game, over a QWidget. A child window is a child widget.
//
// Coordinates. Client coordinates are the window's own, (0, 0) at its top-left. Where Windows
// code speaks of screen coordinates (GetWindowRect, ClientToScreen, popup positions, layered
// window positions), this program uses *game-window coordinates*: the client coordinates of the
// top-level window the window lives in. The game window itself sits at (0, 0).
//
// Kinds of window, chosen by the style given to Create:
//   WS_CHILD                 a child widget of the parent; positions in the parent's client area.
//   WS_POPUP with a parent   an overlay inside the parent's game window (a child widget of the
//                            top-level widget), positioned in game-window coordinates. Animation
//                            windows, the fade cover and skinned dialogs are of this kind.
//                            GetParent still answers the parent given to Create.
//   no parent                a frameless top-level window: the game window.
// A window without WS_VISIBLE stays hidden until ShowWindow, whatever its parent does.
//
// Messages. Every input event, every posted message and every timer tick reaches the window as a
// message through WindowProc, whose default dispatches to the On... handlers below; subclasses
// override WindowProc for their own UM_ messages and call CWnd::WindowProc for the rest. Input and
// posted messages first pass PreTranslateMessage of the window and of each parent up to the game
// window; one that returns TRUE swallows the message. SendMessage calls WindowProc directly.
// PostMessage and SetTimer go through the current timer host (TimerHost.h), so under the virtual
// clock they are delivered only when a test advances or flushes it.
//
// Painting. Each window keeps a persistent surface (a QImage of its client size). Invalidate
// asks for a paint pass: OnPaint (by default a CPaintDC handed to OnDraw) draws into the surface,
// which is then shown. CClientDC / GetDC draw into the same surface from outside a paint pass and
// only schedule showing it, so what they draw stays until the next paint pass draws over it.
// UpdateWindow runs a pending paint pass at once, which tests use to look at the surface.
//
// Lifetime. The CWnd object owns its widget. Destroying either ends the window; a window destroyed
// while one of its widgets is handling an input event is hidden at once and freed when Qt is back
// in its event loop.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <QCursor>
#include <QImage>
#include <QRegion>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDC;
class CRgn;
class CWnd;
class CWndWidget;
class QWidget;

// A queued message as PreTranslateMessage sees it. `pt` is the mouse position in game-window
// coordinates for mouse messages.
struct MSG {
    CWnd* hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    CPoint pt;
};

// Standard cursors for CWnd::SetCursor.
inline constexpr Qt::CursorShape IDC_ARROW = Qt::ArrowCursor;
inline constexpr Qt::CursorShape IDC_HAND = Qt::PointingHandCursor;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Stand-ins for the insert-after argument of SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // ---- Creation ------------------------------------------------------------------------------

    // Creates the window (see the kinds above), then calls OnCreate; when that returns -1 the
    // window is destroyed again and the result is FALSE. Then WM_SIZE and WM_MOVE are sent.
    BOOL Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID = 0);
    // Sends WM_DESTROY (OnDestroy), stops the window's timers and removes its widget.
    BOOL DestroyWindow();

    // The widget, or null before Create / after DestroyWindow.
    QWidget* GetSafeHwnd() const;
    BOOL IsWindow() const { return GetSafeHwnd() != nullptr; }
    static CWnd* FromWidget(const QWidget* widget);

    // Becomes false when the object is destroyed; handlers that call out (a button notifying its
    // parent) check it before touching themselves again.
    std::weak_ptr<void> GetLifeToken() const { return m_life; }

    // ---- Relations and styles --------------------------------------------------------------------

    CWnd* GetParent() const { return m_pParent; }
    // The game window this window lives in (itself for a top-level window).
    CWnd* GetTopLevelParent() const;
    // The direct child window with this id, or null.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const { return static_cast<int>(m_nID); }
    void SetDlgCtrlID(int nID) { m_nID = static_cast<UINT>(nID); }
    DWORD GetStyle() const;
    DWORD GetExStyle() const { return m_dwExStyle; }
    // Only WS_VISIBLE, WS_DISABLED (through ShowWindow/EnableWindow) and the extended styles
    // WS_EX_TOPMOST, WS_EX_LAYERED and WS_EX_TRANSPARENT change anything once created.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    void SetWindowText(std::string_view text);
    std::string GetWindowText() const { return m_strText; }

    // ---- Visibility and state -----------------------------------------------------------------

    // Returns whether the window was visible before (its own WS_VISIBLE).
    BOOL ShowWindow(int nCmdShow);
    // True when this window and every parent up to the game window are shown.
    BOOL IsWindowVisible() const;
    // Returns TRUE when the window was disabled before. A disabled window gets no mouse input.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    // The window's own enabled flag (a disabled parent does not change it).
    BOOL IsWindowEnabled() const;

    // ---- Geometry -----------------------------------------------------------------------------

    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(const CRect& rect, BOOL bRepaint = TRUE);
    // x, y are parent client coordinates for a child window and game-window coordinates for a
    // popup. Flags used: SWP_NOSIZE, SWP_NOMOVE, SWP_NOZORDER, SWP_SHOWWINDOW, SWP_HIDEWINDOW;
    // SWP_NOACTIVATE, SWP_NOREDRAW and SWP_FRAMECHANGED are accepted and change nothing.
    // pWndInsertAfter: &wndTop, &wndBottom, &wndTopMost (also marks the window topmost: it stays
    // above its non-topmost siblings), &wndNoTopMost, or a sibling to go just below.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL BringWindowToTop();
    void GetClientRect(CRect* lpRect) const;
    // In game-window coordinates.
    void GetWindowRect(CRect* lpRect) const;
    // Client <-> game-window coordinates.
    void ClientToScreen(CPoint* lpPoint) const;
    void ClientToScreen(CRect* lpRect) const;
    void ScreenToClient(CPoint* lpPoint) const;
    void ScreenToClient(CRect* lpRect) const;
    // The visible, enabled-or-not direct child window at a client point, respecting regions; this
    // window when none.
    CWnd* ChildWindowFromPoint(const CPoint& point) const;

    // Whether a client point lies on the window: inside its rectangle, its region and, for a
    // layered window, on a pixel that is not fully transparent.
    BOOL PtInWindowShape(const CPoint& point) const;

    // The window only exists inside the region (client coordinates); null removes it. Clicks
    // outside reach whatever lies beneath. The window keeps its own copy of the region.
    int SetWindowRgn(const CRgn* pRgn, BOOL bRedraw);

    // ---- Painting -------------------------------------------------------------------------------

    void Invalidate(BOOL bErase = TRUE);
    // The paint pass always redraws the whole surface; the rectangle is accepted for callers.
    void InvalidateRect(const CRect* lpRect, BOOL bErase = TRUE);
    // Runs a pending paint pass now and brings GetSurface up to date.
    void UpdateWindow();
    void RedrawWindow() { Invalidate(); UpdateWindow(); }
    // A context on the window's surface, valid until ReleaseDC (or the window's end).
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    // What the window shows (for layered windows: after colour key and alpha).
    const QImage& GetSurface() const;

    // ---- Layered windows ------------------------------------------------------------------------

    // Replaces what the window shows with a piece of `pSrcDC` (at pptSrc, of *pSize, default the
    // whole source) and moves it to *pptDst in game-window coordinates (when given), sizing it to
    // the piece. ULW_COLORKEY makes pixels of crKey transparent; ULW_ALPHA applies the blend's
    // constant alpha, and the source's own alpha when its AlphaFormat has AC_SRC_ALPHA (otherwise
    // the source counts as opaque). Fully transparent pixels let clicks through. From the first
    // call on, the window gets no more paint passes: it shows the last update.
    BOOL UpdateLayeredWindow(const CPoint* pptDst, const CSize* pSize, CDC* pSrcDC, const CPoint* pptSrc, COLORREF crKey,
        const BLENDFUNCTION* pBlend, DWORD dwFlags);
    BOOL UpdateLayeredWindow(const QImage& image, const CPoint* pptDst, COLORREF crKey, const BLENDFUNCTION* pBlend, DWORD dwFlags);
    // For layered windows that paint: after each paint pass, pixels of crKey (LWA_COLORKEY)
    // become transparent and the whole window takes bAlpha (LWA_ALPHA).
    BOOL SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags);

    // ---- Messages and timers ------------------------------------------------------------------

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queued; FALSE when the window does not exist. Dropped if the window is gone by delivery.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Repeating WM_TIMER with this id every nElapse ms; an id that runs is restarted.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // ---- Mouse --------------------------------------------------------------------------------

    // While captured, the window gets all mouse input. Returns the previous capture window.
    CWnd* SetCapture();
    // Stand-in for _TrackMouseEvent: TME_LEAVE asks for one WM_MOUSELEAVE when the pointer next
    // leaves the window; TME_HOVER for one WM_MOUSEHOVER when it has rested dwHoverTime ms inside
    // (timed by the timer host). TME_CANCEL withdraws the given requests.
    BOOL TrackMouseEvent(DWORD dwFlags, UINT dwHoverTime = HOVER_DEFAULT);
    // The cursor shown while the pointer is over the window.
    void SetCursor(const QCursor& cursor);
    // Windows classes without CS_DBLCLKS see a quick second click as another button press; call
    // with false to get that instead of WM_LBUTTONDBLCLK / WM_RBUTTONDBLCLK.
    void AcceptDoubleClicks(bool accept) { m_bDoubleClicks = accept; }

    // ---- Message processing -------------------------------------------------------------------

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Runs a queued message (input or posted) the way the message loop would: the
    // PreTranslateMessage chain, then WindowProc. Input stand-ins and drivers use it.
    void DispatchQueuedMessage(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}
    virtual void OnPaint();
    virtual void OnDraw(CDC* /*pDC*/) {}
    virtual void OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) {}
    virtual void OnMove(int /*x*/, int /*y*/) {}
    virtual void OnTimer(UINT_PTR /*nIDEvent*/) {}
    // WM_COMMAND: LOWORD(wParam) is the control id, HIWORD the notification, lParam the control.
    virtual BOOL OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/) { return FALSE; }
    virtual void OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnLButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnRButtonDown(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnRButtonUp(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnMouseHover(UINT /*nFlags*/, CPoint /*point*/) {}
    virtual void OnMouseLeave() {}
    // Sent before every WM_MOUSEMOVE; return TRUE after choosing a cursor with SetCursor.
    virtual BOOL OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) { return FALSE; }
    virtual void OnKeyDown(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) {}
    virtual void OnClose() { DestroyWindow(); }

    // Called with the widget just made, before it is shown or OnCreate runs; subclasses that
    // need widget attributes (focus, translucency) set them here.
    virtual void OnWidgetCreated(QWidget* /*widget*/) {}

private:
    friend class CWndWidget;
    friend class CClientDC;
    friend BOOL ReleaseCapture();

    bool RunPaintPass();
    void ShowSurface();
    void PresentLayered();
    void ApplyMask();
    void SendSizeAndMove(bool force);
    void WidgetGone();
    void ScheduleHover();
    QImage& Surface();

    CWndWidget* m_pWidget = nullptr;
    CWnd* m_pParent = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    std::string m_strText;
    bool m_bDoubleClicks = true;

    // What the last UpdateLayeredWindow was given. The picture it shows is composed from this
    // only when it is painted or read: a fade that steps the constant alpha of one picture would
    // otherwise compose the whole window at every step, shown or not.
    struct LayerUpdate {
        QImage source;
        bool bSourceAlpha = false;
        bool bUseKey = false;
        COLORREF crKey = 0;
        BYTE cbAlpha = 255;
    };
    static bool SameVisiblePixels(const LayerUpdate& a, const LayerUpdate& b);
    static QRegion VisiblePixels(const LayerUpdate& update);
    const QImage& ComposedLayer() const;

    QImage m_surface;
    // What a layered window shows: its surface (or its last update) after colour key and alpha.
    mutable QImage m_presented;
    bool m_bNeedsPaint = true;
    bool m_bInPaint = false;
    bool m_bPresentDirty = false;
    bool m_bLayeredUpdated = false;
    LayerUpdate m_layerUpdate;
    mutable bool m_bLayerStale = false;
    COLORREF m_crLayerKey = 0;
    BYTE m_bLayerAlpha = 255;
    DWORD m_dwLayerFlags = 0;

    bool m_bHasRegion = false;
    QRegion m_region;
    QRegion m_visiblePixels;

    DWORD m_dwTrack = 0;
    UINT m_nHoverTime = 0;
    CPoint m_ptLastMouse;
    bool m_bPointerInside = false;

    CSize m_sizeSent{-1, -1};
    CPoint m_posSent{-1000000, -1000000};

    std::vector<std::unique_ptr<CDC>> m_dcs;
    std::shared_ptr<int> m_life;
};

// The window that has the mouse captured, or null; ReleaseCapture ends the capture.
CWnd* GetCapture();
BOOL ReleaseCapture();

// The application's main window (the game window). The host sets it when it creates the window.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);
