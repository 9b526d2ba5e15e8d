// One full draw pass of the table at the game window's size, off screen: every seat with its
// user, marks, bubbles and clock, the plaque numbers, both panels and the card counter.
#include <benchmark/benchmark.h>

#include "common/GameRunner.h"
#include "platform/Dc.h"
#include "view/GameClientView.h"

#include <cstring>

namespace {

void BM_PaintTableView(benchmark::State& state)
{
    // A live table (users seated, a snapshot in) whose view is then dressed as in the middle of a
    // game with everything shown at once.
    scripted::GameRunner runner;
    CGameClientDlg& dlg = runner.Dialog();
    CGameClientView& view = dlg.GetClientView();
    g_bCardCounter = true;
    for (WORD seat = 0; seat < 3; ++seat) {
        view.m_bSeatBang[seat] = 1;
        view.m_cbCardsLeft[seat] = static_cast<BYTE>(5 + 6 * seat);
    }
    view.m_bSeatPassed[0] = 1;
    view.m_cbSeatBid[2] = 3;
    view.m_dwAlarmCards[1] = 4;
    view.m_wBangSeat = 0;
    view.SetLord(2, 3);
    view.SetMultiple(12);
    view.ShowSideCardBacks(true);
    view.MarkSeatTrustee(0, true);
    dlg.SetGameTimer(1, 200, 20);
    const BYTE hand[] = {0x01, 0x11, 0x02, 0x13, 0x23, 0x33, 0x04, 0x4E};
    view.m_HandCardControl[1].SetCards(hand, sizeof(hand));

    const int width = CGameFrameDlg::kClientWidth;
    const int height = CGameFrameDlg::kClientHeight;
    QImage surface = MakeSurface(width, height);
    CDC dc(&surface);
    dc.SetBkMode(TRANSPARENT);
    // The first pass builds the background cache; the passes measured reuse it.
    view.PaintTableView(&dc, width, height);
    for (auto _ : state) {
        view.PaintTableView(&dc, width, height);
        benchmark::DoNotOptimize(surface.constBits());
    }
    g_bCardCounter = false;
}
BENCHMARK(BM_PaintTableView)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
