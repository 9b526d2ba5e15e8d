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

// Random sorted plays of 1-20 cards: half of them drawn from a legal shape, half plain random.
std::vector<Play> MakePlays(std::size_t total, uint32_t seed)
{
    CGameLogic logic;
    std::mt19937 rng(seed);
    std::vector<Play> plays;
    std::array<uint8_t, 54> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    while (plays.size() < total) {
        std::shuffle(deck.begin(), deck.end(), rng);
        Play play{};
        if (rng() % 2 == 0) {
            play.count = static_cast<uint8_t>(1 + rng() % 20);
            std::copy_n(deck.begin(), play.count, play.cards);
        } else {
            // A legal answer found in a random 20-card hand: every type turns up this way.
            uint8_t hand[20];
            std::copy_n(deck.begin(), 20, hand);
            OutCardResult lead{}, answer{};
            logic.FindBeater(hand, 20, nullptr, 0, lead);
            const uint8_t shapes[][5] = {{0x03, 0x04, 0x05, 0x06, 0x07}, {0x13, 0x03, 0x14, 0x04, 0x15}};
            (void)shapes;
            play.count = lead.cbCount;
            std::copy_n(lead.cbCards, lead.cbCount, play.cards);
            if (logic.FindBeater(hand, 20, play.cards, play.count, answer)) {
                play.count = answer.cbCount;
                std::copy_n(answer.cbCards, answer.cbCount, play.cards);
            }
        }
        logic.SortCards(play.cards, play.count, rng() % 2 ? ORDER_BY_RANK : ORDER_BY_COUNT);
        plays.push_back(play);
    }
    return plays;
}

void BM_JudgeType(benchmark::State& state)
{
    CGameLogic logic;
    const auto plays = MakePlays(4096, 1);
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
    const auto plays = MakePlays(4096, 3);
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
