#include "server/TableEngine.h"

#include <algorithm>
#include <cstring>

namespace server {

namespace {

uint16_t next(uint16_t chair)
{
    return static_cast<uint16_t>((chair + 1) % PLAYER_COUNT);
}

}  // namespace

TableEngine::TableEngine(const TableConfig& config, uint32_t seed, TableSink& sink)
    : m_config(config), m_sink(sink), m_rng(seed)
{
    m_played.reserve(FULL_DECK);
}

std::span<const uint8_t> TableEngine::hand(uint16_t chair) const
{
    if (!IsChair(chair))
        return {};
    return {m_hands[chair].data(), m_handCount[chair]};
}

uint16_t TableEngine::tableMultiple() const
{
    const int doublings = std::min<int>(m_bombs, 14) + (m_rocket ? 1 : 0);
    return static_cast<uint16_t>(1u << doublings);
}

void TableEngine::sendAll(uint16_t subCmd, std::span<const uint8_t> body)
{
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
        m_sink.sendGame(chair, subCmd, body);
}

template <typename Record>
void TableEngine::sendAllRecord(uint16_t subCmd, const Record& record)
{
    sendAll(subCmd, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&record), sizeof(Record)));
}

void TableEngine::startClock(uint32_t clockMs, uint32_t showMs)
{
    // The turn begins once the clients have shown what led to it (the deal, the back cards' flight,
    // the pause after an unanswerable play); their clocks start then too.
    m_turnStart = m_now + showMs;
    m_turnClockMs = clockMs;
    m_deadline = m_turnStart + clockMs + m_config.graceSeconds * 1000ull;
    // An absent chair has nobody to wait for.
    if (IsChair(m_current) && !m_present[m_current])
        m_deadline = std::min<uint64_t>(m_deadline, m_now + m_config.absentActMs);
    else if (IsChair(m_current) && m_trustee[m_current])
        m_deadline = std::min<uint64_t>(m_deadline, trusteeDeadline());
}

uint64_t TableEngine::trusteeDeadline() const
{
    // A trustee client acts itself on its clock's first tick at 19 seconds or less; the server acts
    // for it only when that tick plus the grace period has passed.
    constexpr uint64_t kClientTrusteeSecondsLeft = 19;
    const uint64_t clientActs = m_turnClockMs > kClientTrusteeSecondsLeft * 1000 ? m_turnClockMs - kClientTrusteeSecondsLeft * 1000 : 0;
    return m_turnStart + std::max<uint64_t>(m_config.absentActMs, clientActs) + m_config.graceSeconds * 1000ull;
}

std::array<uint8_t, 15> TableEngine::leftCounts() const
{
    std::array<uint8_t, 15> left{};
    for (size_t slot = 0; slot < left.size(); ++slot)
        left[slot] = static_cast<uint8_t>((slot < 13 ? 4 : 1) - m_outCount[slot]);
    return left;
}

void TableEngine::setPresent(uint16_t chair, bool present)
{
    if (!IsChair(chair) || m_present[chair] == present)
        return;
    m_present[chair] = present;
    if (!present)
        m_ready[chair] = false;
    // The chair that must act now is re-timed: at once for a player who left, and a player who
    // came back keeps the clock the others see.
    if (m_phase != Phase::Free && chair == m_current && !present)
        m_deadline = std::min<uint64_t>(m_deadline, m_now + m_config.absentActMs);
}

bool TableEngine::setReady(uint16_t chair)
{
    if (!IsChair(chair) || !m_present[chair] || m_phase != Phase::Free)
        return false;
    m_ready[chair] = true;
    if (m_ready[0] && m_ready[1] && m_ready[2]) {
        m_deals = 0;
        m_redeals = 0;
        deal();
    }
    return true;
}

void TableEngine::stackDeck(const std::array<uint8_t, FULL_DECK>& deck, uint16_t shownPos)
{
    m_stacked.emplace(deck, shownPos);
}

