#pragma once

// The optional messages a table may send so that every panel of the client has something to show:
// a match (progress, rank, countdown, prize pool), the score-change shop with answers to its
// requests, and two tasks per chair with their awards. None of it touches the game: the engine
// deals, referees and scores as always, and the extras follow its messages. The content is made
// up but hangs together (ranks follow the match points, task progress follows the games played),
// and it is repeatable under the table's seed and clock.
//
// What goes when:
//   after a snapshot    the item list, prize and rank, match progress and status, the seats'
//                       match points, the chair's two tasks
//   after a game's deal now and then a prize pool notice, then the raised prize, the new round,
//                       status and points; a task finished last game reads completed, one
//                       completed the game before is offered again
//   game end record     badges for the top ten, the match points, the task flag of a task
//                       finished by this game
//   after the game end  points, rank, status, each person's match score, the tasks that changed,
//                       the task award and whether it was paid this game
//   score-change and task requests are answered to the chair that sent them

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "protocol/GameRecords.h"

namespace server {

class TableEngine;

// A game message (main 100) for the player of one chair and that chair's lookers.
struct ExtraMessage {
    uint16_t chair = INVALID_CHAIR;
    uint16_t sub = 0;
    std::vector<uint8_t> body;
};

struct RequestAnswer {
    std::vector<ExtraMessage> messages;
    // After a score change bought: the chair's new score and the coins left.
    std::optional<int32_t> newScore;
    int32_t coins = 0;
};

class DemoExtras {
public:
    // Match points every chair starts with, and the coins of a person new at the table.
    static constexpr int32_t kStartPoints = 1000;
    static constexpr int32_t kStartCoins = 1000;

    DemoExtras(uint32_t seed, int32_t cellScore);

    // A person takes the chair (its user id, for the notices that name it). A different person
    // than the last starts with fresh coins, points and tasks; the same one coming back keeps them.
    void personSeated(uint16_t chair, uint32_t userId, uint64_t nowMs);

    // Marks a snapshot for `chair` (state and record as the engine made them) with whether one of
    // the chair's tasks runs, which the client's task window shows; the engine knows no tasks.
    void markSnapshot(uint16_t chair, uint8_t state, std::vector<uint8_t>& scene) const;
    // What follows the snapshot sent to a player or a looker of `chair`.
    std::vector<ExtraMessage> afterSnapshot(uint16_t chair, uint64_t nowMs);
    // What follows a message the engine just sent to `chair` (empty for most).
    std::vector<ExtraMessage> afterMessage(uint16_t chair, uint16_t sub, const TableEngine& engine);
    // Settles the match points and tasks of the game that ended and marks the record before it
    // goes out; the scores are the engine's and stay untouched.
    void markGameEnd(GameEndRecord& end, const TableEngine& engine);
    // A host-level request of the player in `chair` (main 2 sub 401, main 14 sub 100); its user
    // record's id and score are what the request is checked against. Others get no answer.
    RequestAnswer answerRequest(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body, uint32_t userId,
                                int32_t score, uint64_t nowMs);

    int32_t points(uint16_t chair) const { return m_seats[chair].points; }
    int32_t coins(uint16_t chair) const { return m_seats[chair].coins; }
    uint32_t prize() const { return m_prize; }
    uint32_t rankOf(uint16_t chair) const;
    // The state (cbTaskState) of the chair's task of kind 1 (challenge) or 2 (daily).
    uint8_t taskState(uint16_t chair, uint8_t kind) const { return m_seats[chair].tasks[kind - 1].state; }

private:
    struct Task {
        uint8_t state = 0;
        uint8_t done = 0;
        uint64_t endsAtMs = 0;  // while running
    };
    struct Seat {
        uint32_t userId = 0;
        int32_t points = kStartPoints;
        int32_t coins = kStartCoins;
        std::array<Task, 2> tasks{};
        std::array<bool, 2> changed{};  // task records to send after this game end
        int32_t award = 0;              // lottery won by this game, 0 for none
    };

    void startTask(Task& task, uint8_t kind, uint64_t nowMs);
    void expireTasks(uint64_t nowMs);
    uint8_t matchMode() const;
    uint32_t secondsLeft(uint64_t nowMs) const;
    ExtraMessage rankInfo(uint16_t chair, uint64_t nowMs) const;
    ExtraMessage progress(uint16_t chair) const;
    ExtraMessage status(uint16_t chair, uint64_t nowMs) const;
    ExtraMessage seatPoints(uint16_t chair) const;
    ExtraMessage taskRecord(uint16_t chair, uint8_t kind, uint64_t nowMs) const;
    RequestAnswer changeScore(uint16_t chair, const ScoreChangeRequest& request, uint32_t userId, int32_t score);

    std::mt19937 m_rng;
    int32_t m_cellScore;
    uint32_t m_rankTotal;
    uint32_t m_prize;
    uint32_t m_games = 0;  // games dealt at this table
    std::array<Seat, 3> m_seats{};
};

}  // namespace server
