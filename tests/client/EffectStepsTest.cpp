#include "view/EffectSteps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace effects;

TEST(EffectSteps, PanelSlidesInStepsOfTwentyAndClampsAtItsEnds)
{
    std::vector<int> heights;
    SlideStep step{kPanelOpen, false};
    while (!step.bDone) {
        step = SlidePanel(step.height, false);
        heights.push_back(step.height);
    }
    EXPECT_EQ(heights, (std::vector<int>{101, 81, 61, 41, 40}));

    heights.clear();
    step = SlideStep{kPanelClosed, false};
    while (!step.bDone) {
        step = SlidePanel(step.height, true);
        heights.push_back(step.height);
    }
    EXPECT_EQ(heights, (std::vector<int>{60, 80, 100, 120, 121}));

    // Turned round halfway, a slide goes back the way it came.
    EXPECT_EQ(SlidePanel(81, true).height, 101);
    EXPECT_FALSE(SlidePanel(81, true).bDone);
}

TEST(EffectSteps, PanelImageShowsItsBottomRowsUntilTheFrameIsAlmostOpen)
{
    // Open: the whole image, five rows down; one step short of open, one row higher.
    EXPECT_EQ(PanelImageRows(121).destY, 5);
    EXPECT_EQ(PanelImageRows(121).rows, 72);
    EXPECT_EQ(PanelImageRows(120).destY, 4);
    EXPECT_EQ(PanelImageRows(116).srcY, 0);

    const PanelRows half = PanelImageRows(81);
    EXPECT_EQ(half.rows, 41);
    EXPECT_EQ(half.srcY, 31);
    EXPECT_EQ(half.destY, 0);
    // Just below the whole image the rows are held to the image.
    EXPECT_EQ(PanelImageRows(115).rows, 72);
    EXPECT_EQ(PanelImageRows(115).srcY, 0);

    EXPECT_EQ(PanelImageRows(41).rows, 1);
    EXPECT_EQ(PanelImageRows(41).srcY, 71);
    EXPECT_EQ(PanelImageRows(40).rows, 0);
    EXPECT_EQ(PanelImageRows(20).rows, 0);
}

TEST(EffectSteps, BackCardsCloseUpThenSpeedUpOnTheirWay)
{
    EXPECT_EQ(FlightSpacing(0), 56);
    EXPECT_EQ(FlightSpacing(1), 28);
    EXPECT_EQ(FlightSpacing(2), 0);
    std::vector<unsigned> delays;
    for (int step = 0; step <= kFlightLastStep; ++step)
        delays.push_back(FlightDelay(step));
    EXPECT_EQ(delays, (std::vector<unsigned>{40, 30, 20, 41, 38, 35, 32, 29, 26}));
}

TEST(EffectSteps, BackCardsFlyToTheLandlordsSeat)
{
    const CSize client(1018, 702);
    const CPoint start = FlightStart(client);
    EXPECT_EQ(start, CPoint(509, 241));
    EXPECT_EQ(FlightTarget(client, 1, 192), CPoint(509, 470));
    EXPECT_EQ(FlightTarget(client, 0, 192), CPoint(50, 192));
    EXPECT_EQ(FlightTarget(client, 2, 192), CPoint(968, 192));
    // Without a landlord they fly to the right.
    EXPECT_EQ(FlightTarget(client, 0xFFFF, 192), CPoint(968, 192));

    // Seat 0 lies up and to the left: each sixth is cut toward zero, so the cards fall short of
    // rounding down (-459 / 6 is -76, not -77) and arrive exactly at the last step.
    const CPoint left = FlightTarget(client, 0, 192);
    EXPECT_EQ(FlightPoint(start, left, 3), CPoint(433, 233));
    EXPECT_EQ(FlightPoint(start, left, 4), CPoint(356, 225));
    EXPECT_EQ(FlightPoint(start, left, 8), left);

    const CPoint right = FlightTarget(client, 2, 192);
    EXPECT_EQ(FlightPoint(start, right, 3), CPoint(585, 233));
    EXPECT_EQ(FlightPoint(start, right, 8), right);

    const CPoint bottom = FlightTarget(client, 1, 192);
    EXPECT_EQ(FlightPoint(start, bottom, 5), CPoint(509, 355));
    EXPECT_EQ(FlightPoint(start, bottom, 8), bottom);
}