void TableEngine::deal()
{
    std::array<uint8_t, FULL_DECK> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    uint16_t shownPos = 0;
    if (m_stacked) {
        deck = m_stacked->first;
        shownPos = static_cast<uint16_t>(m_stacked->second % (3 * HAND_CARDS));
        m_stacked.reset();
    } else {
        std::shuffle(deck.begin(), deck.end(), m_rng);
        shownPos = static_cast<uint16_t>(std::uniform_int_distribution<int>(0, 3 * HAND_CARDS - 1)(m_rng));
    }
    ++m_deals;

    m_phase = Phase::Bidding;
    m_hands = {};
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        std::copy_n(deck.begin() + chair * HAND_CARDS, HAND_CARDS, m_hands[chair].begin());
        m_handCount[chair] = HAND_CARDS;
    }
    std::copy_n(deck.begin() + 3 * HAND_CARDS, BACK_CARDS, m_backCards.begin());
    m_played.clear();
    m_outCount = {};
    m_bids = {};
    m_topBid = 0;
    m_topBidder = INVALID_CHAIR;
    m_bidsMade = 0;
    m_lord = INVALID_CHAIR;
    m_lordBid = 0;
    m_turnCards = {};
    m_turnCount = 0;
    m_turnUser = INVALID_CHAIR;
    m_passes = 0;
    m_bombs = 0;
    m_rocket = false;
    m_playsBy = {};
    m_doubled = {};
    m_hasActed = {};
    m_firstDouble = INVALID_CHAIR;

    const uint16_t shownChair = shownPos / HAND_CARDS;
    const uint8_t shownCard = m_hands[shownChair][shownPos % HAND_CARDS];
    m_firstBidder = shownChair;
    m_current = shownChair;

    DealCards record{};
    record.wCurrentUser = m_current;
    record.wShownCardPos = shownPos;
    record.cbOpenHands = m_config.openHands ? 1 : 0;
    for (size_t slot = 0; slot < 15; ++slot)
        record.cbCounterInit[slot] = slot < 13 ? 4 : 1;
    // Each chair sees its own row in deal order (the face-up card's index refers to it); the
    // face-up card is everybody's to see.
    for (uint16_t to = 0; to < PLAYER_COUNT; ++to) {
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            if (chair == to || m_config.openHands)
                std::memcpy(record.cbHandCards[chair], m_hands[chair].data(), HAND_CARDS);
            else
                std::memset(record.cbHandCards[chair], 0, MAX_HAND);
        }
        record.cbHandCards[shownChair][shownPos % HAND_CARDS] = shownCard;
        m_sink.sendGame(to, SUB_S_DEAL_CARDS, WriteRecord(record));
    }
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
        m_logic.SortCards(m_hands[chair].data(), m_handCount[chair], ORDER_BY_RANK);
    startClock(m_config.bidSeconds * 1000, m_config.dealShowMs);
}

bool TableEngine::onClientMessage(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    if (!IsChair(chair) || body.size() > MAX_MESSAGE_BODY)
        return false;
    bool accepted = false;
    switch (subCmd) {
    case SUB_C_BID_SCORE:
        accepted = onBid(chair, body);
        break;
    case SUB_C_OUT_CARD:
        accepted = onOutCard(chair, body);
        break;
    case SUB_C_PASS_CARD:
        accepted = onPass(chair, body);
        break;
    case SUB_C_TRUSTEE:
        return onTrustee(chair, body);
    case SUB_C_JIA_BANG:
        return onDouble(chair, body);
    case SUB_C_LOTTERY:
        // No lottery at our tables: a well-formed request is taken and has no effect.
        return body.size() == sizeof(Lottery);
    default:
        return false;
    }
    // A player who acts by themselves is no longer on a run of time-outs.
    if (accepted)
        m_timeouts[chair] = 0;
    return accepted;
}

