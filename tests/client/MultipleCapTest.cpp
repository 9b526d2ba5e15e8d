// Which stakes reach the table's cap after a bomb or rocket: the landlord's bid times the multiple,
// doubled by the doubles that concern each player, in 16-bit arithmetic.
#include "app/MultipleCap.h"

#include <gtest/gtest.h>

namespace {

using Flags = std::array<bool, 3>;

TEST(MultipleCap, BidThreeAtMultipleSixteenReachesTheDefaultCapWithoutDoubles)
{
    EXPECT_EQ(ChairsAtCap(3, 16, 0, Flags{}, 48), (Flags{true, true, true}));
    EXPECT_EQ(ChairsAtCap(3, 8, 0, Flags{}, 48), (Flags{false, false, false}));
}

TEST(MultipleCap, DoublesCountOnlyForThePlayersTheyConcern)
{
    // Landlord 0, bid 3, multiple 4 (stake 12). Farmer 1 doubled, the landlord did not answer:
    // farmer 1 has 24, the landlord 24, farmer 2 keeps 12; none reaches 48.
    EXPECT_EQ(ChairsAtCap(3, 4, 0, Flags{false, true, false}, 48), (Flags{false, false, false}));
    EXPECT_EQ(ChairsAtCap(3, 4, 0, Flags{false, true, false}, 24), (Flags{true, true, false}));
    // The landlord answered: his own stake is 12 x 4, the doubling farmer's 12 x 2 x 2.
    EXPECT_EQ(ChairsAtCap(3, 4, 0, Flags{true, true, false}, 48), (Flags{true, true, false}));
}

TEST(MultipleCap, StakesWrapAtSixteenBits)
{
    // 2 x 32768 is 65536, which the table's arithmetic sees as 0.
    EXPECT_EQ(ChairsAtCap(2, 32768, 0, Flags{}, 48), (Flags{false, false, false}));
    // With landlord 1 and farmer 0 doubled, 32768 x 2 wraps to 0 for both of them; farmer 2, who
    // did not double, keeps 32768.
    EXPECT_EQ(ChairsAtCap(1, 32768, 1, Flags{true, false, false}, 48), (Flags{false, false, true}));
}

TEST(MultipleCap, NoLandlordJudgesEveryoneAsAFarmer)
{
    EXPECT_EQ(ChairsAtCap(3, 4, 0xFFFF, Flags{true, false, false}, 24), (Flags{true, false, false}));
}

}  // namespace
