// What the table shows, without a painter: numbers, bubbles and marks, the seat lines, the two
// panels, the card counter and the prize digits.
#include "view/TableRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using namespace table;

std::vector<int> Cells(int64_t value, bool withPlus)
{
    const NumberCells cells = CellsOfNumber(value, withPlus);
    return std::vector<int>(cells.cells.begin(), cells.cells.begin() + cells.count);
}

std::vector<std::string> Texts(const std::vector<TextItem>& items)
{
    std::vector<std::string> texts;
    for (const TextItem& item : items)
        texts.push_back(item.text);
    return texts;
}

TEST(TableNumbers, CellsAndWidths)
{
    EXPECT_EQ(Cells(0, false), std::vector<int>{0});
    EXPECT_EQ(Cells(0, true), std::vector<int>{0});
    EXPECT_EQ(Cells(305, false), (std::vector<int>{3, 0, 5}));
    EXPECT_EQ(Cells(12, true), (std::vector<int>{kPlusCell, 1, 2}));
    EXPECT_EQ(Cells(-7, false), (std::vector<int>{kMinusCell, 7}));
    EXPECT_EQ(Cells(-7, true), (std::vector<int>{kMinusCell, 7}));
    // The most negative value keeps its digits instead of overflowing when negated.
    EXPECT_EQ(Cells(INT64_MIN, false).size(), 20u);
    EXPECT_EQ(Cells(INT32_MIN, false), (std::vector<int>{kMinusCell, 2, 1, 4, 7, 4, 8, 3, 6, 4, 8}));

    EXPECT_EQ(MeasureNumber(0, 26, false), 26);
    EXPECT_EQ(MeasureNumber(48, 20, true), 60);
    EXPECT_EQ(MeasureNumber(-48, 20, false), 60);
}

TEST(TableNumbers, PlaquePlaces)
{
    // A two-digit multiple starts 13 pixels further left than a one-digit one.
    EXPECT_EQ(MultipleAt(1018, 9), CPoint(543, 35));
    EXPECT_EQ(MultipleAt(1018, 10), CPoint(530, 35));
    EXPECT_EQ(LordBidAt(1018), CPoint(436, 35));
    // Card counts under the side seats' small backs; one digit sits a cell's half further right.
    EXPECT_EQ(CardCountAt(0, CPoint(60, 192), 17), CPoint(10, 274));
    EXPECT_EQ(CardCountAt(0, CPoint(60, 192), 5), CPoint(20, 274));
    EXPECT_EQ(CardCountAt(2, CPoint(958, 192), 17), CPoint(968, 274));
    EXPECT_EQ(CardCountAt(2, CPoint(958, 192), 3), CPoint(978, 274));
}

TEST(TableBubbles, FirstMatchingCaseDecides)
{
    const TableMarks table{1, 0, 0, false};
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{}, table), kBubbleNone);
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{false, false, 255}, table), kBubbleGaveUp);
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{false, false, 1}, table), 9);
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{false, false, 2}, table), 8);
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{false, false, 3}, table), 7);
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{false, false, 4}, table), kBubbleNone);
    // A seat that passed and has a bid shows the pass.
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{false, true, 2}, table), kBubblePassed);
    // Doubling calls: the landlord answers, the first call, the follower.
    EXPECT_EQ(BubbleWordRow(1, SeatMarks{true, true, 3}, table), kBubbleLordBang);
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{true}, table), kBubbleFirstBang);
    EXPECT_EQ(BubbleWordRow(2, SeatMarks{true}, table), kBubbleFollowBang);
}

