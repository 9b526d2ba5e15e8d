// One full draw pass of the table at the game window's size, off screen: every seat with its
// user, marks, bubbles and clock, the plaque numbers, both panels and the card counter; and one
// frame of the few-cards alarm's cell.
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

void BM_AlarmFrame(benchmark::State& state)
{
    // One frame of the few-cards alarm at the left seat, composed off screen as each 100 ms tick
    // composes it: the background under the cell, the card back and the alarm's frame.
    scripted::GameRunner runner;
    CGameClientView& view = runner.Dialog().GetClientView();
    const CSize size = view.SeatCellSize(CGameClientView::SeatCell::Alarm);
    int step = 0;
    for (auto _ : state) {
        CBitmap bitmap;
        bitmap.CreateBitmap(size.cx, size.cy);
        CDC cell;
        cell.SelectObject(&bitmap);
        view.ComposeSeatCell(&cell, CGameClientView::SeatCell::Alarm, 0, step++);
        benchmark::DoNotOptimize(bitmap.Image().constBits());
    }
}
BENCHMARK(BM_AlarmFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
