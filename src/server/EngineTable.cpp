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
}

void EngineTable::setPresent(uint16_t chair, bool present)
{
    if (!IsChair(chair))
        return;
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
    }
}

bool EngineTable::onClientMessage(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body)
{
    if (!IsChair(chair) || !m_person[chair])
        return false;
    if (main == protocol::MDM_GAME)
        return m_engine.onClientMessage(chair, sub, body);
    // The client's requests to its host (custom face, missions, score change) have no service
    // here; they are taken so that the client is not sent a snapshot for each.
    return main == MDM_FRAME || main == MDM_SCORE_CHANGE;
}

std::pair<uint8_t, std::vector<uint8_t>> EngineTable::snapshot(uint16_t chair, bool lookon, bool showCards)
{
    auto [state, scene] = m_engine.snapshot(chair, lookon);
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
    m_sessions.sendGame(m_table, chair, subCmd, body);
    const std::vector<uint8_t> hidden = hideChairCards(chair, subCmd, body);
    m_sessions.sendGameToBlindLookers(m_table, chair, subCmd, hidden);
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
