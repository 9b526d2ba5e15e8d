#pragma once

// A table played on this machine: the table engine runs in the program, the local player's game
// window is linked to it through a loopback link, and bots take the other chairs. Everything runs
// on the user-interface thread through the timer host, so the same table plays live (wall clock)
// and in tests (virtual clock).
//
// What the engine sends to the local chair reaches the window one step later, never from inside
// the window's own call into the link: the window is never re-entered while it handles a command.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>
#include <string>

#include <QObject>

#include "local/LoopbackLink.h"
#include "platform/host/GameFrame.h"
#include "server/BotSeats.h"
#include "server/DemoExtras.h"
#include "server/TableEngine.h"

struct LocalTableOptions {
    uint32_t seed = 1;
    server::BotKind bots = server::BotKind::Standard;
    // How long a bot waits before its move (0 in tests).
    uint32_t botThinkMs = 900;
    server::TableConfig config;
    // The local player's name (UTF-8), gender and voice set.
    std::string name = "你";
    uint8_t gender = 0;
    uint8_t dialect = 1;
    // Also the optional messages of a match, the score-change shop and tasks (server::DemoExtras).
    bool demoExtras = false;
};

class CLocalTable : private server::TableSink {
public:
    // Seats the local player at chair 0 of `frame` and bots at chairs 1 and 2, and sends the
    // window its first snapshot. The frame must outlive the table.
    CLocalTable(CGameFrameDlg& frame, const LocalTableOptions& options);
    ~CLocalTable() override;
    CLocalTable(const CLocalTable&) = delete;
    CLocalTable& operator=(const CLocalTable&) = delete;

    server::TableEngine& Engine() { return m_engine; }
    // The optional messages' state, when the table sends them.
    const server::DemoExtras* Extras() const { return m_extras ? &*m_extras : nullptr; }
    // Moves the table on: delivers what the window is owed, lets the bots act, runs the clocks.
    void Tick();
    // Game messages or requests of the local window that the engine refused.
    int RefusedCount() const { return m_link.RefusedCount(); }
    // Messages the local window rejected (a wrong size, a chair out of range).
    int RejectedCount() const { return m_nRejected; }

    static constexpr uint16_t kLocalChair = 0;
    static constexpr unsigned kTickMs = 100;

private:
    // server::TableSink
    void sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body) override;
    void markGameEnd(GameEndRecord& end) override;
    void gameEnded(const GameEndRecord& end) override;

    void QueueExtras(const std::vector<server::ExtraMessage>& extras);
    void AnswerRequest(uint16_t wMainCmdID, uint16_t wSubCmdID, std::span<const uint8_t> body);

    CGameFrameDlg& m_frame;
    LocalTableOptions m_options;
    server::TableEngine m_engine;
    server::BotSeats m_bots;
    CLoopbackLink m_link;
    int m_nRejected = 0;
    std::optional<server::DemoExtras> m_extras;
    QObject m_guard;
};