bool TableEngine::onBid(uint16_t chair, std::span<const uint8_t> body)
{
    const auto bid = ReadRecord<BidScore>(body);
    if (!bid || m_phase != Phase::Bidding || chair != m_current)
        return false;
    const uint8_t value = bid->cbLordScore;
    if (value != BID_PASS && (value < 1 || value > MAX_BID || value <= m_topBid))
        return false;
    applyBid(chair, value);
    return true;
}

void TableEngine::applyBid(uint16_t chair, uint8_t bid)
{
    m_bids[chair] = bid;
    ++m_bidsMade;
    if (bid != BID_PASS) {
        m_topBid = bid;
        m_topBidder = chair;
    }
    const bool over = m_topBid == MAX_BID || m_bidsMade == PLAYER_COUNT;
    m_current = over ? INVALID_CHAIR : next(chair);
    sendAllRecord(SUB_S_BID_RESULT, BidResult{chair, m_current, bid, m_topBid});
    if (!over) {
        startClock(m_config.bidSeconds * 1000);
        return;
    }
    if (m_topBidder != INVALID_CHAIR) {
        startPlay(m_topBidder, m_topBid);
    } else if (m_redeals < m_config.maxRedeals) {
        ++m_redeals;
        deal();
    } else {
        startPlay(m_firstBidder, 1);
    }
}

void TableEngine::startPlay(uint16_t lord, uint8_t bid)
{
    m_phase = Phase::Playing;
    m_lord = lord;
    m_lordBid = bid;
    std::copy(m_backCards.begin(), m_backCards.end(), m_hands[lord].begin() + m_handCount[lord]);
    m_handCount[lord] = static_cast<uint8_t>(m_handCount[lord] + BACK_CARDS);
    m_logic.SortCards(m_hands[lord].data(), m_handCount[lord], ORDER_BY_RANK);

    LordInfo info{};
    info.wLordUser = lord;
    info.cbLordScore = bid;
    std::copy(m_backCards.begin(), m_backCards.end(), info.cbBackCard);
    info.wLimitValue = m_config.limitValue;
    sendAllRecord(SUB_S_LORD_INFO, info);

    m_current = lord;
    startClock(m_config.firstPlaySeconds * 1000, m_config.flightShowMs);
}

bool TableEngine::onOutCard(uint16_t chair, std::span<const uint8_t> body)
{
    if (m_phase != Phase::Playing || chair != m_current || body.empty())
        return false;
    const uint8_t count = body[0];
    if (count == 0 || count > MAX_HAND || body.size() != 1u + count)
        return false;
    std::array<uint8_t, MAX_HAND> cards{};
    std::copy_n(body.begin() + 1, count, cards.begin());
    // Every card must be a card, held, and named once.
    for (uint8_t i = 0; i < count; ++i) {
        if (!IsValidCard(cards[i]) || !m_logic.ListHasCard(cards[i], m_hands[chair].data(), m_handCount[chair]))
            return false;
        for (uint8_t j = 0; j < i; ++j) {
            if (cards[j] == cards[i])
                return false;
        }
    }
    m_logic.SortCards(cards.data(), count, ORDER_BY_RANK);
    if (m_logic.JudgeType(cards.data(), count) == PLAY_INVALID)
        return false;
    if (m_turnCount > 0 && !m_logic.BeatsPrevious(m_turnCards.data(), cards.data(), m_turnCount, count))
        return false;
    applyPlay(chair, cards.data(), count);
    return true;
}

