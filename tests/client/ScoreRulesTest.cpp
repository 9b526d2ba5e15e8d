// The result window's rules: room types, the multiplier rows' values, the count-up, the match
// clocks, where each seat's parts go, and the numbers of the digit strips.
#include "windows/DigitStrip.h"
#include "windows/ScoreRules.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

constexpr LONG kMax = std::numeric_limits<LONG>::max();
constexpr LONG kMin = std::numeric_limits<LONG>::min();

TEST(ScoreRules, PrizeRoomsAreTypesFourAndEightAndRichPlainRooms)
{
    EXPECT_EQ(ResultRoomType(4, 1), ROOM_PRIZE);
    EXPECT_EQ(ResultRoomType(8, 0), ROOM_PRIZE);
    EXPECT_EQ(ResultRoomType(0, 10), ROOM_PRIZE);
    EXPECT_EQ(ResultRoomType(0, 9), ROOM_PLAIN);
    EXPECT_EQ(ResultRoomType(0, -50), ROOM_PLAIN);
    // Only the plain room turns into a prize room by its cell score.
    EXPECT_EQ(ResultRoomType(ROOM_MATCH, 500), ROOM_MATCH);
    EXPECT_EQ(ResultRoomType(ROOM_TIMED_MATCH, 500), ROOM_TIMED_MATCH);
    EXPECT_EQ(ResultRoomType(ROOM_NO_FEE, 500), ROOM_NO_FEE);
}

TEST(ScoreRules, DoublingRowsShowFixedValuesAndTheOthersPowersOfTwo)
{
    for (int row = 0; row < kMultipleRows; ++row)
        EXPECT_EQ(ShownMultiple(row, 0), 0) << "an unset row " << row;
    EXPECT_EQ(ShownMultiple(0, 1), 2);
    EXPECT_EQ(ShownMultiple(1, 7), 2) << "any set flag shows 2";
    EXPECT_EQ(ShownMultiple(2, 1), 4);
    EXPECT_EQ(ShownMultiple(2, 200), 4);
    EXPECT_EQ(ShownMultiple(3, 1), 2);
    EXPECT_EQ(ShownMultiple(4, 3), 8) << "three bombs";
    EXPECT_EQ(ShownMultiple(7, 1), 2);
    EXPECT_EQ(ShownMultiple(4, 30), 1 << 30);
    // A count the server should never send must not shift past the integer.
    EXPECT_EQ(ShownMultiple(4, 31), kMax);
    EXPECT_EQ(ShownMultiple(5, 255), kMax);
}

TEST(ScoreRules, FeeAndSizeOfAScoreStayInRange)
{
    EXPECT_EQ(ScoreLessFee(100, 5), 95);
    EXPECT_EQ(ScoreLessFee(-100, 5), -105);
    EXPECT_EQ(ScoreLessFee(kMin, 1), kMin);
    EXPECT_EQ(ScoreLessFee(kMax, -1), kMax);
    EXPECT_EQ(AbsoluteScore(-99), 99);
    EXPECT_EQ(AbsoluteScore(kMin), kMax);
}

TEST(ScoreRules, CountUpMovesTowardZeroWithoutPassingIt)
{
    EXPECT_EQ(CountTowardZero(10, 3), 7);
    EXPECT_EQ(CountTowardZero(2, 3), 0);
    EXPECT_EQ(CountTowardZero(-10, 3), -7);
    EXPECT_EQ(CountTowardZero(-2, 3), 0);
    EXPECT_EQ(CountTowardZero(5, 0), 5) << "the first tick of the count does not move";

    // The shown balance rises from the old one to the old one plus the gain.
    EXPECT_EQ(CountedBalance(1000, 40, 40), 1000);
    EXPECT_EQ(CountedBalance(1000, 40, 15), 1025);
    EXPECT_EQ(CountedBalance(1000, -40, 0), 960);
    EXPECT_EQ(CountedBalance(kMax, kMax, 0), kMax);
}

TEST(ScoreRules, MatchClockCountsTheRestOfHalfAnHour)
{
    CMatchClock clock;
    clock.Start(29, 30);
    EXPECT_EQ(clock.GetMinutes(), 0);
    EXPECT_EQ(clock.GetSeconds(), 30);
    EXPECT_TRUE(clock.IsActive());
    for (int tick = 1; tick < 30; ++tick)
        ASSERT_TRUE(clock.Tick()) << tick;
    EXPECT_FALSE(clock.Tick()) << "the thirtieth tick ends it";
    EXPECT_FALSE(clock.IsActive());
    EXPECT_EQ(clock.GetRemaining(), 0);
    EXPECT_FALSE(clock.Tick()) << "and it stays at zero";

    clock.Start(0, 0);
    EXPECT_EQ(clock.GetMinutes(), 30);
    EXPECT_EQ(clock.GetSeconds(), 0);
    clock.Start(65535, 65535);
    EXPECT_EQ(clock.GetRemaining(), 0) << "more than the match played";
    EXPECT_FALSE(clock.IsActive());
}

