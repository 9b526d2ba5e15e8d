#include "server/HandPlan.h"

#include <algorithm>

#include "logic/GameLogic.h"

namespace server {

namespace {

constexpr uint8_t kLowRank = 3;
constexpr uint8_t kTopChainRank = 14;  // the ace: no run reaches the two
constexpr uint8_t kTwo = 15;

void add(HandPlan& plan, uint8_t type, uint8_t low, uint8_t len, uint8_t width)
{
    if (plan.size < plan.combos.size())
        plan.combos[plan.size++] = Combo{type, low, len, width};
}

// Takes every run of at least `minLen` ranks holding at least `width` cards each, longest first.
void takeRuns(RankCounts& counts, HandPlan& plan, uint8_t width, uint8_t minLen, uint8_t type, bool exact)
{
    for (;;) {
        uint8_t bestLow = 0, bestLen = 0;
        for (uint8_t r = kLowRank; r <= kTopChainRank;) {
            auto fits = [&](uint8_t rank) { return exact ? counts[rank] == width : counts[rank] >= width; };
            if (!fits(r)) {
                ++r;
                continue;
            }
            uint8_t end = r;
            while (end + 1 <= kTopChainRank && fits(static_cast<uint8_t>(end + 1)))
                ++end;
            const uint8_t len = static_cast<uint8_t>(end - r + 1);
            if (len > bestLen) {
                bestLow = r;
                bestLen = len;
            }
            r = static_cast<uint8_t>(end + 1);
        }
        if (bestLen < minLen)
            return;
        // A line longer than twelve cannot exist, a plane or pair line is bounded by 20 cards.
        const uint8_t maxLen = static_cast<uint8_t>(width == 1 ? 12 : (width == 2 ? 10 : 6));
        bestLen = std::min(bestLen, maxLen);
        for (uint8_t r = bestLow; r < bestLow + bestLen; ++r)
            counts[r] = static_cast<uint8_t>(counts[r] - width);
        add(plan, type, bestLow, bestLen, width);
    }
}

HandPlan plan(RankCounts counts, bool linesFirst)
{
    HandPlan plan;
    if (counts[16] && counts[17]) {
        add(plan, PLAY_ROCKET, 16, 2, 1);
        counts[16] = counts[17] = 0;
    }
    for (uint8_t r = kLowRank; r <= kTwo; ++r) {
        if (counts[r] == 4) {
            add(plan, PLAY_BOMB, r, 1, 4);
            counts[r] = 0;
        }
    }
    if (linesFirst)
        takeRuns(counts, plan, 1, 5, PLAY_LINE, false);
    takeRuns(counts, plan, 3, 2, PLAY_PLANE, true);
    takeRuns(counts, plan, 2, 3, PLAY_PAIR_LINE, true);
    if (!linesFirst)
        takeRuns(counts, plan, 1, 5, PLAY_LINE, false);
    for (uint8_t r = kLowRank; r <= 17; ++r) {
        switch (counts[r]) {
        case 3: add(plan, PLAY_TRIO, r, 1, 3); break;
        case 2: add(plan, PLAY_PAIR, r, 1, 2); break;
        case 1: add(plan, PLAY_SINGLE, r, 1, 1); break;
        default: break;
        }
    }
    return plan;
}

}  // namespace

RankCounts rankCounts(std::span<const uint8_t> cards)
{
    static const CGameLogic logic;
    RankCounts counts{};
    for (uint8_t card : cards)
        ++counts[logic.CardRank(card)];
    return counts;
}

int HandPlan::moves() const
{
    int trios = 0, riders = 0;
    for (const Combo& c : list()) {
        if (c.type == PLAY_TRIO || c.type == PLAY_PLANE)
            trios += c.len;
        else if ((c.type == PLAY_SINGLE || c.type == PLAY_PAIR) && c.low < kTwo)
            ++riders;
    }
    return size - std::min(trios, riders);
}

HandPlan planHand(const RankCounts& counts)
{
    HandPlan a = plan(counts, false);
    HandPlan b = plan(counts, true);
    return b.moves() < a.moves() ? b : a;
}

void comboCards(std::span<const uint8_t> hand, const Combo& combo, std::vector<uint8_t>& out)
{
    static const CGameLogic logic;
    for (uint8_t r = combo.low; r < combo.low + combo.len; ++r) {
        uint8_t taken = 0;
        for (uint8_t card : hand) {
            if (taken < combo.width && logic.CardRank(card) == r) {
                out.push_back(card);
                ++taken;
            }
        }
    }
}

}  // namespace server