void TableEngine::applyPlay(uint16_t chair, const uint8_t* cards, uint8_t count)
{
    m_logic.RemoveCards(cards, count, m_hands[chair].data(), m_handCount[chair]);
    m_handCount[chair] = static_cast<uint8_t>(m_handCount[chair] - count);
    std::fill(m_hands[chair].begin() + m_handCount[chair], m_hands[chair].end(), 0);
    m_played.insert(m_played.end(), cards, cards + count);
    for (uint8_t i = 0; i < count; ++i)
        ++m_outCount[m_logic.CounterSlot(cards[i])];
    const uint8_t type = m_logic.JudgeType(cards, count);
    if (type == PLAY_BOMB)
        ++m_bombs;
    else if (type == PLAY_ROCKET)
        m_rocket = true;
    ++m_playsBy[chair];
    m_hasActed[chair] = true;
    std::copy_n(cards, count, m_turnCards.begin());
    m_turnCount = count;
    m_turnUser = chair;
    m_passes = 0;

    PlayedCards played{};
    played.cbCardCount = count;
    played.wOutCardUser = chair;
    std::copy_n(cards, count, played.cbCardData);

    if (m_handCount[chair] == 0) {
        played.wCurrentUser = INVALID_CHAIR;
        m_current = INVALID_CHAIR;
        sendAll(SUB_S_PLAYED_CARDS, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&played), 6u + count));
        endGame(chair);
        return;
    }

    // When neither other hand holds an answer the player leads again at once, so nobody waits
    // through two clocks for passes that are certain.
    bool answerable = false;
    for (uint16_t other = next(chair); other != chair; other = next(other)) {
        OutCardResult answer{};
        if (m_logic.FindBeater(m_hands[other].data(), m_handCount[other], cards, count, answer)) {
            answerable = true;
            break;
        }
    }
    if (answerable) {
        m_current = next(chair);
        played.wCurrentUser = m_current;
        sendAll(SUB_S_PLAYED_CARDS, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&played), 6u + count));
        startClock(m_config.playSeconds * 1000);
    } else {
        m_current = chair;
        m_turnCount = 0;
        m_turnCards = {};
        played.wCurrentUser = chair;
        sendAll(SUB_S_PLAYED_CARDS, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&played), 6u + count));
        startClock(m_config.playSeconds * 1000, m_config.unanswerablePauseMs);
    }
}

bool TableEngine::onPass(uint16_t chair, std::span<const uint8_t> body)
{
    // Passing is only an answer: the leader must play.
    if (!body.empty() || m_phase != Phase::Playing || chair != m_current || m_turnCount == 0)
        return false;
    applyPass(chair);
    return true;
}

void TableEngine::applyPass(uint16_t chair)
{
    m_hasActed[chair] = true;
    ++m_passes;
    m_current = next(chair);
    const bool newTurn = m_passes == 2;
    sendAllRecord(SUB_S_PASS_CARDS, PassCards{static_cast<uint8_t>(newTurn ? 1 : 0), 0, chair, m_current});
    if (newTurn) {
        m_turnCount = 0;
        m_turnCards = {};
        m_passes = 0;
    }
    startClock(m_config.playSeconds * 1000);
}

bool TableEngine::onTrustee(uint16_t chair, std::span<const uint8_t> body)
{
    const auto request = ReadRecord<UserTrustee>(body);
    if (!request || request->wChairID != chair || request->cbTrustee > 1)
        return false;
    setTrustee(chair, request->cbTrustee == 1, request->cbByTimeout != 0);
    return true;
}

void TableEngine::setTrustee(uint16_t chair, bool on, bool byTimeout)
{
    m_trustee[chair] = on;
    if (!on)
        m_timeouts[chair] = 0;
    sendAllRecord(SUB_S_USER_TRUSTEE, UserTrustee{chair, static_cast<uint8_t>(on ? 1 : 0), static_cast<uint8_t>(byTimeout ? 1 : 0)});
    // A trustee's turn that is running is shortened as if it had started in trustee.
    if (on && m_phase != Phase::Free && chair == m_current)
        m_deadline = std::min<uint64_t>(m_deadline, trusteeDeadline());
}

bool TableEngine::doubleAllowed(uint16_t chair, uint32_t* type) const
{
    if (m_phase != Phase::Playing || !IsChair(chair) || m_doubled[chair])
        return false;
    if (chair == m_lord) {
        // The landlord answers a farmer's double, at any time until the game ends.
        if (m_firstDouble == INVALID_CHAIR)
            return false;
        *type = 2;
        return true;
    }
    // Farmers double during the first round: until the farmer before the landlord has acted.
    if (m_hasActed[(m_lord + 2) % PLAYER_COUNT])
        return false;
    *type = m_firstDouble == INVALID_CHAIR ? 0 : 1;
    return true;
}

