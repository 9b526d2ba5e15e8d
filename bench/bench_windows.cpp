// One paint of the result window off screen with every line shown: the banner, three players
// with their marks and badges, all multiplier rows lit with a firework, the scores, the balances
// counting up. /0 paints from the buffered picture, as each animation step does; /1 draws the
// buffered picture again first, as the first paint after a game end does.
#include <benchmark/benchmark.h>

#include "common/GameRunner.h"
#include "windows/ScoreView.h"

namespace {

void FillEveryLine(CScoreView& view)
{
    tagUserData users[3];
    for (WORD chair = 0; chair < 3; ++chair) {
        std::snprintf(users[chair].szName, sizeof(users[chair].szName), "一个名字很长的玩家%u", chair);
        std::snprintf(users[chair].szRegion[0], sizeof(users[chair].szRegion[0]), "广东省");
        std::snprintf(users[chair].szRegion[1], sizeof(users[chair].szRegion[1]), "深圳市");
        users[chair].dwLevel = (60u << 16) | 12;
        users[chair].cbGender = static_cast<BYTE>(chair % 2);
        users[chair].lGold = 123456789;
        users[chair].lLottery = 98765;
        view.SetGameScore(chair, users[chair].szName, chair == 0 ? 2400 : -1200, 0);
    }
    const tagUserData* records[3] = {&users[0], &users[1], &users[2]};
    view.SetUserData(records);
    GameEndRecord record{};
    record.lPenaltyKind[0] = 3;
    record.lPenaltyKind[1] = 2;
    record.lPenaltyKind[2] = 1;
    const BYTE jiaBang[3] = {1, 1, 1};
    const BYTE reachTop[3] = {1, 1, 1};
    view.SetGameEndInfo(4, 50, 3, 1, 100, 3, 0, 1, 1, 1, 1, MatchStatus{}, 0, record, jiaBang, 1, reachTop, 10);
    view.SetTaskLottery(30);
    view.m_cbRevealRow = kMultipleRows;
    for (BYTE& row : view.m_cbMultiple)
        row = 1;
    view.m_bFirework = true;
    view.m_cbFireworkFrame = 7;
    view.m_bAbsScoreShown = true;
    view.m_bLocalScoreShown = true;
    view.m_cbPointsStep = 4;
    view.m_bCountUp = true;
    view.m_lScoreRemain = 1200;
    view.m_lLotteryRemain = 15;
    view.m_bBlink = true;
}

void BM_PaintScoreView(benchmark::State& state)
{
    scripted::EnsureQtApplication();
    VirtualTimerHost host;
    ScopedTimerHost timers{host};
    CScoreView view;
    if (!view.Create(CScoreView::IDD)) {
        state.SkipWithError("the result window could not be made");
        return;
    }
    view.ShowWindow(SW_SHOW);
    FillEveryLine(view);
    view.RedrawWindow();
    const bool fresh = state.range(0) != 0;
    for (auto _ : state) {
        if (fresh)
            view.SetTaskLottery(30);
        view.RedrawWindow();
        benchmark::DoNotOptimize(view.GetSurface().constBits());
    }
}
BENCHMARK(BM_PaintScoreView)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
