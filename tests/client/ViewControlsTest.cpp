// The table's buttons and mouse: what reaches the game window, the panel and chat toggles, and the
// change-score buttons.
#include "ViewTestHarness.h"

#include "interaction/Commands.h"
#include "platform/MouseInput.h"

#include <cstring>

namespace {

using viewtest::Message;
using viewtest::ViewTest;

// Every button picture, so that each button has a size the mouse can hit.
const char* const kButtonPictures[] = {"btStart", "btOneScore", "btTwoScore", "btThreeScore", "btGiveUpScore", "btOutCard",
    "btPassCard", "btAutoOutCard", "btAutoPlayOn", "btAutoPlayOff", "btCountSort", "btOrderSort", "btDoubleCard",
    "btThreeCard", "btSingleLine", "btDoubleLine", "btDoubleThree", "btBombCard", "btMissleCard", "btLastTurn",
    "btJiaBang", "btClose", "btUp", "btdown", "btChangeBg", "btGreen", "btRed", "btPurple", "btBlue", "btVideoReplay"};

class ViewControls : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        for (const char* name : kButtonPictures)
            InstallPicture(std::string("Telvo/img/") + name + ".png", 40, 24);
        CreateTable(true);
    }

    // The player clicks the button; it is shown and enabled for the click and hidden again after.
    void ClickAlone(UINT id)
    {
        CPngButton* button = View().GetButton(id);
        button->ShowWindow(SW_SHOW);
        button->EnableWindow(TRUE);
        ASSERT_TRUE(SimulateClick(button, CPoint(4, 4))) << id;
        m_timers.flushPosted();
        button->ShowWindow(SW_HIDE);
    }

    void SetLocalScore(LONG lScore)
    {
        tagUserData me{};
        std::strcpy(me.szName, "me");
        me.lScore = lScore;
        Frame().SetMeChairID(1);
        Frame().SetUserData(1, &me);
    }
};

TEST_F(ViewControls, ButtonsSendTheirCommandsToTheGameWindow)
{
    const std::pair<UINT, Message> cases[] = {
        {100, {UM_START, 0, 0}}, {101, {UM_BID, 1, 1}}, {102, {UM_BID, 2, 2}}, {103, {UM_BID, 3, 3}},
        {104, {UM_BID, 255, 255}}, {105, {UM_OUT_CARD, 1, 1}}, {106, {UM_PASS, 1, 1}}, {107, {UM_HINT, 0, 0}},
        {109, {UM_TRUSTEE, 0, 0}}, {110, {UM_SORT, 0, 0}}, {111, {UM_PICK_PAIR, 0, 0}}, {112, {UM_PICK_TRIO, 0, 0}},
        {113, {UM_PICK_LINE, 0, 0}}, {114, {UM_PICK_PAIR_LINE, 0, 0}}, {115, {UM_PICK_PLANE, 0, 0}},
        {116, {UM_PICK_BOMB, 0, 0}}, {117, {UM_PICK_ROCKET, 0, 0}}, {118, {UM_LAST_TURN, 0, 0}},
        {135, {UM_OPEN_REPLAY, 0, 0}},
    };
    for (const auto& [id, expected] : cases) {
        Frame().messages.clear();
        ClickAlone(id);
        ASSERT_EQ(Frame().messages.size(), 1u) << id;
        EXPECT_EQ(Frame().messages[0], expected) << id;
    }
}

TEST_F(ViewControls, TrusteeAndDoubleButtonsStepAsideAroundTheirCommand)
{
    // The trustee button is disabled before the game window hears of it.
    bool b108EnabledOnArrival = true;
    Frame().onMessage = [&](const Message& m) {
        if (m.message == UM_TRUSTEE)
            b108EnabledOnArrival = Enabled(108);
    };
    View().GetButton(108)->EnableWindow(TRUE);
    ASSERT_TRUE(SimulateClick(View().GetButton(108), CPoint(4, 4)));
    ASSERT_EQ(Frame().messages.size(), 1u);
    EXPECT_EQ(Frame().messages[0], (Message{UM_TRUSTEE, 1, 1}));
    EXPECT_FALSE(b108EnabledOnArrival);

    // The double button hides only after its command went out.
    bool b119VisibleOnArrival = false;
    Frame().onMessage = [&](const Message& m) {
        if (m.message == UM_BANG)
            b119VisibleOnArrival = Visible(119) && Enabled(119);
    };
    View().GetButton(119)->ShowWindow(SW_SHOW);
    View().GetButton(119)->EnableWindow(TRUE);
    ASSERT_TRUE(SimulateClick(View().GetButton(119), CPoint(4, 4)));
    EXPECT_EQ(Frame().messages.back(), (Message{UM_BANG, 0, 0}));
    EXPECT_TRUE(b119VisibleOnArrival);
    EXPECT_FALSE(Visible(119));
    EXPECT_FALSE(Enabled(119));
    Frame().onMessage = nullptr;

    EXPECT_FALSE(View().PressButton(119)) << "hidden now";
    EXPECT_FALSE(View().PressButton(105)) << "hidden from the start";
}

