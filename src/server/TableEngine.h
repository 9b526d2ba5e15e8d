#pragma once

// One table's game: dealing, bidding, doubling, play turns, time-outs, trustee, the game end and
// the snapshots a joining player or a looker gets. It knows nothing of sockets or sessions: what
// it says goes to a TableSink one chair's copy at a time, and time only moves when advance() is
// called, so a whole game is deterministic under its seed.
//
// The sink must not call back into the engine from sendGame(); gameEnded() runs after the table
// is back to free and may call setReady() to start the next game.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "logic/GameLogic.h"
#include "protocol/GameRecords.h"
#include "server/Scoring.h"

namespace server {

struct TableConfig {
    int32_t cellScore = 1;          // lCellScore
    uint16_t limitValue = 96;       // wLimitValue of LordInfo; the cap of one farmer's stake is limitValue / 2
    int32_t serviceFee = 0;         // lCoinCost per player
    uint32_t bidSeconds = 20, playSeconds = 20, firstPlaySeconds = 30, graceSeconds = 3;
    // A chair whose player left, or who is in trustee and whose own client did not act, is played
    // for this long after its turn begins (trustee waits for its client first: one second plus grace).
    uint32_t absentActMs = 1000;
    // The clients wait this long after a play nobody can answer before the leader's clock starts.
    uint32_t unanswerablePauseMs = 3000;
    // The clients show the deal (a 1 s shuffle, then 54 cards at 60 ms) before the first bid, and
    // the back cards' flight before the landlord's first play; the turns begin after them.
    uint32_t dealShowMs = 4500;
    uint32_t flightShowMs = 2700;
    // All-pass deals in a row before the next all-pass makes its first bidder landlord at 1 point,
    // so a table of players who never bid (trustee, absent) still reaches a game.
    uint32_t maxRedeals = 2;
    bool openHands = false;
};

enum class Phase { Free, Bidding, Playing };

class TableSink {
public:
    virtual ~TableSink() = default;
    // Game messages (SUB_S_*); the body is already cut to what this chair may see.
    virtual void sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body) = 0;
    // The game end record before it goes out: a sink may fill in what the scores leave open
    // (badges, task flags). Like sendGame, it must not call back into the engine.
    virtual void markGameEnd(GameEndRecord& end) { (void)end; }
    // After GameEndRecord was sent to every chair; the table is free again.
    virtual void gameEnded(const GameEndRecord& end) { (void)end; }
};

// What one chair may know at a moment: its own hand and everything public. Bots decide from this
// alone, so they cannot peek at hidden cards.
struct PlayerView {
    uint16_t chair = INVALID_CHAIR;
    Phase phase = Phase::Free;
    uint16_t current = INVALID_CHAIR;       // who must bid or play
    uint16_t lord = INVALID_CHAIR;
    std::vector<uint8_t> hand;              // sorted by rank, strongest first
    std::array<uint8_t, 3> cardCount{};
    std::array<uint8_t, 3> bids{};          // 0 not yet, BID_PASS passed, 1-3
    uint8_t topBid = 0;
    std::vector<uint8_t> turnCards;         // the play to beat, sorted; empty = lead
    uint16_t turnUser = INVALID_CHAIR;      // whose play lies on the table
    std::array<uint8_t, 15> outCount{};     // cards of each counter slot played so far
    std::array<bool, 3> doubled{};
    bool canDouble = false;                 // a JiaBangType from this chair would be accepted now
    uint32_t doubleType = 0;                // and the dwBangType it would carry
};

class TableEngine {
public:
    TableEngine(const TableConfig& config, uint32_t seed, TableSink& sink);

    // A player sits or leaves. The game goes on; a left chair is played by the server.
    void setPresent(uint16_t chair, bool present);
    // The chair's player is ready; when all three present players are, a game is dealt.
    // False when the table is not free or the chair is empty.
    bool setReady(uint16_t chair);
    // A client's game message. Bounded before use; false = refused and nothing changed.
    bool onClientMessage(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body);
    // The next deal uses this deck order (chair c gets cards 17c..17c+16, the last three are the
    // back cards) and face-up position instead of a shuffle: for tests and for replaying a
    // reported game.
    void stackDeck(const std::array<uint8_t, FULL_DECK>& deck, uint16_t shownPos);
    // Moves the table's clock; time-outs fall due in order.
    void advance(uint32_t ms);
    // The scene for a player of `chair`, or a looker watching it: game state and record bytes.
    std::pair<uint8_t, std::vector<uint8_t>> snapshot(uint16_t chair, bool lookon) const;

