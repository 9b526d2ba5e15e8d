// One paint of the mission dialog off screen: the challenge page of a running mission with every
// field filled (a wrapped description and method, three reward lines, the countdown), fully faded
// in, as each tick of the mission clock repaints it.
#include <benchmark/benchmark.h>

#include "common/GameRunner.h"
#include "support/TextCodec.h"
#include "windows/MissionDlg.h"

#include <cstring>
#include <string>

namespace {

void PutText(TaskRecord& record, std::size_t at, std::size_t size, const std::string& utf8)
{
    const std::string gbk = Utf8ToGbk(utf8);
    std::memcpy(reinterpret_cast<uint8_t*>(&record) + at, gbk.data(), std::min(gbk.size(), size - 1));
}

TaskRecord RunningChallenge()
{
    TaskRecord record{};
    record.cbTaskKind = mission::kKindChallenge;
    record.cbTaskState = mission::kStateRunning;
    record.lTimeLeft = 3599;
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    bytes[mission::kAtDifficulty] = 7;
    const int32_t rewards[] = {3000, 50, 2};
    std::memcpy(bytes + mission::kAtGold, rewards, sizeof(rewards));
    PutText(record, mission::kAtTheme, mission::kThemeSize, "地主连胜挑战");
    PutText(record, mission::kAtDescribe, mission::kDescribeSize,
            "在一小时内以地主身份连续赢得三局游戏，中途输掉一局则重新计算，逃跑视为失败。完成后可领取丰厚奖励。");
    PutText(record, mission::kAtMethod, mission::kMethodSize, "叫三分成为地主，并在每局中打出至少一个炸弹或王炸。");
    bytes[mission::kAtDoneCount] = 1;
    bytes[mission::kAtTotalCount] = 3;
    return record;
}

void BM_PaintMissionPage(benchmark::State& state)
{
    scripted::EnsureQtApplication();
    VirtualTimerHost host;
    ScopedTimerHost timers{host};
    CMissionDlg dialog(nullptr);
    dialog.SelectPage(CMissionDlg::kPageChallenge);
    TaskRecord record = RunningChallenge();
    dialog.SetMissionRecord(record, 0);
    if (!dialog.Create(CMissionDlg::IDD)) {
        state.SkipWithError("the mission dialog could not be made");
        return;
    }
    dialog.ShowWindow(SW_SHOW);
    host.advance(10 * CMissionDlg::kFadeMs);
    dialog.RedrawWindow();
    for (auto _ : state) {
        // The clock's tick: a new second and a full repaint.
        record.lTimeLeft = record.lTimeLeft > 0 ? record.lTimeLeft - 1 : 3599;
        dialog.SetMissionRecord(record, 0);
        dialog.UpdateWindow();
        benchmark::DoNotOptimize(dialog.GetSurface().constBits());
    }
}
BENCHMARK(BM_PaintMissionPage)->Unit(benchmark::kMillisecond);

}  // namespace