TEST(EffectSteps, TaskCartoonGrowsFadesInFlashesAndEnds)
{
    WORD frame = 0;
    WORD ticks = 0;
    int alpha = 0;
    std::vector<int> frames;
    std::vector<int> alphas;
    bool ended = false;
    while (!ended && ticks < 100) {
        ended = StepTaskCartoon(frame, ticks, alpha);
        frames.push_back(frame);
        alphas.push_back(alpha);
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(ticks, 50);
    EXPECT_EQ(frame, kCartoonNone);
    for (int tick = 1; tick <= 9; ++tick)
        EXPECT_EQ(frames[tick - 1], 0) << tick;
    for (int tick = 10; tick <= 15; ++tick)
        EXPECT_EQ(frames[tick - 1], 1) << tick;
    EXPECT_EQ(alphas[9], 30);
    EXPECT_EQ(alphas[14], 180);
    EXPECT_EQ(frames[15], 2);  // tick 16
    EXPECT_EQ(frames[16], 3);  // tick 17
    EXPECT_EQ(frames[48], 3);  // tick 49

    // A fade-in that starts high is held at 255.
    frame = 1;
    ticks = 12;
    alpha = 240;
    StepTaskCartoon(frame, ticks, alpha);
    EXPECT_EQ(alpha, 255);
}

TEST(EffectSteps, TaskCartoonIsDrawnGrowingFromItsMiddleThenWhole)
{
    EXPECT_FALSE(TaskCartoonBlit(0, 0, 0).bDraw) << "nothing before the first tick";
    EXPECT_FALSE(TaskCartoonBlit(kCartoonNone, 30, 0).bDraw);

    const CartoonBlit first = TaskCartoonBlit(0, 1, 0);
    ASSERT_TRUE(first.bDraw);
    EXPECT_EQ(first.nPhase, 1);
    // 297 / 9 = 33 by 292 / 9 = 32, centred on the frame and on its place.
    EXPECT_EQ(first.dest, CRect(CPoint(365 + 132, 200 + 130), CSize(33, 32)));
    EXPECT_EQ(first.src, CPoint(132, 130));
    EXPECT_EQ(first.cbAlpha, 255);
    EXPECT_EQ(TaskCartoonBlit(0, 9, 0).dest, CRect(365, 200, 365 + 297, 200 + 292));

    const CartoonBlit fading = TaskCartoonBlit(1, 12, 90);
    EXPECT_EQ(fading.nPhase, 2);
    EXPECT_EQ(fading.src, CPoint(297, 0));
    EXPECT_EQ(fading.cbAlpha, 90);

    const CartoonBlit whole = TaskCartoonBlit(3, 15, 180);
    EXPECT_EQ(whole.nPhase, 3);
    EXPECT_EQ(whole.src, CPoint(3 * 297, 0));
    EXPECT_EQ(whole.cbAlpha, 255);
}

TEST(EffectSteps, PrizeDigitsRollUpTheStripAndWrap)
{
    // 120 to 125: the units count up from 0 to 5, two rows a tick.
    int offset = 9 * 26;
    int ticks = 0;
    while (offset != 4 * 26 && ticks < 1000) {
        offset = RollOffset(offset, 4 * 26, 260);
        ++ticks;
    }
    EXPECT_EQ(ticks, 65);

    // From 8 to 2 the cell passes 9 at the top of the strip and comes round to 0.
    EXPECT_EQ(RollOffset(2, 7 * 26, 260), 0);
    EXPECT_EQ(RollOffset(0, 7 * 26, 260), 258);
    EXPECT_EQ(RollOffset(7 * 26, 7 * 26, 260), 7 * 26);

    // Odd geometry still lands on the target instead of stepping past it for ever.
    EXPECT_EQ(RollOffset(51, 50, 250), 50);
    EXPECT_EQ(RollOffset(1, 249, 250), 249);
    offset = 100;
    for (ticks = 0; offset != 75 && ticks < 1000; ++ticks)
        offset = RollOffset(offset, 75, 251);
    EXPECT_EQ(offset, 75);
    // Without a strip there is nothing to roll.
    EXPECT_EQ(RollOffset(30, 100, 0), 100);
}

}  // namespace
