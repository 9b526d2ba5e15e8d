#include "interaction/ShapePick.h"

#include <cstring>

namespace {

// Twos and jokers: no line, pair line or chain of trios may reach them.
constexpr uint8_t kRankTwo = 15;

using OutButton = tagShapePick::OutButton;
using CanPlay = std::function<bool(const uint8_t*, uint8_t)>;

constexpr std::size_t Index(Shape shape)
{
    return static_cast<std::size_t>(shape);
}

// Everything a press looks at. A hand or turn of more than 20 cards is not one the server can
// deal, so the entry points refuse it before any walk indexes a 20-entry array.
struct Table {
    const CGameLogic& logic;
    const uint8_t* hand;
    uint8_t count;
    const uint8_t* turn;
    uint8_t turnCount;
};

bool ValidList(const uint8_t* cards, uint8_t count)
{
    return count <= MAX_CARD_LIST && (count == 0 || cards != nullptr);
}

void RankSorted(const CGameLogic& logic, const uint8_t* cards, uint8_t count, uint8_t sorted[MAX_CARD_LIST])
{
    if (count == 0)
        return;
    std::memcpy(sorted, cards, count);
    logic.SortCards(sorted, count, ORDER_BY_RANK);
}

void Ranks(const CGameLogic& logic, const uint8_t* cards, uint8_t count, uint8_t ranks[MAX_CARD_LIST])
{
    for (uint8_t i = 0; i < count; ++i)
        ranks[i] = logic.CardRank(cards[i]);
}

bool HoldsRocket(const CGameLogic& logic, const uint8_t* hand, uint8_t count)
{
    if (count < 2)
        return false;
    uint8_t sorted[MAX_CARD_LIST];
    RankSorted(logic, hand, count, sorted);
    return sorted[0] == BIG_JOKER && sorted[1] == SMALL_JOKER;
}

// True when a group of the kind ranks above `rank`; the groups of each kind are `size` entries apart.
bool GroupAbove(const CGameLogic& logic, const uint8_t* groups, uint8_t groupCount, uint8_t size, uint8_t rank)
{
    for (int g = groupCount - 1; g >= 0; --g) {
        if (logic.CardRank(groups[g * size]) > rank)
            return true;
    }
    return false;
}

// Chains of `size` equal ranks, each one rank below the last, starting at any position from the
// weak end of a rank-sorted list; a start at a two or a joker ends the test.
bool HasChain(const uint8_t* ranks, uint8_t n, uint8_t size, uint8_t needed, bool stopAtTwo)
{
    for (int p = n - 1; p >= 0; --p) {
        const int h = ranks[p];
        if (h >= kRankTwo) {
            if (stopAtTwo)
                return false;
            continue;
        }
        int k = 0;
        for (int j = p; j + size - 1 < n; ++j) {
            bool match = true;
            for (int s = 0; s < size; ++s)
                match = match && ranks[j + s] == h - k;
            if (match && ++k >= needed)
                return true;
        }
    }
    return false;
}

// The rank of the first card of a play that begins three cards of equal rank; 0 when none does.
uint8_t FirstTrioRank(const CGameLogic& logic, const uint8_t* cards, uint8_t count)
{
    for (uint8_t i = 0; i + 2 < count; ++i) {
        const uint8_t rank = logic.CardRank(cards[i]);
        if (logic.CardRank(cards[i + 1]) == rank && logic.CardRank(cards[i + 2]) == rank)
            return rank;
    }
    return 0;
}

// The responding rules walk the hand as it is shown, with the searches' own walks; a hand shown by
// count can hide a combination whose cards lie in different groups, which the hint still finds.
bool LineInHand(const uint8_t* R, uint8_t n, uint8_t m, uint8_t top)
{
    if (m == 0 || n < m)
        return false;
    for (int p = n - m; p >= 0; --p) {
        const int h = R[p];
        if (h >= kRankTwo)
            return false;
        if (h <= top)
            continue;
        int k = 0;
        for (int j = p; j < n && k < m; ++j) {
            if (R[j] == h - k)
                ++k;
        }
        if (k == m)
            return true;
    }
    return false;
}

bool PairLineInHand(const uint8_t* R, uint8_t n, uint8_t m, uint8_t top)
{
    if (m == 0 || n < m)
        return false;
    for (int p = n - m; p >= 0; --p) {
        const int h = R[p];
        if (h <= top)
            continue;
        if (h >= kRankTwo && m > 1)
            return false;
        int k = 0;
        for (int j = p; j + 1 < n && 2 * k < m; ++j) {
            if (R[j] == h - k && R[j + 1] == h - k)
                ++k;
        }
        if (2 * k == m)
            return true;
    }
    return false;
}

bool TriosInHand(const uint8_t* R, uint8_t n, uint8_t t, uint8_t top)
{
    if (t == 0 || 3 * t > n)
        return false;
    for (int p = n - 3 * t; p >= 0; --p) {
        const int h = R[p];
        if (h <= top)
            continue;
        if (t > 1 && h >= kRankTwo)
            return false;
        int k = 0;
        for (int j = p; j + 2 < n && k < t; ++j) {
            if (R[j] == h - k && R[j + 1] == h - k && R[j + 2] == h - k)
                ++k;
        }
        if (k == t)
            return true;
    }
    return false;
}

tagShapePick Raise(const uint8_t* cards, uint8_t count, OutButton out)
{
    tagShapePick pick;
    if (count == 0 || count > MAX_CARD_LIST)
        return pick;
    pick.bRaise = true;
    pick.cbCount = count;
    std::memcpy(pick.cbCards, cards, count);
    pick.out = out;
    return pick;
}

// FindBeater against a play given in any order (stored picks are kept as found, the turn as the
// controller sorted it).
bool Search(const CGameLogic& logic, const uint8_t* hand, uint8_t count, const uint8_t* prev, uint8_t prevCount,
            OutCardResult& result)
{
    std::memset(&result, 0, sizeof(result));
    if (prevCount > MAX_CARD_LIST || count == 0)
        return false;
    uint8_t sorted[MAX_CARD_LIST];
    RankSorted(logic, prev, prevCount, sorted);
    return logic.FindBeater(hand, count, sorted, prevCount, result) && result.cbCount > 0;
}

bool SearchTurn(const Table& t, OutCardResult& result)
{
    return Search(t.logic, t.hand, t.count, t.turn, t.turnCount, result);
}

// The weakest `want` cards of the weakest group of the first kind that has one, from the group's
// last entry backwards.
bool TakeWeakest(const AnalyseResult& g, uint8_t want, uint8_t out[4])
{
    const struct {
        const uint8_t* cards;
        uint8_t groups;
        uint8_t size;
    } kinds[] = {{g.cbPairCards, g.cbPairCount, 2}, {g.cbTrioCards, g.cbTrioCount, 3}, {g.cbQuadCards, g.cbQuadCount, 4}};
    for (const auto& kind : kinds) {
        if (kind.size < want || kind.groups == 0)
            continue;
        const uint8_t* group = kind.cards + (kind.groups - 1) * kind.size;
        for (uint8_t i = 0; i < want; ++i)
            out[i] = group[kind.size - 1 - i];
        return true;
    }
    return false;
}

// ---- pair -------------------------------------------------------------------------------------

bool IsPairAnswer(const OutCardResult& r)
{
    return r.cbCount == 2 && r.cbCards[0] != BIG_JOKER;
}

tagShapePick PickPair(const Table& t, tagShapePickState& s, const CanPlay& canPlay)
{
    AnalyseResult g;
    t.logic.GroupCards(t.hand, t.count, g);
    OutCardResult found;

    if (t.turnCount == 0) {
        uint8_t two[4];
        OutButton out = OutButton::Enable;
        if (!s.m_bPickPair) {
            s.m_bPickPair = g.cbPairCount + g.cbTrioCount + g.cbQuadCount != 1;
            if (!TakeWeakest(g, 2, two))
                return {};
            out = canPlay && canPlay(two, 2) ? OutButton::Enable : OutButton::Leave;
        } else if (s.m_cbPairCards[0] != 0 && Search(t.logic, t.hand, t.count, s.m_cbPairCards, 2, found) && IsPairAnswer(found)) {
            std::memcpy(two, found.cbCards, 2);
        } else if (!TakeWeakest(g, 2, two)) {
            return {};
        }
        // Every pick is remembered, so the next press searches above it and the chain wraps round
        // to the weakest pair once nothing stronger is left.
        std::memcpy(s.m_cbPairCards, two, 2);
        return Raise(two, 2, out);
    }

    if (!s.m_bPickPair) {
        if (!SearchTurn(t, found) || !IsPairAnswer(found))
            return {};
        std::memcpy(s.m_cbPairCards, found.cbCards, 2);
        const bool ok = canPlay && canPlay(found.cbCards, 2);
        s.m_bPickPair = ok;
        return Raise(found.cbCards, 2, ok ? OutButton::Enable : OutButton::Disable);
    }
    if (!Search(t.logic, t.hand, t.count, s.m_cbPairCards, 2, found) || !IsPairAnswer(found)) {
        // The turn's own answer starts the chain again; a hand that no longer answers with a pair
        // keeps its selection, since the two-card pick has no room for anything else.
        if (!SearchTurn(t, found) || !IsPairAnswer(found))
            return {};
    }
    std::memcpy(s.m_cbPairCards, found.cbCards, 2);
    return Raise(found.cbCards, 2, OutButton::Enable);
}

// ---- trio -------------------------------------------------------------------------------------

tagShapePick PickTrio(const Table& t, tagShapePickState& s)
{
    OutCardResult found;
    if (t.turnCount == 0) {
        AnalyseResult g;
        t.logic.GroupCards(t.hand, t.count, g);
        uint8_t three[4];
        bool searched = false;
        if (!s.m_bPickTrio) {
            s.m_bPickTrio = g.cbTrioCount + g.cbQuadCount != 1;
        } else if (s.m_cbTrioCount > 0 && Search(t.logic, t.hand, t.count, s.m_cbTrioCards, s.m_cbTrioCount, found) &&
                   found.cbCount == 3) {
            std::memcpy(three, found.cbCards, 3);
            searched = true;
        }
        if (!searched && !TakeWeakest(g, 3, three))
            return {};
        std::memcpy(s.m_cbTrioCards, three, 3);
        s.m_cbTrioCount = 3;
        return Raise(three, 3, OutButton::Enable);
    }

    bool ok = false;
    if (!s.m_bPickTrio) {
        ok = SearchTurn(t, found);
        if (ok)
            s.m_bPickTrio = 1;
    } else {
        ok = s.m_cbTrioCount > 0 && Search(t.logic, t.hand, t.count, s.m_cbTrioCards, s.m_cbTrioCount, found);
        if (!ok)
            ok = SearchTurn(t, found);
    }
    s.m_cbTrioCount = ok ? found.cbCount : 0;
    if (!ok)
        return {};
    std::memcpy(s.m_cbTrioCards, found.cbCards, found.cbCount);
    return Raise(found.cbCards, found.cbCount, OutButton::Enable);
}

// ---- responding line, pair line and plane -----------------------------------------------------

// The line, pair-line and plane buttons answer the turn alike: the next answer above the last pick,
// or the first answer to the turn again. A two-card answer is the rocket, which has its own button.
// A pick is stored with its own count: a bomb answering a line is 4 cards, and storing the turn's
// count with it would make the next search read a stale fifth card.
tagShapePick PickChainAnswer(const Table& t, uint8_t& chain, uint8_t* cards, uint8_t& count)
{
    OutCardResult found;
    bool ok = chain && count > 0 && Search(t.logic, t.hand, t.count, cards, count, found) && found.cbCount != 2;
    if (!ok)
        ok = SearchTurn(t, found) && found.cbCount != 2;
    if (!ok)
        return {};
    chain = 1;
    std::memcpy(cards, found.cbCards, found.cbCount);
    count = found.cbCount;
    return Raise(found.cbCards, found.cbCount, OutButton::Enable);
}

// ---- line -------------------------------------------------------------------------------------

// From `start` backwards through the line list while each card is one rank above the one before,
// then in rank order.
uint8_t LineFrom(const CGameLogic& logic, const uint8_t* lines, int start, uint8_t out[MAX_CARD_LIST])
{
    uint8_t n = 0;
    out[n++] = lines[start];
    for (int i = start - 1; i >= 0 && n < MAX_CARD_LIST; --i) {
        if (logic.CardRank(lines[i]) != logic.CardRank(out[n - 1]) + 1)
            break;
        out[n++] = lines[i];
    }
    logic.SortCards(out, n, ORDER_BY_RANK);
    return n;
}

tagShapePick PickLine(const Table& t, tagShapePickState& s)
{
    if (t.turnCount > 0)
        return PickChainAnswer(t, s.m_bPickLine, s.m_cbLineCards, s.m_cbLineCount);

    uint8_t lines[MAX_CARD_LIST];
    const uint8_t n = BuildLineList(t.logic, t.hand, t.count, lines);
    if (n == 0)
        return {};
    uint8_t pick[MAX_CARD_LIST];
    uint8_t size;
    if (s.m_bPickLine && s.m_cbLineOffset < n) {
        size = LineFrom(t.logic, lines, n - 1 - s.m_cbLineOffset, pick);
        s.m_cbLineOffset = static_cast<uint8_t>(s.m_cbLineOffset + size);
    } else {
        size = LineFrom(t.logic, lines, n - 1, pick);
        s.m_cbLineOffset = size;
        s.m_bPickLine = 1;
    }
    std::memcpy(s.m_cbLineCards, pick, size);
    s.m_cbLineCount = size;
    return Raise(pick, size, OutButton::Enable);
}

// ---- leading pair line and plane --------------------------------------------------------------

// Groups of `size` adjacent cards of ranks b, b + 1, ... walked from each base position towards the
// front of the list; the first base that gathers `needed` groups wins. Returns the groups found.
uint8_t ChainOf(const CGameLogic& logic, const uint8_t* list, uint8_t len, uint8_t size, uint8_t needed,
                uint8_t out[MAX_CARD_LIST])
{
    for (int p = len - 1; p >= 0; --p) {
        const int b = logic.CardRank(list[p]);
        uint8_t k = 0;
        for (int j = p; j >= size - 1 && (k + 1) * size <= MAX_CARD_LIST; --j) {
            const int want = b + k;
            if (logic.CardRank(list[j]) >= kRankTwo)
                continue;
            bool match = true;
            for (int s = 0; s < size; ++s)
                match = match && logic.CardRank(list[j - s]) == want;
            if (!match)
                continue;
            for (int s = 0; s < size; ++s)
                out[k * size + s] = list[j - s];
            ++k;
        }
        if (k >= needed)
            return k;
    }
    return 0;
}

// The leading pair-line and plane presses: the next chain lies among the hand's cards before the
// first card of the last pick's face, or the first chain of the whole hand again.
void NextChain(const Table& t, uint8_t size, uint8_t needed, bool sortResult, uint8_t& chain, uint8_t* cards,
               uint8_t& groups)
{
    uint8_t found[MAX_CARD_LIST];
    uint8_t k = 0;
    if (chain && groups > 0) {
        const uint8_t face = t.logic.CardFace(cards[0]);
        for (uint8_t i = 0; i < t.count; ++i) {
            if (t.logic.CardFace(t.hand[i]) == face) {
                k = ChainOf(t.logic, t.hand, i, size, needed, found);
                break;
            }
        }
    }
    if (k == 0)
        k = ChainOf(t.logic, t.hand, t.count, size, needed, found);
    const uint8_t n = static_cast<uint8_t>(k * size);
    if (sortResult)
        t.logic.SortCards(found, n, ORDER_BY_RANK);
    std::memcpy(cards, found, n);
    groups = k;
    chain = 1;
}

tagShapePick PickPairLine(const Table& t, tagShapePickState& s)
{
    if (t.turnCount > 0)
        return PickChainAnswer(t, s.m_bPickPairLine, s.m_cbPairLineCards, s.m_cbPairLineCount);
    NextChain(t, 2, 3, true, s.m_bPickPairLine, s.m_cbPairLineCards, s.m_cbPairLineCount);
    return Raise(s.m_cbPairLineCards, static_cast<uint8_t>(s.m_cbPairLineCount * 2), OutButton::Enable);
}

tagShapePick PickPlane(const Table& t, tagShapePickState& s)
{
    if (t.turnCount > 0)
        return PickChainAnswer(t, s.m_bPickPlane, s.m_cbPlaneCards, s.m_cbPlaneCount);
    // Unsorted, the pick starts with its weakest trio, which is where the next search ends.
    NextChain(t, 3, 2, false, s.m_bPickPlane, s.m_cbPlaneCards, s.m_cbPlaneCount);
    return Raise(s.m_cbPlaneCards, static_cast<uint8_t>(s.m_cbPlaneCount * 3), OutButton::Enable);
}

// ---- bomb -------------------------------------------------------------------------------------

tagShapePick PickBomb(const Table& t, tagShapePickState& s)
{
    AnalyseResult g;
    t.logic.GroupCards(t.hand, t.count, g);
    // The fours alone are searched, so every answer is a bomb of this hand.
    const uint8_t* fours = g.cbQuadCards;
    const uint8_t fourCount = static_cast<uint8_t>(g.cbQuadCount * 4);
    OutCardResult found;
    auto store = [&](const uint8_t* cards) { std::memcpy(s.m_cbBombCards, cards, 4); };
    auto searchFours = [&](const uint8_t* prev, uint8_t prevCount) {
        return Search(t.logic, fours, fourCount, prev, prevCount, found) && found.cbCount == 4;
    };
    auto storeWeakest = [&] {
        uint8_t four[4];
        if (TakeWeakest(g, 4, four))
            store(four);
    };

    bool turnIsBomb = false;
    if (t.turnCount > 0) {
        uint8_t sorted[MAX_CARD_LIST];
        RankSorted(t.logic, t.turn, t.turnCount, sorted);
        turnIsBomb = t.logic.JudgeType(sorted, t.turnCount) == PLAY_BOMB;
    }
    // Against anything but a bomb every four answers, so the chain starts at the weakest; searching
    // the fours against a single, a pair or a trio would break a four instead.
    auto firstAnswer = [&] {
        if (!turnIsBomb)
            storeWeakest();
        else if (searchFours(t.turn, t.turnCount))
            store(found.cbCards);
    };

    const bool hasPick = s.m_cbBombCards[0] != 0;
    if (t.turnCount == 0) {
        if (!s.m_bPickBomb) {
            storeWeakest();
            s.m_bPickBomb = 1;
        } else if (hasPick && searchFours(s.m_cbBombCards, 4)) {
            store(found.cbCards);
        }
    } else if (!s.m_bPickBomb) {
        firstAnswer();
        s.m_bPickBomb = 1;
    } else if (hasPick && searchFours(s.m_cbBombCards, 4)) {
        store(found.cbCards);
    } else {
        firstAnswer();
    }
    if (s.m_cbBombCards[0] == 0)
        return {};
    return Raise(s.m_cbBombCards, 4, OutButton::Enable);
}

tagShapePick PickRocket(const Table& t)
{
    if (t.count < 2)
        return {};
    uint8_t sorted[MAX_CARD_LIST];
    RankSorted(t.logic, t.hand, t.count, sorted);
    return Raise(sorted, 2, OutButton::Enable);
}

}  // namespace

