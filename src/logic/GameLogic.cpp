#include "logic/GameLogic.h"

#include <bit>
#include <cstring>

const uint8_t g_cbFullDeck[54] = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D,
    0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D,
    0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D,
    0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D,
    0x4E, 0x4F,
};

namespace {

// Ranks of twos and jokers: no line, pair line or chain of trios may contain them.
constexpr uint8_t RANK_TWO = 15;

const char* const kPlayTypeNames[] = {
    "PLAY_INVALID", "PLAY_SINGLE", "PLAY_PAIR", "PLAY_TRIO", "PLAY_LINE", "PLAY_PAIR_LINE", "PLAY_PLANE",
    "PLAY_TRIO_PLUS_ONE", "PLAY_TRIO_PLUS_PAIR", "PLAY_FOUR_PLUS_TWO", "PLAY_FOUR_PLUS_PAIRS", "PLAY_BOMB", "PLAY_ROCKET",
};

// Consecutive groups of one kind: the first below RANK_TWO, each one rank below the one before.
bool GroupsAreChain(const CGameLogic& logic, const uint8_t* cbGroupCards, uint8_t cbGroupCount, uint8_t cbGroupSize)
{
    uint8_t first = logic.CardRank(cbGroupCards[0]);
    if (first >= RANK_TWO)
        return false;
    for (uint8_t i = 1; i < cbGroupCount; ++i) {
        if (logic.CardRank(cbGroupCards[i * cbGroupSize]) != first - i)
            return false;
    }
    return true;
}

void Append(OutCardResult& result, uint8_t cbCard)
{
    result.cbCards[result.cbCount++] = cbCard;
}

}  // namespace

const char* PlayTypeName(uint8_t cbType)
{
    return cbType <= PLAY_ROCKET ? kPlayTypeNames[cbType] : "?";
}

uint8_t CGameLogic::CardRank(uint8_t cbCard) const
{
    const uint8_t face = CardFace(cbCard);
    if (CardColor(cbCard) == 0x40)
        return face + 2;
    if (face <= 2)
        return face + 13;
    return face;
}

uint8_t CGameLogic::CounterSlot(uint8_t cbCard) const
{
    if (!IsValidCard(cbCard))
        return 0xFF;
    if (cbCard == SMALL_JOKER)
        return 13;
    if (cbCard == BIG_JOKER)
        return 14;
    const uint8_t face = CardFace(cbCard);
    if (face == 1)
        return 11;
    if (face == 2)
        return 12;
    return face - 3;
}

void CGameLogic::SortByRank(const uint8_t cbCardData[], uint8_t cbCardCount, uint8_t cbSorted[], uint8_t cbRanks[]) const
{
    // Cards of one deck are distinct, so a set of 54 bits whose order is the sort order sorts
    // them in one pass: bit 4 * slot + suit for the 52 suited cards, then the two jokers.
    uint64_t set = 0;
    bool distinctCards = true;
    for (uint8_t i = 0; i < cbCardCount && distinctCards; ++i) {
        const uint8_t slot = CounterSlot(cbCardData[i]);
        if (slot >= CARD_COUNTER_SLOTS) {
            distinctCards = false;
            break;
        }
        const uint64_t bit = uint64_t{1} << (slot < 13 ? slot * 4 + (cbCardData[i] >> 4) : slot + 39);
        distinctCards = (set & bit) == 0;
        set |= bit;
    }
    if (distinctCards) {
        for (uint8_t i = 0; set != 0; ++i) {
            const int index = 63 - std::countl_zero(set);
            set &= ~(uint64_t{1} << index);
            if (index >= 52) {
                cbSorted[i] = index == 53 ? BIG_JOKER : SMALL_JOKER;
                cbRanks[i] = static_cast<uint8_t>(index - 36);
                continue;
            }
            const int slot = index / 4;
            const int face = slot == 11 ? 1 : slot == 12 ? 2 : slot + 3;
            cbSorted[i] = static_cast<uint8_t>((index % 4) << 4 | face);
            cbRanks[i] = static_cast<uint8_t>(slot + 3);
        }
        return;
    }

    // Any other bytes: sort keys put rank above the byte, so one descending insertion sort gives
    // the whole order.
    uint16_t keys[MAX_CARD_LIST];
    for (uint8_t i = 0; i < cbCardCount; ++i) {
        const uint16_t key = static_cast<uint16_t>(CardRank(cbCardData[i]) << 8 | cbCardData[i]);
        uint8_t j = i;
        for (; j > 0 && keys[j - 1] < key; --j)
            keys[j] = keys[j - 1];
        keys[j] = key;
    }
    for (uint8_t i = 0; i < cbCardCount; ++i) {
        cbSorted[i] = static_cast<uint8_t>(keys[i]);
        cbRanks[i] = static_cast<uint8_t>(keys[i] >> 8);
    }
}