TEST_F(ViewControls, PassButtonEndsTheNoBiggerCardNotice)
{
    View().ShowNoBiggerCard(true);
    ClickAlone(106);
    EXPECT_EQ(Frame().messages.back(), (Message{UM_PASS, 1, 1}));
    EXPECT_EQ(View().m_bNoBiggerShown, 0);
}

TEST_F(ViewControls, ChatButtonMovesAndTellsTheParent)
{
    EXPECT_EQ(ButtonAt(121), CPoint(260, 485));
    View().FlashChat(true);
    ASSERT_TRUE(SimulateClick(View().GetButton(121), CPoint(4, 4)));
    EXPECT_EQ(View().m_bChatOpen, 0u);
    EXPECT_EQ(ButtonAt(121), CPoint(260, 485 + 131));
    EXPECT_EQ(Frame().messages.back(), (Message{UM_SIDE_PANEL, 0, 0}));
    EXPECT_EQ(View().m_bChatFlash, 1) << "only opening stops the flash";

    // Laid out again while closed, it stays low.
    View().LayoutTableView(1018, 702);
    EXPECT_EQ(ButtonAt(121), CPoint(260, 616));

    ASSERT_TRUE(SimulateClick(View().GetButton(121), CPoint(4, 4)));
    EXPECT_EQ(View().m_bChatOpen, 1u);
    EXPECT_EQ(ButtonAt(121), CPoint(260, 485));
    EXPECT_EQ(View().m_bChatFlash, 0);
    EXPECT_EQ(Frame().messages.size(), 2u);
}

TEST_F(ViewControls, PanelButtonsSlideTheirPanels)
{
    ASSERT_TRUE(SimulateClick(View().GetButton(120), CPoint(4, 4)));
    EXPECT_EQ(View().m_bScorePanelOpen, 0);
    m_timers.advance(40);
    EXPECT_EQ(View().m_nScorePanelHeight, 101);
    m_timers.advance(160);
    EXPECT_EQ(View().m_nScorePanelHeight, 40);
    EXPECT_FALSE(m_timers.isTimerRunning(&View(), CGameClientView::IDT_SCORE_SLIDE));
    EXPECT_EQ(ButtonAt(120), CPoint(750, 5));

    View().ToggleMatchPanel();
    m_timers.advance(400);
    EXPECT_EQ(View().m_nMatchPanelHeight, 40);
    EXPECT_EQ(ButtonAt(1003), CPoint(237, 5));
    View().ToggleMatchPanel();
    m_timers.advance(400);
    EXPECT_EQ(View().m_nMatchPanelHeight, 121);
    EXPECT_FALSE(m_timers.isTimerRunning(&View(), CGameClientView::IDT_MATCH_SLIDE));

    // While a change-score result shows, the open match panel does not close.
    View().ShowChangeScoreResult(0);
    View().ToggleMatchPanel();
    EXPECT_EQ(View().m_bMatchPanelOpen, 1);
}