void tagShapePickState::Clear()
{
    *this = tagShapePickState{};
}

uint8_t BuildLineList(const CGameLogic& logic, const uint8_t hand[], uint8_t count, uint8_t lines[20])
{
    if (!ValidList(hand, count))
        return 0;
    uint8_t left[MAX_CARD_LIST];
    RankSorted(logic, hand, count, left);
    uint8_t n = count;
    uint8_t total = 0;
    for (;;) {
        uint8_t first = 0;
        while (first < n && logic.CardRank(left[first]) >= kRankTwo)
            ++first;
        if (n - first < 5)
            break;
        uint8_t run[MAX_CARD_LIST];
        uint8_t size = 0;
        run[size++] = left[first];
        for (uint8_t j = first + 1; j < n; ++j) {
            const int last = logic.CardRank(run[size - 1]);
            const int rank = logic.CardRank(left[j]);
            if (rank == last - 1) {
                run[size++] = left[j];
            } else if (rank != last) {
                if (size >= 5)
                    break;
                size = 0;
                run[size++] = left[j];
            }
        }
        // RemoveCards refuses the byte 0 (its hole marker); stopping there keeps the walk finite.
        if (size < 5 || total + size > MAX_CARD_LIST || !logic.RemoveCards(run, size, left, n))
            break;
        n = static_cast<uint8_t>(n - size);
        std::memcpy(lines + total, run, size);
        total = static_cast<uint8_t>(total + size);
    }
    return total;
}

