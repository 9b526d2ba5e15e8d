// The result window's rules: room types, the multiplier rows' values, the count-up and the
// match clocks.
#include "windows/ScoreRules.h"

#include <gtest/gtest.h>

#include <limits>

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

}  // namespace
