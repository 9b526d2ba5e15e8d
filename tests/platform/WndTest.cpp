#include "platform/Dc.h"
#include "platform/MouseInput.h"
#include "platform/Region.h"
#include "platform/TimerHost.h"
#include "platform/Wnd.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A window that writes down what reaches it.
class Probe : public CWnd {
public:
    Probe(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}

    bool m_swallowPosted = false;
    int m_paints = 0;
    COLORREF m_fill = RGB(10, 20, 30);
    int m_createResult = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER) {
            Add("user" + std::to_string(message - WM_USER) + ":" + std::to_string(wParam) + "," + std::to_string(lParam));
            return static_cast<LRESULT>(wParam) + lParam;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (m_swallowPosted && pMsg->message >= WM_USER) {
            Add("swallowed" + std::to_string(pMsg->message - WM_USER));
            return TRUE;
        }
        return FALSE;
    }

protected:
    int OnCreate() override { return m_createResult; }
    void OnTimer(UINT_PTR id) override { Add("timer" + std::to_string(id)); }
    void OnLButtonDown(UINT, CPoint p) override { Add("down" + Where(p)); }
    void OnLButtonUp(UINT, CPoint p) override { Add("up" + Where(p)); }
    void OnLButtonDblClk(UINT, CPoint p) override { Add("dblclk" + Where(p)); }
    void OnRButtonUp(UINT, CPoint p) override { Add("rup" + Where(p)); }
    void OnMouseLeave() override { Add("leave"); }
    void OnDraw(CDC* pDC) override
    {
        ++m_paints;
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(rect, m_fill);
    }

private:
    void Add(const std::string& what) { m_log.push_back(m_name + " " + what); }
    static std::string Where(CPoint p)
    {
        // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about a literal
        // followed by operator+ of a temporary string.
        std::string where = "(";
        where += std::to_string(p.x);
        where += ',';
        where += std::to_string(p.y);
        where += ')';
        return where;
    }

    Log& m_log;
    std::string m_name;
};

class WndTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_game.Create(WS_VISIBLE, CRect(0, 0, 400, 300), nullptr));
    }

    // Only the messages of one window, for tests that look at one.
    Log Of(const std::string& name) const
    {
        Log out;
        for (const auto& line : m_log) {
            if (line.rfind(name + " ", 0) == 0)
                out.push_back(line.substr(name.size() + 1));
        }
        return out;
    }

    VirtualTimerHost m_host;
    ScopedTimerHost m_scope{m_host};
    Log m_log;
    Probe m_game{m_log, "game"};
};

TEST_F(WndTest, SendMessageReturnsTheHandlersResultWhilePostMessageWaitsForTheQueue)
{
    EXPECT_EQ(m_game.SendMessage(WM_USER + 1, 2, 3), 5);
    EXPECT_EQ(m_log, (Log{"game user1:2,3"}));

    m_log.clear();
    EXPECT_TRUE(m_game.PostMessage(WM_USER + 2, 1, 0));
    EXPECT_TRUE(m_game.PostMessage(WM_USER + 3, 2, 0));
    EXPECT_TRUE(m_log.empty());
    m_host.flushPosted();
    EXPECT_EQ(m_log, (Log{"game user2:1,0", "game user3:2,0"}));
}

TEST_F(WndTest, PostedMessagesPassThePreTranslateChainSentOnesDoNot)
{
    Probe child(m_log, "child");
    ASSERT_TRUE(child.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 50, 50), &m_game, 7));
    m_game.m_swallowPosted = true;
    child.PostMessage(WM_USER + 4);
    m_host.flushPosted();
    child.SendMessage(WM_USER + 5);
    EXPECT_EQ(m_log, (Log{"game swallowed4", "child user5:0,0"}));
}

TEST_F(WndTest, MessagesPostedToAWindowThatIsGoneAreDropped)
{
    auto child = std::make_unique<Probe>(m_log, "child");
    ASSERT_TRUE(child->Create(WS_CHILD, CRect(0, 0, 10, 10), &m_game, 1));
    child->PostMessage(WM_USER + 1);
    child.reset();
    m_host.flushPosted();
    EXPECT_TRUE(m_log.empty());

    Probe never(m_log, "never");
    EXPECT_FALSE(never.PostMessage(WM_USER));
}

