// Ranking, sorting, grouping, removal, tallying and combination types.
#include <algorithm>
#include <random>

#include "LogicTestUtil.h"

namespace {

const CGameLogic logic;

TEST(CardRank, FacesJokersAndSuitsRankAsTheGameOrdersThem)
{
    for (uint8_t suit = 0; suit <= 0x30; suit += 0x10) {
        EXPECT_EQ(logic.CardRank(suit | 0x01), 14);
        EXPECT_EQ(logic.CardRank(suit | 0x02), 15);
        EXPECT_EQ(logic.CardRank(suit | 0x03), 3);
        EXPECT_EQ(logic.CardRank(suit | 0x0D), 13);
    }
    EXPECT_EQ(logic.CardRank(SMALL_JOKER), 16);
    EXPECT_EQ(logic.CardRank(BIG_JOKER), 17);
}

TEST(CardRank, AnyByteStaysInsideRankTables)
{
    for (int b = 0; b < 256; ++b) {
        const uint8_t rank = logic.CardRank(static_cast<uint8_t>(b));
        EXPECT_GE(rank, 2);
        EXPECT_LE(rank, 17);
    }
}

TEST(CounterSlot, SlotsRunFromThreeToBigJokerAndRefuseNonCards)
{
    EXPECT_EQ(logic.CounterSlot(0x03), 0);
    EXPECT_EQ(logic.CounterSlot(0x3D), 10);
    EXPECT_EQ(logic.CounterSlot(0x21), 11);
    EXPECT_EQ(logic.CounterSlot(0x12), 12);
    EXPECT_EQ(logic.CounterSlot(SMALL_JOKER), 13);
    EXPECT_EQ(logic.CounterSlot(BIG_JOKER), 14);
    int cards = 0;
    for (int b = 0; b < 256; ++b) {
        const uint8_t slot = logic.CounterSlot(static_cast<uint8_t>(b));
        if (IsValidCard(static_cast<uint8_t>(b))) {
            ++cards;
            EXPECT_LT(slot, 15);
            EXPECT_EQ(slot, logic.CardRank(static_cast<uint8_t>(b)) - 3);
        } else {
            EXPECT_EQ(slot, 0xFF) << b;
        }
    }
    EXPECT_EQ(cards, 54);
}

TEST(SortCards, ByRankPutsHighRanksFirstAndBreaksTiesByByte)
{
    EXPECT_EQ(Text(Sorted(Cards("03 23 4E 01 4F"))), "4F 4E 01 23 03");
    EXPECT_EQ(Text(Sorted(Cards("05 35 15 25"))), "35 25 15 05");
    EXPECT_EQ(Text(Sorted(Cards("02 01 0D 12"))), "12 02 01 0D");
}

TEST(SortCards, ByCountPutsLargerGroupsFirstThenHigherRanks)
{
    EXPECT_EQ(Text(Sorted(Cards("05 25 0C 15 2C 33"), ORDER_BY_COUNT)), "25 15 05 2C 0C 33");
    EXPECT_EQ(Text(Sorted(Cards("03 13 23 33 4F 07 17 27 08 18 09"), ORDER_BY_COUNT)), "33 23 13 03 27 17 07 18 08 4F 09");
}

TEST(SortCards, ByCountKeepsEveryByteOfAListWithFiveOfARank)
{
    // Five of a rank form no group; the list keeps its bytes, in rank order.
    EXPECT_EQ(Text(Sorted({0x05, 0x15, 0x25, 0x35, 0x05, 0x03}, ORDER_BY_COUNT)), "35 25 15 05 05 03");
    EXPECT_EQ(Text(Sorted({0x09, 0x07, 0x07, 0x07, 0x07, 0x07, 0x17}, ORDER_BY_COUNT)), "09 17 07 07 07 07 07");
}

TEST(SortCards, AgreesWithTheRankThenByteOrderForDealtAndDamagedLists)
{
    std::mt19937 rng(11);
    std::vector<uint8_t> deck(std::begin(g_cbFullDeck), std::end(g_cbFullDeck));
    for (int round = 0; round < 2000; ++round) {
        std::shuffle(deck.begin(), deck.end(), rng);
        std::vector<uint8_t> cards(deck.begin(), deck.begin() + 1 + rng() % 20);
        // Every fourth list carries a repeated card or a byte that is no card.
        if (round % 4 == 0)
            cards[rng() % cards.size()] = round % 8 == 0 ? cards[0] : static_cast<uint8_t>(rng());
        std::vector<uint8_t> expected = cards;
        std::sort(expected.begin(), expected.end(), [](uint8_t a, uint8_t b) {
            const uint8_t ra = logic.CardRank(a), rb = logic.CardRank(b);
            return ra != rb ? ra > rb : a > b;
        });
        EXPECT_EQ(Text(Sorted(cards)), Text(expected));
    }
    EXPECT_EQ(Text(Sorted({0x03, 0x00, 0x03, 0x4F})), "4F 00 03 03");
}

TEST(SortCards, EmptyAndOverlongListsAreLeftAlone)
{
    uint8_t cards[21] = {0x03, 0x4F};
    logic.SortCards(cards, 0, ORDER_BY_RANK);
    EXPECT_EQ(cards[0], 0x03);
    logic.SortCards(cards, 21, ORDER_BY_RANK);
    EXPECT_EQ(cards[0], 0x03);
}

TEST(GroupCards, GroupsKeepListOrderAndJokersStaySingles)
{
    const auto cards = Sorted(Cards("4F 4E 32 22 12 02 0D 1D 2D 0C 1C 05"));
    AnalyseResult r;
    logic.GroupCards(cards.data(), static_cast<uint8_t>(cards.size()), r);
    EXPECT_EQ(r.cbQuadCount, 1);
    EXPECT_EQ(r.cbTrioCount, 1);
    EXPECT_EQ(r.cbPairCount, 1);
    EXPECT_EQ(r.cbSingleCount, 3);
    EXPECT_EQ(Text({r.cbQuadCards, r.cbQuadCards + 4}), "32 22 12 02");
    EXPECT_EQ(Text({r.cbTrioCards, r.cbTrioCards + 3}), "2D 1D 0D");
    EXPECT_EQ(Text({r.cbPairCards, r.cbPairCards + 2}), "1C 0C");
    EXPECT_EQ(Text({r.cbSingleCards, r.cbSingleCards + 3}), "4F 4E 05");
}

TEST(JudgeType, BasicShapes)
{
    EXPECT_EQ(Judge(""), PLAY_INVALID);
    EXPECT_EQ(Judge("4E"), PLAY_SINGLE);
    EXPECT_EQ(Judge("07 27"), PLAY_PAIR);
    EXPECT_EQ(Judge("07 08"), PLAY_INVALID);
    EXPECT_EQ(Judge("4F 4E"), PLAY_ROCKET);
    EXPECT_EQ(Judge("02 12 22"), PLAY_TRIO);
    EXPECT_EQ(Judge("02 12 22 03"), PLAY_TRIO_PLUS_ONE);
    EXPECT_EQ(Judge("05 15 25 35"), PLAY_BOMB);
}

TEST(JudgeType, RocketOnlyInSortedOrder)
{
    const uint8_t unsorted[] = {SMALL_JOKER, BIG_JOKER};
    EXPECT_EQ(logic.JudgeType(unsorted, 2), PLAY_INVALID);
}

TEST(JudgeType, FoursWithAttachments)
{
    EXPECT_EQ(Judge("05 15 25 35 07 17"), PLAY_INVALID);
    EXPECT_EQ(Judge("05 15 25 35 07 08"), PLAY_FOUR_PLUS_TWO);
    EXPECT_EQ(Judge("05 15 25 35 4F 4E"), PLAY_FOUR_PLUS_TWO);
    EXPECT_EQ(Judge("05 15 25 35 06 16 26 36"), PLAY_INVALID);
    EXPECT_EQ(Judge("05 15 25 35 07 17 08 18"), PLAY_FOUR_PLUS_PAIRS);
    EXPECT_EQ(Judge("05 15 25 35 07 17 08"), PLAY_INVALID);
    EXPECT_EQ(Judge("05 15 25 35 07"), PLAY_INVALID);
}

TEST(JudgeType, TriosAndPlanes)
{
    EXPECT_EQ(Judge("03 13 23 04"), PLAY_TRIO_PLUS_ONE);
    EXPECT_EQ(Judge("03 13 23 04 05"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 13 23 04 14"), PLAY_TRIO_PLUS_PAIR);
    EXPECT_EQ(Judge("03 13 23 04 14 24 05 15"), PLAY_TRIO_PLUS_ONE);
    EXPECT_EQ(Judge("03 13 23 04 14 24 05 15 06 16"), PLAY_TRIO_PLUS_PAIR);
    EXPECT_EQ(Judge("03 13 23 04 14 24 05 06 07 17"), PLAY_INVALID);
    EXPECT_EQ(Judge("01 11 21 0D 1D 2D"), PLAY_PLANE);
    EXPECT_EQ(Judge("02 12 22 01 11 21"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 13 23 05 15 25"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 13 23 04 14 24 05 15 25"), PLAY_PLANE);
    EXPECT_EQ(Judge("03 13 23 04 14 24 4F 4E"), PLAY_TRIO_PLUS_ONE);
}

TEST(JudgeType, LinesAndPairLines)
{
    EXPECT_EQ(Judge("0A 0B 0C 0D 01"), PLAY_LINE);
    EXPECT_EQ(Judge("0B 0C 0D 01 02"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 04 05 06 07"), PLAY_LINE);
    EXPECT_EQ(Judge("03 04 05 06"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 04 05 06 08"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 04 05 06 07 08 09 0A 0B 0C 0D 01"), PLAY_LINE);
    EXPECT_EQ(Judge("03 13 04 14 05 15"), PLAY_PAIR_LINE);
    EXPECT_EQ(Judge("03 13 04 14"), PLAY_INVALID);
    EXPECT_EQ(Judge("0D 1D 01 11 02 12"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 13 04 14 06 16"), PLAY_INVALID);
    EXPECT_EQ(Judge("03 13 04 14 05 15 07"), PLAY_INVALID);
}

TEST(JudgeType, EveryByteListOfAnyLengthIsJudgedWithoutFault)
{
    uint8_t cards[255];
    for (int i = 0; i < 255; ++i)
        cards[i] = static_cast<uint8_t>(i * 37);
    EXPECT_EQ(logic.JudgeType(cards, 255), PLAY_INVALID);
    EXPECT_EQ(logic.JudgeType(cards, 21), PLAY_INVALID);
}

TEST(RemoveCards, RemovesInPlaceAndKeepsTheTail)
{
    uint8_t list[] = {0x33, 0x13, 0x03};
    const uint8_t remove[] = {0x13};
    EXPECT_TRUE(logic.RemoveCards(remove, 1, list, 3));
    EXPECT_EQ(list[0], 0x33);
    EXPECT_EQ(list[1], 0x03);
    EXPECT_EQ(list[2], 0x03);
}

TEST(RemoveCards, MissingCardOrOverlongListChangesNothing)
{
    uint8_t list[] = {0x33, 0x13, 0x03};
    const uint8_t remove[] = {0x13, 0x14};
    EXPECT_FALSE(logic.RemoveCards(remove, 2, list, 3));
    EXPECT_EQ(Text({list, list + 3}), "33 13 03");
    const uint8_t twice[] = {0x13, 0x13};
    EXPECT_FALSE(logic.RemoveCards(twice, 2, list, 3));
    uint8_t longList[21] = {};
    EXPECT_FALSE(logic.RemoveCards(remove, 1, longList, 21));
}

TEST(HandleRecordData, TalliesBySlotAndReportsBadInput)
{
    uint8_t counts[15] = {};
    uint8_t error = 0;
    const auto played = Cards("03 13 4F 01");
    logic.HandleRecordData(played.data(), 4, counts, error);
    EXPECT_EQ(counts[0], 2);
    EXPECT_EQ(counts[11], 1);
    EXPECT_EQ(counts[14], 1);
    EXPECT_EQ(error, 0);

    const uint8_t fives[] = {0x05, 0x15, 0x25, 0x35, 0x05};
    uint8_t fresh[15] = {};
    logic.HandleRecordData(fives, 5, fresh, error);
    EXPECT_EQ(fresh[2], 4);
    EXPECT_EQ(error, 1);

    // Bytes that are not cards are counted nowhere; the good cards around them still are.
    const uint8_t junk[] = {0x00, 0x4A, 0xFF, 0x07};
    uint8_t other[15] = {};
    error = 0;
    logic.HandleRecordData(junk, 4, other, error);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(other[4], 1);
    int total = 0;
    for (uint8_t c : other)
        total += c;
    EXPECT_EQ(total, 1);
}

}  // namespace

// What a person reads in the text game: every card of the deck has a name of its own, and a
// byte that is not a card shows as itself rather than as some card.
TEST(CardNames, EveryCardHasItsOwnNameAndOtherBytesShowAsHex)
{
    const uint8_t cards[] = {0x31, 0x0A, 0x1D, 0x22, 0x4E, 0x4F, 0x00, 0x0E, 0x50};
    EXPECT_EQ(FormatCardNames(cards, sizeof cards), "♦A ♠10 ♥K ♣2 小王 大王 00 0E 50");
    std::vector<std::string> names;
    for (uint8_t colour = 0; colour < 4; ++colour)
        for (uint8_t face = 1; face <= 13; ++face) {
            const uint8_t card = static_cast<uint8_t>(colour << 4 | face);
            names.push_back(FormatCardNames(&card, 1));
        }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}
