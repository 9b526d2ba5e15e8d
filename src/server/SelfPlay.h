#pragma once

// Whole games of bots at one table, checked as they go: every bot move must be accepted, every
// message the table sends must pass the client's own bounds check, the 54 cards must stay
// 54 distinct cards, every game must end, and its scores must sum to zero.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "server/Bot.h"
#include "server/TableEngine.h"

namespace server {

struct SelfPlayOptions {
    uint32_t games = 1;
    uint32_t seed = 1;
    std::array<BotKind, 3> bots{BotKind::Standard, BotKind::Standard, BotKind::Standard};
    TableConfig config;
    // Sees chair 0's copy of every game message the table sends (may be empty).
    std::function<void(uint16_t subCmd, std::span<const uint8_t> body)> onMessage;
};

struct SelfPlayGame {
    uint16_t lord = INVALID_CHAIR;
    uint8_t bid = 0;
    int64_t multiple = 0;  // the landlord's: |landlord's score| / cell score
    int32_t spring = 0;
    std::array<int32_t, 3> scores{};
};

struct SelfPlaySummary {
    uint32_t games = 0;
    uint32_t lordWins = 0;
    uint32_t farmerWins = 0;
    double meanMultiple = 0;
    std::array<int64_t, 3> totals{};
    std::array<uint32_t, 3> wins{};   // games each chair was on the winning side
    std::string error;                // the first broken invariant; empty when all held
    bool ok() const { return error.empty(); }
};

using SelfPlayGameObserver = std::function<void(uint32_t, const SelfPlayGame&)>;

// Plays options.games games; onGame (may be empty) sees each finished game with its 0-based index.
SelfPlaySummary runSelfPlay(const SelfPlayOptions& options, const SelfPlayGameObserver& onGame = {});

// Every one of the 54 cards is in exactly one place: a hand, the back cards (until the landlord
// takes them) or the played pile.
bool cardsConserved(const TableEngine& table);

// The checks at each game end and the figures of a run, for every kind of player at the table.
class SelfPlayTally {
public:
    SelfPlayTally(const TableConfig& config, SelfPlayGameObserver onGame) : m_cellScore(config.cellScore), m_onGame(std::move(onGame)) {}

    // The game that just ended at `table` with `end`: checked, counted and shown to the observer.
    // False when an invariant broke (then the summary holds the error).
    bool addGame(const TableEngine& table, const GameEndRecord& end);
    // The first broken invariant, in the game being played.
    void fail(const std::string& what);
    // Games counted so far; the game being played is the next.
    uint32_t games() const { return m_summary.games; }
    bool ok() const { return m_summary.ok(); }
    SelfPlaySummary finish();

private:
    int32_t m_cellScore;
    SelfPlayGameObserver m_onGame;
    SelfPlaySummary m_summary;
    int64_t m_multipleSum = 0;
};

}  // namespace server