TEST_F(WndTest, WindowTimersAreKeyedByWindowAndRestartWhenSetAgain)
{
    Probe other(m_log, "other");
    ASSERT_TRUE(other.Create(WS_CHILD, CRect(0, 0, 10, 10), &m_game, 1));
    m_game.SetTimer(5, 100);
    other.SetTimer(5, 30);
    m_host.advance(60);
    m_game.SetTimer(5, 100); // restarted: next tick at 160, not 100
    m_host.advance(100);
    EXPECT_EQ(Of("game"), (Log{"timer5"}));
    EXPECT_EQ(Of("other").size(), 5u);

    m_log.clear();
    EXPECT_TRUE(other.KillTimer(5));
    EXPECT_FALSE(other.KillTimer(5));
    m_host.advance(100);
    EXPECT_EQ(m_log, (Log{"game timer5"}));
}

TEST_F(WndTest, DestroyingAWindowEndsItsTimers)
{
    auto child = std::make_unique<Probe>(m_log, "child");
    ASSERT_TRUE(child->Create(WS_CHILD, CRect(0, 0, 10, 10), &m_game, 1));
    child->SetTimer(1, 10);
    child->DestroyWindow();
    EXPECT_FALSE(m_host.isTimerRunning(child.get(), 1));
    m_host.advance(50);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(WndTest, AFailedOnCreateLeavesNoWindow)
{
    Probe refused(m_log, "refused");
    refused.m_createResult = -1;
    EXPECT_FALSE(refused.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &m_game, 3));
    EXPECT_FALSE(refused.IsWindow());
    EXPECT_EQ(m_game.GetDlgItem(3), nullptr);
}

TEST_F(WndTest, VisibilityFollowsWsVisibleAndTheParents)
{
    Probe shown(m_log, "shown");
    Probe hidden(m_log, "hidden");
    Probe inner(m_log, "inner");
    ASSERT_TRUE(shown.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &m_game, 1));
    ASSERT_TRUE(hidden.Create(WS_CHILD, CRect(0, 0, 10, 10), &m_game, 2));
    ASSERT_TRUE(inner.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &shown, 3));
    EXPECT_TRUE(shown.IsWindowVisible());
    EXPECT_FALSE(hidden.IsWindowVisible());
    EXPECT_TRUE(inner.IsWindowVisible());

    EXPECT_TRUE(shown.ShowWindow(SW_HIDE));
    EXPECT_FALSE(inner.IsWindowVisible());
    EXPECT_TRUE(inner.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(shown.ShowWindow(SW_SHOW));
    EXPECT_TRUE(inner.IsWindowVisible());

    EXPECT_FALSE(shown.EnableWindow(FALSE));
    EXPECT_FALSE(shown.IsWindowEnabled());
    EXPECT_TRUE(inner.IsWindowEnabled()); // its own flag; input is still blocked by the parent
    EXPECT_TRUE(shown.EnableWindow(TRUE));
    EXPECT_EQ(m_game.GetDlgItem(2), &hidden);
    EXPECT_EQ(inner.GetParent(), &shown);
    EXPECT_EQ(inner.GetTopLevelParent(), &m_game);
}

TEST_F(WndTest, WindowRectanglesAreInGameWindowCoordinates)
{
    Probe panel(m_log, "panel");
    Probe button(m_log, "button");
    Probe popup(m_log, "popup");
    ASSERT_TRUE(panel.Create(WS_CHILD | WS_VISIBLE, CRect(100, 50, 300, 250), &m_game, 1));
    ASSERT_TRUE(button.Create(WS_CHILD | WS_VISIBLE, CRect(10, 20, 40, 35), &panel, 2));
    // A popup of the panel is placed in game-window coordinates, not the panel's.
    ASSERT_TRUE(popup.Create(WS_POPUP | WS_VISIBLE, CRect(5, 6, 25, 16), &panel, 0));

    CRect rect;
    button.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(110, 70, 140, 85));
    button.GetClientRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 30, 15));
    popup.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(5, 6, 25, 16));
    EXPECT_EQ(popup.GetParent(), &panel);

    CPoint p(1, 2);
    button.ClientToScreen(&p);
    EXPECT_EQ(p, CPoint(111, 72));
    panel.ScreenToClient(&p);
    EXPECT_EQ(p, CPoint(11, 22));

    button.SetWindowPos(nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER);
    button.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(110, 70, 160, 130));
}

