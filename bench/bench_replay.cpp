// A recorded game played back through the game window off screen on the virtual clock: the file
// opened, every packet fed to the handlers at its pace, the table as it ended.
#include <benchmark/benchmark.h>

#include <QDir>

#include "common/GameRunner.h"
#include "support/DataPaths.h"

namespace {

void BM_ReplayGame(benchmark::State& state)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "qarrum-bench-replay";
    std::filesystem::create_directories(home);
    SetDataFolders(home, InstalledDataFolder());

    std::string file;
    {
        scripted::GameRunner recorder;
        recorder.Play(scripted::MakeGame(5));
        recorder.Dlg().SaveVideo();
        file = ResolveForReading(recorder.Dlg().GetLastSavedVideo()).value_or(std::filesystem::path()).string();
    }
    g_bReplayMode = true;
    scripted::GameRunner::Options options;
    options.bLive = false;
    scripted::GameRunner player(options);
    std::size_t packets = 0;
    for (auto _ : state) {
        player.Dialogs().QueueOpenFile(QString::fromStdString(file));
        player.Dlg().SendMessage(UM_OPEN_REPLAY, 0, 0);
        while (player.Dlg().IsPlaybackRunning()) {
            player.Clock().advance(1000);
            ++packets;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["ticks_per_game"] = static_cast<double>(packets) / static_cast<double>(state.iterations());
    std::filesystem::remove_all(home);
    ClearDataFolders();
}
BENCHMARK(BM_ReplayGame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