TEST(ScoreRules, MatchClockShowsMinutesColonSecondsFromItsStrip)
{
    CMatchClock clock;
    clock.Start(29, 30);
    EXPECT_EQ(clock.Cells(), (std::array<BYTE, 5>{0, 0, 10, 3, 0}));
    clock.Start(0, 0);
    EXPECT_EQ(clock.Cells(), (std::array<BYTE, 5>{3, 0, 10, 0, 0}));
    clock.Start(0, 61);
    EXPECT_EQ(clock.Cells(), (std::array<BYTE, 5>{2, 8, 10, 5, 9}));
}

TEST(ScoreRules, SeatsFollowTheLocalChairAndKeepTheirPlaces)
{
    EXPECT_EQ(ResultSeatChair(1, 0), 1);
    EXPECT_EQ(ResultSeatChair(1, 1), 2);
    EXPECT_EQ(ResultSeatChair(1, 2), 0);
    EXPECT_EQ(ResultSeatChair(2, 1), 0);
    // A looker without a chair sees the chairs in their own order.
    EXPECT_EQ(ResultSeatChair(0xFFFF, 2), 2);
    EXPECT_EQ(ResultSeat(0).ptPenalty, CPoint(125, 228));
    EXPECT_EQ(ResultSeat(2).ptPenalty, CPoint(473, 491));
    EXPECT_EQ(ResultSeat(1).ptLevelBar, CPoint(91, 640));
    EXPECT_EQ(MultiplierValueAt(7), CPoint(920, 578));
    EXPECT_EQ(FireworkAt(0), CPoint(690, 330));
}

TEST(ScoreRules, PictureCellsStayInsideTheirSheets)
{
    EXPECT_EQ(LevelBarWidth(0), 1);
    EXPECT_EQ(LevelBarWidth(50u << 16 | 7), 36);
    EXPECT_EQ(LevelBarWidth(100u << 16), kLevelBarWidth);
    EXPECT_EQ(LevelBarWidth(0xFFFFu << 16), kLevelBarWidth);

    EXPECT_EQ(FaceCell(0, false), 0);
    EXPECT_EQ(FaceCell(1, true), 3);
    EXPECT_EQ(FaceCell(200, true), 3);

    EXPECT_EQ(DoublingMarkCell(1, 1, 2), 2);
    EXPECT_EQ(DoublingMarkCell(2, 1, 2), 0);
    EXPECT_EQ(DoublingMarkCell(0, 1, 2), 1);

    EXPECT_TRUE(PenaltyMarks(2).bKindTwo);
    EXPECT_FALSE(PenaltyMarks(2).bKindOne);
    EXPECT_TRUE(PenaltyMarks(3).bKindTwo && PenaltyMarks(3).bKindOne);
    EXPECT_FALSE(PenaltyMarks(0).bKindTwo || PenaltyMarks(0).bKindOne);
}

std::vector<BYTE> Cells(LONG value, bool sign)
{
    const tagNumberCells cells = NumberCells(value, sign);
    return std::vector<BYTE>(cells.cbCell.begin(), cells.cbCell.begin() + cells.nCount);
}

TEST(DigitStrip, NumbersAreASignCellThenTheirDigits)
{
    EXPECT_EQ(Cells(0, false), (std::vector<BYTE>{0}));
    EXPECT_EQ(Cells(0, true), (std::vector<BYTE>{0}));
    EXPECT_EQ(Cells(1200, false), (std::vector<BYTE>{1, 2, 0, 0}));
    EXPECT_EQ(Cells(45, true), (std::vector<BYTE>{kSignCell, 4, 5}));
    EXPECT_EQ(Cells(-99, false), (std::vector<BYTE>{kSignCell, 9, 9}));
    EXPECT_EQ(Cells(kMax, false), (std::vector<BYTE>{2, 1, 4, 7, 4, 8, 3, 6, 4, 7}));
    EXPECT_EQ(Cells(kMin, false), (std::vector<BYTE>{kSignCell, 2, 1, 4, 7, 4, 8, 3, 6, 4, 8}));

    EXPECT_EQ(NumberWidth(-99, false, 19), 3 * 19);
    EXPECT_EQ(NumberWidth(kMin, true, 11), kMaxNumberCells * 11);
}

TEST(DigitStrip, ANumberPastItsAreaStopsAtTheAreasLimit)
{
    EXPECT_EQ(FitNumber(8192, false, 7), 8192);
    EXPECT_EQ(FitNumber(kMax, false, 7), 9999999);
    EXPECT_EQ(FitNumber(kMax, true, 7), 999999);
    EXPECT_EQ(FitNumber(kMin, false, 4), -999);
    EXPECT_EQ(FitNumber(-50, false, 0), -9);
    for (LONG value : {kMax, kMin, LONG{-1}, LONG{123456789}})
        EXPECT_LE(NumberCells(FitNumber(value, true, 10), true).nCount, 10) << value;
}

}  // namespace