TEST_F(WndTest, ClicksOutsideAWindowRegionReachTheWindowBeneath)
{
    Probe shaped(m_log, "shaped");
    ASSERT_TRUE(shaped.Create(WS_CHILD | WS_VISIBLE, CRect(100, 100, 200, 200), &m_game, 1));
    CRgn region;
    region.CreateRectRgn(0, 0, 50, 50);
    shaped.SetWindowRgn(&region, TRUE);

    EXPECT_EQ(m_game.ChildWindowFromPoint(CPoint(110, 110)), &shaped);
    EXPECT_EQ(m_game.ChildWindowFromPoint(CPoint(180, 180)), &m_game);

    ASSERT_TRUE(SimulateClick(&m_game, CPoint(110, 110)));
    ASSERT_TRUE(SimulateClick(&m_game, CPoint(180, 180)));
    EXPECT_EQ(m_log, (Log{"shaped down(10,10)", "shaped up(10,10)", "game down(180,180)", "game up(180,180)"}));

    m_log.clear();
    shaped.SetWindowRgn(nullptr, TRUE);
    SimulateClick(&m_game, CPoint(180, 180));
    EXPECT_EQ(m_log, (Log{"shaped down(80,80)", "shaped up(80,80)"}));
}

TEST_F(WndTest, HiddenAndDisabledWindowsDoNotTakeClicks)
{
    Probe child(m_log, "child");
    ASSERT_TRUE(child.Create(WS_CHILD | WS_VISIBLE | WS_DISABLED, CRect(0, 0, 50, 50), &m_game, 1));
    SimulateClick(&m_game, CPoint(10, 10));
    child.EnableWindow(TRUE);
    child.ShowWindow(SW_HIDE);
    SimulateClick(&m_game, CPoint(10, 10));
    EXPECT_EQ(m_log, (Log{"game down(10,10)", "game up(10,10)", "game down(10,10)", "game up(10,10)"}));
}

TEST_F(WndTest, CaptureSendsMouseInputToTheCapturingWindow)
{
    Probe left(m_log, "left");
    Probe right(m_log, "right");
    ASSERT_TRUE(left.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &m_game, 1));
    ASSERT_TRUE(right.Create(WS_CHILD | WS_VISIBLE, CRect(200, 0, 300, 100), &m_game, 2));
    left.SetCapture();
    EXPECT_EQ(GetCapture(), &left);
    SimulateClick(&m_game, CPoint(250, 50));
    ReleaseCapture();
    SimulateClick(&m_game, CPoint(250, 50));
    EXPECT_EQ(m_log, (Log{"left down(250,50)", "left up(250,50)", "right down(50,50)", "right up(50,50)"}));
}

TEST_F(WndTest, DoubleClicksAreOneMessageOrASecondPressAsTheWindowAsks)
{
    Probe child(m_log, "child");
    ASSERT_TRUE(child.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &m_game, 1));
    SimulateMouse(&child, WM_LBUTTONDBLCLK, CPoint(5, 5));
    child.AcceptDoubleClicks(false);
    SimulateMouse(&child, WM_LBUTTONDBLCLK, CPoint(5, 5));
    EXPECT_EQ(m_log, (Log{"child dblclk(5,5)", "child down(5,5)"}));
}

TEST_F(WndTest, MouseLeaveIsReportedOnceAfterTracking)
{
    Probe a(m_log, "a");
    Probe b(m_log, "b");
    ASSERT_TRUE(a.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &m_game, 1));
    ASSERT_TRUE(b.Create(WS_CHILD | WS_VISIBLE, CRect(200, 0, 300, 100), &m_game, 2));
    SimulateMouse(&m_game, WM_MOUSEMOVE, CPoint(50, 50));
    a.TrackMouseEvent(TME_LEAVE);
    SimulateMouse(&m_game, WM_MOUSEMOVE, CPoint(250, 50));
    SimulateMouse(&m_game, WM_MOUSEMOVE, CPoint(50, 50));
    SimulateMouse(&m_game, WM_MOUSEMOVE, CPoint(250, 50));
    EXPECT_EQ(m_log, (Log{"a leave"}));
}

TEST_F(WndTest, TopmostWindowsStayAboveTheirSiblings)
{
    Probe overlay(m_log, "overlay");
    Probe later(m_log, "later");
    ASSERT_TRUE(overlay.Create(WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), &m_game, 1));
    overlay.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(later.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &m_game, 2));
    EXPECT_EQ(m_game.ChildWindowFromPoint(CPoint(10, 10)), &overlay);
    later.BringWindowToTop();
    EXPECT_EQ(m_game.ChildWindowFromPoint(CPoint(10, 10)), &overlay);
    overlay.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    later.BringWindowToTop();
    EXPECT_EQ(m_game.ChildWindowFromPoint(CPoint(10, 10)), &later);
    later.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(m_game.ChildWindowFromPoint(CPoint(10, 10)), &overlay);
}

