// The animation windows: cutting strips, the run's frames, the rocket's and the plane's flights,
// and a window playing, restarting and stopping on the virtual clock; the trustee cover's fade-out.
#include "ViewTestHarness.h"

#include "view/AnimationDlg.h"
#include "view/AnimationRules.h"
#include "view/FadeDlg.h"

#include <vector>

namespace {

TEST(AnimationStrip, CutsEqualFramesAndRefusesStripsTooSmallForThem)
{
    const auto cut = anim::CutStrip(1000, 240, 20);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->nFrameWidth, 50);
    EXPECT_EQ(cut->nFrameHeight, 240);
    EXPECT_EQ(anim::CutStrip(1001, 240, 20)->nFrameWidth, 50) << "a remainder is left out";
    EXPECT_FALSE(anim::CutStrip(19, 240, 20)) << "narrower than its frames";
    EXPECT_FALSE(anim::CutStrip(1000, 0, 20));
    EXPECT_FALSE(anim::CutStrip(1000, 240, 0));
    EXPECT_FALSE(anim::CutStrip(0, 0, 1)) << "a missing picture";
}

TEST(AnimationStrip, ARunEndsAfterItsLastFrameOrLoopsBackToItsFirst)
{
    EXPECT_EQ(anim::FrameToDraw(25, 0, 25, false), 25u);
    EXPECT_FALSE(anim::FrameToDraw(26, 0, 25, false));
    EXPECT_EQ(anim::FrameToDraw(6, 4, 5, true), 4u);
    EXPECT_EQ(anim::FrameToDraw(5, 4, 5, true), 5u);
}

TEST(RocketFlight, RisesOutOfTheBottomAndLeavesThroughTheTop)
{
    // A table 700 high at (10, 20), a rocket 150 wide with frames 300 high.
    const CRect view(10, 20, 1028, 720);
    int rise = 0;
    int height = 0;
    std::vector<int> heights;
    int tick = 0;
    for (;; ++tick) {
        const anim::RocketStep step = anim::RocketAt(tick, rise, view, 150, height, 300);
        rise = step.nRise;
        if (step.bEnd) {
            EXPECT_EQ(step.rcWindow.top, view.bottom - height) << "hidden where it was, at the bottom";
            break;
        }
        EXPECT_EQ(step.rcWindow.left, 10 + 509 - 75) << "centred on the table";
        height = step.rcWindow.Height();
        heights.push_back(height);
        if (tick <= 26) {
            EXPECT_EQ(step.rcWindow.bottom, view.bottom) << tick;
            EXPECT_EQ(height, tick * tick);
            EXPECT_EQ(step.nSourceY, 0);
        } else {
            EXPECT_EQ(step.rcWindow.top, view.top) << tick;
            EXPECT_EQ(step.nSourceY, 300 - height) << "the lower part of the frame";
        }
    }
    EXPECT_EQ(tick, 33);
    EXPECT_EQ(std::vector<int>(heights.begin() + 27, heights.end()), (std::vector<int>{271, 216, 159, 100, 39, 0}));
}

TEST(PlaneFlight, CrossesRightToLeftAndStopsBeforeTheLeftEdge)
{
    const CRect table(0, 0, 1018, 702);
    EXPECT_EQ(anim::PlaneLeft(0, table, 260), 758);
    EXPECT_EQ(anim::PlaneLeft(10, table, 260), 658);
    EXPECT_EQ(anim::PlaneLeft(27, table, 260), 29);
    EXPECT_FALSE(anim::PlaneLeft(28, table, 260)) << "758 - 784 would pass the edge";
    EXPECT_FALSE(anim::PlaneLeft(100000, table, 260)) << "no overflow on a long run";
    const CRect exact(0, 0, 360, 100);
    EXPECT_FALSE(anim::PlaneLeft(10, exact, 260)) << "reaching the edge itself is the end";
}

class AnimationWindowTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        CreateTable(true);
        Frame().SetEventSink([this](const std::string& line) {
            if (line.rfind("anim ", 0) == 0)
                events.push_back(line);
        });
        ASSERT_TRUE(cartoon.CreateOver(&View()));
        cartoon.SetReporter([this](const std::string& line) { events.push_back(line); });
        QImage strip(4 * 20, 10, QImage::Format_ARGB32);
        strip.fill(qRgba(200, 0, 0, 255));
        ASSERT_TRUE(cartoon.SetStrip(strip, 4, 0));
    }
    void TearDown() override
    {
        cartoon.DestroyWindow();
        ViewTest::TearDown();
    }

    std::vector<std::string> events;
    CAnimationDlg cartoon{"test"};
};

