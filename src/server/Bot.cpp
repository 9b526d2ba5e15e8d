#include "server/Bot.h"

#include <algorithm>

#include "server/HandPlan.h"

namespace server {

namespace {

const CGameLogic& logic()
{
    static const CGameLogic instance;
    return instance;
}

constexpr uint8_t kTwo = 15;

BotMove passMove()
{
    return {SUB_C_PASS_CARD, {}};
}

BotMove playMove(const std::vector<uint8_t>& cards)
{
    return {SUB_C_OUT_CARD, WriteOutCard(cards.data(), static_cast<uint8_t>(cards.size()))};
}

void sortByRank(std::vector<uint8_t>& cards)
{
    logic().SortCards(cards.data(), static_cast<uint8_t>(cards.size()), ORDER_BY_RANK);
}

// Whether the engine would take these cards now (they come from the hand, so only the
// combination and the comparison are left to check).
bool playable(const PlayerView& view, std::vector<uint8_t> cards)
{
    if (cards.empty() || cards.size() > MAX_HAND)
        return false;
    sortByRank(cards);
    const uint8_t n = static_cast<uint8_t>(cards.size());
    if (logic().JudgeType(cards.data(), n) == PLAY_INVALID)
        return false;
    return view.turnCards.empty() ||
           logic().BeatsPrevious(view.turnCards.data(), cards.data(), static_cast<uint8_t>(view.turnCards.size()), n);
}

// The weakest play that beats the table, or the weakest group when leading.
std::vector<uint8_t> weakestBeater(const PlayerView& view)
{
    OutCardResult result{};
    if (view.hand.empty() ||
        !logic().FindBeater(view.hand.data(), static_cast<uint8_t>(view.hand.size()), view.turnCards.data(),
                            static_cast<uint8_t>(view.turnCards.size()), result) ||
        result.cbCount == 0)
        return {};
    std::vector<uint8_t> cards(result.cbCards, result.cbCards + result.cbCount);
    sortByRank(cards);
    return cards;
}

std::vector<uint8_t> without(const std::vector<uint8_t>& hand, const std::vector<uint8_t>& cards)
{
    std::vector<uint8_t> rest;
    rest.reserve(hand.size());
    for (uint8_t card : hand) {
        if (std::find(cards.begin(), cards.end(), card) == cards.end())
            rest.push_back(card);
    }
    return rest;
}

bool isBombType(uint8_t type)
{
    return type == PLAY_BOMB || type == PLAY_ROCKET;
}

uint16_t lowestEnemyCount(const PlayerView& view)
{
    uint16_t lowest = MAX_HAND + 1;
    for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
        const bool enemy = c != view.chair && (view.chair == view.lord || c == view.lord);
        if (enemy)
            lowest = std::min<uint16_t>(lowest, view.cardCount[c]);
    }
    return lowest;
}

}  // namespace

std::optional<BotKind> parseBotKind(std::string_view name)
{
    if (name == "basic")
        return BotKind::Basic;
    if (name == "standard")
        return BotKind::Standard;
    return std::nullopt;
}

const char* botKindName(BotKind kind)
{
    return kind == BotKind::Basic ? "basic" : "standard";
}

int Bot::handStrength(const std::vector<uint8_t>& hand)
{
    const RankCounts counts = rankCounts(hand);
    int score = counts[17] * 4 + counts[16] * 3 + counts[kTwo] * 2 + counts[14];
    if (counts[16] && counts[17])
        score += 2;
    for (uint8_t r = 3; r <= kTwo; ++r) {
        if (counts[r] == 4)
            score += 5;
    }
    score += std::max(0, 9 - planHand(counts).moves());
    return score;
}

BotMove Bot::decide(const PlayerView& view) const
{
    if (view.phase == Phase::Bidding)
        return bid(view);
    std::vector<uint8_t> cards = view.turnCards.empty() ? lead(view) : answer(view);
    if (cards.empty())
        return view.turnCards.empty() ? playMove(weakestBeater(view)) : passMove();
    // A plan that came out wrong falls back to the engine's own answer rather than risk a refusal.
    if (!playable(view, cards))
        cards = weakestBeater(view);
    if (cards.empty())
        return passMove();
    return playMove(cards);
}

BotMove Bot::bid(const PlayerView& view) const
{
    const int strength = handStrength(view.hand);
    uint8_t want = 0;
    if (m_kind == BotKind::Basic) {
        if (strength >= 13)
            want = static_cast<uint8_t>(view.topBid + 1);
    } else {
        want = strength >= 15 ? 3 : strength >= 12 ? 2 : strength >= 9 ? 1 : 0;
    }
    if (want == 0 || want <= view.topBid || want > MAX_BID)
        return {SUB_C_BID_SCORE, {BID_PASS}};
    return {SUB_C_BID_SCORE, {want}};
}

bool Bot::wantsDouble(const PlayerView& view) const
{
    if (m_kind == BotKind::Basic || !view.canDouble)
        return false;
    const int strength = handStrength(view.hand);
    return view.chair == view.lord ? strength >= 16 : strength >= 13;
}