void CGameLogic::SortCards(uint8_t cbCardData[], uint8_t cbCardCount, uint8_t cbSortOrder) const
{
    if (cbCardCount == 0 || cbCardCount > MAX_CARD_LIST)
        return;
    uint8_t ranks[MAX_CARD_LIST];
    SortByRank(cbCardData, cbCardCount, cbCardData, ranks);

    if (cbSortOrder != ORDER_BY_COUNT)
        return;
    AnalyseResult groups;
    GroupCards(cbCardData, cbCardCount, groups);
    // Five or more of a rank (bytes that are not one deck's cards) belong to no group; writing the
    // groups alone would drop those bytes and leave stale ones behind, so such a list keeps its
    // rank order.
    if (groups.cbQuadCount * 4u + groups.cbTrioCount * 3u + groups.cbPairCount * 2u + groups.cbSingleCount != cbCardCount)
        return;
    uint8_t* out = cbCardData;
    std::memcpy(out, groups.cbQuadCards, groups.cbQuadCount * 4u);
    out += groups.cbQuadCount * 4u;
    std::memcpy(out, groups.cbTrioCards, groups.cbTrioCount * 3u);
    out += groups.cbTrioCount * 3u;
    std::memcpy(out, groups.cbPairCards, groups.cbPairCount * 2u);
    out += groups.cbPairCount * 2u;
    std::memcpy(out, groups.cbSingleCards, groups.cbSingleCount);
}

bool CGameLogic::RemoveCards(const uint8_t cbRemoveCard[], uint8_t cbRemoveCount, uint8_t cbCardData[], uint8_t cbCardCount) const
{
    if (cbCardCount > MAX_CARD_LIST || cbRemoveCount > cbCardCount)
        return false;
    uint8_t work[MAX_CARD_LIST];
    std::memcpy(work, cbCardData, cbCardCount);
    uint8_t removed = 0;
    for (uint8_t i = 0; i < cbRemoveCount; ++i) {
        for (uint8_t j = 0; j < cbCardCount; ++j) {
            if (work[j] == cbRemoveCard[i] && work[j] != 0) {
                work[j] = 0;
                ++removed;
                break;
            }
        }
    }
    if (removed != cbRemoveCount)
        return false;
    uint8_t kept = 0;
    for (uint8_t j = 0; j < cbCardCount; ++j) {
        if (work[j] != 0)
            cbCardData[kept++] = work[j];
    }
    return true;
}

