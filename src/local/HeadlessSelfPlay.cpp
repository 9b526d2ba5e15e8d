#include "local/HeadlessSelfPlay.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "local/LoopbackLink.h"
#include "platform/MouseInput.h"
#include "platform/ServicesRecording.h"
#include "platform/TimerHost.h"
#include "platform/sound/SoundBackend.h"
#include "windows/ScoreView.h"

namespace {

// How often the table looks at the windows: the engine's clock follows the shared one, and a
// window whose result window offers to continue is sent on.
constexpr unsigned kTickMs = 100;
// A trustee game takes a minute or two of table time (three deals when nobody bids); one that
// has not ended after this is stuck.
constexpr int64_t kGameLimitMs = 20 * 60 * 1000;
constexpr int kStartButton = 100;

// The services a game window may call on: nothing may block or make a sound while the windows play.
class ScopedServices {
public:
    ScopedServices() : m_previousDialogs(GetDialogService()), m_previousShell(GetShellService()), m_sound(m_silent)
    {
        SetDialogService(&m_dialogs);
        SetShellService(&m_shell);
    }
    ~ScopedServices()
    {
        SetShellService(&m_previousShell);
        SetDialogService(&m_previousDialogs);
    }
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    CDialogService& m_previousDialogs;
    CShellService& m_previousShell;
    CRecordingDialogService m_dialogs;
    CRecordingShellService m_shell;
    CSilentSoundBackend m_silent;
    CScopedSoundBackend m_sound;
};

std::string ChairText(uint16_t chair)
{
    return "chair " + std::to_string(chair);
}

// The cards of two hands as sets: the window keeps its hand in the order it shows, the engine by rank.
bool SameCards(std::span<const uint8_t> a, std::span<const uint8_t> b)
{
    if (a.size() != b.size())
        return false;
    std::array<uint8_t, MAX_HAND> left{}, right{};
    std::copy(a.begin(), a.end(), left.begin());
    std::copy(b.begin(), b.end(), right.begin());
    std::sort(left.begin(), left.begin() + a.size());
    std::sort(right.begin(), right.begin() + b.size());
    return std::equal(left.begin(), left.begin() + a.size(), right.begin());
}

class HeadlessTable final : public server::TableSink {
public:
    HeadlessTable(const HeadlessSelfPlayOptions& options, VirtualTimerHost& clock, server::SelfPlayTally& tally)
        : m_options(options), m_clock(clock), m_tally(tally), m_engine(options.play.config, options.play.seed, *this)
    {
        static const char* const kNames[] = {"东家", "南家", "西家"};
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            Seat& seat = m_seats[chair];
            seat.window = std::make_unique<CGameClientDlg>();
            if (!seat.window->CreateGameWindow(true))
                m_tally.fail("the game window at " + ChairText(chair) + " could not be made");
            seat.link = std::make_unique<CLoopbackLink>(*seat.window, m_engine, chair);
            for (uint16_t other = 0; other < PLAYER_COUNT; ++other) {
                tagUserData user;
                user.dwUserID = other + 1u;
                std::strncpy(user.szName, kNames[other], sizeof(user.szName) - 1);
                user.cbGender = static_cast<BYTE>(other % 2);
                user.cbDialect = 1;
                seat.window->SetUserData(other, &user);
            }
            seat.link->SetDeliveryObserver([this, chair](uint16_t subCmd, bool bScene, bool bHandled) { OnDelivered(chair, subCmd, bScene, bHandled); });
            m_engine.setPresent(chair, true);
        }
        for (Seat& seat : m_seats)
            seat.link->SendSnapshot();
        m_clock.startTimer(this, 1, kTickMs, [this] { Tick(); });
    }

    ~HeadlessTable() override { m_clock.stopTimers(this); }

    // Plays until `games` games have ended at the engine and in every window, or an invariant broke.
    void Run(uint32_t games)
    {
        m_gameStartMs = m_clock.now();
        while (m_tally.ok() && !(m_tally.games() >= games && AllSawTheEnd())) {
            m_clock.advance(kTickMs);
            if (m_clock.now() - m_gameStartMs > kGameLimitMs)
                m_tally.fail("the game did not end");
        }
    }

private:
    enum class Stage { Joining, Playing, Ended };
    struct Seat {
        std::unique_ptr<CGameClientDlg> window;
        std::unique_ptr<CLoopbackLink> link;
        Stage stage = Stage::Joining;
    };

