// The view's effects on a real table: what their frames put on the window and into the cache, how
// they behave when started again, and that their timers end with the view.
#include "ViewTestHarness.h"

#include "platform/Dc.h"

namespace {

using viewtest::ViewTest;

constexpr QRgb kPictureColour = qRgb(200, 160, 40);

class ViewEffects : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        InstallPicture("Telvo/img/alarm.png", 56, 39, 10);
        InstallPicture("Telvo/img/Top.png", 36, 36, 4);
        InstallPicture("Telvo/img/chatflash.png", 198, 64, 1);
        InstallPicture("Telvo/img/NoBigCard.png", 300, 44, 1);
        InstallPicture("Telvo/img/rollnumber.png", 20, 260, 1);
        InstallPicture("Telvo/img/PrizeBack.png", 310, 80, 1);
        InstallPicture("Telvo/img/NewMission/TaskCartoon.bmp", 297, 292, 4);
        CreateTable(true);
        Paint();
    }

    // A draw pass now, as the window's next paint would make it.
    const QImage& Paint()
    {
        View().UpdateGameView(nullptr);
        View().UpdateWindow();
        return View().GetSurface();
    }
    QRgb At(CPoint point) { return View().GetSurface().pixel(point.x, point.y) | 0xFF000000; }
    bool Running(UINT_PTR id) { return View().IsViewTimerRunning(id); }
};

TEST_F(ViewEffects, AlarmBlinksAtItsSeatInWindowAndCacheUntilNoSeatHasOne)
{
    const CPoint cell = View().m_ptAlarm[0] + CSize(28, 35);
    const QRgb before = At(cell);
    View().RaiseCardAlarm(1, 5);
    m_timers.advance(100);
    EXPECT_EQ(At(cell), before) << "the local seat keeps the alarm running without a cell of its own";

    View().RaiseCardAlarm(0, 3);
    m_timers.advance(100);
    EXPECT_EQ(View().m_nAlarmStep, 2) << "a running alarm keeps its timer and its step";
    EXPECT_EQ(At(cell), kPictureColour | 0xFF000000) << "drawn straight onto the window";
    EXPECT_EQ(Paint().pixel(cell.x, cell.y) | 0xFF000000, kPictureColour | 0xFF000000) << "and into the cache";

    // The frame composed off screen is what the window shows.
    const CSize size = View().SeatCellSize(CGameClientView::SeatCell::Alarm);
    ASSERT_EQ(size, CSize(56, 39));
    CBitmap bitmap;
    bitmap.CreateBitmap(size.cx, size.cy);
    CDC frame;
    frame.SelectObject(&bitmap);
    View().ComposeSeatCell(&frame, CGameClientView::SeatCell::Alarm, 0, 1);
    const CPoint at = View().m_ptAlarm[0];
    EXPECT_EQ(View().GetSurface().copy(at.x, at.y, size.cx, size.cy).convertToFormat(QImage::Format_ARGB32),
        bitmap.Image().convertToFormat(QImage::Format_ARGB32));

    View().RaiseCardAlarm(0, 0);
    View().RaiseCardAlarm(1, 0);
    m_timers.advance(100);
    EXPECT_FALSE(Running(CGameClientView::IDT_CARD_ALARM));
    EXPECT_EQ(View().m_bAlarmRunning, 0);
    EXPECT_EQ(Paint().pixel(cell.x, cell.y) | 0xFF000000, before | 0xFF000000) << "the cache is painted without it";
}

TEST_F(ViewEffects, BadgeBlinksWhileAnySeatShowsOne)
{
    View().ShowTopBadge(2, true);
    m_timers.advance(300);
    EXPECT_EQ(View().m_nBadgeStep, 3);
    const CPoint badge = View().m_ptTopBadge[2] + CSize(18, 18);
    EXPECT_EQ(At(badge), kPictureColour | 0xFF000000);
    View().ShowTopBadge(2, false);
    m_timers.advance(100);
    EXPECT_FALSE(Running(CGameClientView::IDT_TOP_BADGE));
    View().ShowTopBadge(0, true);
    EXPECT_TRUE(Running(CGameClientView::IDT_TOP_BADGE)) << "a badge that ended can start again";
}

TEST_F(ViewEffects, ChatFlashShowsAtTheSecondAndFourthTicks)
{
    View().ToggleChat();
    View().FlashChat(true);
    const CPoint flash(110, View().GetLayoutHeight() - 50);
    std::vector<bool> shown;
    for (int tick = 1; tick <= 7; ++tick) {
        m_timers.advance(500);
        m_timers.flushPosted();
        shown.push_back(At(flash) == (kPictureColour | 0xFF000000));
    }
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true, false, false, false}));
    EXPECT_FALSE(Running(CGameClientView::IDT_CHAT_FLASH));

    // Asked again while it runs, it keeps its timer and starts its count over.
    View().FlashChat(true);
    m_timers.advance(1000);
    View().FlashChat(true);
    EXPECT_EQ(View().m_nChatFlashCount, 0);
    EXPECT_TRUE(Running(CGameClientView::IDT_CHAT_FLASH));
}