void CGameLogic::GroupCards(const uint8_t cbCardData[], uint8_t cbCardCount, AnalyseResult& result) const
{
    std::memset(&result, 0, sizeof(result));
    if (cbCardCount > MAX_CARD_LIST)
        cbCardCount = MAX_CARD_LIST;
    uint8_t i = 0;
    while (i < cbCardCount) {
        const uint8_t rank = CardRank(cbCardData[i]);
        uint8_t run = 1;
        while (i + run < cbCardCount && CardRank(cbCardData[i + run]) == rank)
            ++run;
        const uint8_t* group = cbCardData + i;
        switch (run) {
        case 1:
            result.cbSingleCards[result.cbSingleCount++] = group[0];
            break;
        case 2:
            std::memcpy(result.cbPairCards + result.cbPairCount++ * 2, group, 2);
            break;
        case 3:
            std::memcpy(result.cbTrioCards + result.cbTrioCount++ * 3, group, 3);
            break;
        case 4:
            std::memcpy(result.cbQuadCards + result.cbQuadCount++ * 4, group, 4);
            break;
        default:
            // Only a list that is not one deck's cards holds five of a rank.
            break;
        }
        i += run;
    }
}

uint8_t CGameLogic::JudgeType(const uint8_t cbCardData[], uint8_t cbCardCount) const
{
    switch (cbCardCount) {
    case 0:
        return PLAY_INVALID;
    case 1:
        return PLAY_SINGLE;
    case 2:
        if (cbCardData[0] == BIG_JOKER && cbCardData[1] == SMALL_JOKER)
            return PLAY_ROCKET;
        return CardRank(cbCardData[0]) == CardRank(cbCardData[1]) ? PLAY_PAIR : PLAY_INVALID;
    default:
        break;
    }
    if (cbCardCount > MAX_CARD_LIST)
        return PLAY_INVALID;

    AnalyseResult groups;
    GroupCards(cbCardData, cbCardCount, groups);
    const uint8_t n = cbCardCount;

    if (groups.cbQuadCount > 0) {
        if (groups.cbQuadCount != 1)
            return PLAY_INVALID;
        if (n == 4)
            return PLAY_BOMB;
        if (n == 6 && groups.cbSingleCount == 2)
            return PLAY_FOUR_PLUS_TWO;
        if (n == 8 && groups.cbPairCount == 2)
            return PLAY_FOUR_PLUS_PAIRS;
        return PLAY_INVALID;
    }

    if (groups.cbTrioCount > 0) {
        const uint8_t t = groups.cbTrioCount;
        if (t == 1 && n == 3)
            return PLAY_TRIO;
        if (t > 1 && !GroupsAreChain(*this, groups.cbTrioCards, t, 3))
            return PLAY_INVALID;
        if (n == 3 * t)
            return PLAY_PLANE;
        if (n == 4 * t)
            return PLAY_TRIO_PLUS_ONE;
        if (n == 5 * t && groups.cbPairCount == t)
            return PLAY_TRIO_PLUS_PAIR;
        return PLAY_INVALID;
    }

    if (groups.cbPairCount >= 3) {
        if (!GroupsAreChain(*this, groups.cbPairCards, groups.cbPairCount, 2))
            return PLAY_INVALID;
        return n == 2 * groups.cbPairCount ? PLAY_PAIR_LINE : PLAY_INVALID;
    }

    if (groups.cbSingleCount >= 5 && groups.cbSingleCount == n)
        return GroupsAreChain(*this, groups.cbSingleCards, n, 1) ? PLAY_LINE : PLAY_INVALID;

    return PLAY_INVALID;
}

void CGameLogic::HandleRecordData(const uint8_t cbCardData[], uint8_t cbCardCount, uint8_t cbCounts[15], uint8_t& cbResultError) const
{
    for (uint8_t i = 0; i < cbCardCount; ++i) {
        const uint8_t slot = CounterSlot(cbCardData[i]);
        if (slot >= CARD_COUNTER_SLOTS) {
            cbResultError = 2;
            continue;
        }
        if (cbCounts[slot] >= 4) {
            cbCounts[slot] = 4;
            cbResultError = 1;
            continue;
        }
        ++cbCounts[slot];
    }
}

