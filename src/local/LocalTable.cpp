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
    : m_frame(frame), m_options(options), m_engine(options.config, options.seed, *this), m_link(frame, m_engine, kLocalChair)
{
    static const char* const kBotNames[] = {"", "左家", "右家"};
    const tagUserData me = MakeUser(1, m_options.name, m_options.gender, m_options.dialect);
    m_frame.SetUserData(kLocalChair, &me);
    m_engine.setPresent(kLocalChair, true);
    for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair) {
        m_bots.seat(chair, m_options.bots, m_options.botThinkMs);
        const tagUserData bot = MakeUser(chair + 1, kBotNames[chair], static_cast<BYTE>(chair == 1), 1);
        m_frame.SetUserData(chair, &bot);
        m_engine.setPresent(chair, true);
        m_engine.setReady(chair);
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
}

void CLocalTable::gameEnded(const GameEndRecord&)
{
    // The bots are ready for the next game at once; the local player decides with the result
    // window's continue.
    for (uint16_t chair = 1; chair < PLAYER_COUNT; ++chair)
        m_engine.setReady(chair);
}
