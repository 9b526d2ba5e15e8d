#pragma once

// The server's end of the host protocol: connections, log-on, tables of three chairs, sitting
// and standing, looking on with the player's permission, user notices, chat, ready, and game
// frames handed to each table's game. It owns no sockets: bytes come in through onBytes and go
// out through a SessionTransport, so the whole layer runs in tests without a network.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "protocol/HostProtocol.h"
#include "server/DemoExtras.h"

namespace server {

using ConnectionId = uint64_t;

// One table's game as the session layer sees it; the table engine is adapted to it.
class TableGame {
public:
    virtual ~TableGame() = default;
    virtual void setPresent(uint16_t chair, bool present) = 0;
    virtual void setReady(uint16_t chair) = 0;
    // While a game runs, players cannot stand up and a lost connection keeps its seat.
    virtual bool isPlaying() const = 0;
    // A game frame (main 100) or a host-level request (2.12, 2.401, 14.100) from the player in
    // chair; false when the table refuses it.
    virtual bool onClientMessage(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body) = 0;
    // The game state and scene record for a chair, as a player or as a looker sees it; without
    // showCards (a looker the player does not let see them) the chair's own cards are left out.
    virtual std::pair<uint8_t, std::vector<uint8_t>> snapshot(uint16_t chair, bool lookon, bool showCards) = 0;
    // Game messages that follow a snapshot, to the one user who got it (a table's extras).
    virtual std::vector<ExtraMessage> afterSnapshot(uint16_t chair) { (void)chair; return {}; }
};

class SessionTransport {
public:
    virtual ~SessionTransport() = default;
    virtual void send(ConnectionId id, std::span<const uint8_t> bytes) = 0;
    // The session layer has forgotten the connection; close it once what was sent is written.
    // It may be called from inside onBytes for the connection being read.
    virtual void close(ConnectionId id) = 0;
};

struct SessionLimits {
    uint16_t tableCount = 100;
    // More frames than this within one second is a flood; a client sends a few a second at most.
    uint32_t maxFramesPerSecond = 200;
    std::size_t maxConnections = 4096;
    uint32_t seed = 1;  // resume keys
};

class Sessions {
public:
    using GameFactory = std::function<std::unique_ptr<TableGame>(uint16_t table)>;

    Sessions(SessionLimits limits, SessionTransport& transport, GameFactory factory);
    ~Sessions();

    void onConnect(ConnectionId id);
    void onBytes(ConnectionId id, std::span<const uint8_t> bytes);
    void onDisconnect(ConnectionId id);
    // Moves the clock the flood limit is counted on.
    void advance(uint32_t ms);

    // ---- Called by the table games ----------------------------------------------------------------

    // A game message to the player in chair and to the lookers of that chair it lets see its cards.
    void sendGame(uint16_t table, uint16_t chair, uint16_t sub, std::span<const uint8_t> body);
    // The same message with the chair's cards hidden, for the lookers it does not let see them.
    void sendGameToBlindLookers(uint16_t table, uint16_t chair, uint16_t sub, std::span<const uint8_t> body);
    // The players' statuses become "playing" / "sitting"; a game end also adds the score changes
    // and lets go of the players whose connection was lost during the game.
    void gameStarted(uint16_t table);
    void gameEnded(uint16_t table, const std::array<int32_t, 3>& scoreChange);
    // A player's score and coins changed outside a game (a score change bought); the table is told.
    void setPlayerScore(uint16_t table, uint16_t chair, int32_t score, int32_t gold);
    // A bot takes an empty chair: it gets a user record of its own, without a connection, that the
    // table sees come, play and go like a person's. A person who sits in its chair takes it over.
    void seatBot(uint16_t table, uint16_t chair);
    void unseatBot(uint16_t table, uint16_t chair);

    // ---- Inspection ---------------------------------------------------------------------------------

    std::size_t connectionCount() const { return m_connections.size(); }
    std::size_t userCount() const { return m_users.size(); }
    // The user id in a chair (a person's or a bot's), 0 when empty.
    uint32_t playerAt(uint16_t table, uint16_t chair) const;
    // The user record as notices carry it.
    std::optional<protocol::UserInfo> user(uint32_t userId) const;

private:
    struct Connection {
        protocol::FrameDecoder decoder;
        bool hello = false;
        uint32_t userId = 0;
        uint32_t framesInWindow = 0;
        bool closing = false;
    };
    struct User {
        protocol::UserInfo info{};
        std::optional<ConnectionId> connection;
        uint32_t resumeKey = 0;
        uint8_t statusBeforeOffline = 0;
        bool bot = false;
        // A player's permission to its lookers: one for all, and answers for single lookers.
        bool allowAll = false;
        std::map<uint32_t, bool> allowFor;
    };
    struct Table {
        std::array<uint32_t, 3> players{};
        std::vector<uint32_t> lookers;
        std::unique_ptr<TableGame> game;
    };

    bool handleFrame(ConnectionId id, Connection& connection, const protocol::Frame& frame);
    bool handleLogon(ConnectionId id, Connection& connection, const protocol::LogonRequest& request);
    void handleUserFrame(User& user, const protocol::Frame& frame);
    void handleGameFrame(User& user, const protocol::Frame& frame);
    void sit(User& user, const protocol::SitRequest& request);
    void lookOn(User& user, const protocol::LookonRequest& request);
    void standUp(User& user, bool force);
    // Takes a bot's record off its chair for a person sitting down there.
    void replaceBot(Table& table, uint16_t chair);
    void setAllow(User& player, const protocol::AllowLookon& allow);
    void resume(User& user);

    // Everything a user needs on arriving at its table: itself, the players, look-on state, the snapshot.
    void sendTable(const User& user);
    void sendSnapshot(const User& user);
    bool lookerAllowed(const User& looker) const;
    void sendTo(const User& user, std::span<const uint8_t> bytes);
    void sendNotice(const User& to, uint16_t sub, const User& about);
    // A notice to everyone at the user's table (players and lookers), the user included or not.
    void broadcastNotice(uint16_t sub, const User& about, bool includeSelf);
    void refuse(const User& user, uint16_t main, uint16_t sub, protocol::RefusalCode code, const char* reason);
    // Sends the close notice; the connection is dropped by the caller that holds it.
    bool closeWith(ConnectionId id, Connection& connection, protocol::RefusalCode code, const char* reason);
    void dropConnection(ConnectionId id);
    Table* tableOf(const User& user);
    TableGame& gameOf(uint16_t table);
    User* userById(uint32_t userId);
    void forgetUser(uint32_t userId);

    SessionLimits m_limits;
    SessionTransport& m_transport;
    GameFactory m_factory;
    std::unordered_map<ConnectionId, Connection> m_connections;
    std::unordered_map<uint32_t, User> m_users;
    std::vector<Table> m_tables;
    uint32_t m_nextUserId = 1;
    uint32_t m_windowMs = 0;
    std::mt19937 m_keys;
};

}  // namespace server
