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
#include <cstdint>
#include <cstring>

#include "GameTable.h"

namespace {

constexpr size_t kHeadBytes = 4;
constexpr size_t kRecordHeadBytes = 5;

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
