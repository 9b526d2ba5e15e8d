#include "local/LocalTable.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

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
    : m_frame(frame), m_options(options), m_engine(options.config, options.seed, *this), m_link(frame, m_engine, kLocalChair)
{
    // Chair 1 plays after the local player and sits on its right; chair 2 on its left.
    static const char* const kBotNames[] = {"", "右家", "左家"};
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
    m_link.SetDeliveryObserver([this](uint16_t, bool, bool bHandled) {
        if (!bHandled)
            ++m_nRejected;
    });
    if (m_extras) {
        m_link.SetSnapshotMarker([this](uint8_t cbState, std::vector<uint8_t>& scene) { m_extras->markSnapshot(kLocalChair, cbState, scene); });
        m_link.SetSnapshotHook([this] { QueueExtras(m_extras->afterSnapshot(kLocalChair, m_engine.nowMs())); });
        m_link.SetRequestHandler([this](uint16_t main, uint16_t sub, std::span<const uint8_t> body) { AnswerRequest(main, sub, body); });
    }
    m_link.SendSnapshot();
    GetTimerHost().startTimer(this, kTickTimer, kTickMs, [this] { Tick(); });
}

CLocalTable::~CLocalTable()
{
    GetTimerHost().stopTimers(this);
}

void CLocalTable::Tick()
{
    m_engine.advance(kTickMs);
    m_bots.act(m_engine);
}

void CLocalTable::sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body)
{
    if (chair == kLocalChair)
        m_link.Queue(subCmd, body);
    if (m_extras)
        QueueExtras(m_extras->afterMessage(chair, subCmd, m_engine));
}

void CLocalTable::QueueExtras(const std::vector<server::ExtraMessage>& extras)
{
    for (const server::ExtraMessage& extra : extras) {
        if (extra.chair == kLocalChair)
            m_link.Queue(extra.sub, extra.body);
    }
}

void CLocalTable::markGameEnd(GameEndRecord& end)
{
    if (m_extras)
        m_extras->markGameEnd(end, m_engine);
}

void CLocalTable::gameEnded(const GameEndRecord& end)
{
    // The bots are ready for the next game at once; the local player decides with the result
    // window's continue.
    for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair)
        m_engine.setReady(chair);
    // The players' records carry their running totals, as a server's score notices do; posted,
    // so the window has the game end before its players' new scores.
    const std::array<int32_t, PLAYER_COUNT> scores{end.lGameScore[0], end.lGameScore[1], end.lGameScore[2]};
    GetTimerHost().post(&m_guard, [this, scores] {
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            const tagUserData* user = m_frame.GetUserData(chair);
            if (!user)
                continue;
            tagUserData changed = *user;
            const int64_t total = int64_t{changed.lScore} + scores[chair];
            changed.lScore = static_cast<LONG>(std::clamp<int64_t>(total, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
            m_frame.SetUserData(chair, &changed);
        }
    });
}

void CLocalTable::AnswerRequest(uint16_t wMainCmdID, uint16_t wSubCmdID, std::span<const uint8_t> body)
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
