#include "interaction/CardClickHelp.h"

#include <cstring>
#include <utility>

namespace {

constexpr uint8_t kRankTwo = 15;

bool ValidList(const uint8_t* cards, uint8_t count)
{
    return count > 0 && count <= MAX_CARD_LIST && cards != nullptr;
}

uint8_t HeldWithRank(const CGameLogic& logic, const uint8_t* hand, uint8_t count, uint8_t rank)
{
    uint8_t held = 0;
    for (uint8_t i = 0; i < count; ++i)
        held += logic.CardRank(hand[i]) == rank;
    return held;
}

// The first card of each of the three ranks after `from` (one step `step` apart), met walking the
// rank-sorted hand in the direction that meets the nearer rank first.
bool TakeThree(const CGameLogic& logic, const uint8_t* sorted, uint8_t count, int from, int step, uint8_t out[3])
{
    bool have[3] = {};
    for (uint8_t n = 0; n < count; ++n) {
        // Upward walks start at the weakest card, downward ones at the strongest.
        const uint8_t card = step > 0 ? sorted[count - 1 - n] : sorted[n];
        const int offset = (logic.CardRank(card) - from) * step - 1;
        if (offset >= 0 && offset < 3 && !have[offset]) {
            have[offset] = true;
            out[offset] = card;
        }
    }
    return have[0] && have[1] && have[2];
}

}  // namespace

std::optional<OutCardResult> HelpResponseClick(const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                                               const uint8_t turn[], uint8_t turnCount, uint8_t clicked)
{
    if (!ValidList(hand, count) || !ValidList(turn, turnCount) || !logic.ListHasCard(clicked, hand, count))
        return std::nullopt;

    uint8_t sortedTurn[MAX_CARD_LIST];
    std::memcpy(sortedTurn, turn, turnCount);
    logic.SortCards(sortedTurn, turnCount, ORDER_BY_RANK);

    const uint8_t rank = logic.CardRank(clicked);
    OutCardResult found{};
    bool ok = false;
    for (uint8_t i = 0; i < count && !ok; ++i) {
        if (logic.CardRank(hand[i]) == rank)
            ok = logic.FindBeaterWith(hand, count, sortedTurn, turnCount, hand[i], found) && found.cbCount > 0;
    }
    if (!ok)
        return std::nullopt;

    // The card under the mouse must be part of the selection: it takes the place of the card of its
    // rank that lies furthest from it by byte.
    if (!logic.ListHasCard(clicked, found.cbCards, found.cbCount)) {
        int replace = -1;
        int widest = -1;
        for (uint8_t i = 0; i < found.cbCount; ++i) {
            const int distance = found.cbCards[i] > clicked ? found.cbCards[i] - clicked : clicked - found.cbCards[i];
            if (logic.CardRank(found.cbCards[i]) == rank && distance > widest) {
                widest = distance;
                replace = i;
            }
        }
        if (replace < 0)
            return std::nullopt;
        found.cbCards[replace] = clicked;
    }

    // A bomb found for a small play whose first cards already answer it: the click meant the card,
    // not the bomb.
    uint8_t sortedFound[MAX_CARD_LIST];
    std::memcpy(sortedFound, found.cbCards, found.cbCount);
    logic.SortCards(sortedFound, found.cbCount, ORDER_BY_RANK);
    if (logic.JudgeType(sortedFound, found.cbCount) == PLAY_BOMB && logic.JudgeType(sortedTurn, turnCount) != PLAY_BOMB &&
        turnCount <= 3 && logic.BeatsPrevious(sortedTurn, found.cbCards, turnCount, turnCount)) {
        OutCardResult single{};
        single.cbCount = 1;
        single.cbCards[0] = clicked;
        return single;
    }
    return found;
}

std::optional<OutCardResult> CompleteLineOfFive(const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                                                const uint8_t raised[2])
{
    if (!ValidList(hand, count) || raised == nullptr)
        return std::nullopt;
    uint8_t low = raised[0];
    uint8_t high = raised[1];
    if (logic.CardRank(low) > logic.CardRank(high))
        std::swap(low, high);
    const uint8_t lowRank = logic.CardRank(low);
    const uint8_t highRank = logic.CardRank(high);
    if (highRank >= kRankTwo || highRank != lowRank + 1 || HeldWithRank(logic, hand, count, lowRank) > 2 ||
        HeldWithRank(logic, hand, count, highRank) > 2)
        return std::nullopt;

    uint8_t sorted[MAX_CARD_LIST];
    std::memcpy(sorted, hand, count);
    logic.SortCards(sorted, count, ORDER_BY_RANK);

    OutCardResult line{};
    uint8_t three[3];
    // Upward the line may end at the ace at the highest (lower card 10); downward it may start at
    // the three at the lowest (lower card 6).
    const bool up = lowRank <= 10 && TakeThree(logic, sorted, count, highRank, 1, three);
    if (!up && !(lowRank >= 6 && TakeThree(logic, sorted, count, lowRank, -1, three)))
        return std::nullopt;
    line.cbCount = 5;
    line.cbCards[0] = low;
    line.cbCards[1] = high;
    std::memcpy(line.cbCards + 2, three, 3);
    logic.SortCards(line.cbCards, 5, ORDER_BY_RANK);
    return line;
}
