#pragma once

// The bots seated at one table. Each acts once its turn has begun (after what the people at the
// table are shown first: the deal, the back cards' flight) and its think time has passed, and
// doubles when it wants to. A bot move may hand the turn to the next bot, which then starts its
// own think time.

#include <array>
#include <cstdint>
#include <optional>

#include "server/Bot.h"
#include "server/TableEngine.h"

namespace server {

class BotSeats {
public:
    void seat(uint16_t chair, BotKind kind, uint32_t thinkMs);
    void unseat(uint16_t chair);
    bool seated(uint16_t chair) const { return chair < m_bots.size() && m_bots[chair].has_value(); }
    // Every seated bot that may act now does, on the table's own clock.
    void act(TableEngine& table);

private:
    std::array<std::optional<Bot>, 3> m_bots;
    // When each bot acts; 0 while it is not its turn.
    std::array<uint64_t, 3> m_readyAt{};
};

}  // namespace server
