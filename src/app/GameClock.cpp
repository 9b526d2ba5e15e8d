// Seat clocks, time-outs and trustee: what each tick of the play, start and bid clocks does, the
// switch to automatic play after two time-outs in a row, the server's trustee notices and clock
// restarts, and the task messages with their clocks.
#include <cstdio>

#include "app/GameClientDlg.h"
#include "logic/MissionRules.h"
#include "platform/TimerHost.h"
#include "support/TextCodec.h"
#include "view/FadeDlg.h"
#include "windows/AutoPlayDlg.h"
#include "windows/ScoreView.h"

namespace {

constexpr UINT kClockPlay = 200;
constexpr UINT kClockStart = 202;
constexpr UINT kClockBid = 203;
// The last card goes out by itself this long into a 20-second turn.
constexpr UINT kLastCardSeconds = 18;
// In trustee the player acts on the first tick of a turn.
constexpr UINT kTrusteePlaySeconds = 19;
constexpr UINT kTrusteeBidSeconds = 27;
constexpr UINT kUrgentSeconds = 10;
constexpr UINT kRestartSeconds = 15;
constexpr COLORREF kRed = 0x0000FF;

// Task clocks by kind (1 and 2); the slots are kind - 1.
constexpr UINT_PTR kTimerMission[] = {10, 11};
constexpr UINT_PTR kTimerBonus[] = {12, 13};

}  // namespace

bool CGameClientDlg::OnGameClock(WORD wChairID, UINT nElapse, UINT nTimerID)
{
    const bool bMine = wChairID == MeChair();
    const auto warn = [&] {
        m_GameClientView.SetClockEffect(nElapse <= kUrgentSeconds);
        if (nElapse <= kUrgentSeconds && bMine && !IsLookonMode())
            PlayEffectSound("Telvo\\Sound\\GAME_WARN.mp3");
    };

    switch (nTimerID) {
    case kClockPlay:
        if (nElapse <= kLastCardSeconds && bMine && m_cbHandCount == 1) {
            OnHintCommand(0, 0);
            OnOutCardCommand(0, 0);
        }
        if ((nElapse == 0 || (m_bTrustee && nElapse <= kTrusteePlaySeconds)) && bMine) {
            if (!IsLookonMode() && !m_bTrustee && ++m_wTimeoutCount >= 2) {
                m_wTimeoutCount = 0;
                EnableButton(108, false);
                EnterTrusteeView();
                InsertSystemString("由于您两次超时，切换为“系统托管”模式");
                m_bTrustee = true;
                const UserTrustee request{MeChair(), 1, 1};
                SendData(SUB_C_TRUSTEE, &request, sizeof(request));
            }
            CWnd* start = m_GameClientView.GetDlgItem(100);
            if (start && start->IsWindowVisible()) {
                OnStartCommand(0, 0);
            } else if (m_cbTurnCardCount == 0 || m_cbAutoOut) {
                OnHintCommand(0, 0);
                OnOutCardCommand(0, 0);
            } else {
                OnPassCommand(0, 0);
            }
            return true;
        }
        m_GameClientView.SetClockEffect(nElapse <= kUrgentSeconds);
        if (m_cbHandCount < m_cbTurnCardCount)
            return true;
        if (nElapse <= kUrgentSeconds && bMine && !IsLookonMode())
            PlayEffectSound("Telvo\\Sound\\GAME_WARN.mp3");
        return true;
    case kClockStart:
        warn();
        return true;
    case kClockBid:
        if (nElapse == 0 || (m_bTrustee && nElapse <= kTrusteeBidSeconds)) {
            if (bMine && !IsLookonMode())
                OnBidCommand(BID_PASS, BID_PASS);
            return false;
        }
        warn();
        return true;
    default:
        return false;
    }
}

