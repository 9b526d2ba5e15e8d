// Throughput of the card rules: judging plays and searching hands for an answer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "logic/GameLogic.h"

namespace {

struct Play {
    uint8_t count;
    uint8_t cards[20];
};

// The card of a rank (3..17) in a suit (0..3); jokers ignore the suit.
uint8_t CardOf(int rank, int suit)
{
    if (rank == 16)
        return SMALL_JOKER;
    if (rank == 17)
        return BIG_JOKER;
    const int face = rank == 14 ? 1 : rank == 15 ? 2 : rank;
    return static_cast<uint8_t>(suit << 4 | face);
}

// A random legal play of the given type, sorted.
Play MakeLegalPlay(uint8_t type, std::mt19937& rng)
{
    Play play{};
    auto add = [&](int rank, int copies) {
        const int first = static_cast<int>(rng() % 4);
        for (int c = 0; c < copies; ++c)
            play.cards[play.count++] = CardOf(rank, (first + c) % 4);
    };
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    // Ranks for attachments that stay clear of [lo, hi] and of each other.
    auto others = [&](int lo, int hi, int count, int copies) {
        int used[18] = {};
        for (int r = lo; r <= hi; ++r)
            used[r] = 1;
        for (int placed = 0; placed < count;) {
            const int r = pick(3, copies == 1 ? 17 : 15);
            if (used[r])
                continue;
            used[r] = 1;
            add(r, copies);
            ++placed;
        }
    };
    switch (type) {
    case PLAY_SINGLE: add(pick(3, 17), 1); break;
    case PLAY_PAIR: add(pick(3, 15), 2); break;
    case PLAY_TRIO: add(pick(3, 15), 3); break;
    case PLAY_LINE: {
        const int len = pick(5, 12), top = pick(2 + len, 14);
        for (int r = top; r > top - len; --r)
            add(r, 1);
        break;
    }
    case PLAY_PAIR_LINE: {
        const int len = pick(3, 10), top = pick(2 + len, 14);
        for (int r = top; r > top - len; --r)
            add(r, 2);
        break;
    }
    case PLAY_PLANE:
    case PLAY_TRIO_PLUS_ONE:
    case PLAY_TRIO_PLUS_PAIR: {
        const int maxLen = type == PLAY_PLANE ? 6 : type == PLAY_TRIO_PLUS_ONE ? 5 : 4;
        const int len = pick(type == PLAY_PLANE ? 2 : 1, maxLen);
        const int top = len == 1 ? pick(3, 15) : pick(2 + len, 14);
        for (int r = top; r > top - len; --r)
            add(r, 3);
        if (type != PLAY_PLANE)
            others(top - len + 1, top, len, type == PLAY_TRIO_PLUS_ONE ? 1 : 2);
        break;
    }
    case PLAY_FOUR_PLUS_TWO:
    case PLAY_FOUR_PLUS_PAIRS: {
        const int rank = pick(3, 15);
        add(rank, 4);
        others(rank, rank, 2, type == PLAY_FOUR_PLUS_TWO ? 1 : 2);
        break;
    }
    case PLAY_BOMB: add(pick(3, 15), 4); break;
    default:
        play.cards[play.count++] = BIG_JOKER;
        play.cards[play.count++] = SMALL_JOKER;
        break;
    }
    CGameLogic().SortCards(play.cards, play.count, rng() % 2 ? ORDER_BY_RANK : ORDER_BY_COUNT);
    return play;
}

// Half legal plays of every type, half random lists of 1-20 cards (nearly all illegal), sorted.
std::vector<Play> MakePlays(std::size_t total, uint32_t seed, bool legalOnly)
{
    std::mt19937 rng(seed);
    std::vector<Play> plays;
    std::array<uint8_t, 54> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    while (plays.size() < total) {
        if (legalOnly || rng() % 2 == 0) {
            plays.push_back(MakeLegalPlay(static_cast<uint8_t>(1 + rng() % 12), rng));
            continue;
        }
        std::shuffle(deck.begin(), deck.end(), rng);
        Play play{};
        play.count = static_cast<uint8_t>(1 + rng() % 20);
        std::copy_n(deck.begin(), play.count, play.cards);
        CGameLogic().SortCards(play.cards, play.count, rng() % 2 ? ORDER_BY_RANK : ORDER_BY_COUNT);
        plays.push_back(play);
    }
    return plays;
}

void BM_JudgeType(benchmark::State& state)
{
    CGameLogic logic;
    const auto plays = MakePlays(4096, 1, false);
    std::size_t i = 0;
    for (auto _ : state) {
        const Play& play = plays[i++ & 4095];
        benchmark::DoNotOptimize(logic.JudgeType(play.cards, play.count));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_JudgeType);

void BM_FindBeater(benchmark::State& state)
{
    CGameLogic logic;
    std::mt19937 rng(2);
    const auto plays = MakePlays(4096, 3, true);
    std::vector<std::array<uint8_t, 17>> hands(4096);
    std::array<uint8_t, 54> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    for (auto& hand : hands) {
        std::shuffle(deck.begin(), deck.end(), rng);
        std::copy_n(deck.begin(), 17, hand.begin());
    }
    std::size_t i = 0;
    OutCardResult result;
    for (auto _ : state) {
        const auto& hand = hands[i & 4095];
        const Play& play = plays[(i * 7) & 4095];
        ++i;
        benchmark::DoNotOptimize(logic.FindBeater(hand.data(), 17, play.cards, play.count, result));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_FindBeater);

}  // namespace
