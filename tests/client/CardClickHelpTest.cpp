// The help of a card click: completing an answer around the clicked card, and a line of five.
#include "interaction/CardClickHelp.h"
#include "logic/LogicTestUtil.h"

namespace {

const CGameLogic logic;

// The cards the click raises in rank order, or "-" to leave the selection.
std::string Click(const std::string& hand, const std::string& turn, uint8_t clicked)
{
    const auto h = Sorted(Cards(hand));
    const auto t = Sorted(Cards(turn));
    const auto raised = HelpResponseClick(logic, h.data(), static_cast<uint8_t>(h.size()), t.data(),
                                          static_cast<uint8_t>(t.size()), clicked);
    return raised ? Text(Sorted({raised->cbCards, raised->cbCards + raised->cbCount})) : "-";
}

std::string Complete(const std::string& hand, uint8_t first, uint8_t second)
{
    const auto h = Sorted(Cards(hand));
    const uint8_t raised[2] = {first, second};
    const auto line = CompleteLineOfFive(logic, h.data(), static_cast<uint8_t>(h.size()), raised);
    return line ? Text({line->cbCards, line->cbCards + line->cbCount}) : "-";
}

TEST(ResponseClick, TheClickedCardIsAlwaysPartOfTheAnswer)
{
    const std::string sevens = "03 04 37 27 17 07";
    EXPECT_EQ(Click(sevens, "06 16", 0x37), "37 27");
    EXPECT_EQ(Click(sevens, "06 16", 0x27), "37 27");
    EXPECT_EQ(Click(sevens, "06 16", 0x17), "27 17") << "0x37 lies furthest from 0x17";
    EXPECT_EQ(Click(sevens, "06 16", 0x07), "27 07");
    EXPECT_EQ(Click("03 04 08 18", "06 16", 0x08), "18 08");
    EXPECT_EQ(Click("03 04 08 18", "06 16", 0x18), "18 08");
    EXPECT_EQ(Click("03 04 05 06 07 0C", "03 04 05 06 07", 0x06), "-") << "no line contains it";
}

TEST(ResponseClick, ABombIsOfferedOnlyWhenItsCardsCannotAnswerAlone)
{
    // The pair of eights is proposed first, so the sevens are reached only as a bomb.
    EXPECT_EQ(Click("37 27 17 07 08 18", "06 16", 0x27), "27");
    EXPECT_EQ(Click("37 27 17 07 08 18", "09 19", 0x27), "37 27 17 07");
    EXPECT_EQ(Click("37 27 17 07 08 18", "05 15 25 35", 0x07), "37 27 17 07") << "only a bomb answers a bomb";
}

TEST(ResponseClick, BadInputLeavesTheSelection)
{
    const auto h = Cards("03 04 05");
    const auto t = Cards("03");
    EXPECT_FALSE(HelpResponseClick(logic, h.data(), 3, t.data(), 1, 0x06)) << "a card the hand does not hold";
    EXPECT_FALSE(HelpResponseClick(logic, h.data(), 3, t.data(), 0, 0x04));
    EXPECT_FALSE(HelpResponseClick(logic, h.data(), 21, t.data(), 1, 0x04));
    EXPECT_FALSE(HelpResponseClick(logic, h.data(), 3, t.data(), 21, 0x04));
}

TEST(LineOfFive, CompletesUpwardFromLowCardsAndDownwardFromHighOnes)
{
    const std::string hand = "03 04 14 05 06 36 07 08 09 0A 0B 0C 0D 02";
    EXPECT_EQ(Complete(hand, 0x14, 0x05), "08 07 06 05 14") << "the weakest card of each rank above";
    EXPECT_EQ(Complete(hand, 0x0D, 0x0C), "0D 0C 0B 0A 09");
    EXPECT_EQ(Complete(hand, 0x0A, 0x0B), "0B 0A 09 08 07") << "no ace above the king: downward";
    EXPECT_EQ(Complete("0A 0B 0C 0D 01 02", 0x0A, 0x0B), "01 0D 0C 0B 0A") << "lower card 10 still completes up to the ace";
    EXPECT_EQ(Complete("04 05 06 07 08 09", 0x08, 0x07), "08 07 06 05 04") << "no nine-ten-jack above: downward";
    EXPECT_EQ(Complete("04 05 36 06 07 08", 0x08, 0x07), "08 07 36 05 04") << "the strongest card of each rank below";
}

TEST(LineOfFive, RefusesPairsOfNonNeighboursTwosAndHeavilyHeldRanks)
{
    EXPECT_EQ(Complete("03 04 05 06 07", 0x03, 0x05), "-");
    EXPECT_EQ(Complete("03 04 14 24 05 06 07", 0x04, 0x05), "-") << "fours held three times";
    EXPECT_EQ(Complete("01 02 0D 0C 0B", 0x01, 0x02), "-");
    EXPECT_EQ(Complete("03 04 05 06 08", 0x04, 0x05), "-") << "no seven, and fives are too low to go down";
    EXPECT_EQ(Complete("0A 0B 0C 0D", 0x0A, 0x0B), "-");
    const auto h = Cards("03 04 05 06 07");
    const uint8_t raised[2] = {0x03, 0x04};
    EXPECT_FALSE(CompleteLineOfFive(logic, h.data(), 21, raised));
}

}  // namespace
