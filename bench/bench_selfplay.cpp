// Whole bots-only games at one table engine, every invariant checked as in `qarrum-cli selfplay`.

#include <benchmark/benchmark.h>

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

}  // namespace