TEST(TableBubbles, DoublingAndAlarmWearOff)
{
    TableMarks table{1, 0, 1, false};
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{true}, table), kBubbleFirstBang);
    table.cbPlayCount = 2;
    EXPECT_EQ(BubbleWordRow(0, SeatMarks{true}, table), kBubbleNone);

    const SeatMarks alarm{false, false, 0, 2, 7};
    for (BYTE plays : {7, 8, 9})
        EXPECT_EQ(BubbleWordRow(2, alarm, TableMarks{1, 0, plays, false}), kBubbleAlarm) << int(plays);
    EXPECT_EQ(BubbleWordRow(2, alarm, TableMarks{1, 0, 10, false}), kBubbleNone);
    EXPECT_EQ(BubbleWordRow(2, alarm, TableMarks{1, 0, 8, true}), kBubbleNone);
    // A pass on the same seat shows instead.
    EXPECT_EQ(BubbleWordRow(2, SeatMarks{false, true, 0, 2, 7}, TableMarks{1, 0, 8, false}), kBubblePassed);

    EXPECT_EQ(BubbleOrigin(0, CPoint(95, 150)), CPoint(59, 102));
    EXPECT_EQ(BubbleOrigin(1, CPoint(95, 447)), CPoint(59, 422));
}

TEST(TableBubbles, DoublingMarkRows)
{
    const TableMarks table{1, 0, 0, false};
    auto rows = [&](int seat, bool lordBanged) {
        const BangRows r = BangMarkRows(seat, table, lordBanged);
        return std::pair(r.first, r.second);
    };
    EXPECT_EQ(rows(0, false), std::pair(0, 3));
    EXPECT_EQ(rows(2, false), std::pair(1, 3));
    EXPECT_EQ(rows(1, false), std::pair(2, 4));
    EXPECT_EQ(rows(0, true), std::pair(2, 4));
}

TEST(TableSeatInfo, LocalSeatLines)
{
    SeatUser user;
    user.name = "小明";
    user.region[0] = "广东";
    user.region[1] = "深圳";
    user.level = 7;
    user.progress = 50;
    user.lGold = 1200;
    user.lLottery = 3;
    const SeatInfoLayout lines = SeatInfoLines(&user, 10, 581, 113, 1, false, 60);
    EXPECT_EQ(Texts(lines.texts), (std::vector<std::string>{"小明", "广东深圳", "等级：", "7", "金币：1200", "奖券：3"}));
    EXPECT_EQ(lines.texts[0].rect, CRect(-2, 588, 119, 603));
    EXPECT_EQ(lines.texts[1].rect, CRect(-5, 605, 123, 620));
    EXPECT_EQ(lines.texts[5].rect, CRect(10, 656, 108, 671));
    EXPECT_EQ(lines.texts[3].colour, kLevelText);
    EXPECT_TRUE(lines.bLevelBar);
    EXPECT_EQ(lines.levelBarAt, CPoint(45, 622));
    EXPECT_EQ(lines.nLevelFill, 30);

    // A match table counts points and shows no gold or tickets.
    EXPECT_EQ(Texts(SeatInfoLines(&user, 10, 581, 113, 1, true, 60).texts).back(), "积分：0");
}

TEST(TableSeatInfo, EdgesAndHiddenSeats)
{
    EXPECT_EQ(RegionText("", ""), "其他地区");
    EXPECT_EQ(RegionText("", "深圳"), "深圳");
    EXPECT_EQ(LevelBarFill(60, 0), 1);
    EXPECT_EQ(LevelBarFill(60, 99), 59);
    EXPECT_EQ(LevelBarFill(60, 400), 60);

    EXPECT_EQ(Texts(SeatInfoLines(nullptr, 10, 96, 113, 0, false, 0).texts),
        (std::vector<std::string>{"匿名", "-", "等级： -", "金币： -"}));
    EXPECT_EQ(Texts(SeatInfoLines(nullptr, 10, 96, 113, 1, false, 0).texts),
        (std::vector<std::string>{"匿名", "-", "等级： -", "金币： -", "奖券： -"}));
    const SeatInfoLayout match = SeatInfoLines(nullptr, 10, 96, 113, 1, true, 0);
    EXPECT_EQ(Texts(match.texts), (std::vector<std::string>{"匿名", "-", "等级： -", "积分： -"}));
    EXPECT_FALSE(match.bLevelBar);
}

