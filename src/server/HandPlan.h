#pragma once

// A hand seen as the combinations it could be shed in. The standard bot plays from this plan and
// judges an answer by how much it costs the rest of the hand. It works on rank counts only, so
// planning a hand is cheap enough to be done for every candidate answer of every turn.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace server {

// Card counts by CardRank: 3..15 the ranks three to two, 16 the small joker, 17 the big joker.
using RankCounts = std::array<uint8_t, 18>;

RankCounts rankCounts(std::span<const uint8_t> cards);

struct Combo {
    uint8_t type = 0;   // PLAY_SINGLE, PLAY_PAIR, PLAY_TRIO, PLAY_LINE, PLAY_PAIR_LINE, PLAY_PLANE, PLAY_BOMB, PLAY_ROCKET
    uint8_t low = 0;    // lowest rank
    uint8_t len = 1;    // ranks in a row
    uint8_t width = 1;  // cards of each rank
};

struct HandPlan {
    std::array<Combo, 20> combos{};
    uint8_t size = 0;
    // Plays needed to shed the hand: every combination once, less the singles and pairs that
    // ride along with trios.
    int moves() const;
    std::span<const Combo> list() const { return {combos.data(), size}; }
};

HandPlan planHand(const RankCounts& counts);

// The cards of `hand` that make up `combo` (the first cards of each rank met), appended to `out`.
void comboCards(std::span<const uint8_t> hand, const Combo& combo, std::vector<uint8_t>& out);

}  // namespace server
