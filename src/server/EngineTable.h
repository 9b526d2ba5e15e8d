#pragma once

// One table of a Sessions played by the table engine. The session layer owns the seats and the
// connections; this adapter owns the engine, the copies of each message that lookers may see,
// and, when the server was asked for them, the bots in the chairs nobody sits in.
//
// Bots: a table with bots fills every chair without a person once a person presses ready while
// the table is free, and the bots are ready at once after each game. When the last person has
// left, the bots leave too, so an empty table does not play on by itself. A person who sits in a
// bot's chair takes it over; during a game that means the bot's hand and its share of the result.
// Each bot has a user record at the sessions, so the people at the table see who plays.
//
// With demo extras the table also sends the optional messages of DemoExtras after its snapshots
// and its game messages, and answers the players' score-change and task requests.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "server/BotSeats.h"
#include "server/DemoExtras.h"
#include "server/Sessions.h"
#include "server/TableEngine.h"

namespace server {

struct EngineTableOptions {
    TableConfig config;
    uint32_t seed = 1;
    // Empty: the table waits for three people.
    std::optional<BotKind> bots;
    uint32_t botThinkMs = 900;
    bool demoExtras = false;
};

class EngineTable final : public TableGame, private TableSink {
public:
    EngineTable(Sessions& sessions, uint16_t table, const EngineTableOptions& options);
    EngineTable(const EngineTable&) = delete;
    EngineTable& operator=(const EngineTable&) = delete;

    // TableGame
    void setPresent(uint16_t chair, bool present) override;
    void setReady(uint16_t chair) override;
    bool isPlaying() const override { return m_engine.phase() != Phase::Free; }
    bool onClientMessage(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body) override;
    std::pair<uint8_t, std::vector<uint8_t>> snapshot(uint16_t chair, bool lookon, bool showCards) override;
    std::vector<ExtraMessage> afterSnapshot(uint16_t chair) override;

    // Moves the table's clock and lets the bots whose turn has come act.
    void advance(uint32_t ms);

    const TableEngine& engine() const { return m_engine; }
    bool hasBot(uint16_t chair) const { return m_bots.seated(chair); }

private:
    // TableSink
    void sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body) override;
    void markGameEnd(GameEndRecord& end) override;
    void gameEnded(const GameEndRecord& end) override;

    // A message to the player of the chair and its lookers, the hand blanked for blind lookers.
    void forward(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body);
    void answerRequest(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body);
    void fillWithBots();
    void releaseBotsIfAlone();

    Sessions& m_sessions;
    uint16_t m_table;
    EngineTableOptions m_options;
    TableEngine m_engine;
    std::array<bool, 3> m_person{};
    BotSeats m_bots;
    std::optional<DemoExtras> m_extras;
};

// The deal as a looker who may not see `chair`'s cards gets it: that chair's row is blank but for
// the face-up card, which everyone sees. Other messages carry no hidden cards and pass unchanged.
std::vector<uint8_t> hideChairCards(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body);

}  // namespace server