bool TableEngine::onDouble(uint16_t chair, std::span<const uint8_t> body)
{
    const auto request = ReadRecord<JiaBangType>(body);
    uint32_t expected = 0;
    if (!request || !doubleAllowed(chair, &expected))
        return false;
    // Both farmers may press at once; either farmer kind is taken from a farmer, the answer only
    // from the landlord.
    const bool farmerKind = request->dwBangType == 0 || request->dwBangType == 1;
    if ((expected == 2) != (request->dwBangType == 2) || (expected != 2 && !farmerKind))
        return false;
    m_doubled[chair] = true;
    if (m_firstDouble == INVALID_CHAIR)
        m_firstDouble = chair;
    sendAllRecord(SUB_S_BANG_NOTICE, BangNotice{chair});
    return true;
}

void TableEngine::endGame(uint16_t winner)
{
    const bool lordWon = winner == m_lord;
    SettleInput in;
    in.cellScore = m_config.cellScore;
    in.bid = m_lordBid;
    in.bombs = m_bombs;
    in.rocket = m_rocket;
    in.lord = m_lord;
    in.lordWon = lordWon;
    in.spring = springOf(lordWon, m_lord, m_playsBy);
    in.doubled = m_doubled;
    in.limitValue = m_config.limitValue;
    const Settlement settled = settle(in);

    GameEndRecord end{};
    end.lCoinCost = m_config.serviceFee;
    end.lCellScore = m_config.cellScore;
    end.lSpring = static_cast<int32_t>(in.spring);
    uint8_t at = 0;
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        end.lGameScore[chair] = settled.scores[chair];
        end.cbCardCount[chair] = m_handCount[chair];
        std::copy_n(m_hands[chair].begin(), m_handCount[chair], end.cbCardData + at);
        at = static_cast<uint8_t>(at + m_handCount[chair]);
    }

    m_phase = Phase::Free;
    m_current = INVALID_CHAIR;
    m_ready = {};
    m_trustee = {};
    m_timeouts = {};
    m_deadline = 0;
    ++m_games;
    m_sink.markGameEnd(end);
    sendAllRecord(SUB_S_GAME_END, end);
    m_sink.gameEnded(end);
}

void TableEngine::advance(uint32_t ms)
{
    const uint64_t target = m_now + ms;
    // Each time-out is handled at its own moment, so the clock it starts runs from there.
    while (m_phase != Phase::Free && IsChair(m_current) && m_deadline <= target) {
        m_now = std::max(m_now, m_deadline);
        const uint16_t chair = m_current;
        const bool timedOut = m_present[chair] && !m_trustee[chair];
        actForCurrent(timedOut);
        if (timedOut && m_phase != Phase::Free && ++m_timeouts[chair] >= 2) {
            m_timeouts[chair] = 0;
            setTrustee(chair, true, true);
        }
    }
    m_now = target;
}

void TableEngine::actForCurrent(bool timedOut)
{
    const uint16_t chair = m_current;
    if (m_phase == Phase::Bidding) {
        applyBid(chair, BID_PASS);
        return;
    }
    // A player who let the clock run out only passes an answer; a trustee or empty chair answers
    // with the weakest play that beats the table. A lead is always the weakest group.
    OutCardResult answer{};
    const bool leading = m_turnCount == 0;
    if ((leading || !timedOut) &&
        m_logic.FindBeater(m_hands[chair].data(), m_handCount[chair], m_turnCards.data(), m_turnCount, answer) && answer.cbCount > 0) {
        m_logic.SortCards(answer.cbCards, answer.cbCount, ORDER_BY_RANK);
        applyPlay(chair, answer.cbCards, answer.cbCount);
        return;
    }
    applyPass(chair);
}

