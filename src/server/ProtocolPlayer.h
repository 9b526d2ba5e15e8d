#pragma once

// A bot playing as a client over the host protocol: it logs on, sits at the first free chair,
// presses ready, and plays each game from what the server tells it (a ClientView) with a bot's
// choices, ready again after each game. To the server it is a person like any other. It owns no
// socket: bytes from the server go in through onBytes, and what it sends is appended to `out`;
// the time is the caller's (microseconds on any steady clock), so it runs in tests without a
// network or a clock.
//
// Two round trips are measured: a ping (5.2) to its pong (5.3), and a move to the table's echo
// of it (the bid, play or pass naming this chair), which includes the server's work on the move.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/HostProtocol.h"
#include "server/Bot.h"
#include "server/ClientView.h"

namespace server {

struct ProtocolPlayerOptions {
    std::string name;  // ASCII or GBK, as logged on
    BotKind bot = BotKind::Basic;
    // How long after its turn begins the move is sent; a person's think time, which also keeps
    // the player below the server's flood limit.
    uint32_t thinkUs = 0;
};

class ProtocolPlayer {
public:
    enum class State { LoggingOn, Sitting, Seated, Failed };
    enum class Sample { Ping, Move };
    using SampleSink = std::function<void(Sample kind, uint64_t micros)>;

    // Pings waiting for their pong; a server that answers none is not pinged further.
    static constexpr std::size_t kMaxPingsInFlight = 16;

    explicit ProtocolPlayer(ProtocolPlayerOptions options, SampleSink onSample = {});

    // The opening frames: hello and log-on.
    void start(std::vector<uint8_t>& out);
    // Bytes from the server. False once the player has failed: the connection is to be closed.
    bool onBytes(std::span<const uint8_t> bytes, uint64_t nowUs, std::vector<uint8_t>& out);
    // Sends the move whose think time has passed.
    void poll(uint64_t nowUs, std::vector<uint8_t>& out);
    // When poll has a move to send; nullopt while it has none.
    std::optional<uint64_t> moveDueUs() const { return m_moveDueUs; }
    void ping(uint64_t nowUs, std::vector<uint8_t>& out);

    State state() const { return m_state; }
    // Why the player failed, for people.
    const std::string& failure() const { return m_failure; }
    uint32_t gamesFinished() const { return m_games; }
    // Moves the table refused (answered with a snapshot) and host requests refused (3.14).
    uint32_t refused() const { return m_refused; }
    uint32_t movesSent() const { return m_moves; }
    uint16_t chair() const { return m_view.view().chair; }
    const ClientView& view() const { return m_view; }

private:
    bool handleFrame(const protocol::Frame& frame, uint64_t nowUs, std::vector<uint8_t>& out);
    bool handleGame(const protocol::Frame& frame, uint64_t nowUs, std::vector<uint8_t>& out);
    // After the turn moved: the echo of this player's move is timed, and its next move is due.
    void turnMoved(uint16_t mover, uint64_t nowUs);
    bool fail(std::string why);

    ProtocolPlayerOptions m_options;
    SampleSink m_onSample;
    Bot m_bot;
    protocol::FrameDecoder m_decoder;
    ClientView m_view;
    State m_state = State::LoggingOn;
    std::string m_failure;
    uint32_t m_userId = 0;
    bool m_readySent = false;
    // The move sent and not yet echoed, and when it was sent.
    std::optional<uint64_t> m_moveSentUs;
    std::optional<uint64_t> m_moveDueUs;
    struct PingSent {
        uint32_t token;
        uint64_t sentUs;
    };
    std::deque<PingSent> m_pings;
    uint32_t m_nextToken = 1;
    uint32_t m_games = 0;
    uint32_t m_refused = 0;
    uint32_t m_moves = 0;
};

}  // namespace server