TEST_F(AnimationWindowTest, PlaysEachFrameForOneIntervalThenHides)
{
    cartoon.Play(40, 0, 0, 0);
    EXPECT_FALSE(cartoon.IsWindowVisible()) << "the start delay";
    m_timers.advance(300);
    EXPECT_TRUE(cartoon.IsWindowVisible());
    EXPECT_EQ(DumpValuesOf(cartoon), "frame=0 first=0 last=3 interval=40 loop=0 running=1");
    EXPECT_EQ(qAlpha(cartoon.GetSurface().pixel(5, 5)), 255) << "the frame's own pixels";
    m_timers.advance(120);
    EXPECT_EQ(cartoon.GetShownFrame(), 3);
    EXPECT_TRUE(cartoon.IsWindowVisible()) << "the last frame shows for an interval too";
    m_timers.advance(40);
    EXPECT_FALSE(cartoon.IsWindowVisible());
    EXPECT_EQ(events, (std::vector<std::string>{"anim test play", "anim test stop"}));
}

TEST_F(AnimationWindowTest, PlayDuringARunRestartsItAndStopEndsALoop)
{
    cartoon.Play(200, 1, 2, 3);
    m_timers.advance(300 + 200 * 3);
    EXPECT_EQ(cartoon.GetShownFrame(), 3) << "2, 3, 2, 3";
    cartoon.Play(100, 1, 0, 1);
    m_timers.advance(200);
    EXPECT_EQ(cartoon.GetShownFrame(), 0) << "the new range from its first frame, the new interval";
    m_timers.advance(100);
    EXPECT_EQ(cartoon.GetShownFrame(), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "anim test stop"), 0);
    cartoon.Stop();
    EXPECT_FALSE(cartoon.IsRunning());
    EXPECT_FALSE(cartoon.IsWindowVisible());
    cartoon.Stop();
    m_timers.advance(1000);
    EXPECT_EQ(events, (std::vector<std::string>{"anim test play", "anim test play", "anim test stop"})) << "one stop, no stray frame";
    // Stopped, the window plays again at once when asked: no old run swallows the new one.
    cartoon.Play(40, 0, 0, 0);
    m_timers.advance(300);
    EXPECT_TRUE(cartoon.IsWindowVisible());
}

TEST_F(AnimationWindowTest, AMissingOrShortStripPlaysNothing)
{
    CAnimationDlg missing("missing");
    ASSERT_TRUE(missing.CreateOver(&View()));
    EXPECT_FALSE(missing.LoadStrip("telvo\\img\\none.png", 4, 0));
    QImage narrow(3, 10, QImage::Format_ARGB32);
    EXPECT_FALSE(missing.SetStrip(narrow, 4, 0));
    missing.Play(40, 0, 0, 0);
    EXPECT_FALSE(missing.IsRunning());
    m_timers.advance(1000);
    EXPECT_FALSE(missing.IsWindowVisible());
}

TEST_F(AnimationWindowTest, DestroyingTheWindowEndsItsRun)
{
    cartoon.Play(40, 1, 0, 0);
    m_timers.advance(400);
    ASSERT_TRUE(cartoon.IsRunning());
    Frame().DestroyWindow();
    EXPECT_FALSE(cartoon.IsRunning());
    m_timers.advance(1000);
    EXPECT_EQ(events.back(), "anim test stop");
}

TEST_F(AnimationWindowTest, TheCoversFadeOutDrawsTwentySixLevels)
{
    CFadeDlg cover;
    CRect area;
    View().GetClientRect(&area);
    ASSERT_TRUE(cover.CreateOver(&View(), area));
    cover.ShowWindow(SW_SHOW);
    View().m_pTrusteeCover = &cover;
    View().FadeTrusteeCover(true, 2);
    std::vector<int> levels;
    for (int tick = 0; tick < 30; ++tick) {
        m_timers.advance(40);
        if (levels.empty() || levels.back() != cover.GetLevel())
            levels.push_back(cover.GetLevel());
    }
    View().m_pTrusteeCover = nullptr;
    ASSERT_EQ(levels.size(), 26u);
    EXPECT_EQ(levels.front(), 0);
    EXPECT_EQ(levels.back(), 25);
    EXPECT_EQ(DumpValuesOf(cover), "level=25 alpha=0");
    EXPECT_FALSE(View().m_bFadeRunning);
}

}  // namespace
