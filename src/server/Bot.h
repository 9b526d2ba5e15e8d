#pragma once

// Bot players. A bot decides from a PlayerView — its own hand and what is public — and answers
// with the message a client would send, so the engine checks its moves like anybody else's.
//
// basic:    bids only a strong hand, answers with the weakest play that beats the table (as the
//           server plays for a trustee), never doubles.
// standard: bids by hand strength, plans its hand as combinations to shed in few plays, keeps
//           bombs and the rocket for when they matter, lets its partner's plays stand, doubles a
//           strong hand.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "server/TableEngine.h"

namespace server {

enum class BotKind { Basic, Standard };

std::optional<BotKind> parseBotKind(std::string_view name);
const char* botKindName(BotKind kind);

struct BotMove {
    uint16_t subCmd = 0;
    std::vector<uint8_t> body;
};

class Bot {
public:
    explicit Bot(BotKind kind, uint32_t thinkMs = 0) : m_kind(kind), m_thinkMs(thinkMs) {}

    BotKind kind() const { return m_kind; }
    // How long a live table waits before sending the bot's move; 0 in tests and self-play.
    uint32_t thinkMs() const { return m_thinkMs; }

    // The bid or play of the chair whose turn it is (view.current == view.chair).
    BotMove decide(const PlayerView& view) const;
    // Whether to send a double now; asked only while view.canDouble.
    bool wantsDouble(const PlayerView& view) const;

    // A rough worth of a hand for bidding and doubling: high cards, bombs, and few plays needed.
    static int handStrength(const std::vector<uint8_t>& hand);

private:
    BotMove bid(const PlayerView& view) const;
    std::vector<uint8_t> lead(const PlayerView& view) const;
    std::vector<uint8_t> answer(const PlayerView& view) const;

    BotKind m_kind;
    uint32_t m_thinkMs;
};

}  // namespace server
