// The end of a game: clocks and controls stop, the spring effect, the seats' multiples and
// running totals, the result lines in the chat box and the result window filled; then, one after
// the other, everybody's cards, the landlord's role picture and the result window with its sound.
// Every step that touches a window or the chat box is guarded: a failure is logged to the trace
// file and the rest still runs.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <cstring>
#include <exception>
#include <new>

#include "app/GameClientDlg.h"
#include "support/TraceFile.h"
#include "windows/ScoreView.h"

#include <QWidget>

#include <stdexcept>

namespace {

constexpr UINT_PTR kTimerShowWindow = 210;
// The game end record's task flag of a chair whose task was paid this game.
constexpr BYTE kTaskFlagPaid = 4;
constexpr UINT_PTR kTimerRole = 214;
constexpr UINT_PTR kTimerShowHands = 215;
constexpr UINT kShowWindowMs = 6000;
constexpr UINT kRoleMs = 2000;
constexpr UINT kShowHandsMs = 1000;
constexpr COLORREF kRed = 0x0000FF;
// The room kind of the client kernel that pays in coins, and the game mode that costs none.
constexpr WORD kCoinRoomKind = 2;
constexpr WORD kFreeGameMode = 7;

LONG SaturatedLong(int64_t value)
{
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

}  // namespace

template <typename Step>
void CGameClientDlg::Guarded(const char* pszFailure, Step&& step)
{
    try {
        step();
    } catch (const std::bad_alloc& error) {
        WriteTraceData(this, "内存异常:%s", error.what());
    } catch (const std::ios_base::failure& error) {
        WriteTraceData(this, "文件操作异常:%s", error.what());
    } catch (...) {
        if (pszFailure)
            WriteTraceData(this, "%s", pszFailure);
        else
            WriteTraceData(this, "[%s:%s:%d] 游戏结算捕捉到异常", "CGameClientDlg::OnSubGameEnd", __FILE__, __LINE__);
    }
}

bool CGameClientDlg::OnSubGameEnd(const GameEndRecord& end)
{
    CGameClientView& view = m_GameClientView;
    EnableButton(119, false);
    ShowButton(119, false);
    m_GameEnd = end;

    KillTimer(201);
    KillGameTimer(200);
    KillGameTimer(203);
    KillTimer(204);
    FinishDealing();

    view.ShowSideCardBacks(false);
    for (WORD seat = 0; seat < PLAYER_COUNT; ++seat) {
        view.RaiseCardAlarm(seat, 0);
        view.ShowTopBadge(seat, false);
    }

    for (UINT id : {105u, 106u, 107u, 101u, 102u, 103u, 104u})
        ShowButton(id, false);
    EnableButton(110, false);
    DisableShapeButtons();
    for (int shape = 0; shape < kShapeCount; ++shape)
        ShowButton(111 + shape, false);
    EnableButton(118, false);
    m_bHintChain = false;
    m_cbHistoryIndex = 0;
    EnableButton(108, false);
    m_bTrustee = false;
    m_bAutoStarted = false;
    EnableButton(105, false);
    EnableButton(106, false);
    view.MarkSeatPassed(INVALID_SEAT, false);

    std::memcpy(m_lRoundScore, end.lGameScore, sizeof(m_lRoundScore));
    m_lCoinCost = end.lCoinCost;
    if (end.lSpring == 1 || end.lSpring == 2) {
        view.LoadSpringCartoon(end.lSpring == 2);
        view.PlayCartoon("flower");
        PlayEffectSound("telvo\\sound\\spring.mp3");
    }

    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        // Totals over a long evening stop at the ends of their range instead of wrapping round.
        m_lTotalScore[chair] = SaturatedLong(int64_t{m_lTotalScore[chair]} + end.lGameScore[chair]);
        const WORD seat = SwitchViewChair(chair);
        if (seat >= PLAYER_COUNT)
            continue;
        // The server never sends a cell score of 0; should it, the multiple shows 0.
        view.m_lSeatMultiple[seat] = end.lCellScore != 0 ? SaturatedLong(int64_t{end.lGameScore[chair]} / end.lCellScore) : 0;
        view.m_lSeatTotal[seat] = m_lTotalScore[chair];
        view.m_lLastScore[seat] = end.lGameScore[chair];
    }
    view.RefreshScorePanel();
    view.m_bScoreShown = 1;
    view.UpdateGameView(nullptr);