ShapeFlags ShapesWhenLeading(const CGameLogic& logic, const uint8_t hand[], uint8_t count)
{
    ShapeFlags on{};
    if (count == 0 || !ValidList(hand, count))
        return on;
    AnalyseResult g;
    logic.GroupCards(hand, count, g);
    uint8_t sorted[MAX_CARD_LIST], ranks[MAX_CARD_LIST];
    RankSorted(logic, hand, count, sorted);
    Ranks(logic, sorted, count, ranks);

    on[Index(Shape::Pair)] = g.cbPairCount + g.cbTrioCount + g.cbQuadCount > 0;
    on[Index(Shape::Trio)] = g.cbTrioCount + g.cbQuadCount > 0;
    on[Index(Shape::Line)] = count >= 5 && HasChain(ranks, count, 1, 5, true);
    on[Index(Shape::PairLine)] = count >= 6 && HasChain(ranks, count, 2, 3, false);
    on[Index(Shape::Plane)] = count >= 6 && HasChain(ranks, count, 3, 2, false);
    on[Index(Shape::Bomb)] = g.cbQuadCount > 0;
    on[Index(Shape::Rocket)] = count >= 2 && sorted[0] == BIG_JOKER && sorted[1] == SMALL_JOKER;
    return on;
}

ShapeFlags ShapesWhenResponding(const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                                const uint8_t turn[], uint8_t turnCount, uint8_t turnType)
{
    ShapeFlags on{};
    if (count == 0 || turnCount == 0 || !ValidList(hand, count) || !ValidList(turn, turnCount))
        return on;
    AnalyseResult g;
    logic.GroupCards(hand, count, g);
    uint8_t R[MAX_CARD_LIST];
    Ranks(logic, hand, count, R);
    const uint8_t top = logic.CardRank(turn[0]);

    switch (turnType) {
    case PLAY_PAIR:
        on[Index(Shape::Pair)] = GroupAbove(logic, g.cbPairCards, g.cbPairCount, 2, top) ||
                                 GroupAbove(logic, g.cbTrioCards, g.cbTrioCount, 3, top) ||
                                 GroupAbove(logic, g.cbQuadCards, g.cbQuadCount, 4, top);
        break;
    case PLAY_TRIO:
        on[Index(Shape::Trio)] = GroupAbove(logic, g.cbTrioCards, g.cbTrioCount, 3, top) ||
                                 GroupAbove(logic, g.cbQuadCards, g.cbQuadCount, 4, top);
        break;
    case PLAY_LINE:
        on[Index(Shape::Line)] = LineInHand(R, count, turnCount, top);
        break;
    case PLAY_PAIR_LINE:
        on[Index(Shape::PairLine)] = PairLineInHand(R, count, turnCount, top);
        break;
    case PLAY_PLANE:
    case PLAY_TRIO_PLUS_ONE:
    case PLAY_TRIO_PLUS_PAIR: {
        if (count < turnCount)
            break;
        const uint8_t t = turnType == PLAY_PLANE ? turnCount / 3 : turnType == PLAY_TRIO_PLUS_ONE ? turnCount / 4 : turnCount / 5;
        if (!TriosInHand(R, count, t, FirstTrioRank(logic, turn, turnCount)))
            break;
        const int groups = g.cbPairCount + g.cbTrioCount + g.cbQuadCount;
        if (turnType == PLAY_TRIO_PLUS_ONE && turnCount < 5) {
            if (count > 4 || g.cbSingleCount > 0)
                on[Index(Shape::Trio)] = true;
        } else if (turnType == PLAY_TRIO_PLUS_PAIR && turnCount <= 5 && g.cbPairCount > 0) {
            on[Index(Shape::Trio)] = true;
        } else if (turnType == PLAY_TRIO_PLUS_ONE) {
            on[Index(Shape::Plane)] = true;
        } else if (turnType == PLAY_TRIO_PLUS_PAIR && groups - 2 * t >= t) {
            on[Index(Shape::Plane)] = true;
        }
        break;
    }
    case PLAY_BOMB:
        on[Index(Shape::Bomb)] = g.cbQuadCount > 0 && logic.CardRank(g.cbQuadCards[0]) > top;
        break;
    default:
        break;
    }

    if (turnType != PLAY_BOMB && turnType != PLAY_ROCKET && g.cbQuadCount > 0)
        on[Index(Shape::Bomb)] = true;
    if (HoldsRocket(logic, hand, count))
        on[Index(Shape::Rocket)] = true;
    return on;
}

tagShapePick PickShape(Shape shape, const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                       const uint8_t turn[], uint8_t turnCount, tagShapePickState& state, const CanPlay& canPlay)
{
    if (count == 0 || !ValidList(hand, count) || !ValidList(turn, turnCount))
        return {};
    const Table t{logic, hand, count, turn, turnCount};
    switch (shape) {
    case Shape::Pair:
        return PickPair(t, state, canPlay);
    case Shape::Trio:
        return PickTrio(t, state);
    case Shape::Line:
        return PickLine(t, state);
    case Shape::PairLine:
        return PickPairLine(t, state);
    case Shape::Plane:
        return PickPlane(t, state);
    case Shape::Bomb:
        return PickBomb(t, state);
    case Shape::Rocket:
        return PickRocket(t);
    }
    return {};
}
