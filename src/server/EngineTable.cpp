#include "server/EngineTable.h"

#include <algorithm>
#include <cstring>

namespace server {

namespace {

template <typename Record>
std::vector<uint8_t> blankRow(std::span<const uint8_t> body, uint16_t chair)
{
    auto record = ReadRecord<Record>(body);
    if (!record)
        return {body.begin(), body.end()};
    std::memset(record->cbHandCards[chair], 0, sizeof(record->cbHandCards[chair]));
    return WriteRecord(*record);
}

}  // namespace

std::vector<uint8_t> hideChairCards(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    if (subCmd != SUB_S_DEAL_CARDS || !IsChair(chair))
        return {body.begin(), body.end()};
    auto deal = ReadRecord<DealCards>(body);
    if (!deal || deal->cbOpenHands)
        return {body.begin(), body.end()};
    uint8_t (&row)[MAX_HAND] = deal->cbHandCards[chair];
    const uint16_t shownChair = deal->wShownCardPos / HAND_CARDS;
    const uint16_t shownSlot = deal->wShownCardPos % HAND_CARDS;
    const uint8_t shown = shownChair == chair ? row[shownSlot] : 0;
    std::memset(row, 0, sizeof(row));
    if (shownChair == chair)
        row[shownSlot] = shown;
    return WriteRecord(*deal);
}

EngineTable::EngineTable(Sessions& sessions, uint16_t table, const EngineTableOptions& options)
    : m_sessions(sessions), m_table(table), m_options(options), m_engine(options.config, options.seed, *this)
{
    if (options.demoExtras)
        m_extras.emplace(options.seed, options.config.cellScore);
}

void EngineTable::setPresent(uint16_t chair, bool present)
{
    if (!IsChair(chair))
        return;
    if (present && m_extras)
        m_extras->personSeated(chair, m_sessions.playerAt(m_table, chair), m_engine.nowMs());
    if (present && m_bots.seated(chair)) {
        // The person takes the bot's chair over. Between games the bot's ready is not the
        // person's: leaving and coming back clears it in the engine.
        m_bots.unseat(chair);
        m_person[chair] = true;
        if (!isPlaying())
            m_engine.setPresent(chair, false);
        m_engine.setPresent(chair, true);
        return;
    }
    m_person[chair] = present;
    m_engine.setPresent(chair, present);
    if (!present && !isPlaying())
        releaseBotsIfAlone();
}

void EngineTable::setReady(uint16_t chair)
{
    if (!IsChair(chair) || !m_person[chair] || isPlaying())
        return;
    if (m_options.bots)
        fillWithBots();
    m_engine.setReady(chair);
}

void EngineTable::fillWithBots()
{
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (m_person[chair] || m_bots.seated(chair))
            continue;
        m_bots.seat(chair, *m_options.bots, m_options.botThinkMs);
        m_sessions.seatBot(m_table, chair);
        m_engine.setPresent(chair, true);
        m_engine.setReady(chair);
    }
}

void EngineTable::releaseBotsIfAlone()
{
    if (std::any_of(m_person.begin(), m_person.end(), [](bool person) { return person; }))
        return;
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (!m_bots.seated(chair))
            continue;
        m_bots.unseat(chair);
        m_engine.setPresent(chair, false);
        m_sessions.unseatBot(m_table, chair);
    }
}

bool EngineTable::onClientMessage(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body)
{
    if (!IsChair(chair) || !m_person[chair])
        return false;
    if (main == protocol::MDM_GAME)
        return m_engine.onClientMessage(chair, sub, body);
    if (main != MDM_FRAME && main != MDM_SCORE_CHANGE)
        return false;
    // The client's requests to its host are served only with the extras; without them they are
    // still taken, so that the client is not sent a snapshot for each.
    if (m_extras)
        answerRequest(chair, main, sub, body);
    return true;
}

void EngineTable::answerRequest(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body)
{
    const auto user = m_sessions.user(m_sessions.playerAt(m_table, chair));
    if (!user)
        return;
    const RequestAnswer answer = m_extras->answerRequest(chair, main, sub, body, user->dwUserID, user->lScore, m_engine.nowMs());
    if (answer.newScore)
        m_sessions.setPlayerScore(m_table, chair, *answer.newScore, answer.coins);
    for (const ExtraMessage& extra : answer.messages)
        forward(extra.chair, extra.sub, extra.body);
}

std::vector<ExtraMessage> EngineTable::afterSnapshot(uint16_t chair)
{
    return m_extras ? m_extras->afterSnapshot(chair, m_engine.nowMs()) : std::vector<ExtraMessage>{};
}

std::pair<uint8_t, std::vector<uint8_t>> EngineTable::snapshot(uint16_t chair, bool lookon, bool showCards)
{
    auto [state, scene] = m_engine.snapshot(chair, lookon);
    if (m_extras)
        m_extras->markSnapshot(chair, state, scene);
    if (showCards || !IsChair(chair) || m_engine.config().openHands)
        return {state, std::move(scene)};
    if (state == GS_BIDDING)
        return {state, blankRow<StatusScore>(scene, chair)};
    if (state == GS_PLAYING)
        return {state, blankRow<StatusPlay>(scene, chair)};
    return {state, std::move(scene)};
}

void EngineTable::advance(uint32_t ms)
{
    m_engine.advance(ms);
    m_bots.act(m_engine);
}

void EngineTable::sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    // The deal is the first message of a game (and of each redeal); the players' statuses change
    // before their tables show the cards.
    if (subCmd == SUB_S_DEAL_CARDS && chair == 0 && m_engine.dealsThisGame() <= 1)
        m_sessions.gameStarted(m_table);
    forward(chair, subCmd, body);
    if (m_extras) {
        for (const ExtraMessage& extra : m_extras->afterMessage(chair, subCmd, m_engine))
            forward(extra.chair, extra.sub, extra.body);
    }
}

void EngineTable::forward(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    m_sessions.sendGame(m_table, chair, subCmd, body);
    const std::vector<uint8_t> hidden = hideChairCards(chair, subCmd, body);
    m_sessions.sendGameToBlindLookers(m_table, chair, subCmd, hidden);
}

void EngineTable::markGameEnd(GameEndRecord& end)
{
    if (m_extras)
        m_extras->markGameEnd(end, m_engine);
}

void EngineTable::gameEnded(const GameEndRecord& end)
{
    std::array<int32_t, 3> change{};
    std::copy(std::begin(end.lGameScore), std::end(end.lGameScore), change.begin());
    // The sessions may let go of players who lost their connection during the game; that comes
    // back here as setPresent and may release the bots.
    m_sessions.gameEnded(m_table, change);
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (m_bots.seated(chair))
            m_engine.setReady(chair);
    }
}

}  // namespace server