TEST_F(ViewControls, ChangeScoreThresholds)
{
    View().m_lItemPrice[0] = 100;
    View().m_lItemPrice[2] = 300;
    View().m_lItemPrice[3] = 500;

    // Without a user record the score counts as 0: too high only for the button to zero.
    View().ToggleMatchPanel();
    EXPECT_EQ(View().m_bMatchPanelOpen, 0);
    ASSERT_TRUE(View().ClickButton(127));
    EXPECT_FALSE(View().GetChangeScoreRequest().has_value());
    EXPECT_EQ(View().m_bChangeScoreShown, 1);
    EXPECT_EQ(View().m_wChangeScoreCode, CGameClientView::kChangeScoreTooHigh);
    EXPECT_EQ(View().m_bMatchPanelOpen, 1) << "the result opens a closed match panel";
    m_timers.advance(4999);
    EXPECT_EQ(View().m_bChangeScoreShown, 1);
    m_timers.advance(1);
    EXPECT_EQ(View().m_bChangeScoreShown, 0);

    ASSERT_TRUE(View().ClickButton(129));
    ASSERT_TRUE(View().GetChangeScoreRequest().has_value());
    EXPECT_EQ(View().GetChangeScoreRequest()->lThreshold, 20);
    EXPECT_EQ(View().GetChangeScoreRequest()->lItemCount, 300);
    EXPECT_EQ(View().GetChangeScoreRequest()->wItemKind, 3);
    EXPECT_EQ(View().m_bChangeScoreShown, 0);

    // A score at the threshold is too high; below it the window opens.
    SetLocalScore(40);
    ASSERT_TRUE(View().ClickButton(130));
    EXPECT_EQ(View().GetChangeScoreRequest()->lThreshold, 20) << "no new request";
    EXPECT_EQ(View().m_bChangeScoreShown, 1);
    ASSERT_TRUE(View().ClickButton(131));
    EXPECT_EQ(View().GetChangeScoreRequest()->lThreshold, 60);
    EXPECT_EQ(View().GetChangeScoreRequest()->wItemKind, 6);
    SetLocalScore(-5);
    ASSERT_TRUE(View().ClickButton(127));
    EXPECT_EQ(View().GetChangeScoreRequest()->lThreshold, 0);
    EXPECT_EQ(View().GetChangeScoreRequest()->lItemCount, 100);
}

TEST_F(ViewControls, MouseOnTheTable)
{
    const CPoint empty(500, 300);
    ASSERT_TRUE(SimulateRightClick(&View(), empty));
    m_timers.flushPosted();
    ASSERT_EQ(Frame().messages.size(), 2u);
    // The auto-pass is sent at once; the right click was posted before it and arrives later.
    EXPECT_EQ(Frame().messages[0], (Message{UM_AUTO_PASS, 0, 0}));
    EXPECT_EQ(Frame().messages[1], (Message{UM_CARD_RIGHT_CLICK, 0, 0}));

    const BYTE cards[] = {0x01, 0x02, 0x03};
    View().m_HandCardControl[1].SetCards(cards, 3);
    View().m_HandCardControl[1].RaiseCards(cards + 1, 2);
    View().GetButton(105)->ShowWindow(SW_SHOW);
    View().GetButton(105)->EnableWindow(TRUE);
    Frame().messages.clear();
    ASSERT_TRUE(SimulateMouse(&View(), WM_LBUTTONDBLCLK, empty));
    BYTE raised[20];
    EXPECT_EQ(View().m_HandCardControl[1].GetRaisedCards(raised, 20), 0);
    EXPECT_FALSE(Enabled(105));
    ASSERT_EQ(Frame().messages.size(), 1u);
    EXPECT_EQ(Frame().messages[0], (Message{UM_AUTO_PASS, 0, 0}));
}

TEST_F(ViewControls, DragOverTheHandEndsOnTheTable)
{
    CCardControl& hand = View().m_HandCardControl[1];
    const BYTE cards[] = {0x01, 0x02, 0x03, 0x04};
    hand.SetCards(cards, 4);
    const CRect place = Place(hand);
    // Press on the first card, let go on the table above the hand.
    ASSERT_TRUE(SimulateMouse(&hand, WM_LBUTTONDOWN, CPoint(4, 40)));
    ASSERT_TRUE(CCardControl::IsDragging());
    ReleaseCapture();
    ASSERT_TRUE(SimulateMouse(&View(), WM_LBUTTONUP, CPoint(place.left + 4, place.top - 30)));
    EXPECT_FALSE(CCardControl::IsDragging());
    m_timers.flushPosted();
    BYTE raised[20];
    EXPECT_EQ(hand.GetRaisedCards(raised, 20), 1);
    EXPECT_EQ(Frame().messages.back(), (Message{UM_CARD_CLICK, 0, 0}));
}

}  // namespace
