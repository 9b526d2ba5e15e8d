// Server messages and table snapshots, and the card rules they feed: the size rules and bounds
// must hold for any bytes, an accepted record must stay inside its arrays when its counts are
// followed, and the play search must answer with cards of the hand that beat the play before.
//
// An input is: hand count, previous play count (each % 21), a card, the hand, the previous play
// (counts cut to what is left), then a sub-command (2 bytes) and a message body, which is also
// read as a snapshot of the state given by its first byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "logic/GameLogic.h"
#include "protocol/GameRecords.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool SameCards(const uint8_t* a, const uint8_t* b, uint8_t count)
{
    uint8_t x[MAX_CARD_LIST], y[MAX_CARD_LIST];
    std::copy_n(a, count, x);
    std::copy_n(b, count, y);
    std::sort(x, x + count);
    std::sort(y, y + count);
    return std::equal(x, x + count, y);
}

// Cards of one deck: every byte a card, none twice. Only such lists have a meaning in the game.
bool OneDeck(const uint8_t* cards, uint8_t count)
{
    bool seen[256] = {};
    for (uint8_t i = 0; i < count; ++i) {
        if (!IsValidCard(cards[i]) || seen[cards[i]])
            return false;
        seen[cards[i]] = true;
    }
    return true;
}

// The answer holds cards of the hand only (RemoveCards finds each of them), and in a real deal it
// is a play that beats the previous one.
void CheckAnswer(const CGameLogic& logic, const uint8_t* hand, uint8_t handCount, const uint8_t* prev, uint8_t prevCount,
                 const OutCardResult& answer, bool realDeal)
{
    Check(answer.cbCount <= handCount && answer.cbCount <= MAX_CARD_LIST);
    uint8_t rest[MAX_CARD_LIST];
    std::copy_n(hand, handCount, rest);
    // Byte 0 is no card: RemoveCards never removes it.
    if (std::find(hand, hand + handCount, 0) == hand + handCount)
        Check(logic.RemoveCards(answer.cbCards, answer.cbCount, rest, handCount));
    if (!realDeal || answer.cbCount == 0 || logic.JudgeType(prev, prevCount) == PLAY_INVALID)
        return;
    uint8_t sorted[MAX_CARD_LIST];
    std::copy_n(answer.cbCards, answer.cbCount, sorted);
    logic.SortCards(sorted, answer.cbCount, ORDER_BY_COUNT);
    Check(logic.BeatsPrevious(prev, sorted, prevCount, answer.cbCount));
}

void FuzzCardRules(const uint8_t* hand, uint8_t handCount, const uint8_t* prevIn, uint8_t prevCount, uint8_t card)
{
    CGameLogic logic;
    const bool realDeal = OneDeck(hand, handCount) && OneDeck(prevIn, prevCount);

    uint8_t sorted[MAX_CARD_LIST];
    for (uint8_t order : {ORDER_BY_RANK, ORDER_BY_COUNT}) {
        std::copy_n(hand, handCount, sorted);
        logic.SortCards(sorted, handCount, order);
        Check(SameCards(sorted, hand, handCount));
    }
    // The previous play arrives as the server sends it: sorted by group size.
    uint8_t prev[MAX_CARD_LIST];
    std::copy_n(prevIn, prevCount, prev);
    logic.SortCards(prev, prevCount, ORDER_BY_COUNT);

    uint8_t counts[CARD_COUNTER_SLOTS] = {};
    uint8_t error = 0;
    logic.HandleRecordData(hand, handCount, counts, error);
    Check(realDeal ? error == 0 : true);
    for (uint8_t count : counts)
        Check(count <= 4);

    logic.BeatsPrevious(prev, sorted, prevCount, handCount);
    logic.BeatsPrevious(sorted, prev, handCount, prevCount);

    OutCardResult answer;
    if (logic.FindBeater(hand, handCount, prev, prevCount, answer))
        CheckAnswer(logic, hand, handCount, prev, prevCount, answer, realDeal);
    if (logic.FindBeaterWith(hand, handCount, prev, prevCount, card, answer)) {
        Check(logic.ListHasCard(card, answer.cbCards, answer.cbCount));
        CheckAnswer(logic, hand, handCount, prev, prevCount, answer, realDeal);
    }

    // Playing the previous cards out of the hand: either all of them go, or the hand stays.
    uint8_t rest[MAX_CARD_LIST];
    std::copy_n(hand, handCount, rest);
    if (!logic.RemoveCards(prev, prevCount, rest, handCount))
        Check(std::equal(rest, rest + handCount, hand));
}

void FuzzRecords(uint16_t sub, std::span<const uint8_t> body)
{
    CGameLogic logic;
    if (CheckGameMessage(sub, body) == MessageCheck::Accept) {
        if (const auto played = ReadPlayedCards(body)) {
            Check(played->cbCardCount >= 1 && played->cbCardCount <= MAX_HAND);
            uint8_t cards[MAX_HAND];
            std::copy_n(played->cbCardData, played->cbCardCount, cards);
            logic.SortCards(cards, played->cbCardCount, ORDER_BY_COUNT);
            uint8_t counts[CARD_COUNTER_SLOTS] = {};
            uint8_t error = 0;
            logic.HandleRecordData(cards, played->cbCardCount, counts, error);
        }
        if (const auto end = ReadRecord<GameEndRecord>(body)) {
            size_t total = 0;
            for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
                volatile uint8_t sink = 0;
                for (uint8_t card : GameEndCards(*end, chair))
                    sink = sink + card;
                total += GameEndCards(*end, chair).size();
            }
            Check(total <= FULL_DECK);
        }
        if (const auto items = ReadPropList(body)) {
            for (const PropItem& item : *items)
                Check(std::memchr(item.szPropKindDesc, 0, sizeof(item.szPropKindDesc)) != nullptr);
        }
    }
    if (!body.empty())
        CheckSceneMessage(body[0], body.subspan(1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    size_t at = 3;
    const auto take = [&](uint8_t wanted) {
        const uint8_t count = static_cast<uint8_t>(std::min<size_t>(wanted % (MAX_CARD_LIST + 1), size - at));
        const uint8_t* cards = data + at;
        at += count;
        return std::span<const uint8_t>(cards, count);
    };
    const auto hand = take(data[0]);
    const auto prev = take(data[1]);
    FuzzCardRules(hand.data(), static_cast<uint8_t>(hand.size()), prev.data(), static_cast<uint8_t>(prev.size()), data[2]);

    if (size - at >= 2) {
        const uint16_t sub = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
        FuzzRecords(sub, std::span<const uint8_t>(data + at + 2, size - at - 2));
    }
    return 0;
}
