#include "server/SelfPlay.h"

#include <cstdlib>

namespace server {

namespace {

// Sees what the table sends; only the bounds check and the game end matter here.
class CheckingSink : public TableSink {
public:
    void sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body) override
    {
        if (!IsChair(chair) || CheckGameMessage(subCmd, body) != MessageCheck::Accept)
            ++badMessages;
        if (chair == 0 && onMessage)
            onMessage(subCmd, body);
    }
    void gameEnded(const GameEndRecord& record) override
    {
        end = record;
        ended = true;
    }

    std::function<void(uint16_t, std::span<const uint8_t>)> onMessage;
    uint32_t badMessages = 0;
    bool ended = false;
    GameEndRecord end{};
};

uint64_t cardBit(uint8_t card)
{
    const uint8_t color = card >> 4, face = card & 0x0F;
    const int slot = color < 4 ? color * 13 + face - 1 : 52 + face - 0x0E;
    return uint64_t{1} << slot;
}

}  // namespace

bool cardsConserved(const TableEngine& table)
{
    uint64_t seen = 0;
    int count = 0;
    auto take = [&](std::span<const uint8_t> cards) {
        for (uint8_t card : cards) {
            if (!IsValidCard(card))
                return false;
            const uint64_t bit = cardBit(card);
            if (seen & bit)
                return false;
            seen |= bit;
            ++count;
        }
        return true;
    };
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (!take(table.hand(chair)))
            return false;
    }
    if (table.phase() == Phase::Bidding && !take(table.backCards()))
        return false;
    return take(table.playedCards()) && count == FULL_DECK;
}

bool SelfPlayTally::addGame(const TableEngine& table, const GameEndRecord& end)
{
    SelfPlayGame result;
    result.lord = table.lordChair();
    result.bid = table.lordBid();
    result.spring = end.lSpring;
    int64_t sum = 0;
    int cardsLeft = 0;
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        result.scores[chair] = end.lGameScore[chair];
        sum += end.lGameScore[chair];
        cardsLeft += end.cbCardCount[chair];
    }
    if (sum != 0) {
        fail("scores do not sum to zero");
        return false;
    }
    if (cardsLeft + static_cast<int>(table.playedCards().size()) != FULL_DECK) {
        fail("cards not conserved at the end");
        return false;
    }
    if (!IsChair(result.lord)) {
        fail("no landlord");
        return false;
    }
    const int32_t lordScore = result.scores[result.lord];
    result.multiple = m_cellScore != 0 ? std::abs(lordScore) / m_cellScore : 0;

    const uint32_t index = m_summary.games++;
    const bool lordWon = lordScore > 0;
    (lordWon ? m_summary.lordWins : m_summary.farmerWins) += 1;
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        m_summary.totals[chair] += result.scores[chair];
        if ((chair == result.lord) == lordWon)
            ++m_summary.wins[chair];
    }
    m_multipleSum += result.multiple;
    if (m_onGame)
        m_onGame(index, result);
    return true;
}

void SelfPlayTally::fail(const std::string& what)
{
    if (m_summary.ok())
        m_summary.error = "game " + std::to_string(m_summary.games + 1) + ": " + what;
}

SelfPlaySummary SelfPlayTally::finish()
{
    m_summary.meanMultiple = m_summary.games > 0 ? static_cast<double>(m_multipleSum) / m_summary.games : 0;
    return m_summary;
}

SelfPlaySummary runSelfPlay(const SelfPlayOptions& options, const SelfPlayGameObserver& onGame)
{
    SelfPlayTally tally(options.config, onGame);
    CheckingSink sink;
    sink.onMessage = options.onMessage;
    TableEngine table(options.config, options.seed, sink);
    const std::array<Bot, 3> bots{Bot(options.bots[0]), Bot(options.bots[1]), Bot(options.bots[2])};
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
        table.setPresent(chair, true);

    for (uint32_t game = 0; game < options.games; ++game) {
        auto fail = [&](const std::string& what) {
            tally.fail(what);
            return tally.finish();
        };
        sink.ended = false;
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
            table.setReady(chair);
        std::array<bool, 3> askedDouble{};
        // A game is at most 54 plays and as many passes per deal; this bound is far above it.
        int moves = 0;
        while (!sink.ended) {
            if (++moves > 2000)
                return fail("the game did not end");
            if (table.phase() == Phase::Playing) {
                for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
                    if (askedDouble[chair])
                        continue;
                    const PlayerView view = table.view(chair);
                    if (!view.canDouble)
                        continue;
                    askedDouble[chair] = true;
                    if (bots[chair].wantsDouble(view)) {
                        const std::vector<uint8_t> body = WriteRecord(JiaBangType{view.doubleType});
                        if (!table.onClientMessage(chair, SUB_C_JIA_BANG, body))
                            return fail("double refused from chair " + std::to_string(chair));
                    }
                }
            }
            const uint16_t chair = table.currentChair();
            if (!IsChair(chair))
                return fail("nobody to act");
            const Bot& bot = bots[chair];
            if (bot.thinkMs() > 0)
                table.advance(bot.thinkMs());
            const BotMove move = bot.decide(table.view(chair));
            if (!table.onClientMessage(chair, move.subCmd, move.body))
                return fail("move refused from chair " + std::to_string(chair) + " (sub " + std::to_string(move.subCmd) + ")");
            if (!sink.ended && !cardsConserved(table))
                return fail("cards not conserved");
        }
        if (sink.badMessages > 0)
            return fail("a message the client would refuse");
        if (!tally.addGame(table, sink.end))
            return tally.finish();
    }
    return tally.finish();
}

}  // namespace server
