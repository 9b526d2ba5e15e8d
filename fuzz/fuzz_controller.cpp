// Server messages and table snapshots through the real game window: whatever the bytes, the
// controller must bound them before use. Each input is a sequence of records:
//   kind (1 byte: even = game message, odd = snapshot), sub-command or state (2 bytes),
//   body size (2 bytes, cut to what is left), body.
#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "platform/ServicesRecording.h"
#include "platform/TimerHost.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "support/DataPaths.h"

namespace {

struct Harness {
    Harness()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz_controller";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        const std::string folder = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/qarrum-fuzz-controller";
        SetDataFolders(folder, folder + "/none");
        SetTimerHost(&clock);
        SetDialogService(&dialogs);
        SetShellService(&shell);
        SetSoundBackend(&sound);
        SeedClientRandom(0);
        dlg = std::make_unique<CGameClientDlg>();
        dlg->CreateGameWindow(true);
        tagUserData user;
        for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
            user.dwUserID = chair + 1;
            dlg->SetUserData(chair, &user);
        }
    }

    std::unique_ptr<QApplication> app;
    VirtualTimerHost clock;
    CRecordingDialogService dialogs;
    CRecordingShellService shell;
    CRecordingSoundBackend sound;
    std::unique_ptr<CGameClientDlg> dlg;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    size_t at = 0;
    while (size - at >= 5) {
        const uint8_t kind = data[at];
        const uint16_t code = static_cast<uint16_t>(data[at + 1] | data[at + 2] << 8);
        size_t length = static_cast<size_t>(data[at + 3] | data[at + 4] << 8);
        at += 5;
        if (length > size - at)
            length = size - at;
        if (kind % 2 == 0)
            harness.dlg->DeliverGameMessage(code, data + at, static_cast<WORD>(length));
        else
            harness.dlg->DeliverSceneMessage(static_cast<BYTE>(code), kind & 2, data + at, static_cast<WORD>(length));
        at += length;
    }
    harness.clock.advance(1000);
    harness.dialogs.ClearLines();
    harness.sound.ClearLines();
    return 0;
}