TEST_F(WndTest, PaintPassesRunOnlyWhenInvalidatedAndClientDrawingStays)
{
    m_game.UpdateWindow();
    EXPECT_EQ(m_game.m_paints, 1);
    m_game.UpdateWindow();
    EXPECT_EQ(m_game.m_paints, 1);

    {
        CClientDC dc(&m_game);
        dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(255, 0, 0));
    }
    // Showing the surface again (as Qt does when it repaints) keeps what the client DC drew.
    m_game.GetSafeHwnd()->grab();
    EXPECT_EQ(m_game.m_paints, 1);
    EXPECT_EQ(m_game.GetSurface().pixel(5, 5), 0xFFFF0000u);

    m_game.Invalidate();
    m_game.GetSafeHwnd()->grab();
    EXPECT_EQ(m_game.m_paints, 2);
    EXPECT_EQ(m_game.GetSurface().pixel(5, 5), 0xFF0A141Eu);
}

// Counts the paint events Qt delivers to a widget.
class PaintCounter : public QObject {
public:
    int m_paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }
};

TEST_F(WndTest, AnIdleWindowIsNotPaintedOverAndOver)
{
    PaintCounter counter;
    m_game.GetSafeHwnd()->installEventFilter(&counter);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const int settled = counter.m_paints;
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(counter.m_paints, settled);
    EXPECT_EQ(m_game.m_paints, 1);

    m_game.Invalidate();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(m_game.m_paints, 2);
    m_game.GetSafeHwnd()->removeEventFilter(&counter);
}

TEST_F(WndTest, LayeredWindowsShowTheirPictureAndLetClicksThroughTransparentPixels)
{
    Probe layer(m_log, "layer");
    ASSERT_TRUE(layer.CreateEx(WS_EX_LAYERED, WS_POPUP | WS_VISIBLE, CRect(0, 0, 1, 1), &m_game, 0));
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 0, 255));                                   // key colour: see-through
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            picture.setPixel(x, y, qRgb(0, 255, 0));                   // left half: solid green
    const CPoint where(100, 50);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 128, 0};
    ASSERT_TRUE(layer.UpdateLayeredWindow(picture, &where, RGB(255, 0, 255), &blend, ULW_COLORKEY | ULW_ALPHA));

    CRect rect;
    layer.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(100, 50, 140, 70));
    const QImage& shown = layer.GetSurface();
    EXPECT_EQ(qAlpha(shown.pixel(30, 10)), 0);
    EXPECT_NEAR(qAlpha(shown.pixel(5, 10)), 128, 1);

    SimulateClick(&m_game, CPoint(105, 55));
    SimulateClick(&m_game, CPoint(135, 55));
    EXPECT_EQ(m_log, (Log{"layer down(5,5)", "layer up(5,5)", "game down(135,55)", "game up(135,55)"}));
}

TEST_F(WndTest, ALayeredPictureShownAgainAtAnotherAlphaShowsAndTakesClicksAtThatAlpha)
{
    // A fade: one picture, its constant alpha stepped.
    Probe layer(m_log, "layer");
    ASSERT_TRUE(layer.CreateEx(WS_EX_LAYERED, WS_POPUP | WS_VISIBLE, CRect(0, 0, 1, 1), &m_game, 0));
    QImage picture(40, 20, QImage::Format_ARGB32_Premultiplied);
    picture.fill(qRgb(0, 0, 0));
    const CPoint where(100, 50);
    const auto show = [&](BYTE alpha) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
        ASSERT_TRUE(layer.UpdateLayeredWindow(picture, &where, RGB(255, 255, 255), &blend, ULW_COLORKEY | ULW_ALPHA));
    };

    show(0);
    EXPECT_EQ(qAlpha(layer.GetSurface().pixel(5, 5)), 0);
    SimulateClick(&m_game, CPoint(105, 55));
    show(120);
    EXPECT_EQ(qAlpha(layer.GetSurface().pixel(5, 5)), 120);
    SimulateClick(&m_game, CPoint(106, 55));
    show(4);
    EXPECT_EQ(qAlpha(layer.GetSurface().pixel(5, 5)), 4);
    show(0);
    SimulateClick(&m_game, CPoint(107, 55));
    EXPECT_EQ(m_log, (Log{"game down(105,55)", "game up(105,55)", "layer down(6,5)", "layer up(6,5)", "game down(107,55)",
                          "game up(107,55)"}));

    // The same picture with a key colour painted into it: the keyed part lets clicks through.
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            picture.setPixel(x, y, qRgb(255, 255, 255));
    show(120);
    m_log.clear();
    SimulateClick(&m_game, CPoint(135, 55));
    EXPECT_EQ(m_log, (Log{"game down(135,55)", "game up(135,55)"}));
}

} // namespace
