// The table's state: the background kept in the settings file, the seat setters, the reset between
// games and the match values.
#include "ViewTestHarness.h"

#include "support/TempFolder.h"

namespace {

using viewtest::ViewTest;

class ViewBackground : public ViewTest {
protected:
    void StoreIndex(const std::string& text)
    {
        WriteBytes(SettingFile(), "[Other]\r\nKeep=1\r\n[Qarrum]\r\nGameBgIndex=" + text + "\r\n");
    }
    std::string StoredIndex() { return ReadIniString(SettingFile(), "Qarrum", "GameBgIndex", "missing"); }
};

TEST_F(ViewBackground, StoredIndexIsReducedToFourColours)
{
    const std::pair<const char*, WORD> cases[] = {{"2", 2}, {"7", 3}, {"-1", 3}, {"-2", 2}, {"abc", 0}, {"65536", 0}};
    for (const auto& [text, expected] : cases) {
        StoreIndex(text);
        CreateTable();
        EXPECT_EQ(View().m_wBackground, expected) << text;
        for (UINT id = 123; id <= 126; ++id)
            EXPECT_EQ(Visible(id), id - 123 == expected) << text << " button " << id;
        EXPECT_FALSE(Visible(122));
        DestroyTable();
    }
}

TEST_F(ViewBackground, MissingFileGivesGreenAndIsWrittenAtTheEnd)
{
    CreateTable();
    EXPECT_EQ(View().m_wBackground, 0);
    EXPECT_FALSE(std::filesystem::exists(SettingFile()));
    DestroyTable();
    EXPECT_EQ(StoredIndex(), "0");
}

TEST_F(ViewBackground, ChosenIndexIsWrittenBackKeepingTheRest)
{
    StoreIndex("7");
    CreateTable();
    View().NextBackground();
    EXPECT_EQ(View().m_wBackground, 0);
    View().NextBackground();
    DestroyTable();
    EXPECT_EQ(StoredIndex(), "1");
    EXPECT_EQ(ReadIniString(SettingFile(), "Other", "Keep", ""), "1");
}

TEST_F(ViewBackground, ColourButtonsCycle)
{
    StoreIndex("3");
    CreateTable();
    ASSERT_TRUE(View().PressButton(126));
    EXPECT_EQ(View().m_wBackground, 0);
    EXPECT_TRUE(Visible(123));
    for (UINT id : {122u, 124u, 125u, 126u})
        EXPECT_FALSE(Visible(id)) << id;

    ASSERT_TRUE(View().PressButton(123));
    EXPECT_EQ(View().m_wBackground, 1);
    EXPECT_TRUE(Visible(124));
    EXPECT_FALSE(Visible(123));
    EXPECT_FALSE(View().PressButton(123)) << "a hidden button cannot be pressed";
}

using ViewState = ViewTest;

TEST_F(ViewState, SeatSettersTakeOneSeatOrAll)
{
    CreateTable();
    View().SetSeatBid(0, 1);
    View().SetSeatBid(1, 3);
    View().SetSeatBid(2, 255);
    EXPECT_EQ(View().m_cbSeatBid[2], 255);
    View().SetSeatBid(INVALID_SEAT, 2);
    for (int seat = 0; seat < 3; ++seat)
        EXPECT_EQ(View().m_cbSeatBid[seat], 0) << seat;

    View().SetSeatCardsLeft(INVALID_SEAT, 17);
    View().SetSeatCardsLeft(1, 20);
    EXPECT_EQ(View().m_cbCardsLeft[0], 17);
    EXPECT_EQ(View().m_cbCardsLeft[1], 20);
    View().MarkSeatPassed(2, true);
    View().MarkSeatTrustee(INVALID_SEAT, true);
    EXPECT_EQ(View().m_bSeatPassed[2], 1);
    EXPECT_EQ(View().m_bSeatPassed[0], 0);
    EXPECT_EQ(View().m_bSeatTrustee[1], 1);

    // A seat that is not one changes nothing.
    View().SetSeatBid(3, 1);
    View().MarkSeatOffline(7, true);
    View().RaiseCardAlarm(3, 2);
    for (int seat = 0; seat < 3; ++seat) {
        EXPECT_EQ(View().m_cbSeatBid[seat], 0);
        EXPECT_EQ(View().m_bSeatOffline[seat], 0);
        EXPECT_EQ(View().m_dwAlarmCards[seat], 0u);
    }

    View().SetLord(2, 3);
    EXPECT_EQ(View().m_wLordSeat, 2);
    EXPECT_EQ(View().m_cbLordBid, 3);
    View().SetLordSeat(INVALID_SEAT);
    EXPECT_EQ(View().m_wLordSeat, INVALID_SEAT);
}

TEST_F(ViewState, ResetReturnsToTheIdleTable)
{
    CreateTable();
    for (UINT id : {101u, 102u, 103u, 104u, 105u, 106u, 107u, 109u}) {
        View().GetButton(id)->ShowWindow(SW_SHOW);
        View().GetButton(id)->EnableWindow(TRUE);
    }
    View().GetButton(108)->ShowWindow(SW_HIDE);
    View().GetButton(110)->EnableWindow(TRUE);
    View().SetMultiple(8);
    View().SetLord(0, 2);
    View().SetBaseScore(50);
    View().MarkSeatOffline(0, true);
    View().m_bSeatBang[1] = 1;
    View().m_wBangSeat = 1;
    View().RaiseCardAlarm(2, 1);
    View().m_cbPlayCount = 9;
    View().ShowSideCardBacks(true);
    const BYTE cards[] = {0x11, 0x12};
    View().m_HandCardControl[1].SetCards(cards, 2);
    View().m_UserCardControl[0].SetCards(cards, 2);
    View().m_BackCardControl.SetCards(cards, 2);

    View().ResetTableView();

    EXPECT_TRUE(Visible(101));
    EXPECT_TRUE(Visible(102));
    for (UINT id : {103u, 104u, 105u, 106u, 107u, 109u})
        EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(Visible(108));
    for (UINT id : {105u, 106u, 107u, 110u, 118u})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(View().m_wMultiple, 1);
    EXPECT_EQ(View().m_wLordSeat, INVALID_SEAT);
    EXPECT_EQ(View().m_cbLordBid, 0);
    EXPECT_EQ(View().m_lBaseScore, 0);
    EXPECT_EQ(View().m_bSeatOffline[0], 0);
    EXPECT_EQ(View().m_bSeatBang[1], 0);
    EXPECT_EQ(View().m_wBangSeat, INVALID_SEAT);
    EXPECT_EQ(View().m_bShowCardsLeft, 0);
    EXPECT_EQ(View().m_dwAlarmCards[2], 1u) << "the alarm outlives a reset";
    EXPECT_EQ(View().m_cbPlayCount, 9) << "the game window counts the plays";
    EXPECT_EQ(View().m_HandCardControl[1].GetCardCount(), 0);
    EXPECT_EQ(View().m_UserCardControl[0].GetCardCount(), 0);
    EXPECT_EQ(View().m_BackCardControl.GetCardCount(), 0);
}

TEST_F(ViewState, SortButtonPictureFollowsTheSetting)
{
    InstallPicture("Telvo/img/btCountSort.png", 40, 30);
    InstallPicture("Telvo/img/btOrderSort.png", 50, 30);
    m_profile.WriteProfileInt("GameOption", "OrderSortCard", 0);
    CreateTable();
    EXPECT_EQ(View().m_bOrderSortCard, 0);
    EXPECT_EQ(Place(*View().GetButton(110)).Width(), 50);
    View().ResetTableView();
    EXPECT_EQ(Place(*View().GetButton(110)).Width(), 40);
}

TEST_F(ViewState, MatchStatusAndCountdown)
{
    CreateTable();
    View().m_dwRank = 4;
    View().m_dwRankTotal = 30;
    MatchStatus status{};
    status.cbMatchMode = 3;
    status.dwRank = 2;
    status.dwRankTotal = 12;
    status.wMinutes = 0;
    status.wSeconds = 2;
    View().SetMatchStatus(status);
    EXPECT_EQ(View().m_wGameMode, 3);
    EXPECT_EQ(View().m_dwRank, 2u);
    EXPECT_EQ(View().m_llCountdown, 2);

    m_timers.advance(1000);
    EXPECT_EQ(View().m_llCountdown, 1);
    m_timers.advance(1000);
    EXPECT_EQ(View().m_llCountdown, 0);
    m_timers.advance(3000);
    EXPECT_EQ(View().m_llCountdown, 0) << "the countdown stops at zero";

    // Mode 4 keeps the rank and the countdown it had.
    status.cbMatchMode = 4;
    status.dwRank = 9;
    status.wHours = 5;
    View().SetMatchStatus(status);
    EXPECT_EQ(View().m_wGameMode, 4);
    EXPECT_EQ(View().m_dwRank, 2u);
    EXPECT_EQ(View().m_MatchStatus.dwRank, 2u);
    EXPECT_EQ(View().m_llCountdown, 0);

    matchRank ranks{};
    ranks.cbReserved[0] = 7;
    ranks.dwUserValue[1] = 120;
    View().SetMatchRanks(ranks);
    EXPECT_EQ(View().m_MatchRanks.dwUserValue[1], 120u);
    EXPECT_EQ(View().m_MatchRanks.cbReserved[0], 0) << "only the seat values are kept";

    View().StartPrizeRoll(123);
    EXPECT_EQ(View().m_nPrizeDigits, 3);
    EXPECT_EQ(View().m_nPrizeTarget[0], 6 * 26);
    EXPECT_EQ(View().m_nPrizeTarget[2], 8 * 26);
    EXPECT_EQ(View().m_nPrizeTarget[3], 0);
}

}  // namespace