bool CGameLogic::BeatsPrevious(const uint8_t cbPrevCards[], const uint8_t cbCurCards[], uint8_t cbPrevCount, uint8_t cbCurCount) const
{
    const uint8_t prevType = JudgeType(cbPrevCards, cbPrevCount);
    const uint8_t curType = JudgeType(cbCurCards, cbCurCount);
    if (curType == PLAY_INVALID)
        return false;
    if (curType == PLAY_ROCKET)
        return true;
    if (prevType == PLAY_ROCKET)
        return false;
    if (curType == PLAY_BOMB && prevType != PLAY_BOMB)
        return true;
    if (prevType == PLAY_BOMB && curType != PLAY_BOMB)
        return false;
    if (prevType != curType || cbPrevCount != cbCurCount)
        return false;

    switch (curType) {
    case PLAY_TRIO_PLUS_ONE:
    case PLAY_TRIO_PLUS_PAIR: {
        AnalyseResult prev, cur;
        GroupCards(cbPrevCards, cbPrevCount, prev);
        GroupCards(cbCurCards, cbCurCount, cur);
        return CardRank(cur.cbTrioCards[0]) > CardRank(prev.cbTrioCards[0]);
    }
    case PLAY_FOUR_PLUS_TWO:
    case PLAY_FOUR_PLUS_PAIRS: {
        AnalyseResult prev, cur;
        GroupCards(cbPrevCards, cbPrevCount, prev);
        GroupCards(cbCurCards, cbCurCount, cur);
        return CardRank(cur.cbQuadCards[0]) > CardRank(prev.cbQuadCards[0]);
    }
    default:
        return CardRank(cbCurCards[0]) > CardRank(cbPrevCards[0]);
    }
}

bool CGameLogic::ListHasCard(uint8_t cbCard, const uint8_t cbCardData[], uint8_t cbCardCount) const
{
    for (uint8_t i = 0; i < cbCardCount; ++i) {
        if (cbCardData[i] == cbCard)
            return true;
    }
    return false;
}

bool CGameLogic::FindBomb(const uint8_t W[], const uint8_t R[], uint8_t n, uint8_t cbPrevType, uint8_t cbPrevTop, OutCardResult& result) const
{
    if (n >= 4) {
        const uint8_t floor = cbPrevType == PLAY_BOMB ? cbPrevTop : 0;
        for (int p = n - 4; p >= 0; --p) {
            // The hand is sorted by rank, so equal ends mean four equal ranks.
            if (cbPrevType == PLAY_BOMB && R[p] <= floor)
                continue;
            if (R[p + 3] == R[p]) {
                std::memcpy(result.cbCards, W + p, 4);
                result.cbCount = 4;
                return true;
            }
        }
    }
    if (n >= 2 && W[0] == BIG_JOKER && W[1] == SMALL_JOKER) {
        result.cbCards[0] = BIG_JOKER;
        result.cbCards[1] = SMALL_JOKER;
        result.cbCount = 2;
        return true;
    }
    return false;
}

