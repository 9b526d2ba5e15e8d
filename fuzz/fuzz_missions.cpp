// Mission records and task messages through the real game window into the real task window and a
// mission dialog, which paint what they are given after every step. Between the game window and
// each of them sits a check that runs the pushed record through the mission rules: whatever the
// bytes, nothing is read past a field and the clocks stay sound.
//
// An input is a list of steps, each an operation byte and what it needs (missing bytes read as 0):
//   op % 4 == 0   a mission record: kind byte (% 4, so kinds 0 and 3 come too), state byte, then up
//                 to 710 bytes of the rest of the record (the length byte before them says how many)
//   op % 4 == 1   a task award: 8 bytes; op % 4 == 2 a task result: 12 bytes
//   op % 4 == 3   the clock moves (next byte) seconds
// A message of the wrong size goes in as well when bit 2 of op is set.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GameTable.h"
#include "logic/MissionRules.h"
#include "windows/MissionDlg.h"

namespace {

// Does what the windows will do with a record; aborts on what must never happen.
void Check(bool bSound)
{
    if (!bSound)
        std::abort();
}

void ShowRecord(const TaskRecord& record, DWORD dwBonusTicks)
{
    using namespace mission;
    Check(record.cbTaskKind == kKindChallenge || record.cbTaskKind == kKindDaily);
    Check(dwBonusTicks <= kBonusWaitSeconds);
    const MissionView view = ReadMission(record);
    Check(view.cbDoneCount <= view.cbTotalCount && view.cbDifficulty <= kMaxDifficulty);
    Check(view.theme.size() <= kThemeSize && view.describe.size() <= kDescribeSize &&
          view.method.size() <= kMethodSize && view.finishDescribe.size() <= kFinishedSize);
    volatile std::size_t sink = DifficultyLabel(view.cbDifficulty).size() + ProgressTitle(view, true).size() +
                                RewardLines(view).size() + Description(view).size() +
                                TaskStatusText(view.cbState, view.lTimeLeft).size() +
                                DialogStatusText(view.cbState, view.lTimeLeft, dwBonusTicks).size();
    (void)sink;
    TaskRecord copy = record;
    for (int tick = 0; tick < 3 && TickTaskClock(copy); ++tick) {
    }
}

// Checks what the game window pushes, then hands it on to the window.
struct CheckedTaskPanel : ITaskPanel {
    ITaskPanel* pWindow = nullptr;
    void SetTaskRecord(const TaskRecord& record, int value) override
    {
        Check(value == 100);
        ShowRecord(record, 0);
        pWindow->SetTaskRecord(record, value);
    }
    void ShowAward(BYTE cbKind, LONG lCount) override
    {
        Check(cbKind != 0);
        const auto row = mission::AwardTipsRow(cbKind, 4);
        Check(row && *row >= 0 && *row < 4);
        pWindow->ShowAward(cbKind, lCount);
    }
    void SetMissionRunning(bool bRunning) override { pWindow->SetMissionRunning(bRunning); }
    void PlayCompletion(bool bPlay) override { pWindow->PlayCompletion(bPlay); }
};

struct CheckedMissionPanel : IMissionPanel {
    IMissionPanel* pWindow = nullptr;
    void SetMissionRecord(const TaskRecord& record, DWORD dwBonusTicks) override
    {
        ShowRecord(record, dwBonusTicks);
        pWindow->SetMissionRecord(record, dwBonusTicks);
    }
    void ShowMissionResult(BYTE cbState) override { pWindow->ShowMissionResult(cbState); }
};

// Every window of the game paints what it now holds.
void PaintAll(CGameClientDlg& dlg)
{
    for (const tagNamedWindow& window : dlg.ListNamedWindows()) {
        if (window.pWnd)
            window.pWnd->UpdateWindow();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Process& process = TheProcess();
    Table table(process, true);
    table.dlg = std::make_unique<CGameClientDlg>();
    if (!table.dlg->CreateGameWindow(true))
        return 0;
    CGameClientDlg& dlg = *table.dlg;
    if (!dlg.m_pTaskPanel)
        return 0;
    // The dialog runs modally in the program; here it stays open beside the table, on the page
    // the first byte picks, so that every record reaches it.
    CMissionDlg missionDlg(&dlg);
    missionDlg.SelectPage(size > 0 ? data[0] % 4 : 1);
    if (!missionDlg.Create(CMissionDlg::IDD, &dlg))
        return 0;
    missionDlg.ShowWindow(SW_SHOW);
    CheckedTaskPanel taskPanel;
    taskPanel.pWindow = dlg.m_pTaskPanel;
    CheckedMissionPanel missionPanel;
    missionPanel.pWindow = &missionDlg;
    dlg.SetMissionPanels(&taskPanel, &missionPanel);
    table.clock.flushPosted();
    dlg.SetMeChairID(0);
    table.SetUser(0);

    size_t at = 0;
    auto next = [&] { return at < size ? data[at++] : uint8_t{0}; };
    auto take = [&](std::vector<uint8_t>& bytes, size_t from, size_t count) {
        count = std::min(count, size - at);
        std::memcpy(bytes.data() + from, data + at, count);
        at += count;
    };
    while (at < size) {
        const uint8_t op = next();
        const bool bWrongSize = (op & 0x04) != 0;
        std::vector<uint8_t> body;
        uint16_t sub = 0;
        switch (op % 4) {
        case 0: {
            body.assign(sizeof(TaskRecord), 0);
            body[0] = next() % 4;
            body[1] = next();
            take(body, 2, std::min<size_t>(next() * 3u, sizeof(TaskRecord) - 2));
            sub = SUB_S_TASK_RECORD;
            break;
        }
        case 1:
            body.assign(sizeof(TaskAward), 0);
            take(body, 0, body.size());
            sub = SUB_S_TASK_AWARD;
            break;
        case 2:
            body.assign(sizeof(TaskResult), 0);
            take(body, 0, body.size());
            sub = SUB_S_TASK_RESULT;
            break;
        default:
            table.clock.advance(next() * 1000u);
            table.clock.flushPosted();
            PaintAll(dlg);
            continue;
        }
        if (bWrongSize)
            body.resize(next() % (body.size() + 8));
        dlg.DeliverGameMessage(sub, body.data(), static_cast<WORD>(body.size()));
        table.clock.flushPosted();
        PaintAll(dlg);
    }
    dlg.SetMissionPanels(taskPanel.pWindow, nullptr);
    return 0;
}
