#pragma once

// A player's view of its table kept from the messages a client receives: the deal, bids, the
// landlord's back cards, plays, passes, doubles, the game end, and table snapshots. It holds the
// same PlayerView the engine hands its bots, so a client far from the engine decides with the
// bots' own code (Bot::decide) and the view can be checked against the engine's.
//
// The doubling windows are not followed: canDouble stays false, so a bot deciding from this view
// never doubles. The basic bot never does anyway.

#include <cstdint>
#include <span>

#include "logic/GameLogic.h"
#include "server/TableEngine.h"

namespace server {

class ClientView {
public:
    // The chair the client sits in; the view is emptied.
    void seat(uint16_t chair);
    // A game message (main 100) from the server. False when it is malformed or does not fit the
    // view (a play of cards the client does not hold, counts that go below zero): the view is
    // then no longer to be trusted until the next deal or snapshot.
    bool onGameMessage(uint16_t subCmd, std::span<const uint8_t> body);
    // A table snapshot: the state and scene record for this client's chair.
    bool onSnapshot(uint8_t gameStatus, std::span<const uint8_t> scene);

    const PlayerView& view() const { return m_view; }
    // The client must bid or play now.
    bool myTurn() const { return m_view.phase != Phase::Free && m_view.current == m_view.chair && IsChair(m_view.chair); }

private:
    void startDeal(const DealCards& deal);
    bool applyPlay(const PlayedCards& played);
    void setHand(const uint8_t* row, uint8_t count);

    PlayerView m_view;
    CGameLogic m_logic;
};

}  // namespace server