bool CGameLogic::FindTrios(const uint8_t W[], const uint8_t R[], uint8_t n, const uint8_t cbPrevCards[], uint8_t m, uint8_t cbPrevType,
                           OutCardResult& result) const
{
    uint8_t r = 0;
    for (uint8_t i = 0; i + 2 < m; ++i) {
        const uint8_t rank = CardRank(cbPrevCards[i]);
        if (CardRank(cbPrevCards[i + 1]) == rank && CardRank(cbPrevCards[i + 2]) == rank) {
            r = rank;
            break;
        }
    }
    const uint8_t t = cbPrevType == PLAY_PLANE ? m / 3 : cbPrevType == PLAY_TRIO_PLUS_ONE ? m / 4 : m / 5;
    if (t == 0 || 3 * t > n)
        return false;

    for (int p = n - 3 * t; p >= 0; --p) {
        const uint8_t h = R[p];
        if (h <= r)
            continue;
        if (t > 1 && h >= RANK_TWO)
            return false;

        result.cbCount = 0;
        uint8_t k = 0;
        for (int j = p; j + 2 < n && k < t; ++j) {
            const uint8_t want = h - k;
            if (R[j] == want && R[j + 1] == want && R[j + 2] == want) {
                Append(result, W[j]);
                Append(result, W[j + 1]);
                Append(result, W[j + 2]);
                ++k;
            }
        }
        if (k < t)
            continue;

        uint8_t left[MAX_CARD_LIST];
        std::memcpy(left, W, n);
        RemoveCards(result.cbCards, result.cbCount, left, n);
        AnalyseResult rest;
        GroupCards(left, static_cast<uint8_t>(n - result.cbCount), rest);

        if (cbPrevType == PLAY_TRIO_PLUS_ONE) {
            // Singles first, then cards broken off larger groups, always from the weak end.
            for (int i = rest.cbSingleCount - 1; i >= 0 && result.cbCount < m; --i)
                Append(result, rest.cbSingleCards[i]);
            for (int i = rest.cbPairCount * 2 - 1; i >= 0 && result.cbCount < m; --i)
                Append(result, rest.cbPairCards[i]);
            for (int i = rest.cbTrioCount * 3 - 1; i >= 0 && result.cbCount < m; --i)
                Append(result, rest.cbTrioCards[i]);
            for (int i = rest.cbQuadCount * 4 - 1; i >= 0 && result.cbCount < m; --i)
                Append(result, rest.cbQuadCards[i]);
        } else if (cbPrevType == PLAY_TRIO_PLUS_PAIR) {
            const struct {
                const uint8_t* cards;
                uint8_t groups;
                uint8_t size;
            } sources[] = {{rest.cbPairCards, rest.cbPairCount, 2}, {rest.cbTrioCards, rest.cbTrioCount, 3},
                           {rest.cbQuadCards, rest.cbQuadCount, 4}};
            for (const auto& source : sources) {
                for (int g = source.groups - 1; g >= 0 && result.cbCount < m; --g) {
                    Append(result, source.cards[g * source.size]);
                    Append(result, source.cards[g * source.size + 1]);
                }
            }
        }
        if (result.cbCount != m)
            continue;
        // Attachments broken off a left-over trio or four can turn the answer into something that
        // is no play at all (three trios with a fourth one as attachments); such a candidate is
        // passed over like one without enough attachments.
        uint8_t sorted[MAX_CARD_LIST];
        std::memcpy(sorted, result.cbCards, m);
        SortCards(sorted, m, ORDER_BY_COUNT);
        if (BeatsPrevious(cbPrevCards, sorted, m, m))
            return true;
    }
    return false;
}

