#include "server/ClientView.h"

#include <algorithm>

namespace server {

void ClientView::seat(uint16_t chair)
{
    m_view = PlayerView{};
    m_view.chair = IsChair(chair) ? chair : INVALID_CHAIR;
}

void ClientView::setHand(const uint8_t* row, uint8_t count)
{
    m_view.hand.assign(row, row + count);
    m_logic.SortCards(m_view.hand.data(), count, ORDER_BY_RANK);
}

bool ClientView::onGameMessage(uint16_t subCmd, std::span<const uint8_t> body)
{
    const MessageCheck check = CheckGameMessage(subCmd, body);
    if (check == MessageCheck::Reject)
        return false;
    if (check == MessageCheck::Ignore || !IsChair(m_view.chair))
        return true;
    switch (subCmd) {
    case SUB_S_DEAL_CARDS: {
        const DealCards deal = *ReadRecord<DealCards>(body);
        const uint8_t* row = deal.cbHandCards[m_view.chair];
        if (!std::all_of(row, row + HAND_CARDS, IsValidCard))
            return false;
        startDeal(deal);
        return true;
    }
    case SUB_S_BID_RESULT: {
        if (m_view.phase != Phase::Bidding)
            return false;
        const BidResult bid = *ReadRecord<BidResult>(body);
        m_view.bids[bid.wBidUser] = bid.cbBid;
        m_view.topBid = bid.cbTopBid;
        m_view.current = bid.wCurrentUser;
        return true;
    }
    case SUB_S_LORD_INFO: {
        const LordInfo info = *ReadRecord<LordInfo>(body);
        if (m_view.phase != Phase::Bidding || m_view.cardCount[info.wLordUser] + BACK_CARDS > MAX_HAND ||
            !std::all_of(std::begin(info.cbBackCard), std::end(info.cbBackCard), IsValidCard))
            return false;
        m_view.phase = Phase::Playing;
        m_view.lord = info.wLordUser;
        m_view.current = info.wLordUser;
        m_view.cardCount[info.wLordUser] = static_cast<uint8_t>(m_view.cardCount[info.wLordUser] + BACK_CARDS);
        if (info.wLordUser == m_view.chair) {
            std::vector<uint8_t> hand = m_view.hand;
            hand.insert(hand.end(), std::begin(info.cbBackCard), std::end(info.cbBackCard));
            setHand(hand.data(), static_cast<uint8_t>(hand.size()));
        }
        return true;
    }
    case SUB_S_PLAYED_CARDS:
        return m_view.phase == Phase::Playing && applyPlay(*ReadPlayedCards(body));
    case SUB_S_PASS_CARDS: {
        if (m_view.phase != Phase::Playing)
            return false;
        const PassCards pass = *ReadRecord<PassCards>(body);
        m_view.current = pass.wCurrentUser;
        if (pass.cbNewTurn) {
            m_view.turnCards.clear();
            m_view.turnUser = INVALID_CHAIR;
        }
        return true;
    }
    case SUB_S_BANG_NOTICE:
        m_view.doubled[ReadRecord<BangNotice>(body)->wChairID] = true;
        return true;
    case SUB_S_GAME_END:
        m_view.phase = Phase::Free;
        m_view.current = INVALID_CHAIR;
        return true;
    default:
        return true;
    }
}

void ClientView::startDeal(const DealCards& deal)
{
    const uint16_t chair = m_view.chair;
    m_view = PlayerView{};
    m_view.chair = chair;
    m_view.phase = Phase::Bidding;
    m_view.current = deal.wCurrentUser;
    m_view.cardCount.fill(HAND_CARDS);
    setHand(deal.cbHandCards[chair], HAND_CARDS);
}

bool ClientView::applyPlay(const PlayedCards& played)
{
    const uint16_t who = played.wOutCardUser;
    const uint8_t count = played.cbCardCount;
    if (count > m_view.cardCount[who])
        return false;
    std::vector<uint8_t> cards(played.cbCardData, played.cbCardData + count);
    if (!std::all_of(cards.begin(), cards.end(), IsValidCard))
        return false;
    if (who == m_view.chair) {
        // The server may have played for this client (a time-out); either way the cards leave
        // the hand only when the table says so.
        const auto held = static_cast<uint8_t>(m_view.hand.size());
        if (!m_logic.RemoveCards(cards.data(), count, m_view.hand.data(), held))
            return false;
        m_view.hand.resize(held - count);
    }
    for (uint8_t card : cards)
        ++m_view.outCount[m_logic.CounterSlot(card)];
    m_view.cardCount[who] = static_cast<uint8_t>(m_view.cardCount[who] - count);
    m_view.current = played.wCurrentUser;
    // The player who plays what nobody can answer leads again at once: nothing is left to beat.
    if (played.wCurrentUser == who) {
        m_view.turnCards.clear();
        m_view.turnUser = INVALID_CHAIR;
        return true;
    }
    m_logic.SortCards(cards.data(), count, ORDER_BY_RANK);
    m_view.turnCards = std::move(cards);
    m_view.turnUser = who;
    return true;
}

bool ClientView::onSnapshot(uint8_t gameStatus, std::span<const uint8_t> scene)
{
    if (CheckSceneMessage(gameStatus, scene) != MessageCheck::Accept)
        return false;
    const uint16_t chair = m_view.chair;
    seat(chair);
    if (!IsChair(chair))
        return true;
    // A row of the scene is the chair's cards followed by zeros.
    auto heldCards = [](const uint8_t* row, uint8_t most) {
        uint8_t count = 0;
        while (count < most && row[count] != 0)
            ++count;
        return std::all_of(row, row + count, IsValidCard) ? count : uint8_t{0xFF};
    };
    if (gameStatus == GS_BIDDING) {
        const StatusScore score = *ReadRecord<StatusScore>(scene);
        const uint8_t held = heldCards(score.cbHandCards[chair], HAND_CARDS);
        if (held == 0xFF)
            return false;
        m_view.phase = Phase::Bidding;
        m_view.current = score.wCurrentUser;
        m_view.topBid = score.cbTopBid;
        std::copy(std::begin(score.cbBidInfo), std::end(score.cbBidInfo), m_view.bids.begin());
        m_view.cardCount.fill(HAND_CARDS);
        setHand(score.cbHandCards[chair], held);
        std::copy(std::begin(score.cbOutCount), std::end(score.cbOutCount), m_view.outCount.begin());
    } else if (gameStatus == GS_PLAYING) {
        const StatusPlay play = *ReadRecord<StatusPlay>(scene);
        const uint8_t held = heldCards(play.cbHandCards[chair], play.cbCardCount[chair]);
        if (held != play.cbCardCount[chair] || !std::all_of(play.cbTurnCardData, play.cbTurnCardData + play.cbTurnCardCount, IsValidCard))
            return false;
        m_view.phase = Phase::Playing;
        m_view.lord = play.wLordUser;
        m_view.current = play.wCurrentUser;
        m_view.topBid = play.cbLordScore;
        std::copy(std::begin(play.cbCardCount), std::end(play.cbCardCount), m_view.cardCount.begin());
        setHand(play.cbHandCards[chair], held);
        if (play.cbTurnCardCount > 0) {
            m_view.turnCards.assign(play.cbTurnCardData, play.cbTurnCardData + play.cbTurnCardCount);
            m_logic.SortCards(m_view.turnCards.data(), play.cbTurnCardCount, ORDER_BY_RANK);
            m_view.turnUser = play.wTurnUser;
        }
        for (uint16_t c = 0; c < PLAYER_COUNT; ++c)
            m_view.doubled[c] = play.cbUserBang[c] != 0;
        std::copy(std::begin(play.cbOutCount), std::end(play.cbOutCount), m_view.outCount.begin());
    }
    return true;
}

}  // namespace server