PlayerView TableEngine::view(uint16_t chair) const
{
    PlayerView v;
    if (!IsChair(chair))
        return v;
    v.chair = chair;
    v.phase = m_phase;
    v.current = m_current;
    v.lord = m_lord;
    v.hand.assign(m_hands[chair].begin(), m_hands[chair].begin() + m_handCount[chair]);
    v.cardCount = m_handCount;
    v.bids = m_bids;
    v.topBid = m_topBid;
    v.turnCards.assign(m_turnCards.begin(), m_turnCards.begin() + m_turnCount);
    v.turnUser = m_turnCount > 0 ? m_turnUser : INVALID_CHAIR;
    v.outCount = m_outCount;
    v.doubled = m_doubled;
    v.canDouble = doubleAllowed(chair, &v.doubleType);
    return v;
}

std::pair<uint8_t, std::vector<uint8_t>> TableEngine::snapshot(uint16_t chair, bool lookon) const
{
    const uint16_t me = IsChair(chair) ? chair : 0;
    const std::array<uint8_t, 15> left = leftCounts();
    auto handRows = [&](uint8_t (&rows)[3][20]) {
        for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
            if (c == me || m_config.openHands)
                std::memcpy(rows[c], m_hands[c].data(), MAX_HAND);
        }
    };

    if (m_phase == Phase::Free) {
        StatusFree free{};
        free.lBaseScore = m_config.cellScore;
        free.cbMeStatus = m_ready[me] ? 3 : 0;
        std::copy(m_outCount.begin(), m_outCount.end(), free.cbOutCount);
        std::copy(left.begin(), left.end(), free.cbLeftCount);
        return {GS_FREE, WriteRecord(free)};
    }

    if (m_phase == Phase::Bidding) {
        StatusScore score{};
        score.cbTopBid = m_topBid;
        score.lBaseScore = m_config.cellScore;
        score.wCurrentUser = m_current;
        std::copy(m_bids.begin(), m_bids.end(), score.cbBidInfo);
        handRows(score.cbHandCards);
        for (uint16_t c = 0; c < PLAYER_COUNT; ++c)
            score.cbUserTrustee[c] = m_trustee[c] ? 1 : 0;
        score.cbOpenHands = m_config.openHands ? 1 : 0;
        std::copy(m_outCount.begin(), m_outCount.end(), score.cbOutCount);
        std::copy(left.begin(), left.end(), score.cbLeftCount);
        return {GS_BIDDING, WriteRecord(score)};
    }

    StatusPlay play{};
    play.wLordUser = m_lord;
    play.wMultiple = tableMultiple();
    play.lBaseScore = m_config.cellScore;
    play.cbLordScore = m_lordBid;
    play.wTurnUser = m_turnCount > 0 ? m_turnUser : m_current;
    play.wCurrentUser = m_current;
    handRows(play.cbHandCards);
    for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
        play.cbCardCount[c] = m_handCount[c];
        play.cbUserTrustee[c] = m_trustee[c] ? 1 : 0;
        play.cbUserBang[c] = m_doubled[c] ? 1 : 0;
        uint32_t type = 0;
        play.cbCanBang[c] = doubleAllowed(c, &type) ? 1 : 0;
    }
    play.cbTurnCardCount = m_turnCount;
    std::copy_n(m_turnCards.begin(), m_turnCount, play.cbTurnCardData);
    play.cbOpenHands = m_config.openHands ? 1 : 0;
    play.wFirstBangUser = m_firstDouble;
    // A looker has no automatic play of its own.
    play.cbAutoOut = !lookon && m_trustee[me] ? 1 : 0;
    play.wLimitValue = m_config.limitValue;
    std::copy(m_outCount.begin(), m_outCount.end(), play.cbOutCount);
    std::copy(left.begin(), left.end(), play.cbLeftCount);
    return {GS_PLAYING, WriteRecord(play)};
}

}  // namespace server
