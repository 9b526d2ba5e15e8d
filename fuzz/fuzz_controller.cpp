// Server messages and table snapshots through the real game window: whatever the bytes, the
// controller must bound them before use. Every input plays at a table of its own (a new game
// window, clock, recording services, profile and user data folder), so nothing one input does
// reaches the next and a saved input fails the same way when it runs alone.
//
// An input is a head of 4 bytes (missing bytes read as 0) and then records:
//   head[0]     the local chair: the value % 4, where 3 is none (INVALID_CHAIR, before sitting down)
//   head[1]     bits 0-2: a user sits on chair 0, 1, 2; bit 3: look-on; bit 4: looking at the cards
//               is allowed; bit 5: the data folder has no round table file; bit 6: the window is
//               painted at the end
//   head[2..3]  the room kind
//   record      kind (1 byte), code (2 bytes), body size (2 bytes, cut to what is left), body;
//               by kind % 8: 0 and 7 game message `code`; 1 table snapshot of state `code`, looked
//               on when bit 3 of kind is set; 2 the clock moves `code` ms; 3 the host resets the
//               table; 4 the host asks for an automatic start; 5 the user of chair `code % 3`
//               leaves, or comes when the chair is empty; 6 the player presses view button `code`.
// fuzz/make_controller_seeds.py writes the seeds in this form.
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

constexpr size_t kHeadBytes = 4;
constexpr size_t kRecordHeadBytes = 5;

// What lives as long as the process: the application, the scratch folders and the start values
// of the game's process-wide variables, which every input gets back.
struct Process {
    Process()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz_controller";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        const char* tmp = std::getenv("TMPDIR");
        root = fs::path(tmp && *tmp ? tmp : "/tmp") / ("qarrum-fuzz-controller-" + std::to_string(getpid()));
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Process& process = TheProcess();
    uint8_t head[kHeadBytes] = {};
    std::memcpy(head, data, size < kHeadBytes ? size : kHeadBytes);
    const size_t start = size < kHeadBytes ? size : kHeadBytes;

    Table table(process, (head[1] & 0x20) == 0);
    table.dlg = std::make_unique<CGameClientDlg>();
    if (!table.dlg->CreateGameWindow(true))
        return 0;
    CGameClientDlg& dlg = *table.dlg;
    table.clock.flushPosted();

    dlg.SetMeChairID(head[0] % 4 == 3 ? INVALID_CHAIR : head[0] % 4);
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (head[1] & (1u << chair))
            table.SetUser(chair);
    }
    dlg.SetLookonState((head[1] & 0x08) != 0, (head[1] & 0x10) != 0);
    dlg.SetRoomKind(static_cast<WORD>(head[2] | head[3] << 8));
    table.clock.flushPosted();

    size_t at = start;
    while (size - at >= kRecordHeadBytes) {
        const uint8_t kind = data[at];
        const uint16_t code = static_cast<uint16_t>(data[at + 1] | data[at + 2] << 8);
        size_t length = static_cast<size_t>(data[at + 3] | data[at + 4] << 8);
        at += kRecordHeadBytes;
        if (length > size - at)
            length = size - at;
        const uint8_t* body = data + at;
        at += length;
        switch (kind % 8) {
        case 1:
            dlg.DeliverSceneMessage(static_cast<BYTE>(code), (kind & 0x08) != 0, body, static_cast<WORD>(length));
            break;
        case 2:
            table.clock.advance(code);
            break;
        case 3:
            dlg.ResetGameFrame();
            break;
        case 4:
            dlg.RequestStart();
            break;
        case 5:
            if (dlg.GetUserData(code % PLAYER_COUNT))
                dlg.SetUserData(code % PLAYER_COUNT, nullptr);
            else
                table.SetUser(code % PLAYER_COUNT);
            break;
        case 6:
            dlg.GetClientView().PressButton(code);
            break;
        default:
            dlg.DeliverGameMessage(code, body, static_cast<WORD>(length));
            break;
        }
        table.clock.flushPosted();
    }
    if (head[1] & 0x40) {
        volatile bool painted = !dlg.GetSafeHwnd()->grab().isNull();
        (void)painted;
    }
    return 0;
}
