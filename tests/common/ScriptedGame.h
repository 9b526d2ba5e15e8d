#pragma once

// A whole seeded game as a table server would report it to the player at chair 0: the deal, one
// bid of 3 points, the landlord, then every play and pass until a hand is empty. Each player plays
// the first answer the card rules find. Where the player at chair 0 must act, the step says so,
// and a test first gives the client the player's command, then the server's report.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "logic/GameLogic.h"
#include "protocol/GameRecords.h"

namespace scripted {

struct Step {
    enum class Kind { Message, LocalBid, LocalPlay, LocalPass } kind = Kind::Message;
    uint16_t wSubCmdID = 0;
    std::vector<uint8_t> body;
};

struct Game {
    std::vector<Step> steps;
    uint16_t wLordUser = 0;
    uint16_t wWinner = 0;
    // The cards each chair was dealt, landlord's back cards included.
    std::array<std::vector<uint8_t>, 3> hands;
};

inline Game MakeGame(unsigned seed)
{
    CGameLogic logic;
    std::array<uint8_t, 54> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    std::mt19937 rng(seed);
    std::shuffle(deck.begin(), deck.end(), rng);

    Game game;
    game.wLordUser = static_cast<uint16_t>(seed % 3);
    const uint16_t lord = game.wLordUser;

    DealCards deal{};
    deal.wCurrentUser = lord;
    deal.wShownCardPos = static_cast<uint16_t>(seed % 51);
    std::array<std::array<uint8_t, 20>, 3> held{};
    std::array<uint8_t, 3> count{17, 17, 17};
    for (int chair = 0; chair < 3; ++chair) {
        for (int i = 0; i < 17; ++i)
            held[chair][i] = deck[chair * 17 + i];
        logic.SortCards(held[chair].data(), 17, ORDER_BY_RANK);
        std::memcpy(deal.cbHandCards[chair], held[chair].data(), 17);
    }
    game.steps.push_back({Step::Kind::Message, SUB_S_DEAL_CARDS, WriteRecord(deal)});

    if (lord == 0)
        game.steps.push_back({Step::Kind::LocalBid, 0, {}});
    game.steps.push_back({Step::Kind::Message, SUB_S_BID_RESULT, WriteRecord(BidResult{lord, INVALID_CHAIR, 3, 3})});

    LordInfo info{};
    info.wLordUser = lord;
    info.cbLordScore = 3;
    std::memcpy(info.cbBackCard, &deck[51], 3);
    info.wLimitValue = 96;
    game.steps.push_back({Step::Kind::Message, SUB_S_LORD_INFO, WriteRecord(info)});
    std::memcpy(&held[lord][17], &deck[51], 3);
    count[lord] = 20;
    logic.SortCards(held[lord].data(), 20, ORDER_BY_RANK);
    for (int chair = 0; chair < 3; ++chair)
        game.hands[chair].assign(held[chair].begin(), held[chair].begin() + count[chair]);

    uint16_t current = lord;
    OutCardResult turn{};
    int passes = 0;
    for (int guard = 0; guard < 200; ++guard) {
        OutCardResult answer{};
        const bool bPlays = logic.FindBeater(held[current].data(), count[current], turn.cbCards, turn.cbCount, answer);
        const uint16_t next = static_cast<uint16_t>((current + 1) % 3);
        if (bPlays) {
            if (current == 0)
                game.steps.push_back({Step::Kind::LocalPlay, 0, {}});
            logic.RemoveCards(answer.cbCards, answer.cbCount, held[current].data(), count[current]);
            count[current] = static_cast<uint8_t>(count[current] - answer.cbCount);
            PlayedCards played{};
            played.cbCardCount = answer.cbCount;
            played.wCurrentUser = count[current] == 0 ? INVALID_CHAIR : next;
            played.wOutCardUser = current;
            std::memcpy(played.cbCardData, answer.cbCards, answer.cbCount);
            std::vector<uint8_t> body(6 + answer.cbCount);
            std::memcpy(body.data(), &played, body.size());
            game.steps.push_back({Step::Kind::Message, SUB_S_PLAYED_CARDS, body});
            if (count[current] == 0) {
                game.wWinner = current;
                break;
            }
            turn = answer;
            passes = 0;
        } else {
            if (current == 0)
                game.steps.push_back({Step::Kind::LocalPass, 0, {}});
            ++passes;
            const bool bNewTurn = passes == 2;
            game.steps.push_back(
                {Step::Kind::Message, SUB_S_PASS_CARDS, WriteRecord(PassCards{static_cast<uint8_t>(bNewTurn ? 1 : 0), 0, current, next})});
            if (bNewTurn) {
                turn = OutCardResult{};
                passes = 0;
            }
        }
        current = next;
    }

    GameEndRecord end{};
    end.lCellScore = 1;
    uint8_t at = 0;
    for (int chair = 0; chair < 3; ++chair) {
        end.cbCardCount[chair] = count[chair];
        std::memcpy(end.cbCardData + at, held[chair].data(), count[chair]);
        at = static_cast<uint8_t>(at + count[chair]);
    }
    game.steps.push_back({Step::Kind::Message, SUB_S_GAME_END, WriteRecord(end)});
    return game;
}

}  // namespace scripted
