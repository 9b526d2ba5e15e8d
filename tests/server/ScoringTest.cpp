// Settling a game: stakes per farmer, doubles, spring, the cap, and scores that sum to zero.

#include <gtest/gtest.h>

#include "server/Scoring.h"

using namespace server;

namespace {

SettleInput game(uint16_t lord, bool lordWon)
{
    SettleInput in;
    in.cellScore = 10;
    in.bid = 2;
    in.lord = lord;
    in.lordWon = lordWon;
    return in;
}

int32_t sum(const Settlement& s)
{
    return s.scores[0] + s.scores[1] + s.scores[2];
}

TEST(Scoring, BombsAndTheRocketDoubleEveryStake)
{
    SettleInput in = game(1, true);
    in.bombs = 2;
    in.rocket = true;
    const Settlement s = settle(in);
    EXPECT_EQ(s.scores[0], -160);  // 10 x 2 x 2^3
    EXPECT_EQ(s.scores[2], -160);
    EXPECT_EQ(s.scores[1], 320);
    EXPECT_EQ(s.multiples[1], 32);
    EXPECT_EQ(sum(s), 0);
}

TEST(Scoring, ADoubleRaisesOnlyThatFarmersStakeAndTheLandlordsAnswerDoublesItAgain)
{
    SettleInput in = game(0, false);
    in.doubled = {false, true, false};
    Settlement s = settle(in);
    EXPECT_EQ(s.scores[1], 40);
    EXPECT_EQ(s.scores[2], 20);
    EXPECT_EQ(s.scores[0], -60);
    in.doubled = {true, true, false};
    s = settle(in);
    EXPECT_EQ(s.scores[1], 80);
    EXPECT_EQ(s.scores[2], 20);
    EXPECT_EQ(sum(s), 0);
    // An answer without a farmer's double changes nothing.
    in.doubled = {true, false, false};
    EXPECT_EQ(settle(in).scores[0], -40);
}

TEST(Scoring, SpringAndReverseSpringDouble)
{
    EXPECT_EQ(springOf(true, 2, {0, 0, 7}), Spring::Spring);
    EXPECT_EQ(springOf(true, 2, {1, 0, 7}), Spring::None);
    EXPECT_EQ(springOf(false, 2, {5, 6, 1}), Spring::Reverse);
    EXPECT_EQ(springOf(false, 2, {5, 6, 2}), Spring::None);
    EXPECT_EQ(springOf(false, 7, {0, 0, 0}), Spring::None);
    SettleInput in = game(2, true);
    in.spring = Spring::Spring;
    EXPECT_EQ(settle(in).scores[2], 80);
    in.lordWon = false;
    in.spring = Spring::Reverse;
    EXPECT_EQ(settle(in).scores[2], -80);
}

TEST(Scoring, EachFarmersMultipleIsCappedAtHalfTheLimit)
{
    SettleInput in = game(0, true);
    in.bid = 3;
    in.bombs = 13;  // every four of the deck
    in.rocket = true;
    in.spring = Spring::Spring;
    in.doubled = {true, true, true};
    in.limitValue = 96;
    const Settlement s = settle(in);
    EXPECT_EQ(s.multiples[1], 48);
    EXPECT_EQ(s.multiples[2], 48);
    EXPECT_EQ(s.multiples[0], 96);
    EXPECT_EQ(s.scores[0], 960);
    EXPECT_EQ(sum(s), 0);
    in.limitValue = 0;  // no cap: still no overflow
    EXPECT_EQ(sum(settle(in)), 0);
    EXPECT_GT(settle(in).scores[0], 0);
}

}  // namespace
