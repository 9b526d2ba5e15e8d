// The small dialogs of the game window: the options, the last turn and the change-score offer.
#include "app/GameClientDlg.h"

#include "app/GameClientApp.h"
#include "support/Profile.h"
#include "windows/ChangeScoreDlg.h"
#include "windows/GameOptionDlg.h"
#include "windows/LastTurnDlg.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr UINT kLastTurnMs = 3000;
constexpr int kShownTurns = 3;

}  // namespace

void CGameClientDlg::ShowOptionsDialog()
{
    CGameOptionDlg dialog(this);
    dialog.m_bDeasilOrder = m_bDeasilOrder;
    dialog.m_bEnableSound = IsEnableSound();
    dialog.m_dwCardSpace = static_cast<UINT>(m_nCardSpace);
    dialog.m_bAllowLookon = m_bAllowLookon;
    dialog.m_bEnableBGSound = IsEnableBkgrndSound();
    if (dialog.DoModal() != IDOK)
        return;

    // An OK applies and stores everything, changed or not.
    m_bDeasilOrder = dialog.m_bDeasilOrder;
    m_nCardSpace = static_cast<int32_t>(dialog.m_dwCardSpace);
    m_bAllowLookon = dialog.m_bAllowLookon;
    EnableSound(dialog.m_bEnableSound);
    EnableBkgrndSound(dialog.m_bEnableBGSound);
    AllowUserLookon(0, m_bAllowLookon);
    m_GameClientView.SetClockwiseOrder(m_bDeasilOrder);
    m_GameClientView.m_HandCardControl[1].SetSpacing(m_nCardSpace, 0, 18);

    ProfileStore& profile = AppProfile();
    profile.WriteProfileInt(kOptionSection, "CardSpace", m_nCardSpace);
    profile.WriteProfileInt(kOptionSection, "DeasilOrder", m_bDeasilOrder ? 1 : 0);
    profile.WriteProfileInt(kOptionSection, "AllowLookon", m_bAllowLookon ? 1 : 0);
    profile.WriteProfileInt(kOptionSection, "CardSpace", m_nCardSpace);
}

LRESULT CGameClientDlg::OnLastTurnCommand(WPARAM, LPARAM)
{
    CGameClientView& view = m_GameClientView;
    if (!m_pLastTurnDlg) {
        auto dialog = std::make_unique<CLastTurnDlg>(&view);
        if (!dialog->Create(CLastTurnDlg::IDD, &view))
            return 0;
        m_pLastTurnDlg = std::move(dialog);
    }
    CLastTurnDlg& dialog = *m_pLastTurnDlg;
    // A seat without a play among the last three shows none, not what it showed the last time.
    for (WORD seat = 0; seat < CLastTurnDlg::kSeats; ++seat)
        dialog.SetCards(seat, nullptr, 0);
    const std::size_t kHistorySize = std::size(m_cbHistoryCount);
    const std::size_t first = (m_cbHistoryIndex + kHistorySize - kShownTurns) % kHistorySize;
    for (int turn = 0; turn < kShownTurns; ++turn) {
        const std::size_t entry = (first + turn) % kHistorySize;
        const BYTE count = std::min<BYTE>(m_cbHistoryCount[entry], MAX_HAND);
        dialog.SetCards(m_wHistoryView[entry], count ? m_cbHistoryCards[entry] : nullptr, count);
    }
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const auto seat = ViewSeat(chair);
        if (!seat)
            continue;
        const tagUserData* user = GetUserData(chair);
        const std::string name = user ? std::string(user->szName, strnlen(user->szName, sizeof(user->szName))) : std::string();
        dialog.SetUserName(*seat, view.m_bAnonymous ? std::string(" 匿名") : name);
    }
    // Over the table's own card rows, which the view raises as it deals and plays.
    dialog.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    dialog.CenterWindow();
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    SetTimer(kTimerLastTurn, kLastTurnMs);
    return 0;
}

void CGameClientDlg::OnLastTurnTimer()
{
    KillTimer(kTimerLastTurn);
    if (m_pLastTurnDlg)
        m_pLastTurnDlg->ShowWindow(SW_HIDE);
}

LRESULT CGameClientDlg::OnChangeScoreCommand(WPARAM, LPARAM)
{
    const auto& request = m_GameClientView.GetChangeScoreRequest();
    if (!request)
        return 0;
    if (!m_pChangeScoreDlg) {
        auto dialog = std::make_unique<CChangeScoreDlg>(this);
        if (!dialog->Create(CChangeScoreDlg::IDD, this))
            return 0;
        m_pChangeScoreDlg = std::move(dialog);
    }
    m_pChangeScoreDlg->SetTargetScore(request->lThreshold);
    m_pChangeScoreDlg->SetPrice(request->lItemCount);
    m_pChangeScoreDlg->SetPropKind(request->wItemKind);
    m_pChangeScoreDlg->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_pChangeScoreDlg->ShowWindow(SW_SHOW);
    return 0;
}
