// Whole self-play games at one table engine, every invariant checked as in `qarrum-cli selfplay`:
// bots only, and three real game windows in trustee.

#include <benchmark/benchmark.h>

#include "common/GameRunner.h"
#include "local/HeadlessSelfPlay.h"
#include "server/SelfPlay.h"

namespace {

void BM_SelfPlayBots(benchmark::State& state)
{
    server::SelfPlayOptions options;
    options.games = 100;
    const auto kind = state.range(0) == 0 ? server::BotKind::Basic : server::BotKind::Standard;
    options.bots = {kind, kind, kind};
    uint32_t seed = 1;
    for (auto _ : state) {
        options.seed = seed++;
        const server::SelfPlaySummary summary = server::runSelfPlay(options);
        if (!summary.ok())
            state.SkipWithError(summary.error.c_str());
        benchmark::DoNotOptimize(summary.totals);
    }
    state.counters["games_per_s"] = benchmark::Counter(static_cast<double>(state.iterations() * options.games), benchmark::Counter::kIsRate);
    state.SetLabel(kind == server::BotKind::Basic ? "basic" : "standard");
}
BENCHMARK(BM_SelfPlayBots)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A run of games as `qarrum-cli selfplay --clients headless` plays it: making the three windows
// is part of each run, as it is of each command.
void BM_SelfPlayHeadless(benchmark::State& state)
{
    scripted::EnsureQtApplication();
    HeadlessSelfPlayOptions options;
    options.play.games = static_cast<uint32_t>(state.range(0));
    uint32_t seed = 1;
    for (auto _ : state) {
        options.play.seed = seed++;
        const server::SelfPlaySummary summary = RunHeadlessSelfPlay(options);
        if (!summary.ok())
            state.SkipWithError(summary.error.c_str());
        benchmark::DoNotOptimize(summary.totals);
    }
    state.counters["games_per_s"] = benchmark::Counter(static_cast<double>(state.iterations() * options.play.games), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SelfPlayHeadless)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