std::vector<uint8_t> Bot::lead(const PlayerView& view) const
{
    if (m_kind == BotKind::Basic)
        return weakestBeater(view);
    const std::vector<uint8_t>& hand = view.hand;
    if (logic().JudgeType(hand.data(), static_cast<uint8_t>(hand.size())) != PLAY_INVALID)
        return hand;

    const bool lord = view.chair == view.lord;
    const uint16_t nextChair = static_cast<uint16_t>((view.chair + 1) % PLAYER_COUNT);
    // A partner about to go out with one card gets the lowest single to do it with.
    if (!lord && nextChair != view.lord && view.cardCount[nextChair] == 1)
        return {hand.back()};

    const HandPlan plan = planHand(rankCounts(hand));
    const uint16_t enemyLow = lowestEnemyCount(view);
    const Combo* best = nullptr;
    const Combo* bomb = nullptr;
    const Combo* highSingle = nullptr;
    for (const Combo& c : plan.list()) {
        if (isBombType(c.type)) {
            if (!bomb || c.type == PLAY_BOMB)
                bomb = &c;
            continue;
        }
        if (c.type == PLAY_SINGLE && (!highSingle || c.low > highSingle->low))
            highSingle = &c;
        // An enemy holding one or two cards is not handed a single or a pair to go out on.
        if ((enemyLow == 1 && c.type == PLAY_SINGLE) || (enemyLow == 2 && c.type == PLAY_PAIR))
            continue;
        const int cards = c.len * c.width;
        if (!best || c.low < best->low || (c.low == best->low && cards > best->len * best->width))
            best = &c;
    }
    // With two plays left, an unbeatable-looking bomb goes first and the last play follows it.
    if (bomb && plan.moves() <= 2)
        best = bomb;
    if (!best)
        best = highSingle ? highSingle : bomb;
    if (!best)
        return weakestBeater(view);

    std::vector<uint8_t> cards;
    comboCards(hand, *best, cards);
    if (best->type == PLAY_TRIO || best->type == PLAY_PLANE) {
        // Trios carry the lowest singles, else the lowest pairs, below the twos.
        for (uint8_t width : {uint8_t{1}, uint8_t{2}}) {
            std::vector<const Combo*> riders;
            for (const Combo& c : plan.list()) {
                if (&c != best && c.width == width && c.len == 1 && c.low < kTwo &&
                    (c.type == PLAY_SINGLE || c.type == PLAY_PAIR))
                    riders.push_back(&c);
            }
            if (riders.size() < best->len)
                continue;
            std::sort(riders.begin(), riders.end(), [](const Combo* a, const Combo* b) { return a->low < b->low; });
            for (uint8_t i = 0; i < best->len; ++i)
                comboCards(hand, *riders[i], cards);
            break;
        }
    }
    sortByRank(cards);
    return cards;
}

std::vector<uint8_t> Bot::answer(const PlayerView& view) const
{
    if (m_kind == BotKind::Basic)
        return weakestBeater(view);
    const std::vector<uint8_t>& hand = view.hand;
    const bool lord = view.chair == view.lord;
    const bool partnerPlayed = !lord && view.turnUser != view.lord;
    if (partnerPlayed) {
        // The partner's play stands unless this play ends the game.
        return playable(view, hand) ? hand : std::vector<uint8_t>{};
    }

    const int before = planHand(rankCounts(hand)).moves();
    const uint16_t enemyLow = lowestEnemyCount(view);
    const uint8_t turnTop = logic().CardRank(view.turnCards.front());
    std::vector<uint8_t> bestPlain, bestBomb;
    int bestPlainAfter = 1000, bestBombAfter = 1000;

    std::vector<uint8_t> prev = view.turnCards;
    for (int guard = 0; guard < 40; ++guard) {
        OutCardResult result{};
        if (!logic().FindBeater(hand.data(), static_cast<uint8_t>(hand.size()), prev.data(), static_cast<uint8_t>(prev.size()), result) ||
            result.cbCount == 0)
            break;
        std::vector<uint8_t> candidate(result.cbCards, result.cbCards + result.cbCount);
        sortByRank(candidate);
        prev = candidate;
        if (candidate.size() == hand.size())
            return candidate;
        const uint8_t type = logic().JudgeType(candidate.data(), static_cast<uint8_t>(candidate.size()));
        const int after = planHand(rankCounts(without(hand, candidate))).moves();
        if (isBombType(type)) {
            if (after < bestBombAfter) {
                bestBomb = candidate;
                bestBombAfter = after;
            }
            continue;
        }
        // Twos and jokers are not spent on small singles and pairs early in the game.
        const uint8_t top = logic().CardRank(candidate.front());
        if (top >= kTwo && candidate.size() <= 2 && enemyLow > 6 && turnTop < 11 && before > 4)
            continue;
        if (after < bestPlainAfter) {
            bestPlain = candidate;
            bestPlainAfter = after;
        }
    }

    if (!bestPlain.empty() && (bestPlainAfter <= before || enemyLow <= 5 || (!lord && bestPlainAfter <= before + 1)))
        return bestPlain;
    if (!bestBomb.empty() && (bestBombAfter <= 1 || enemyLow <= 3 || view.cardCount[view.turnUser] <= 3))
        return bestBomb;
    return {};
}

}  // namespace server