    if (g_bReplayMode) {
        SetTimer(kTimerRole, kRoleMs);
        SetTimer(kTimerShowHands, kShowHandsMs);
        return true;
    }

    Guarded(nullptr, [&] { LeaveTrusteeView(); });
    Guarded("创建结算窗口失败!\n", [&] { CreateScoreView(); });
    Guarded("插入聊天框信息: [本局结束，成绩统计] 失败\n", [&] { InsertShtickString(" 本局结束，成绩统计：", kRed, true); });
    if (HasScoreView()) {
        for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
            const tagUserData* user = GetUserData(chair);
            if (!user)
                continue;
            char line[96];
            std::snprintf(line, sizeof(line), " %s ：%ld", user->szName, static_cast<long>(end.lGameScore[chair]));
            char failure[160];
            std::snprintf(failure, sizeof(failure), "插入聊天框信息[ %s ]失败", line);
            Guarded(failure, [&] { InsertShtickString(line, kRed, true); });
        }
        FillScoreView(end);
    }

    const tagServerAttribute* server = GetClientKernel()->GetServerAttribute();
    if (server && server->wRoomKind == kCoinRoomKind && view.m_wGameMode != kFreeGameMode) {
        char line[64];
        std::snprintf(line, sizeof(line), "消耗金币：%ld", static_cast<long>(m_lCoinCost));
        char failure[128];
        std::snprintf(failure, sizeof(failure), "插入聊天框信息[ %s ] 失败", line);
        Guarded(failure, [&] { InsertShtickString(line, kRed, true); });
    }

    SetTimer(kTimerRole, kRoleMs);
    SetTimer(kTimerShowWindow, kShowWindowMs);
    SetTimer(kTimerShowHands, kShowHandsMs);
    view.ShowWaitCallScore(false);
    view.MarkSeatOffline(INVALID_SEAT, false);
    // A task paid this game is celebrated on the task window until the result window shows.
    if (IsChair(MeChair()) && end.cbTaskFlag[MeChair()] == kTaskFlagPaid)
        PlayTaskCompletion(true);
    return true;
}

void CGameClientDlg::LocalDoubleFlags(BYTE& cbJia, BYTE& cbGen, BYTE& cbFan) const
{
    const CGameClientView& view = m_GameClientView;
    cbJia = cbGen = cbFan = 0;
    const WORD lordSeat = SwitchViewChair(m_wLordUser);
    const bool bLordBanged = lordSeat < PLAYER_COUNT && view.m_bSeatBang[lordSeat];
    const bool bMeBanged = view.m_bSeatBang[1] != 0;
    if (MeChair() == m_wLordUser) {
        int farmers = 0;
        for (WORD seat = 0; seat < PLAYER_COUNT; ++seat)
            farmers += seat != lordSeat && view.m_bSeatBang[seat];
        cbJia = farmers >= 1;
        cbGen = farmers == 2;
        cbFan = bLordBanged;
    } else {
        if (view.m_wBangSeat == 1 && bMeBanged)
            cbJia = 1;
        else if (bMeBanged)
            cbGen = 1;
        cbFan = bLordBanged && bMeBanged;
    }
    if (cbFan)
        cbJia = cbGen = 0;
}

void CGameClientDlg::OnShowHandsTimer()
{
    KillTimer(kTimerShowHands);
    CGameClientView& view = m_GameClientView;
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        if (seat >= PLAYER_COUNT)
            continue;
        // A record whose lists do not fit the card array shows no cards rather than stray bytes.
        const std::span<const uint8_t> cards = GameEndCards(m_GameEnd, chair);
        CCardControl& hand = view.m_HandCardControl[seat];
        hand.ShowFaces(true);
        hand.SetSpacing(m_nCardSpace, 0, 20);
        hand.SetCards(cards.data(), cards.size());
    }
    view.PlaceSideHands(50, 50);
}

void CGameClientDlg::OnRoleTimer()
{
    KillTimer(kTimerRole);
    const tagUserData* lord = IsChair(m_wLordUser) ? GetUserData(m_wLordUser) : nullptr;
    if (!lord)
        return;
    if (m_cbTaskResult == 1) {
        m_GameClientView.m_UserCardControl[1].SetCards(nullptr, 0);
        m_GameClientView.StartTaskCartoon();
        return;
    }
    // Frames 0-1 a landlord who won, 2-3 one who lost; 4-7 the same for a female landlord.
    const bool won = m_GameEnd.lGameScore[m_wLordUser] > 0;
    const unsigned first = (lord->cbGender == 0 ? 0u : 4u) + (won ? 0u : 2u);
    m_GameClientView.PlayRoleCartoon(first, first + 1);
}

