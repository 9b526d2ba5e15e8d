// One full paint of the task window with a running mission shown, off screen.
#include <benchmark/benchmark.h>

#include <cstring>

#include "common/GameRunner.h"
#include "platform/TimerHost.h"
#include "support/TextCodec.h"
#include "windows/TaskAssistant.h"

namespace {

TaskRecord RunningMission()
{
    TaskRecord record{};
    record.cbTaskKind = 2;
    record.cbTaskState = 2;
    record.lTimeLeft = 3725;
    record.lTimeLimit = 3725;
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    const int32_t lottery = 500, props = 1;
    std::memcpy(bytes + 24, &lottery, sizeof(lottery));
    std::memcpy(bytes + 28, &props, sizeof(props));
    const std::string theme = Utf8ToGbk("打出三个炸弹");
    std::memcpy(bytes + 32, theme.data(), theme.size());
    bytes[708] = 1;
    bytes[709] = 3;
    return record;
}

void BM_PaintTaskWnd(benchmark::State& state)
{
    scripted::EnsureQtApplication();
    VirtualTimerHost host;
    ScopedTimerHost timers{host};
    CTaskAssistant assistant;
    CWnd table;
    if (!table.Create(0, CRect(0, 0, 1018, 702), nullptr) || !assistant.CreateOver(&table)) {
        state.SkipWithError("the task window could not be made");
        return;
    }
    CTaskWnd& task = assistant.GetTaskWnd();
    task.SetTaskRecord(RunningMission(), 100);
    task.SelectTab(CTaskWnd::TAB_DAILY);
    task.ShowWindow(SW_SHOW);
    task.RedrawWindow();
    for (auto _ : state) {
        task.RedrawWindow();
        benchmark::DoNotOptimize(task.GetSurface().constBits());
    }
}
BENCHMARK(BM_PaintTaskWnd)->Unit(benchmark::kMicrosecond);

}  // namespace
