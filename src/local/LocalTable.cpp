#include "local/LocalTable.h"

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
    if (options.demoExtras) {
        m_extras.emplace(options.seed, options.config.cellScore);
        m_extras->personSeated(kLocalChair, me.dwUserID, 0);
    }
    m_engine.setPresent(kLocalChair, true);
    for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair) {
        m_bots.seat(chair, m_options.bots, m_options.botThinkMs);
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
    m_bots.act(m_engine);
}

void CLocalTable::sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    if (chair == kLocalChair)
        Queue(subCmd, body);
    if (m_extras)
        QueueExtras(m_extras->afterMessage(chair, subCmd, m_engine));
}

void CLocalTable::Queue(uint16_t wSubCmdID, std::span<const uint8_t> body)
{
    m_pending.push_back(Pending{false, wSubCmdID, std::vector<uint8_t>(body.begin(), body.end())});
    ScheduleDelivery();
}

void CLocalTable::QueueExtras(const std::vector<server::ExtraMessage>& extras)
{
    for (const server::ExtraMessage& extra : extras) {
        if (extra.chair == kLocalChair)
            Queue(extra.sub, extra.body);
    }
}

void CLocalTable::markGameEnd(GameEndRecord& end)
{
    if (m_extras)
        m_extras->markGameEnd(end, m_engine);
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
    if (m_extras)
        QueueExtras(m_extras->afterSnapshot(kLocalChair, m_engine.nowMs()));
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
        const bool accepted = next.bScene ? m_frame.DeliverSceneMessage(static_cast<BYTE>(next.wCode), false, next.body.data(), size)
                                          : m_frame.DeliverGameMessage(next.wCode, next.body.data(), size);
        if (!accepted)
            ++m_nRejected;
    }
}

void CLocalTable::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), pData ? wDataSize : 0);
    if (wMainCmdID != MDM_GF_GAME) {
        if (m_extras)
            AnswerRequest(wMainCmdID, wSubCmdID, body);
        return;
    }
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

void CLocalTable::AnswerRequest(WORD wMainCmdID, WORD wSubCmdID, std::span<const uint8_t> body)
{
    const tagUserData* me = m_frame.GetUserData(kLocalChair);
    if (!me)
        return;
    const server::RequestAnswer answer =
        m_extras->answerRequest(kLocalChair, wMainCmdID, wSubCmdID, body, me->dwUserID, me->lScore, m_engine.nowMs());
    if (answer.newScore) {
        tagUserData changed = *me;
        changed.lScore = *answer.newScore;
        changed.lGold = answer.coins;
        m_frame.SetUserData(kLocalChair, &changed);
    }
    QueueExtras(answer.messages);
}
