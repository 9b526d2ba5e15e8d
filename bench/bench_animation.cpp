// One frame of the largest animation window (the spring, 320 x 240): cut from its strip, handed to
// the window and composed as the window shows it, off screen.
#include <benchmark/benchmark.h>

#include "common/GameRunner.h"
#include "view/GameClientView.h"

namespace {

void BM_AnimationFrame(benchmark::State& state)
{
    scripted::GameRunner runner;
    CGameClientView& view = runner.Dialog().GetClientView();
    view.LoadSpringCartoon(false);
    CAnimationDlg& cartoon = view.m_FlowerCartoon;
    if (cartoon.GetFrameSize() == CSize(0, 0)) {
        state.SkipWithError("no spring strip in the data folder");
        return;
    }
    cartoon.Play(40, 1, 0, 0);
    unsigned frame = 0;
    for (auto _ : state) {
        cartoon.DrawFrame(frame++ % cartoon.GetFrameCount());
        benchmark::DoNotOptimize(cartoon.GetSurface().constBits());
    }
    cartoon.Stop();
}

}  // namespace

BENCHMARK(BM_AnimationFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);
