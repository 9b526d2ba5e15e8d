#include "server/Scoring.h"

#include <algorithm>

namespace server {

Spring springOf(bool lordWon, uint16_t lord, const std::array<uint16_t, 3>& playsBy)
{
    if (lord >= 3)
        return Spring::None;
    if (lordWon) {
        const uint16_t farmerPlays = static_cast<uint16_t>(playsBy[(lord + 1) % 3] + playsBy[(lord + 2) % 3]);
        return farmerPlays == 0 ? Spring::Spring : Spring::None;
    }
    return playsBy[lord] <= 1 ? Spring::Reverse : Spring::None;
}

Settlement settle(const SettleInput& in)
{
    Settlement out;
    if (in.lord >= 3)
        return out;
    // Exponents are bounded before shifting: 13 bombs and a rocket are the most a deck holds.
    const int doublings = std::min<int>(in.bombs, 13) + (in.rocket ? 1 : 0) + (in.spring != Spring::None ? 1 : 0);
    const int64_t base = static_cast<int64_t>(std::max<uint8_t>(in.bid, 1)) << doublings;
    const int64_t cap = in.limitValue / 2;
    const int64_t cell = in.cellScore;
    int64_t lordTotal = 0;
    for (uint16_t f = 0; f < 3; ++f) {
        if (f == in.lord)
            continue;
        int64_t m = base;
        if (in.doubled[f]) {
            m *= 2;
            if (in.doubled[in.lord])
                m *= 2;
        }
        if (cap > 0)
            m = std::min(m, cap);
        out.multiples[f] = m;
        lordTotal += m;
        // Stakes are small by construction (cap, bid 3, at most 16 doublings); the clamp only keeps
        // an absurd cell score from wrapping.
        const int64_t stake = std::clamp<int64_t>(m * cell, -(int64_t{1} << 30), int64_t{1} << 30);
        out.scores[f] = static_cast<int32_t>(in.lordWon ? -stake : stake);
    }
    out.multiples[in.lord] = lordTotal;
    out.scores[in.lord] = -(out.scores[(in.lord + 1) % 3] + out.scores[(in.lord + 2) % 3]);
    return out;
}

}  // namespace server
