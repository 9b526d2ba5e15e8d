#include "local/LocalTable.h"

#include <algorithm>
#include <cstring>

#include "platform/TimerHost.h"

namespace {

constexpr std::uintptr_t kTickTimer = 1;

tagUserData MakeUser(DWORD id, const std::string& name, BYTE gender, BYTE dialect)
{
    tagUserData user;
    user.dwUserID = id;
    std::strncpy(user.szName, name.c_str(), sizeof(user.szName) - 1);
    user.cbGender = gender;
    user.cbDialect = dialect;
    return user;
}

}  // namespace

CLocalTable::CLocalTable(CGameFrameDlg& frame, const LocalTableOptions& options)
    : m_frame(frame), m_options(options), m_engine(options.config, options.seed, *this)
{
    static const char* const kBotNames[] = {"", "左家", "右家"};
    m_frame.SetServerLink(this);
    m_frame.SetMeChairID(kLocalChair);
    const tagUserData me = MakeUser(1, m_options.name, m_options.gender, m_options.dialect);
    m_frame.SetUserData(kLocalChair, &me);
    m_engine.setPresent(kLocalChair, true);
    for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair) {
        m_bots[chair] = std::make_unique<server::Bot>(m_options.bots, m_options.botThinkMs);
        const tagUserData bot = MakeUser(chair + 1, kBotNames[chair], static_cast<BYTE>(chair == 1), 1);
        m_frame.SetUserData(chair, &bot);
        m_engine.setPresent(chair, true);
        m_engine.setReady(chair);
    }
    SendSnapshot();
    GetTimerHost().startTimer(this, kTickTimer, kTickMs, [this] { Tick(); });
}

CLocalTable::~CLocalTable()
{
    GetTimerHost().stopTimers(this);
    m_frame.SetServerLink(nullptr);
}

void CLocalTable::Tick()
{
    m_engine.advance(kTickMs);
    LetBotsAct();
}

void CLocalTable::LetBotsAct()
{
    // A bot move may hand the turn to the next bot; each gets its think time from that moment.
    for (int round = 0; round < 4; ++round) {
        bool acted = false;
        for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair) {
            server::Bot& bot = *m_bots[chair];
            const server::PlayerView view = m_engine.view(chair);
            if (view.canDouble && bot.wantsDouble(view)) {
                const JiaBangType bang{view.doubleType};
                m_engine.onClientMessage(chair, SUB_C_JIA_BANG, std::span(reinterpret_cast<const uint8_t*>(&bang), sizeof(bang)));
                acted = true;
            }
            if (view.current != chair || view.phase == server::Phase::Free) {
                m_botReadyAt[chair] = 0;
                continue;
            }
            // A bot thinks once the turn has begun: the player first sees the deal or the flight.
            if (m_botReadyAt[chair] == 0)
                m_botReadyAt[chair] = std::max(m_engine.nowMs(), m_engine.turnStartMs()) + bot.thinkMs();
            if (m_engine.nowMs() < m_botReadyAt[chair])
                continue;
            m_botReadyAt[chair] = 0;
            const server::BotMove move = bot.decide(view);
            m_engine.onClientMessage(chair, move.subCmd, move.body);
            acted = true;
        }
        if (!acted)
            break;
    }
}

void CLocalTable::sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    if (chair != kLocalChair)
        return;
    m_pending.push_back(Pending{false, subCmd, std::vector<uint8_t>(body.begin(), body.end())});
    ScheduleDelivery();
}

void CLocalTable::gameEnded(const GameEndRecord&)
{
    // The bots are ready for the next game at once; the local player decides with the result
    // window's continue.
    for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair)
        m_engine.setReady(chair);
}

void CLocalTable::SendSnapshot()
{
    auto [state, body] = m_engine.snapshot(kLocalChair, false);
    m_pending.push_back(Pending{true, state, std::move(body)});
    ScheduleDelivery();
}

void CLocalTable::ScheduleDelivery()
{
    if (m_bDeliveryPosted)
        return;
    m_bDeliveryPosted = true;
    GetTimerHost().post(&m_guard, [this] { Deliver(); });
}

void CLocalTable::Deliver()
{
    m_bDeliveryPosted = false;
    while (!m_pending.empty()) {
        const Pending next = std::move(m_pending.front());
        m_pending.pop_front();
        const WORD size = static_cast<WORD>(next.body.size());
        if (next.bScene)
            m_frame.DeliverSceneMessage(static_cast<BYTE>(next.wCode), false, next.body.data(), size);
        else
            m_frame.DeliverGameMessage(next.wCode, next.body.data(), size);
    }
}

void CLocalTable::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    if (wMainCmdID != MDM_GF_GAME)
        return;
    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), pData ? wDataSize : 0);
    if (!m_engine.onClientMessage(kLocalChair, wSubCmdID, body)) {
        // The window's picture of the table is no longer the engine's: it gets the table again.
        ++m_nRefused;
        SendSnapshot();
    }
}

void CLocalTable::SendUserReady(const void*, WORD)
{
    m_engine.setReady(kLocalChair);
}
