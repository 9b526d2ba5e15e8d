// Where the table puts its seats, buttons and card controls for a client size.
#include "ViewTestHarness.h"

#include <map>

namespace {

using viewtest::ViewTest;

class ViewLayout : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        // Five rows of 25 pixels: the doubling marks sit one row below their base line.
        InstallPicture("Telvo/img/JiaBang.png", 58, 125, 1);
        CreateTable();
    }
};

TEST_F(ViewLayout, TableOfThousandBySevenHundred)
{
    View().LayoutTableView(1000, 700);

    EXPECT_EQ(View().m_ptSeatPanel[0], CPoint(0, 1));
    EXPECT_EQ(View().m_ptSeatPanel[2], CPoint(888, 1));
    EXPECT_EQ(View().m_ptSeatPanel[1], CPoint(0, 484));
    EXPECT_EQ(View().m_ptName[2], CPoint(888, 1));
    EXPECT_EQ(View().m_ptBidMark[2], CPoint(833, 150));
    EXPECT_EQ(View().m_ptBidMark[1], CPoint(95, 447));
    EXPECT_EQ(View().m_ptBangMark[0], CPoint(115, 121));
    EXPECT_EQ(View().m_ptBangMark[2], CPoint(772, 121));
    EXPECT_EQ(View().m_ptBangMark[1], CPoint(0, 459));
    EXPECT_EQ(View().m_ptUserTimer[1], CPoint(468, 335));
    EXPECT_EQ(View().m_ptUserReady[1], CPoint(461, 341));
    EXPECT_EQ(View().m_ptAlarm[1], CPoint(150, 650));
    EXPECT_EQ(View().m_ptFace[1], CPoint(200 - View().m_nXFace, 700 - View().m_nYBorder - 125));
    EXPECT_EQ(View().m_ptFace[2], CPoint(1000 - View().m_nXBorder - 10, 350 - CCardControl::GetCardHeight() - 50));

    EXPECT_EQ(ButtonAt(100), CPoint(443, 408));
    EXPECT_EQ(ButtonAt(101), CPoint(330, 408));
    EXPECT_EQ(ButtonAt(104), CPoint(585, 408));
    EXPECT_EQ(ButtonAt(109), CPoint(421, 295));
    const UINT shortcuts[] = {117, 116, 115, 114, 113, 112, 111};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(ButtonAt(shortcuts[k]), CPoint(304 + 55 * k, 629)) << shortcuts[k];
}

TEST_F(ViewLayout, GameWindowSizeAndCardControls)
{
    // The game window lays the view out for its own client size when it is made.
    EXPECT_EQ(View().GetLayoutWidth(), 1018);
    EXPECT_EQ(View().GetLayoutHeight(), 702);
    EXPECT_EQ(View().m_ptSeatPanel[2], CPoint(906, 1));
    EXPECT_EQ(View().m_ptSeatPanel[1], CPoint(0, 486));
    EXPECT_EQ(ButtonAt(100), CPoint(452, 408));
    EXPECT_EQ(ButtonAt(121), CPoint(260, 485));
    EXPECT_EQ(ButtonAt(1003), CPoint(237, 86));
    EXPECT_EQ(ButtonAt(120), CPoint(746, 86));

    const int cardW = CCardControl::GetCardWidth();
    const int cardH = CCardControl::GetCardHeight();
    const BYTE cards[] = {0x01, 0x02, 0x03};
    View().m_HandCardControl[1].SetCards(cards, 3);
    const CRect hand = Place(View().m_HandCardControl[1]);
    EXPECT_EQ(hand.left + hand.Width() / 2, 509);
    EXPECT_EQ(hand.bottom, 575);
    View().m_UserCardControl[1].SetCards(cards, 3);
    EXPECT_EQ(Place(View().m_UserCardControl[1]).bottom, 428);
    View().m_UserCardControl[2].SetCards(cards, 3);
    EXPECT_EQ(Place(View().m_UserCardControl[2]).right, 1018 - 60);
    EXPECT_EQ(Place(View().m_UserCardControl[2]).top, 192);
    View().m_HandCardControl[0].SetCards(cards, 3);
    EXPECT_EQ(Place(View().m_HandCardControl[0]).TopLeft(), CPoint(60, 192));
    View().m_BackCardControl.SetCards(cards, 3);
    const CRect back = Place(View().m_BackCardControl);
    EXPECT_EQ(back.left + back.Width() / 2, 509);
    EXPECT_EQ(back.top, 351 - 110);
    View().m_DeckCardControl.SetCards(cards, 3);
    EXPECT_EQ(Place(View().m_DeckCardControl).TopLeft(), CPoint(509 - 54 - cardW / 2, View().m_nYBorder + 240));
    EXPECT_GT(cardH, 0);
}

TEST_F(ViewLayout, ClockwiseOrderKeepsTheSideSeats)
{
    View().SetClockwiseOrder(true);
    EXPECT_EQ(m_profile.GetProfileInt("GameOption", "DeasilOrder", -1), 1);
    View().LayoutTableView(1000, 700);
    EXPECT_EQ(View().m_ptSeatPanel[2], CPoint(906, 1)) << "seat 2 stays where the last counter-clockwise layout put it";
    EXPECT_EQ(View().m_ptUserTimer[2], CPoint(1018 - 123, 213));
    EXPECT_EQ(Place(View().m_UserCardControl[2]).right, 1018 - 60);
    EXPECT_EQ(View().m_ptSeatPanel[1], CPoint(0, 484));
    EXPECT_EQ(ButtonAt(100), CPoint(443, 408));

    // Setting the same order again writes nothing; clearing it lays out for the view's own size.
    m_profile.WriteProfileInt("GameOption", "DeasilOrder", 7);
    View().SetClockwiseOrder(true);
    EXPECT_EQ(m_profile.GetProfileInt("GameOption", "DeasilOrder", -1), 7);
    View().SetClockwiseOrder(false);
    EXPECT_EQ(m_profile.GetProfileInt("GameOption", "DeasilOrder", -1), 0);
    EXPECT_EQ(View().GetLayoutWidth(), 1018);
    EXPECT_EQ(View().m_ptSeatPanel[2], CPoint(906, 1));
}

TEST_F(ViewLayout, FixedButtonsDoNotFollowTheWidth)
{
    const UINT fixed[] = {106, 108, 110, 118, 119, 122, 123, 124, 125, 126, 127, 129, 131, 132, 133, 135};
    std::map<UINT, CPoint> before;
    for (UINT id : fixed)
        before[id] = ButtonAt(id);
    View().LayoutTableView(800, 702);
    for (UINT id : fixed)
        EXPECT_EQ(ButtonAt(id), before[id]) << id;
    EXPECT_EQ(ButtonAt(100), CPoint(343, 408)) << "the start button follows the width";
    EXPECT_EQ(before[106], CPoint(790, 510));
    EXPECT_EQ(before[123], CPoint(723, 661));
    EXPECT_EQ(before[131], CPoint(545, 105));
}

TEST_F(ViewLayout, PopupsFollowTheView)
{
    CWnd cover;
    ASSERT_TRUE(cover.Create(WS_POPUP, CRect(0, 0, 10, 10), &Frame()));
    // The role picture takes one frame's size from its strip.
    ASSERT_TRUE(View().m_RoleCartoon.SetStrip(QImage(600, 200, QImage::Format_ARGB32), 2, 0));
    View().m_pTrusteeCover = &cover;
    View().FollowHostWindow();

    CRect rect;
    cover.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 1018, 702));
    View().m_RoleCartoon.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(359, 251, 659, 451));
    View().m_pTrusteeCover = nullptr;
}

}  // namespace