    bool AllSawTheEnd() const
    {
        return std::all_of(m_seats.begin(), m_seats.end(), [](const Seat& seat) { return seat.stage == Stage::Ended; });
    }

    // server::TableSink
    void sendGame(uint16_t chair, uint16_t subCmd, std::span<const uint8_t> body) override
    {
        if (!IsChair(chair))
            return;
        m_seats[chair].link->Queue(subCmd, body);
        if (chair == 0 && m_options.play.onMessage)
            m_options.play.onMessage(subCmd, body);
    }

    void gameEnded(const GameEndRecord& end) override
    {
        m_tally.addGame(m_engine, end);
        m_gameStartMs = m_clock.now();
    }

    void Tick()
    {
        m_engine.advance(static_cast<uint32_t>(m_clock.now() - m_engineMs));
        m_engineMs = m_clock.now();
        for (uint16_t chair = 0; chair < PLAYER_COUNT && m_tally.ok(); ++chair) {
            Seat& seat = m_seats[chair];
            if (seat.link->RefusedCount() > 0) {
                m_tally.fail("the server refused a message of the client at " + ChairText(chair) + " (sub " + std::to_string(seat.link->LastRefused()) + ")");
                return;
            }
            if (!seat.window->IsWindow()) {
                m_tally.fail("the game window at " + ChairText(chair) + " closed");
                return;
            }
            if (seat.stage == Stage::Joining)
                Start(chair, SimulateControlClick(&seat.window->GetClientView(), kStartButton));
            else if (seat.stage == Stage::Ended && m_tally.games() < m_options.play.games)
                Start(chair, SimulateControlClick(seat.window->GetClientView().m_pScoreView, CScoreView::IDC_CONTINUE));
        }
    }

    // The player pressed start, or continue in the result window: the window says it is ready
    // (continue posts its next-game command) and then asks for trustee, so its own automatic
    // play acts for the whole game.
    void Start(uint16_t chair, bool bPressed)
    {
        if (!bPressed)
            return;
        Seat& seat = m_seats[chair];
        seat.stage = Stage::Playing;
        seat.window->PostMessage(UM_TRUSTEE, 1, 1);
    }

    void OnDelivered(uint16_t chair, uint16_t subCmd, bool bScene, bool bHandled)
    {
        Seat& seat = m_seats[chair];
        if (m_options.onDelivered)
            m_options.onDelivered(chair, *seat.window, subCmd);
        if (!m_tally.ok())
            return;
        if (!bHandled) {
            m_tally.fail("the client at " + ChairText(chair) + " refused " + (bScene ? "the table snapshot" : "message " + std::to_string(subCmd)));
            return;
        }
        const bool bEnd = !bScene && subCmd == SUB_S_GAME_END;
        if (bEnd)
            seat.stage = Stage::Ended;
        // Between the messages of one step the window and the engine may differ; once the window
        // has everything it was sent they must agree.
        if (seat.link->PendingCount() > 0 || (m_engine.phase() == server::Phase::Free && !bEnd))
            return;
        const CGameClientDlg& window = *seat.window;
        if (!SameCards({window.m_cbHandCards, std::min<size_t>(window.m_cbHandCount, MAX_HAND)}, m_engine.hand(chair)))
            m_tally.fail("the client at " + ChairText(chair) + " holds other cards than the server says after message " + std::to_string(subCmd));
        else if (m_engine.phase() != server::Phase::Free && !server::cardsConserved(m_engine))
            m_tally.fail("cards not conserved");
    }

    const HeadlessSelfPlayOptions& m_options;
    VirtualTimerHost& m_clock;
    server::SelfPlayTally& m_tally;
    server::TableEngine m_engine;
    std::array<Seat, 3> m_seats;
    int64_t m_engineMs = 0;
    int64_t m_gameStartMs = 0;
};

}  // namespace

server::SelfPlaySummary RunHeadlessSelfPlay(const HeadlessSelfPlayOptions& options, const server::SelfPlayGameObserver& onGame)
{
    VirtualTimerHost clock;
    ScopedTimerHost timers(clock);
    ScopedServices services;
    SeedClientRandom(options.play.seed);
    server::SelfPlayTally tally(options.play.config, onGame);
    {
        HeadlessTable table(options, clock, tally);
        table.Run(options.play.games);
    }
    clock.flushPosted();
    return tally.finish();
}
