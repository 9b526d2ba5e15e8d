#pragma once

// How a finished game is settled. Each farmer plays the landlord for a stake of its own, so a
// farmer's double (and the landlord's answer to it) raises only that farmer's stake; the
// landlord's score is the sum of the two. Pure, so the rules can be checked without a table.

#include <array>
#include <cstdint>

namespace server {

enum class Spring : int32_t { None = 0, Spring = 1, Reverse = 2 };

struct SettleInput {
    int32_t cellScore = 1;
    uint8_t bid = 1;
    uint16_t bombs = 0;        // bombs played, both sides
    bool rocket = false;
    uint16_t lord = 0;
    bool lordWon = false;
    Spring spring = Spring::None;
    std::array<bool, 3> doubled{};
    uint16_t limitValue = 96;  // one farmer's multiple is capped at limitValue / 2 (0 = no cap)
};

struct Settlement {
    std::array<int32_t, 3> scores{};     // sum to zero
    std::array<int64_t, 3> multiples{};  // per chair, after the cap; the landlord's is the farmers' sum
};

// Spring when the farmers never played a card; reverse spring when the landlord played only his
// first lead and lost.
Spring springOf(bool lordWon, uint16_t lord, const std::array<uint16_t, 3>& playsBy);

Settlement settle(const SettleInput& in);

}  // namespace server
