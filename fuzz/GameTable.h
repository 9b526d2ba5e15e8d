#pragma once

// A table of its own for each fuzz input that drives the real game window: the application, the
// scratch folders and the start values of the process-wide variables live as long as the process;
// each Table makes a new clock, recording services, profile and user data folder current, so
// nothing one input does reaches the next and a saved input fails the same way when it runs alone.
#include <QApplication>
#include <QWidget>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <unistd.h>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "platform/ServicesRecording.h"
#include "platform/TimerHost.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "support/DataPaths.h"
#include "support/Profile.h"

#if defined(__SANITIZE_ADDRESS__)
#define QARRUM_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QARRUM_LEAK_CHECKS 1
#endif
#endif
#ifdef QARRUM_LEAK_CHECKS
#include <sanitizer/lsan_interface.h>
#endif

namespace {

namespace fs = std::filesystem;

// What lives as long as the process: the application, the scratch folders and the start values
// of the game's process-wide variables, which every input gets back.
struct Process {
    Process()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "qarrum-fuzz";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        const char* tmp = std::getenv("TMPDIR");
        root = fs::path(tmp && *tmp ? tmp : "/tmp") / ("qarrum-fuzz-table-" + std::to_string(getpid()));
        user = root / "home";
        empty = root / "empty";
        std::error_code ec;
        fs::create_directories(empty, ec);
        AppProfile().SetFile(root / "config" / "qarrum.ini");
        startReplayMode = g_bReplayMode;
        startCounterMode = g_cbCounterMode;
    }
    // Qt loads fonts, font engines and glyph caches on first use and keeps them for the process
    // behind thread-local storage, where LeakSanitizer takes them for leaks. One table, painted and
    // with a chat line, loads them before the first input while leak checking is off.
    void WarmUp();
    ~Process()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    std::unique_ptr<QApplication> app;
    fs::path root;
    fs::path user;
    fs::path empty;
    bool startReplayMode = false;
    BYTE startCounterMode = 0;
};

// The services and the clock of one table, made current while it lives.
struct Table {
    explicit Table(const Process& process, bool bRoundTable)
    {
        // Files the last input wrote (settings, logs, trace files) would be read by this one.
        std::error_code ec;
        fs::remove_all(process.user, ec);
        fs::remove(AppProfile().File(), ec);
        SetDataFolders(process.user, bRoundTable ? fs::path(QARRUM_TOOLS_DATA) : process.empty);
        g_bReplayMode = process.startReplayMode;
        // Set by every snapshot; a table starts without the card counter.
        g_bCardCounter = false;
        g_cbCounterMode = process.startCounterMode;
        SeedClientRandom(0);
        SetDialogService(&dialogs);
        SetShellService(&shell);
        SetSoundBackend(&sound);
    }
    ~Table()
    {
        dlg.reset();
        clock.flushPosted();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetSoundBackend(nullptr);
        SetShellService(nullptr);
        SetDialogService(nullptr);
        ClearDataFolders();
    }

    void SetUser(WORD wChairID)
    {
        tagUserData user;
        user.dwUserID = wChairID + 1u;
        std::snprintf(user.szName, sizeof(user.szName), "玩家%u", static_cast<unsigned>(wChairID));
        user.lScore = 100 * static_cast<LONG>(wChairID);
        dlg->SetUserData(wChairID, &user);
    }

    VirtualTimerHost clock;
    ScopedTimerHost scoped{clock};
    CRecordingDialogService dialogs;
    CRecordingShellService shell;
    CRecordingSoundBackend sound;
    std::unique_ptr<CGameClientDlg> dlg;
};

void Process::WarmUp()
{
#ifdef QARRUM_LEAK_CHECKS
    __lsan_disable();
#endif
    {
        Table table(*this, true);
        table.dlg = std::make_unique<CGameClientDlg>();
        if (table.dlg->CreateGameWindow(true)) {
            table.dlg->InsertSystemString("欢迎 Qarrum 0123456789");
            table.dlg->GetSafeHwnd()->grab();
        }
    }
#ifdef QARRUM_LEAK_CHECKS
    __lsan_enable();
#endif
}

Process& TheProcess()
{
    static Process* process = [] {
        static Process made;
        made.WarmUp();
        return &made;
    }();
    return *process;
}

}  // namespace

