// A whole game handled by the game window off screen on the virtual clock: the deal and its
// animation, the bids, the back cards' flight and every play, about sixty messages a game.
#include <benchmark/benchmark.h>

#include "common/GameRunner.h"

namespace {

void BM_ScriptedGame(benchmark::State& state)
{
    std::vector<scripted::Game> games;
    for (unsigned seed = 1; seed <= 16; ++seed)
        games.push_back(scripted::MakeGame(seed));
    std::size_t messages = 0;
    for (const auto& game : games)
        messages += game.steps.size();
    scripted::GameRunner runner;
    std::size_t next = 0;
    for (auto _ : state) {
        const bool ok = runner.Play(games[next]);
        benchmark::DoNotOptimize(ok);
        next = (next + 1) % games.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["steps_per_game"] = static_cast<double>(messages) / static_cast<double>(games.size());
}
BENCHMARK(BM_ScriptedGame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