TEST(TablePanels, ScorePanelRows)
{
    ScoreSeat seats[kSeats];
    seats[1] = ScoreSeat{true, "我", -12, 340};
    seats[2] = ScoreSeat{true, "右", 5, 99};
    // Seat 0 is empty: the rows of the others are still where their seats put them.
    const std::vector<TextItem> texts = ScorePanelTexts(seats, false);
    EXPECT_EQ(Texts(texts), (std::vector<std::string>{"昵称", "上一局", "总成绩", "我", " -12", " 340", "匿名", "-", "-"}));
    EXPECT_EQ(texts[3].rect, CRect(5, 20, 125, 38));
    EXPECT_EQ(texts[6].rect, CRect(5, 38, 125, 56));
    EXPECT_EQ(ScorePanelRow(0), 2);

    EXPECT_EQ(Texts(ScorePanelTexts(seats, true))[1], "排  名");
}

TEST(TablePanels, CountdownFormat)
{
    EXPECT_EQ(FormatCountdown(1), "00:00:01");
    EXPECT_EQ(FormatCountdown(3723), "01:02:03");
    // Whole days are not shown.
    EXPECT_EQ(FormatCountdown(25 * 3600), "01:00:00");
}

TEST(TablePanels, MatchPanelByMode)
{
    MatchPanelData d;
    d.dwRank = 4;
    d.dwRankTotal = 30;
    d.dwRound = 2;
    d.dwRoundCount = 5;

    d.nGameMode = 1;
    d.dwStage = 0;
    MatchPanelLayout layout = MatchPanelLines(d);
    EXPECT_EQ(Texts(layout.lines), (std::vector<std::string>{"你当前的排名 ：4/30", "              总决赛0/5", "你目前处于   ：预选赛2/5"}));
    EXPECT_EQ(layout.lines[2].colour, kPanelHighlight);
    EXPECT_EQ(layout.lines[2].rect, CRect(50, 50, 274, 70));
    d.dwStage = 1;
    layout = MatchPanelLines(d);
    EXPECT_EQ(Texts(layout.lines), (std::vector<std::string>{"你当前的排名 ：4/30", "你目前处于   ：总决赛2/5", "              预选赛5/5"}));
    EXPECT_EQ(layout.lines[1].colour, kPanelHighlight);
    d.dwStage = 2;
    EXPECT_EQ(MatchPanelLines(d).lines.size(), 1u);

    d.nGameMode = 3;
    d.llCountdown = 1;
    d.dwSeatValue = 9;
    EXPECT_EQ(Texts(MatchPanelLines(d).lines), (std::vector<std::string>{"比赛倒计时   ：00:00:01", "你当前的排名 ：9/30"}));
    d.llCountdown = 0;
    EXPECT_EQ(MatchPanelLines(d).lines[0].text, "比赛倒计时\t：等待颁奖");
    d.llCountdown = -1;
    EXPECT_EQ(MatchPanelLines(d).lines[0].text, "比赛倒计时\t：关闭中");

    d.nGameMode = 4;
    d.llCountdown = 3600;
    d.lGamesPlayed = 3;
    d.lRoundTotal = 8;
    d.lScore = -20;
    layout = MatchPanelLines(d);
    EXPECT_EQ(layout.picture, MatchPicture::Prize);
    EXPECT_EQ(Texts(layout.lines), (std::vector<std::string>{"\t\t\t\t01:00:00", "\t\t\t\t3/8", "\t\t\t\t4/30", "\t\t\t\t-20"}));
    EXPECT_EQ(layout.lines[3].rect, CRect(106, 56, 274, 73));

    d.nGameMode = 8;
    d.llCountdown = 0;
    layout = MatchPanelLines(d);
    EXPECT_EQ(layout.picture, MatchPicture::Match);
    EXPECT_EQ(Texts(layout.lines), (std::vector<std::string>{"\t\t\t\t等待颁奖", "\t\t\t\t4/30", "\t\t\t\t-20"}));

    for (int blank : {0, 2, 5, 9}) {
        d.nGameMode = blank;
        layout = MatchPanelLines(d);
        EXPECT_TRUE(layout.lines.empty()) << blank;
        EXPECT_EQ(layout.picture, MatchPicture::None) << blank;
    }
}

class TableCounter : public testing::Test {
protected:
    BYTE out[kCounterSlots] = {};
    BYTE left[kCounterSlots] = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 1, 1};
};

