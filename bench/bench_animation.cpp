// One frame of the largest animation window (the spring, 320 x 240): cut from its strip, handed to
// the window and composed as the window shows it, off screen. And the live program's event loop
// while a bomb, the rocket, the plane and a few-cards alarm play together: the longest gap
// between two ticks of a 10 ms timer (run it under Xvfb with QT_QPA_PLATFORM=xcb to include
// the display).
#include <benchmark/benchmark.h>

#include "common/GameRunner.h"
#include "view/GameClientView.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

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

void BM_LiveAnimationStall(benchmark::State& state)
{
    scripted::EnsureQtApplication();
    // The built-in live host: real threads pace the runs, as in the program.
    SetTimerHost(nullptr);
    CRecordingServerLink link;
    CGameClientDlg dlg;
    dlg.SetServerLink(&link);
    if (!dlg.CreateGameWindow(true)) {
        state.SkipWithError("no game window");
        return;
    }
    CGameClientView& view = dlg.GetClientView();
    // The window's first show and paint are not what is measured.
    {
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
    }
    qint64 longest = 0;
    for (auto _ : state) {
        view.PlayCartoon("bomb");
        view.PlayCartoon("rocket");
        view.PlayCartoon("plane");
        view.RaiseCardAlarm(0, 2);
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
            if (now > 2500)
                loop.quit();
        });
        tick.start(10);
        loop.exec();
    }
    view.RaiseCardAlarm(0, 0);
    state.counters["longest_gap_ms"] = static_cast<double>(longest);
}

}  // namespace

BENCHMARK(BM_LiveAnimationStall)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AnimationFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);
