// Geometry, hit test and mouse selection of a row of cards.
#include <gtest/gtest.h>

#include "interaction/CardRow.h"

namespace {

CardRowMetrics Hand()
{
    CardRowMetrics m;
    m.nCardWidth = 80;
    m.nCardHeight = 105;
    return m;
}

std::vector<tagCardSlot> Row(std::initializer_list<int> raised, std::size_t count = 17)
{
    std::vector<tagCardSlot> slots(count, tagCardSlot{0, 0x03});
    for (int r : raised)
        slots[r].bRaised = 1;
    return slots;
}

TEST(CardRowGeometry, SizesPositionsAndAnchors)
{
    CardRowMetrics m = Hand();
    EXPECT_EQ(CardRowSize(m, 0), CSize(0, 125));
    EXPECT_EQ(CardRowSize(m, 17), CSize(16 * 16 + 80, 125));
    EXPECT_EQ(CardPosition(m, 3, true), CPoint(48, 0));
    EXPECT_EQ(CardPosition(m, 3, false), CPoint(48, 20));
    m.bLaidFlat = false;
    EXPECT_EQ(CardRowSize(m, 0), CSize(80, 0));
    EXPECT_EQ(CardRowSize(m, 3), CSize(80, 2 * 19 + 105));
    EXPECT_EQ(CardPosition(m, 2, true), CPoint(0, 38)) << "a raised stacked card does not move";

    EXPECT_EQ(CardRowOrigin({509, 575}, 1, 2, {337, 125}), CPoint(509 - 168, 450));
    EXPECT_EQ(CardRowOrigin({958, 192}, 2, 0, {100, 50}), CPoint(858, 192));
    EXPECT_EQ(CardRowOrigin({60, 192}, 0, 0, {100, 50}), CPoint(60, 192));
}

TEST(CardRowHitTest, PointsPickTheVisibleCard)
{
    const CardRowMetrics m = Hand();
    EXPECT_EQ(CardRowHitTest(m, Row({}), {16 * 16 + 5, 60}), 16) << "beyond the last step is the last card";
    EXPECT_EQ(CardRowHitTest(m, Row({}), {5 * 16 + 3, 30}), 5);
    // Slot 6 raised: the lower strip of slot 5 below it still belongs to slot 5 ...
    EXPECT_EQ(CardRowHitTest(m, Row({6}), {6 * 16 + 2, 110}), 5);
    // ... and above the lowered slot 7 the nearest raised card to the left answers.
    EXPECT_EQ(CardRowHitTest(m, Row({6}), {7 * 16 + 2, 10}), 6);
    EXPECT_EQ(CardRowHitTest(m, Row({}), {2, 5}), 0) << "the walk ends at slot 0";

    CardRowMetrics stacked = m;
    stacked.bLaidFlat = false;
    EXPECT_EQ(CardRowHitTest(stacked, Row({}), {2, 40}), -1);
    EXPECT_EQ(CardRowHitTest(m, {}, {2, 40}), -1);
    EXPECT_EQ(CardRowHitTest(m, Row({}, 21), {2, 40}), -1);
}

TEST(CardSelection, ClicksFlipAndDragsRaiseOrLowerTheRange)
{
    auto slots = Row({4});
    CardSelection s = ApplyCardSelection(slots, 6, 3);
    EXPECT_TRUE(s.bApplied);
    EXPECT_EQ(s.nNotifications, 4);
    EXPECT_EQ(s.cbRaisedBefore, 1);
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(slots[i].bRaised, 1);
    s = ApplyCardSelection(slots, 3, 6);
    EXPECT_EQ(s.cbRaisedBefore, 4);
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(slots[i].bRaised, 0);

    s = ApplyCardSelection(slots, 2, 2);
    EXPECT_EQ(s.nNotifications, 1);
    EXPECT_EQ(slots[2].bRaised, 1);

    const auto before = slots;
    s = ApplyCardSelection(slots, 15, 17);
    EXPECT_FALSE(s.bApplied);
    EXPECT_EQ(s.nNotifications, 0);
    EXPECT_EQ(slots[15].bRaised, before[15].bRaised);
    EXPECT_FALSE(ApplyCardSelection(slots, -1, 3).bApplied);
}

TEST(CardSelection, RaiseCardsTakesOneSlotPerOccurrence)
{
    std::vector<tagCardSlot> slots = {{1, 0x05}, {0, 0x07}, {0, 0x07}, {0, 0x09}};
    const uint8_t once[] = {0x07};
    RaiseCardsInRow(slots, once, 1);
    EXPECT_EQ(slots[0].bRaised, 0);
    EXPECT_EQ(slots[1].bRaised, 1);
    EXPECT_EQ(slots[2].bRaised, 0);
    const uint8_t twice[] = {0x07, 0x07, 0x0A};
    RaiseCardsInRow(slots, twice, 3);
    EXPECT_EQ(slots[1].bRaised + slots[2].bRaised, 2);
    EXPECT_EQ(slots[3].bRaised, 0);
}

}  // namespace
