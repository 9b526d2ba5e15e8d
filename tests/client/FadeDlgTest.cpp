// The trustee cover: its alpha ramp, and that it takes the table's input but not its banner's.
#include "ViewTestHarness.h"

#include "interaction/Commands.h"
#include "platform/MouseInput.h"
#include "view/FadeDlg.h"
#include "windows/AutoPlayDlg.h"

namespace {

using viewtest::Message;

TEST(FadeAlpha, RampsLinearlyFromTheFirstAlphaToTheLast)
{
    // The table's fade: 25 levels from 120 down to 0.
    EXPECT_EQ(FadeAlpha(0, 25, 1, 120, 0), 120);
    EXPECT_EQ(FadeAlpha(25, 25, 1, 120, 0), 0);
    EXPECT_EQ(FadeAlpha(24, 25, 1, 120, 0), 4) << "120 / 25 rounds down";
    EXPECT_EQ(FadeAlpha(12, 25, 1, 120, 0), 62);
    EXPECT_EQ(FadeAlpha(5, 10, 1, 0, 200), 100) << "rising works the same";
    EXPECT_EQ(FadeAlpha(20, 25, 0, 120, 0), 120) << "without a ramp the first alpha holds";
}

TEST(FadeAlpha, OutOfRangeLevelsStayWithinAnAlpha)
{
    EXPECT_EQ(FadeAlpha(-100, 25, 1, 120, 0), 255);
    EXPECT_EQ(FadeAlpha(50, 25, 1, 120, 0), 0);
    EXPECT_EQ(FadeAlpha(0, 0, 1, 120, 0), 120) << "no levels count as one";
    EXPECT_EQ(FadeAlpha(1, 0, 1, 120, 0), 0);
}

class FadeDlgTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        InstallPicture("Telvo/img/AutoPlay.png", 200, 60, 1);
        InstallPicture("Telvo/img/btAutoPlayOff.png", 120, 40);
        CreateTable(true);
        View().GetClientRect(&area);
        ASSERT_TRUE(cover.CreateOver(&View(), area));
    }

    CRect area;
    CFadeDlg cover;
};

TEST_F(FadeDlgTest, CoversTheTableAtTheAlphaOfEachLevel)
{
    CRect place;
    cover.GetWindowRect(&place);
    EXPECT_EQ(place, area);
    EXPECT_FALSE(cover.IsWindowVisible()) << "made hidden";
    EXPECT_TRUE(cover.GetExStyle() & WS_EX_TOPMOST);

    cover.ShowWindow(SW_SHOW);
    cover.ShowFadeLevel(0, 25, 1, RGB(255, 255, 255), 120, 0);
    EXPECT_EQ(DumpValuesOf(cover), "level=0 alpha=120");
    const QRgb pixel = cover.GetSurface().pixel(500, 300);
    EXPECT_EQ(qAlpha(pixel), 120);
    EXPECT_EQ(qRed(pixel), 0) << "a black layer";

    cover.ShowFadeLevel(25, 25, 1, RGB(255, 255, 255), 120, 0);
    EXPECT_EQ(DumpValuesOf(cover), "level=25 alpha=0");
    EXPECT_EQ(qAlpha(cover.GetSurface().pixel(500, 300)), 0);
}

TEST_F(FadeDlgTest, TakesTheTablesInputButLeavesItsBannerWorking)
{
    cover.ShowWindow(SW_SHOW);
    cover.ShowFadeLevel(0, 25, 1, RGB(255, 255, 255), 120, 0);
    CAutoPlayDlg banner;
    ASSERT_TRUE(banner.CreateOver(&cover, area));
    // As the game window places it: raised over the cover it belongs to.
    banner.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_EQ(DumpValuesOf(banner), "buttons=2:VE");

    Frame().messages.clear();
    ASSERT_TRUE(SimulateRightClick(&cover, CPoint(500, 30)));
    ASSERT_TRUE(SimulateClick(&cover, CPoint(500, 30)));
    cover.DispatchQueuedMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    cover.DispatchQueuedMessage(WM_KEYDOWN, VK_RETURN, 0);
    m_timers.flushPosted();
    EXPECT_TRUE(Frame().messages.empty()) << "nothing reaches the table";
    EXPECT_TRUE(cover.IsWindowVisible()) << "Enter and Escape do not close the cover";

    ASSERT_TRUE(SimulateClick(&banner.GetCancelButton(), CPoint(60, 20)));
    m_timers.flushPosted();
    ASSERT_EQ(Frame().messages.size(), 1u);
    EXPECT_EQ(Frame().messages[0], (Message{UM_TRUSTEE_CANCEL, 0, 0}));
    EXPECT_EQ(DumpValuesOf(banner), "buttons=2:V-");
}

}  // namespace