TEST_F(TableCounter, NotYetPlayedMode)
{
    // The player holds one 3 and the big joker; two 4s are played.
    out[1] = 2;
    left[1] = 2;
    const BYTE hand[] = {0x03, 0x4F};
    const auto cells = CounterCells(out, left, hand, 2, 0);
    EXPECT_EQ(cells[0].n, 4);
    EXPECT_FALSE(cells[0].bFramed);  // the player holds one of them
    EXPECT_TRUE(cells[2].bFramed);   // all four 5s are with the others
    EXPECT_FALSE(cells[1].bFramed);
    EXPECT_EQ(cells[1].n, 2);
    EXPECT_FALSE(cells[14].bFramed);  // jokers are never framed
    EXPECT_FALSE(cells[13].bFramed);
    left[5] = 0;
    EXPECT_TRUE(CounterCells(out, left, hand, 2, 0)[5].bGreyed);
}

TEST_F(TableCounter, PlayedMode)
{
    out[0] = 4;
    left[0] = 0;
    out[13] = 1;
    left[13] = 0;
    const BYTE hand[] = {0x21};
    const auto cells = CounterCells(out, left, hand, 1, 1);
    EXPECT_EQ(cells[0].n, 4);
    EXPECT_TRUE(cells[0].bGreyed);
    EXPECT_TRUE(cells[13].bGreyed);
    EXPECT_FALSE(cells[14].bGreyed);
    EXPECT_TRUE(cells[2].bFramed);
    EXPECT_FALSE(cells[11].bFramed);  // the player's ace
    EXPECT_FALSE(cells[14].bFramed);
}

TEST_F(TableCounter, HandThatDisagreesStaysInRange)
{
    // Bytes that are not cards are left out; a rank counted as all played that the player still
    // holds does not wrap round to 255 and get framed.
    left[3] = 0;
    const BYTE hand[] = {0x06, 0x16, 0x00, 0x5F, 0xFF};
    const auto cells = CounterCells(out, left, hand, 5, 0);
    EXPECT_EQ(cells[3].n, 0);
    EXPECT_FALSE(cells[3].bFramed);
}

TEST(TablePrize, DigitsAndCells)
{
    PrizeDigits zero = PrizeDigitsOf(0, 26);
    EXPECT_EQ(zero.nDigits, 1);
    EXPECT_EQ(zero.offsets[0], 9 * 26);
    EXPECT_EQ(zero.offsets[1], 0);

    PrizeDigits prize = PrizeDigitsOf(123, 26);
    EXPECT_EQ(prize.nDigits, 3);
    EXPECT_EQ(prize.offsets[0], 6 * 26);
    EXPECT_EQ(prize.offsets[1], 7 * 26);
    EXPECT_EQ(prize.offsets[2], 8 * 26);
    EXPECT_EQ(prize.offsets[3], 0);

    // Ten digits keep the last nine.
    prize = PrizeDigitsOf(2000000001, 26);
    EXPECT_EQ(prize.nDigits, 9);
    EXPECT_EQ(prize.offsets[0], 8 * 26);
    EXPECT_EQ(prize.offsets[8], 9 * 26);
    EXPECT_EQ(PrizeDigitsOf(INT32_MIN, 26).nDigits, 9);

    EXPECT_EQ(PrizeCellX(0, 20), 612);
    EXPECT_EQ(PrizeCellX(8, 20), 436);
}

TEST(TablePrize, StripWrapsRound)
{
    auto pieces = RollPieces(6 * 26, 26, 260);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].srcY, 156);
    pieces = RollPieces(9 * 26, 26, 260);
    ASSERT_EQ(pieces.size(), 1u);
    pieces = RollPieces(250, 26, 260);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].srcY, 250);
    EXPECT_EQ(pieces[0].height, 10);
    EXPECT_EQ(pieces[1].srcY, 0);
    EXPECT_EQ(pieces[1].height, 16);
    EXPECT_EQ(pieces[1].destY, 10);
    EXPECT_TRUE(RollPieces(0, 26, 0).empty());
}

}  // namespace