void CGameClientDlg::OnShowScoreViewTimer()
{
    KillTimer(kTimerShowWindow);
    StopBkgrndSound();
    PlayTaskCompletion(false);
    CGameClientView& view = m_GameClientView;
    view.StopCartoon("role");
    for (WORD seat = 0; seat < PLAYER_COUNT; ++seat) {
        view.m_UserCardControl[seat].SetCards(nullptr, 0);
        view.m_HandCardControl[seat].SetCards(nullptr, 0);
    }
    ShowScoreView();
    const WORD me = MeChair();
    if (!IsChair(me))
        return;
    const LONG score = m_GameEnd.lGameScore[me];
    PlayEffectSound(score > 0 ? "Telvo\\Sound\\GAME_WIN.mp3" : score < 0 ? "Telvo\\Sound\\GAME_LOSE.mp3" : "Telvo\\Sound\\GAME_END.mp3");
    if (!IsLookonMode())
        ShowButton(100, false);
    view.m_bScoreShown = 0;
}

void CGameClientDlg::CreateScoreView()
{
    if (m_pScoreView)
        return;
    CGameClientView& view = m_GameClientView;
    auto window = std::make_unique<CScoreView>(&view);
    if (!window->Create(CScoreView::IDD, &view))
        throw std::runtime_error("the result window could not be made");
    window->SetGameClientDlg(this);
    CRect area;
    view.GetClientRect(&area);
    CRect own;
    window->GetWindowRect(&own);
    window->SetWindowPos(&CWnd::wndTopMost, area.left + area.Width() / 2 - own.Width() / 2, area.top + area.Height() / 2 - own.Height() / 2,
                         0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    window->ShowWindow(SW_HIDE);
    view.m_pScoreView = window.get();
    m_pScoreView = std::move(window);
}

bool CGameClientDlg::HasScoreView() const
{
    return m_pScoreView != nullptr;
}

void CGameClientDlg::CloseScoreView()
{
    // The window is made once and kept for the table's life, refilled at every game end: making
    // it loads its pictures again, which costs more than a whole game's handling.
    if (m_pScoreView && m_pScoreView->IsWindow()) {
        m_pScoreView->ResetScoreView();
        m_pScoreView->ShowWindow(SW_HIDE);
    }
}

void CGameClientDlg::FillScoreView(const GameEndRecord& end)
{
    CGameClientView& view = m_GameClientView;
    const WORD me = MeChair();
    const tagUserData* users[PLAYER_COUNT] = {};
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        users[chair] = GetUserData(chair);
        if (users[chair])
            m_pScoreView->SetGameScore(chair, users[chair]->szName, end.lGameScore[chair], 0);
    }
    BYTE cbJia = 0, cbGen = 0, cbFan = 0;
    LocalDoubleFlags(cbJia, cbGen, cbFan);
    BYTE cbBanged[PLAYER_COUNT] = {};
    WORD wFirstBang = 0;
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        cbBanged[chair] = seat < PLAYER_COUNT ? view.m_bSeatBang[seat] : 0;
        if (seat < PLAYER_COUNT && seat == view.m_wBangSeat)
            wFirstBang = chair;
    }
    m_pScoreView->SetUserData(users);
    m_pScoreView->SetGameEndInfo(view.m_wGameMode, m_lCoinCost, m_wBombCount, m_wRocketPlayed, end.lCellScore, view.m_cbLordBid,
                                 m_wLordUser, cbJia, cbGen, cbFan, end.lSpring, view.m_MatchStatus, me, end, cbBanged, wFirstBang,
                                 end.cbUserFlag, IsChair(me) ? end.lUserExtra[me] : 0);
}

void CGameClientDlg::ShowScoreView()
{
    if (!m_pScoreView)
        return;
    m_pScoreView->ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);
    if (QWidget* widget = m_pScoreView->GetSafeHwnd())
        widget->setFocus();
    m_pScoreView->StartScoreAnimation();
}

void CGameClientDlg::DisableSaveVideoButton()
{
    if (m_pScoreView)
        m_pScoreView->GetSaveVideoButton().EnableWindow(FALSE);
}
