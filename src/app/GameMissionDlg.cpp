// The mission dialog, run modally from the task window.
#include "app/GameClientDlg.h"

#include "windows/MissionDlg.h"

void CGameClientDlg::OpenMissionDialog(BYTE cbKind)
{
    // The task window lies behind a running dialog, so a second request can only come from code.
    if (m_pMissionDlg || !GetSafeHwnd())
        return;
    CMissionDlg dialog(this);
    dialog.SelectPage(cbKind);
    for (int slot = 0; slot < 2; ++slot)
        dialog.SetMissionRecord(m_TaskSlot[slot], m_nBonusTicks[slot]);
    m_pMissionDlg = &dialog;
    // The game window's records and clocks reach the dialog only while it runs.
    SetMissionPanels(m_pTaskPanel, &dialog);
    dialog.DoModal();
    SetMissionPanels(m_pTaskPanel, nullptr);
    m_pMissionDlg = nullptr;
}
