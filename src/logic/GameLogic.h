#pragma once

// The card rules: card bytes, ranks, sorting, grouping, combination types, comparison and the
// search for a play that beats another. One engine serves the client, the server, the bots and the
// tools. Every operation works on caller-owned arrays and allocates nothing.

#include <cstdint>

// Combination types.
inline constexpr uint8_t PLAY_INVALID = 0;
inline constexpr uint8_t PLAY_SINGLE = 1;
inline constexpr uint8_t PLAY_PAIR = 2;
inline constexpr uint8_t PLAY_TRIO = 3;
inline constexpr uint8_t PLAY_LINE = 4;
inline constexpr uint8_t PLAY_PAIR_LINE = 5;
inline constexpr uint8_t PLAY_PLANE = 6;
inline constexpr uint8_t PLAY_TRIO_PLUS_ONE = 7;
inline constexpr uint8_t PLAY_TRIO_PLUS_PAIR = 8;
inline constexpr uint8_t PLAY_FOUR_PLUS_TWO = 9;
inline constexpr uint8_t PLAY_FOUR_PLUS_PAIRS = 10;
inline constexpr uint8_t PLAY_BOMB = 11;
inline constexpr uint8_t PLAY_ROCKET = 12;

// Sort orders of SortCards.
inline constexpr uint8_t ORDER_BY_RANK = 0;
inline constexpr uint8_t ORDER_BY_COUNT = 1;

inline constexpr uint8_t SMALL_JOKER = 0x4E;
inline constexpr uint8_t BIG_JOKER = 0x4F;
inline constexpr uint8_t MAX_CARD_LIST = 20;
inline constexpr uint8_t CARD_COUNTER_SLOTS = 15;

// The 54 cards in deck order.
extern const uint8_t g_cbFullDeck[54];

// The name of a combination type ("PLAY_ROCKET"); "?" for an unknown code.
const char* PlayTypeName(uint8_t cbType);

// True for the 54 bytes that are cards.
constexpr bool IsValidCard(uint8_t cbCard)
{
    const uint8_t face = cbCard & 0x0F;
    const uint8_t color = cbCard & 0xF0;
    if (color == 0x40)
        return face == 0x0E || face == 0x0F;
    return color <= 0x30 && face >= 1 && face <= 13;
}

struct AnalyseResult {
    uint8_t cbQuadCount;
    uint8_t cbTrioCount;
    uint8_t cbPairCount;
    uint8_t cbSingleCount;
    uint8_t cbQuadCards[20];
    uint8_t cbTrioCards[20];
    uint8_t cbPairCards[20];
    uint8_t cbSingleCards[20];
};

struct OutCardResult {
    uint8_t cbCount;
    uint8_t cbCards[20];
};

class CGameLogic {
public:
    CGameLogic() = default;
    virtual ~CGameLogic() = default;

    uint8_t CardFace(uint8_t cbCard) const { return cbCard & 0x0F; }
    uint8_t CardColor(uint8_t cbCard) const { return cbCard & 0xF0; }
    // 3..17 for cards. Any byte gives a value in 2..17, so rank-indexed tables of 18 stay in bounds.
    uint8_t CardRank(uint8_t cbCard) const;
    // 0..14 for cards; 0xFF for a byte that is not a card.
    uint8_t CounterSlot(uint8_t cbCard) const;

    // Lists longer than 20 cards are left as they are.
    void SortCards(uint8_t cbCardData[], uint8_t cbCardCount, uint8_t cbSortOrder) const;
    bool RemoveCards(const uint8_t cbRemoveCard[], uint8_t cbRemoveCount, uint8_t cbCardData[], uint8_t cbCardCount) const;
    void GroupCards(const uint8_t cbCardData[], uint8_t cbCardCount, AnalyseResult& result) const;
    uint8_t JudgeType(const uint8_t cbCardData[], uint8_t cbCardCount) const;
    void HandleRecordData(const uint8_t cbCardData[], uint8_t cbCardCount, uint8_t cbCounts[15], uint8_t& cbResultError) const;

    bool BeatsPrevious(const uint8_t cbPrevCards[], const uint8_t cbCurCards[], uint8_t cbPrevCount, uint8_t cbCurCount) const;
    bool FindBeater(const uint8_t cbHandCards[], uint8_t cbHandCount, const uint8_t cbPrevCards[], uint8_t cbPrevCount,
                    OutCardResult& result) const;
    bool FindBeaterWith(const uint8_t cbHandCards[], uint8_t cbHandCount, const uint8_t cbPrevCards[], uint8_t cbPrevCount,
                        uint8_t cbCard, OutCardResult& result) const;
    bool ListHasCard(uint8_t cbCard, const uint8_t cbCardData[], uint8_t cbCardCount) const;

private:
    // Cards in rank order, with the rank of each beside it.
    void SortByRank(const uint8_t cbCardData[], uint8_t cbCardCount, uint8_t cbSorted[], uint8_t cbRanks[]) const;
    bool FindBomb(const uint8_t cbSorted[], const uint8_t cbRanks[], uint8_t cbCount, uint8_t cbPrevType, uint8_t cbPrevTop, OutCardResult& result) const;
    bool FindTrios(const uint8_t cbSorted[], const uint8_t cbRanks[], uint8_t cbCount, const uint8_t cbPrevCards[], uint8_t cbPrevCount, uint8_t cbPrevType,
                   OutCardResult& result) const;
};