    // Introspection for tests, bots and self-play.
    Phase phase() const { return m_phase; }
    uint16_t currentChair() const { return m_current; }
    uint16_t lordChair() const { return m_lord; }
    uint8_t lordBid() const { return m_lordBid; }
    std::span<const uint8_t> hand(uint16_t chair) const;
    std::span<const uint8_t> turnCards() const { return {m_turnCards.data(), m_turnCount}; }
    uint16_t turnUser() const { return m_turnUser; }
    std::span<const uint8_t> backCards() const { return m_backCards; }
    std::span<const uint8_t> playedCards() const { return m_played; }
    uint16_t bombCount() const { return m_bombs; }
    bool rocketPlayed() const { return m_rocket; }
    // 2 to the power of bombs and rockets played: the multiple the clients show.
    uint16_t tableMultiple() const;
    bool trustee(uint16_t chair) const { return IsChair(chair) && m_trustee[chair]; }
    bool present(uint16_t chair) const { return IsChair(chair) && m_present[chair]; }
    bool ready(uint16_t chair) const { return IsChair(chair) && m_ready[chair]; }
    bool doubled(uint16_t chair) const { return IsChair(chair) && m_doubled[chair]; }
    uint32_t dealsThisGame() const { return m_deals; }
    uint32_t gamesPlayed() const { return m_games; }
    uint64_t nowMs() const { return m_now; }
    // When the acting chair is played for by the server unless it acts first.
    uint64_t deadlineMs() const { return m_deadline; }
    // When the acting chair's turn begins (after what the clients show first).
    uint64_t turnStartMs() const { return m_turnStart; }
    PlayerView view(uint16_t chair) const;
    const TableConfig& config() const { return m_config; }

private:
    void deal();
    void startPlay(uint16_t lord, uint8_t bid);
    bool onBid(uint16_t chair, std::span<const uint8_t> body);
    bool onOutCard(uint16_t chair, std::span<const uint8_t> body);
    bool onPass(uint16_t chair, std::span<const uint8_t> body);
    bool onTrustee(uint16_t chair, std::span<const uint8_t> body);
    bool onDouble(uint16_t chair, std::span<const uint8_t> body);
    void applyBid(uint16_t chair, uint8_t bid);
    void applyPlay(uint16_t chair, const uint8_t* cards, uint8_t count);
    void applyPass(uint16_t chair);
    void endGame(uint16_t winner);
    void actForCurrent(bool timedOut);
    void setTrustee(uint16_t chair, bool on, bool byTimeout);
    bool doubleAllowed(uint16_t chair, uint32_t* type) const;
    void startClock(uint32_t clockMs, uint32_t showMs = 0);
    uint64_t trusteeDeadline() const;
    void sendAll(uint16_t subCmd, std::span<const uint8_t> body);
    template <typename Record>
    void sendAllRecord(uint16_t subCmd, const Record& record);
    std::array<uint8_t, 15> leftCounts() const;

    TableConfig m_config;
    TableSink& m_sink;
    std::mt19937 m_rng;
    CGameLogic m_logic;

    Phase m_phase = Phase::Free;
    std::array<bool, 3> m_present{};
    std::array<bool, 3> m_ready{};
    std::array<bool, 3> m_trustee{};
    std::array<uint8_t, 3> m_timeouts{};  // server-played time-outs in a row

    std::array<std::array<uint8_t, MAX_HAND>, 3> m_hands{};
    std::array<uint8_t, 3> m_handCount{};
    std::array<uint8_t, BACK_CARDS> m_backCards{};
    std::vector<uint8_t> m_played;
    std::array<uint8_t, 15> m_outCount{};
    uint32_t m_deals = 0;     // deals of the game being played (redeals included)
    uint32_t m_redeals = 0;   // all-pass deals in a row
    uint32_t m_games = 0;
    std::optional<std::pair<std::array<uint8_t, FULL_DECK>, uint16_t>> m_stacked;

    std::array<uint8_t, 3> m_bids{};
    uint8_t m_topBid = 0;
    uint16_t m_topBidder = INVALID_CHAIR;
    uint16_t m_firstBidder = INVALID_CHAIR;
    uint8_t m_bidsMade = 0;

    uint16_t m_current = INVALID_CHAIR;
    uint16_t m_lord = INVALID_CHAIR;
    uint8_t m_lordBid = 0;
    std::array<uint8_t, MAX_HAND> m_turnCards{};
    uint8_t m_turnCount = 0;
    uint16_t m_turnUser = INVALID_CHAIR;
    uint8_t m_passes = 0;
    uint16_t m_bombs = 0;
    bool m_rocket = false;
    std::array<uint16_t, 3> m_playsBy{};
    std::array<bool, 3> m_doubled{};
    std::array<bool, 3> m_hasActed{};     // played or passed at least once this game
    uint16_t m_firstDouble = INVALID_CHAIR;

    uint64_t m_now = 0;
    uint64_t m_deadline = 0;
    uint64_t m_turnStart = 0;
    uint32_t m_turnClockMs = 0;
};

}  // namespace server