TEST_F(ViewEffects, NoticeBlinksTwoTicksOnOneOffAndKeepsItsCountWhenShownAgain)
{
    const int cx = 300;
    const CPoint notice((View().GetLayoutWidth() - cx) / 2 + 150, 324 - 22);
    const QRgb felt = At(notice);
    View().ShowNoBiggerCard(true);
    std::vector<bool> drawn;
    for (int tick = 1; tick <= 6; ++tick) {
        m_timers.advance(500);
        drawn.push_back(At(notice) == (kPictureColour | 0xFF000000));
    }
    EXPECT_EQ(drawn, (std::vector<bool>{true, false, true, true, false, true}));

    View().ShowNoBiggerCard(false);
    m_timers.advance(500);
    EXPECT_EQ(At(notice), felt) << "hidden from the next tick";
    View().ShowNoBiggerCard(true);
    EXPECT_EQ(View().m_nNoBiggerCount, 7);
    m_timers.advance(500 * 29);
    EXPECT_TRUE(Running(CGameClientView::IDT_NO_BIGGER));
    m_timers.advance(500);
    EXPECT_FALSE(Running(CGameClientView::IDT_NO_BIGGER));
    EXPECT_EQ(View().m_bNoBiggerShown, 0);
    EXPECT_EQ(Paint().pixel(notice.x, notice.y) | 0xFF000000, felt | 0xFF000000);
}

TEST_F(ViewEffects, LargerPrizeRollsSmallerJumps)
{
    View().StartPrizeRoll(99);
    Paint();
    View().StartPrizeRoll(100);
    EXPECT_TRUE(Running(CGameClientView::IDT_PRIZE_ROLL));
    m_timers.advance(25);
    // The units and tens roll from 9 round to 0; the new hundreds cell from the 0 it showed to 1.
    EXPECT_EQ(View().m_nPrizeOffset[0], 258);
    EXPECT_EQ(View().m_nPrizeOffset[2], 232);
    m_timers.advance(25 * 11);
    EXPECT_TRUE(Running(CGameClientView::IDT_PRIZE_ROLL));
    m_timers.advance(25);
    EXPECT_EQ(View().m_nPrizeOffset[0], 234);
    EXPECT_EQ(View().m_nPrizeOffset[2], 208);
    EXPECT_FALSE(Running(CGameClientView::IDT_PRIZE_ROLL)) << "every cell is there after 13 ticks";

    // A roll under way takes a new larger target; a smaller prize shows at once.
    View().StartPrizeRoll(105);
    m_timers.advance(100);
    View().StartPrizeRoll(109);
    EXPECT_EQ(View().m_nPrizeTarget[0], 0);
    View().StartPrizeRoll(50);
    EXPECT_EQ(View().m_nPrizeOffset[0], 9 * 26);
    EXPECT_EQ(View().m_nPrizeOffset[1], 4 * 26);
    m_timers.advance(25);
    EXPECT_FALSE(Running(CGameClientView::IDT_PRIZE_ROLL));
}

TEST_F(ViewEffects, TaskCartoonIsDrawnWhileItRunsAndEndsAtItsFiftiethTick)
{
    View().m_bTaskCartoon = 1;
    View().StartTaskCartoon();
    m_timers.advance(2000);
    EXPECT_EQ(View().m_wTaskFlagCartoonIndex, 2);
    EXPECT_EQ(Paint().pixel(365 + 148, 200 + 146) | 0xFF000000, kPictureColour | 0xFF000000);
    m_timers.advance(3000);
    EXPECT_EQ(View().m_wTaskFlagCartoonIndex, 0xFFFF);
    EXPECT_FALSE(Running(CGameClientView::IDT_TASK_CARTOON));
    EXPECT_NE(Paint().pixel(365 + 148, 200 + 146) | 0xFF000000, kPictureColour | 0xFF000000);
}

TEST_F(ViewEffects, StoppedEffectsCanStartAgain)
{
    View().RaiseCardAlarm(2, 4);
    View().ShowNoBiggerCard(true);
    View().FlashChat(true);
    View().ToggleScorePanel();
    m_timers.advance(40);
    View().KillViewTimers();
    EXPECT_EQ(View().m_nScorePanelHeight, 40) << "a slide cut short ends where it was going";
    for (UINT_PTR id : {CGameClientView::IDT_CARD_ALARM, CGameClientView::IDT_NO_BIGGER, CGameClientView::IDT_CHAT_FLASH,
             CGameClientView::IDT_SCORE_SLIDE})
        EXPECT_FALSE(Running(id)) << id;

    View().RaiseCardAlarm(2, 4);
    View().ShowNoBiggerCard(true);
    View().FlashChat(true);
    for (UINT_PTR id : {CGameClientView::IDT_CARD_ALARM, CGameClientView::IDT_NO_BIGGER, CGameClientView::IDT_CHAT_FLASH})
        EXPECT_TRUE(Running(id)) << id;
}

TEST_F(ViewEffects, FadeStartedAgainBeginsAtItsDirectionsStart)
{
    View().FadeTrusteeCover(true, 1);
    m_timers.advance(400);
    EXPECT_EQ(View().m_nFadeStep, 10);
    View().FadeTrusteeCover(true, 2);
    EXPECT_EQ(View().m_nFadeStep, 25);
    // Twenty-six levels, 25 down to 0, then the tick that stops it.
    m_timers.advance(40 * 26);
    EXPECT_TRUE(Running(CGameClientView::IDT_COVER_FADE));
    EXPECT_EQ(View().m_nFadeStep, -1);
    m_timers.advance(40);
    EXPECT_FALSE(Running(CGameClientView::IDT_COVER_FADE));
    EXPECT_EQ(View().m_bFadeRunning, 0);
}

TEST_F(ViewEffects, TimersEndWithTheView)
{
    View().RaiseCardAlarm(0, 2);
    View().ShowTopBadge(1, true);
    View().ShowNoBiggerCard(true);
    View().ShowAddAward();
    View().StartTaskCartoon();
    DestroyTable();
    EXPECT_EQ(m_timers.timerCount(), 0u);
    m_timers.advance(10000);
}

}  // namespace
