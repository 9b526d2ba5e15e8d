#pragma once

// Plays a scripted game through the real game window, off screen on the virtual clock: server
// messages go in through the host, and where the player at chair 0 must act the runner presses
// the same commands a player would (bid 3, hint then play, or hint, which passes when nothing
// beats). Shared by the whole-game tests and the benchmark.

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

#include "ScriptedGame.h"
#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "platform/ServicesRecording.h"
#include "platform/TimerHost.h"
#include "platform/sound/RecordingSoundBackend.h"

namespace scripted {

inline void EnsureQtApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qarrum-scripted";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class GameRunner {
public:
    struct Options {
        // A live table: a snapshot arrives first. A window for replays gets none.
        bool bLive = true;
    };

    GameRunner() : GameRunner(Options{}) {}
    explicit GameRunner(const Options& options)
    {
        EnsureQtApplication();
        SetDialogService(&m_dialogs);
        SetShellService(&m_shell);
        SetSoundBackend(&m_sound);
        SeedClientRandom(0);
        m_dlg = std::make_unique<CGameClientDlg>();
        m_dlg->SetServerLink(&m_link);
        m_dlg->CreateGameWindow(true);
        for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
            tagUserData user;
            user.dwUserID = chair + 1;
            user.cbGender = static_cast<BYTE>(chair % 2);
            user.cbDialect = 1;
            m_dlg->SetUserData(chair, &user);
        }
        m_dlg->SetMeChairID(0);
        if (options.bLive) {
            const StatusFree idle{};
            m_dlg->DeliverSceneMessage(GS_FREE, false, &idle, sizeof(idle));
        }
        m_host.flushPosted();
    }

    ~GameRunner()
    {
        m_dlg.reset();
        SetSoundBackend(nullptr);
        SetShellService(nullptr);
        SetDialogService(nullptr);
    }

    CGameClientDlg& Dialog() { return *m_dlg; }

    // Plays the game from the start command to its end; false when the client refused a message.
    bool Play(const Game& game)
    {
        m_dlg->SendMessage(UM_START, 0, 0);
        for (const Step& step : game.steps) {
            switch (step.kind) {
            case Step::Kind::LocalBid:
                m_dlg->SendMessage(UM_BID, 3, 3);
                break;
            case Step::Kind::LocalPlay:
                m_dlg->SendMessage(UM_HINT, 0, 0);
                m_dlg->SendMessage(UM_OUT_CARD, 1, 1);
                break;
            case Step::Kind::LocalPass:
                m_dlg->SendMessage(UM_HINT, 0, 0);
                break;
            case Step::Kind::Message:
                if (!m_dlg->DeliverGameMessage(step.wSubCmdID, step.body.data(), static_cast<WORD>(step.body.size())))
                    return false;
                // The deal, the shuffle and the back cards' flight take their time on the table.
                if (step.wSubCmdID == SUB_S_DEAL_CARDS || step.wSubCmdID == SUB_S_LORD_INFO)
                    m_host.advance(5000);
                break;
            }
            m_host.flushPosted();
        }
        return true;
    }

    CGameClientDlg& Dlg() { return *m_dlg; }
    CRecordingServerLink& Link() { return m_link; }
    CRecordingSoundBackend& Sound() { return m_sound; }
    CRecordingDialogService& Dialogs() { return m_dialogs; }
    VirtualTimerHost& Clock() { return m_host; }

private:
    VirtualTimerHost m_host;
    ScopedTimerHost m_timers{m_host};
    CRecordingDialogService m_dialogs;
    CRecordingShellService m_shell;
    CRecordingSoundBackend m_sound;
    CRecordingServerLink m_link;
    std::unique_ptr<CGameClientDlg> m_dlg;
};

}  // namespace scripted