bool CGameLogic::FindBeater(const uint8_t cbHandCards[], uint8_t cbHandCount, const uint8_t cbPrevCards[], uint8_t cbPrevCount,
                            OutCardResult& result) const
{
    std::memset(&result, 0, sizeof(result));
    if (cbHandCount == 0 || cbHandCount > MAX_CARD_LIST || cbPrevCount > MAX_CARD_LIST)
        return false;

    // W is the hand in rank order and R the rank of each of its cards, read by every step below.
    uint8_t W[MAX_CARD_LIST], R[MAX_CARD_LIST];
    SortByRank(cbHandCards, cbHandCount, W, R);
    const uint8_t n = cbHandCount;
    const uint8_t m = cbPrevCount;
    const uint8_t prevType = JudgeType(cbPrevCards, cbPrevCount);
    const uint8_t prevTop = m > 0 ? CardRank(cbPrevCards[0]) : 0;

    switch (prevType) {
    case PLAY_INVALID: {
        // Leading: the weakest rank group, from the weakest card upward.
        const uint8_t rank = R[n - 1];
        for (int p = n - 1; p >= 0 && R[p] == rank; --p)
            Append(result, W[p]);
        return true;
    }
    case PLAY_ROCKET:
        return false;
    case PLAY_SINGLE:
    case PLAY_PAIR:
    case PLAY_TRIO: {
        AnalyseResult groups;
        GroupCards(W, n, groups);
        const struct {
            const uint8_t* cards;
            uint8_t groups;
            uint8_t size;
        } kinds[] = {{groups.cbSingleCards, groups.cbSingleCount, 1}, {groups.cbPairCards, groups.cbPairCount, 2},
                     {groups.cbTrioCards, groups.cbTrioCount, 3}, {groups.cbQuadCards, groups.cbQuadCount, 4}};
        for (const auto& kind : kinds) {
            if (kind.size < m)
                continue;
            for (int g = kind.groups - 1; g >= 0; --g) {
                const uint8_t* group = kind.cards + g * kind.size;
                if (CardRank(group[0]) > prevTop) {
                    std::memcpy(result.cbCards, group, m);
                    result.cbCount = m;
                    return true;
                }
            }
        }
        break;
    }
    case PLAY_LINE:
        if (n < m)
            break;
        for (int p = n - m; p >= 0; --p) {
            const uint8_t h = R[p];
            if (h >= RANK_TWO)
                break;
            if (h <= prevTop)
                continue;
            result.cbCount = 0;
            for (int j = p; j < n && result.cbCount < m; ++j) {
                if (R[j] == h - result.cbCount)
                    Append(result, W[j]);
            }
            if (result.cbCount == m)
                return true;
        }
        result.cbCount = 0;
        break;
    case PLAY_PAIR_LINE:
        if (n < m)
            break;
        for (int p = n - m; p >= 0; --p) {
            const uint8_t h = R[p];
            if (h <= prevTop)
                continue;
            if (h >= RANK_TWO)
                break;
            result.cbCount = 0;
            uint8_t k = 0;
            for (int j = p; j + 1 < n && 2 * k < m; ++j) {
                const uint8_t want = h - k;
                if (R[j] == want && R[j + 1] == want) {
                    Append(result, W[j]);
                    Append(result, W[j + 1]);
                    ++k;
                }
            }
            if (2 * k == m)
                return true;
        }
        result.cbCount = 0;
        break;
    case PLAY_PLANE:
    case PLAY_TRIO_PLUS_ONE:
    case PLAY_TRIO_PLUS_PAIR:
        if (n >= m && FindTrios(W, R, n, cbPrevCards, m, prevType, result))
            return true;
        result.cbCount = 0;
        break;
    default:
        // A four with attachments or a bomb is answered only by a bomb or the rocket.
        break;
    }
    std::memset(&result, 0, sizeof(result));
    return FindBomb(W, R, n, prevType, prevTop, result);
}

bool CGameLogic::FindBeaterWith(const uint8_t cbHandCards[], uint8_t cbHandCount, const uint8_t cbPrevCards[], uint8_t cbPrevCount,
                                uint8_t cbCard, OutCardResult& result) const
{
    uint8_t cbCurrentTurnCardData[MAX_CARD_LIST];
    uint8_t cbCurrentTurnCardCount = cbPrevCount > MAX_CARD_LIST ? MAX_CARD_LIST : cbPrevCount;
    std::memcpy(cbCurrentTurnCardData, cbPrevCards, cbCurrentTurnCardCount);

    // Each answer is stronger than the last, so the chain ends at the rocket at the latest; the
    // bound only guards against a chain that a rule change might make circular.
    for (int step = 0; step < 64; ++step) {
        if (!FindBeater(cbHandCards, cbHandCount, cbCurrentTurnCardData, cbCurrentTurnCardCount, result) || result.cbCount == 0)
            return false;
        if (ListHasCard(cbCard, result.cbCards, result.cbCount))
            return true;
        std::memcpy(cbCurrentTurnCardData, result.cbCards, result.cbCount);
        cbCurrentTurnCardCount = result.cbCount;
    }
    std::memset(&result, 0, sizeof(result));
    return false;
}
