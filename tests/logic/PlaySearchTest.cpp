// Comparing plays and searching a hand for an answer.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "LogicTestUtil.h"

// Counts heap allocations so that the rule engine can be shown to make none.
namespace {
std::atomic<long> g_allocations{0};
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop

namespace {

const CGameLogic logic;

bool Beats(const std::string& prev, const std::string& cur)
{
    const auto p = Sorted(Cards(prev));
    const auto c = Sorted(Cards(cur));
    return logic.BeatsPrevious(p.data(), c.data(), static_cast<uint8_t>(p.size()), static_cast<uint8_t>(c.size()));
}

TEST(BeatsPrevious, SameTypeNeedsAStrictlyHigherKey)
{
    EXPECT_FALSE(Beats("03 13", "23 33"));
    EXPECT_TRUE(Beats("03 13", "04 14"));
    EXPECT_FALSE(Beats("04", "04"));
    EXPECT_TRUE(Beats("01", "02"));
    EXPECT_TRUE(Beats("02", "4E"));
    EXPECT_TRUE(Beats("03 04 05 06 07", "04 05 06 07 08"));
    EXPECT_FALSE(Beats("03 04 05 06 07 08", "0A 0B 0C 0D 01"));
    EXPECT_FALSE(Beats("0A 0B 0C 0D 01", "03 04 05 06 07 08"));
    EXPECT_FALSE(Beats("03 13", "04"));
}

TEST(BeatsPrevious, AttachmentsNeverDecide)
{
    EXPECT_TRUE(Beats("0C 1C 2C 01", "0D 1D 2D 03"));
    EXPECT_FALSE(Beats("0C 1C 2C 01", "0D 1D 2D 03 13"));
    EXPECT_FALSE(Beats("0C 1C 2C 0D", "0B 1B 2B 4F"));
    EXPECT_TRUE(Beats("05 15 25 35 4F 4E", "06 16 26 36 03 04"));
    EXPECT_TRUE(Beats("05 15 25 35 03 13 04 14", "06 16 26 36 07 17 08 18"));
}

TEST(BeatsPrevious, BombsAndRocket)
{
    EXPECT_TRUE(Beats("03 04 05 06 07 08 09 0A 0B 0C 0D 01", "04 14 24 34"));
    EXPECT_TRUE(Beats("04 14 24 34", "05 15 25 35"));
    EXPECT_FALSE(Beats("05 15 25 35", "04 14 24 34"));
    EXPECT_TRUE(Beats("02 12 22 32", "4F 4E"));
    EXPECT_FALSE(Beats("4F 4E", "02 12 22 32"));
    EXPECT_FALSE(Beats("04 14 24 34", "0D 1D 2D 3D 01 02"));
    EXPECT_FALSE(Beats("03", "03 04"));
}

TEST(FindBeater, LeadingOffersTheWeakestRankGroup)
{
    EXPECT_EQ(Beat("4F 4E", ""), "4E");
    EXPECT_EQ(Beat("03 13 23 33 4F 07", ""), "03 13 23 33");
    EXPECT_EQ(Beat("0D 25 15 02", ""), "15 25");
}

TEST(FindBeater, SmallPlaysBreakLargerGroupsOnlyWhenNeeded)
{
    EXPECT_EQ(Beat("07 17 27 37 06 03", "05"), "06");
    EXPECT_EQ(Beat("07 17 27 37 03", "05"), "37");
    EXPECT_EQ(Beat("08 18 09 19 29 0A", "07 17"), "18 08");
    EXPECT_EQ(Beat("09 19 29 0A 0B", "07 17"), "29 19");
    EXPECT_EQ(Beat("09 19 29 39 03 13 23", "07 17 27"), "39 29 19");
    EXPECT_EQ(Beat("03 04 05", "07 17"), "none");
    EXPECT_EQ(Beat("03 13 23 33 05", "07"), "33 23 13 03");
}

TEST(FindBeater, LinesTakeTheWeakestStrongerLine)
{
    EXPECT_EQ(Beat("04 05 06 07 08 09 19", "07 06 05 04 03"), "08 07 06 05 04");
    EXPECT_EQ(Beat("04 05 06 07 08 09 19 0A", "07 06 05 04 03"), "08 07 06 05 04");
    EXPECT_EQ(Beat("09 0A 0B 0C 0D 01 02", "01 0D 0C 0B 0A"), "none");
    EXPECT_EQ(Beat("09 0A 0B 0C 0D 01 02 4F 4E", "01 0D 0C 0B 0A"), "4F 4E");
    EXPECT_EQ(Beat("04 05 06 07 18 08", "07 06 05 04 03"), "08 07 06 05 04");
}

TEST(FindBeater, PairLines)
{
    EXPECT_EQ(Beat("04 14 05 15 06 16 07", "05 15 04 14 03 13"), "16 06 15 05 14 04");
    EXPECT_EQ(Beat("04 14 05 15 07 17 08", "05 15 04 14 03 13"), "none");
    EXPECT_EQ(Beat("0C 1C 0D 1D 01 11 02 12", "0D 1D 0C 1C 0B 1B"), "11 01 1D 0D 1C 0C");
}

TEST(FindBeater, TrioChainsWithAttachmentsInPreferenceOrder)
{
    EXPECT_EQ(Beat("06 16 26 04 05", "04 14 24 03"), "26 16 06 04");
    EXPECT_EQ(Beat("06 16 26 04 14 05", "04 14 24 03"), "26 16 06 05");
    EXPECT_EQ(Beat("06 16 26 04 14", "04 14 24 03"), "26 16 06 04");
    EXPECT_EQ(Beat("06 16 26 04 14 05", "04 14 24 03 13"), "26 16 06 14 04");
    EXPECT_EQ(Beat("06 16 26 04 14 24", "03 13 23 05 15"), "24 14 04 26 16");
    EXPECT_EQ(Beat("06 16 26 04 05", "04 14 24 03 13"), "none");
    EXPECT_EQ(Beat("07 17 27 06 16 26 03 04 05", "05 15 25 04 14 24 09 0A"), "27 17 07 26 16 06 03 04");
    EXPECT_EQ(Beat("07 17 27 06 16 26 03 13 04 14", "05 15 25 04 14 24 09 19 0A 1A"), "27 17 07 26 16 06 13 03 14 04");
    EXPECT_EQ(Beat("07 17 27 06 16 26 03", "05 15 25 04 14 24"), "27 17 07 26 16 06");
    EXPECT_EQ(Beat("02 12 22 03", "0D 1D 2D 04"), "22 12 02 03");
    EXPECT_EQ(Beat("02 12 22 01 11 21 03 04", "0D 1D 2D 0C 1C 2C 05 06"), "none");
}

TEST(FindBeater, AttachmentsThatWouldSpoilThePlayAreNotOffered)
{
    // Three trios and only a fourth trio to draw single attachments from: 888 777 666 + 333
    // would be four trios that are not a chain, so the search moves on to the bomb.
    EXPECT_EQ(Beat("08 18 28 07 17 27 06 16 26 03 13 23 09 19 29 39", "05 15 25 04 14 24 03 13 23 0A 0B 0C"),
              "39 29 19 09");
}

TEST(FindBeater, FoursWithAttachmentsAndBombsAreAnsweredByBiggerBombsOrTheRocket)
{
    EXPECT_EQ(Beat("06 16 26 36 07 08", "05 15 25 35 03 04"), "36 26 16 06");
    EXPECT_EQ(Beat("04 14 24 34 4F 4E", "05 15 25 35"), "4F 4E");
    EXPECT_EQ(Beat("04 14 24 34 06 16 26 36", "05 15 25 35"), "36 26 16 06");
    EXPECT_EQ(Beat("02 12 22 32 4F 4E", "4F 4E"), "none");
    EXPECT_EQ(Beat("4F 4E 03", "0D 1D 2D 3D 03 13 04 14"), "4F 4E");
}

TEST(FindBeater, SuccessiveSearchWalksUpToTheRocketAndStops)
{
    const auto hand = Cards("03 05 15 07 17 27 09 19 29 39 4F 4E");
    std::vector<std::string> chain;
    auto prev = Cards("04");
    OutCardResult r;
    while (logic.FindBeater(hand.data(), static_cast<uint8_t>(hand.size()), prev.data(), static_cast<uint8_t>(prev.size()), r)) {
        prev.assign(r.cbCards, r.cbCards + r.cbCount);
        chain.push_back(Text(prev));
        ASSERT_LT(chain.size(), 20u);
    }
    const std::vector<std::string> expected = {"4E", "4F", "39 29 19 09", "4F 4E"};
    EXPECT_EQ(chain, expected);
}

TEST(FindBeaterWith, FindsTheFirstAnswerHoldingTheCard)
{
    const auto hand = Cards("03 05 15 07 17 27 09 19 29 39 4F 4E");
    const auto prev = Cards("04");
    OutCardResult r;
    ASSERT_TRUE(logic.FindBeaterWith(hand.data(), static_cast<uint8_t>(hand.size()), prev.data(), 1, 0x29, r));
    EXPECT_EQ(Text({r.cbCards, r.cbCards + r.cbCount}), "39 29 19 09");
    EXPECT_FALSE(logic.FindBeaterWith(hand.data(), static_cast<uint8_t>(hand.size()), prev.data(), 1, 0x17, r));
    EXPECT_FALSE(logic.FindBeaterWith(hand.data(), static_cast<uint8_t>(hand.size()), prev.data(), 1, 0x03, r));

    // The pair of fives is broken first (15), then the trio of sevens (27).
    const auto small = Cards("03 05 15 07 17 27");
    ASSERT_TRUE(logic.FindBeaterWith(small.data(), 6, prev.data(), 1, 0x27, r));
    EXPECT_EQ(Text({r.cbCards, r.cbCards + r.cbCount}), "27");
    EXPECT_FALSE(logic.FindBeaterWith(small.data(), 6, prev.data(), 1, 0x05, r));
    EXPECT_TRUE(logic.ListHasCard(0x4E, hand.data(), static_cast<uint8_t>(hand.size())));
    EXPECT_FALSE(logic.ListHasCard(0x4E, hand.data(), 5));
}

TEST(FindBeater, BadListsFindNothing)
{
    OutCardResult r;
    const uint8_t hand[21] = {0x03};
    EXPECT_FALSE(logic.FindBeater(hand, 0, nullptr, 0, r));
    EXPECT_FALSE(logic.FindBeater(hand, 21, nullptr, 0, r));
    EXPECT_FALSE(logic.FindBeater(hand, 1, hand, 21, r));
}

// Random deals against every kind of previous play: each answer is a legal play that beats the
// previous one, of its type unless it is a bomb or the rocket, drawn from the hand, and the rule
// engine allocates nothing while it works.
TEST(FindBeater, RandomHandsOnlyGetLegalStrongerAnswers)
{
    std::mt19937 rng(7);
    std::array<uint8_t, 54> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    int answered = 0;
    long allocations = 0;
    for (int round = 0; round < 4000; ++round) {
        std::shuffle(deck.begin(), deck.end(), rng);
        uint8_t hand[20], other[20];
        const uint8_t handCount = static_cast<uint8_t>(1 + rng() % 20);
        std::copy_n(deck.begin(), handCount, hand);
        std::copy_n(deck.begin() + 20, 20, other);

        // A previous play found in another random hand, walked up a random number of steps so
        // that every shape turns up.
        OutCardResult prev;
        logic.FindBeater(other, 20, nullptr, 0, prev);
        for (int steps = static_cast<int>(rng() % 4); steps > 0; --steps) {
            OutCardResult next;
            if (!logic.FindBeater(other, 20, prev.cbCards, prev.cbCount, next))
                break;
            prev = next;
        }
        logic.SortCards(prev.cbCards, prev.cbCount, ORDER_BY_COUNT);
        const uint8_t prevType = logic.JudgeType(prev.cbCards, prev.cbCount);

        OutCardResult answer;
        const long before = g_allocations.load();
        const bool found = logic.FindBeater(hand, handCount, prev.cbCards, prev.cbCount, answer);
        allocations += g_allocations.load() - before;
        if (!found)
            continue;
        ++answered;
        std::vector<uint8_t> played(answer.cbCards, answer.cbCards + answer.cbCount);
        for (uint8_t card : played)
            ASSERT_TRUE(logic.ListHasCard(card, hand, handCount));
        played = Sorted(played);
        const uint8_t type = logic.JudgeType(played.data(), static_cast<uint8_t>(played.size()));
        ASSERT_NE(type, PLAY_INVALID) << Text(played);
        ASSERT_TRUE(type == prevType || type == PLAY_BOMB || type == PLAY_ROCKET) << Text(played);
        ASSERT_TRUE(logic.BeatsPrevious(prev.cbCards, played.data(), prev.cbCount, static_cast<uint8_t>(played.size())))
            << FormatCards(prev.cbCards, prev.cbCount) << " <- " << Text(played);
    }
    EXPECT_GT(answered, 1000);
    EXPECT_EQ(allocations, 0);
}

}  // namespace