bool CGameClientDlg::OnSubTrustee(const UserTrustee& trustee)
{
    CGameClientView& view = m_GameClientView;
    const bool bOn = trustee.cbTrustee != 0;
    if (trustee.wChairID == MeChair() && !IsLookonMode()) {
        m_bTrustee = bOn;
        if (bOn) {
            EnableButton(108, false);
            EnterTrusteeView();
            InsertSystemString("使用托管功能, 程序进入自动代打状态!");
        } else {
            LeaveTrusteeView();
            if (!view.m_bGameEnded) {
                EnableButton(108, true);
                ShowButton(109, false);
                InsertSystemString("取消托管功能. ");
            }
            m_cbAutoOut = false;
        }
    }
    if (const WORD seat = SwitchViewChair(trustee.wChairID); seat < PLAYER_COUNT)
        view.MarkSeatTrustee(seat, bOn);
    if (trustee.wChairID != MeChair() || IsLookonMode()) {
        const tagUserData* user = GetUserData(trustee.wChairID);
        const std::string name = view.m_bAnonymous || !user ? std::string("匿名") : std::string(user->szName);
        char line[128];
        std::snprintf(line, sizeof(line), bOn ? "[ %s ] 玩家选择了托管" : "[ %s ] 玩家取消了托管", name.c_str());
        InsertSystemString(line);
    }
    return true;
}

bool CGameClientDlg::OnSubClockRestart(const ClockRestart& restart)
{
    if (restart.wClockKind == CLOCK_KIND_BID)
        SetGameTimer(restart.wChairID, kClockBid, kRestartSeconds);
    else if (restart.wClockKind == CLOCK_KIND_PLAY)
        SetGameTimer(restart.wChairID, kClockPlay, kRestartSeconds);
    return true;
}

void CGameClientDlg::OnSubTask(const TaskRecord& record)
{
    // Any other kind has no slot, no clock and no window that could show it.
    if (record.cbTaskKind != 1 && record.cbTaskKind != 2)
        return;
    m_Task = record;
    if (m_pTaskPanel)
        m_pTaskPanel->SetTaskRecord(record, 100);
    const int slot = record.cbTaskKind - 1;
    m_TaskSlot[slot] = record;
    // A bonus wait belongs to the finished record it started with: left running under a newer
    // record it would mark that one completed 30 seconds on.
    if (record.cbTaskState != mission::kStateDone)
        KillTimer(kTimerBonus[slot]);
    switch (record.cbTaskState) {
    case mission::kStateRunning:
        m_TaskSlot[slot].lTimeLeft = record.lTimeLimit;
        SetTimer(kTimerMission[slot], 1000);
        break;
    case mission::kStateDone:
        m_nBonusTicks[slot] = 0;
        SetTimer(kTimerBonus[slot], 1000);
        KillTimer(kTimerMission[slot]);
        break;
    default:
        // Only a running record counts down.
        KillTimer(kTimerMission[slot]);
        break;
    }
    PushMissionSlot(slot);
}

void CGameClientDlg::OnTaskTimer(UINT_PTR nIDEvent)
{
    for (int slot = 0; slot < 2; ++slot) {
        if (nIDEvent == kTimerMission[slot]) {
            if (m_TaskSlot[slot].lTimeLeft > 0)
                --m_TaskSlot[slot].lTimeLeft;
            else
                KillTimer(nIDEvent);
        } else if (nIDEvent == kTimerBonus[slot]) {
            if (++m_nBonusTicks[slot] >= mission::kBonusWaitSeconds) {
                KillTimer(nIDEvent);
                m_TaskSlot[slot].cbTaskState = mission::kStateCompleted;
                // The last record may be of the other kind by now.
                if (m_Task.cbTaskKind == slot + 1)
                    m_Task.cbTaskState = mission::kStateCompleted;
            }
        } else {
            continue;
        }
        PushMissionSlot(slot);
    }
}

void CGameClientDlg::PushMissionSlot(int slot)
{
    if (!m_pMissionPanel)
        return;
    m_pMissionPanel->SetMissionRecord(m_TaskSlot[slot], m_nBonusTicks[slot]);
    if (slot == 0)
        m_pMissionPanel->ShowMissionResult(m_TaskSlot[slot].cbTaskState);
}

void CGameClientDlg::SetHasMission(DWORD dwHasMission)
{
    m_dwHasMission = dwHasMission;
    if (m_pTaskPanel)
        m_pTaskPanel->SetMissionRunning(dwHasMission != 0);
}

void CGameClientDlg::PlayTaskCompletion(bool bPlay)
{
    if (m_pTaskPanel)
        m_pTaskPanel->PlayCompletion(bPlay);
}

void CGameClientDlg::SetMissionPanels(ITaskPanel* pTaskPanel, IMissionPanel* pMissionPanel)
{
    m_pTaskPanel = pTaskPanel;
    m_pMissionPanel = pMissionPanel;
}

std::string CGameClientDlg::DescribeMissions() const
{
    std::string text = "mission";
    for (int slot = 0; slot < 2; ++slot) {
        const TaskRecord& record = m_TaskSlot[slot];
        text += " slot" + std::to_string(slot + 1) + "=" + std::to_string(record.cbTaskState) + "," +
                std::to_string(record.lTimeLeft) + "," + std::to_string(record.lTimeLimit) +
                " bonus" + std::to_string(slot + 1) + "=" + std::to_string(m_nBonusTicks[slot]);
    }
    text += " task=" + std::to_string(m_Task.cbTaskKind) + "," + std::to_string(m_Task.cbTaskState);
    text += " award=" + std::to_string(m_cbTaskAwardKind) + "," + std::to_string(m_lTaskAward) +
            " shown=" + std::to_string(m_bTaskAwardShown) + " result=" + std::to_string(m_cbTaskResult);
    std::string timers;
    for (UINT_PTR id : {kTimerMission[0], kTimerMission[1], kTimerBonus[0], kTimerBonus[1]}) {
        if (!GetTimerHost().isTimerRunning(static_cast<const CWnd*>(this), id))
            continue;
        if (!timers.empty())
            timers += ',';
        timers += std::to_string(id);
    }
    text += " timers=" + (timers.empty() ? std::string("-") : timers);
    return text;
}

bool CGameClientDlg::OnSubTaskAward(const TaskAward& award)
{
    if (award.wChairID != MeChair() || award.cbAwarded == 0)
        return true;
    m_cbTaskAwardKind = award.cbAwarded;
    m_lTaskAward = award.lAward;
    m_bTaskAwardShown = true;
    if (m_pTaskPanel)
        m_pTaskPanel->ShowAward(award.cbAwarded, award.lAward);
    // The table's task cartoon celebrates a reward the task window now holds; without one it
    // has nothing to show when the paid task's game ends.
    if (award.lAward > 0)
        m_GameClientView.m_bTaskCartoon = 1;
    return true;
}

bool CGameClientDlg::OnSubTaskResult(const TaskResult& result)
{
    m_cbTaskResult = result.cbResult;
    if (m_pScoreView)
        m_pScoreView->SetTaskLottery(result.cbResult == 1 ? m_lTaskAward : 0);
    if (result.cbResult == 1) {
        char line[128];
        std::snprintf(line, sizeof(line), "恭喜您, 任务完成获得 %ld 奖券!", static_cast<long>(m_lTaskAward));
        InsertShtickString(line, kRed, true);
    }
    return true;
}

void CGameClientDlg::EnterTrusteeView()
{
    CGameClientView& view = m_GameClientView;
    CRect area;
    view.GetClientRect(&area);
    if (!m_pTrusteeCover) {
        m_pTrusteeCover = std::make_unique<CFadeDlg>(&view);
        m_pTrusteeCover->CreateOver(&view, area);
        view.m_pTrusteeCover = m_pTrusteeCover.get();
    }
    m_pTrusteeCover->ShowWindow(SW_SHOW);
    view.FadeTrusteeCover(true, 1);
    if (!m_pAutoPlayDlg) {
        m_pAutoPlayDlg = std::make_unique<CAutoPlayDlg>(m_pTrusteeCover.get());
        m_pAutoPlayDlg->CreateOver(m_pTrusteeCover.get(), area);
        view.m_pTrusteePicture = m_pAutoPlayDlg.get();
    }
    // The banner sits on the cover, centred and 100 px above the middle of the table.
    CRect banner;
    m_pAutoPlayDlg->GetWindowRect(&banner);
    m_pAutoPlayDlg->SetWindowPos(&CWnd::wndTopMost, area.left + (area.Width() - banner.Width()) / 2,
                                 area.top + (area.Height() - banner.Height()) / 2 - 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    m_pAutoPlayDlg->ShowWindow(SW_SHOW);
}

void CGameClientDlg::LeaveTrusteeView()
{
    CGameClientView& view = m_GameClientView;
    if (m_pAutoPlayDlg) {
        m_pAutoPlayDlg->ShowWindow(SW_HIDE);
        view.m_pTrusteePicture = nullptr;
        m_pAutoPlayDlg.reset();
    }
    if (m_pTrusteeCover) {
        view.FadeTrusteeCover(true, 2);
        view.m_pTrusteeCover = nullptr;
        m_pTrusteeCover.reset();
    }
}
