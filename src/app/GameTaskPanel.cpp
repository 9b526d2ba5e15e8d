// The task assistant and its task window on the table.
#include "app/GameClientDlg.h"
#include "windows/TaskAssistant.h"

namespace {

// The assistant's point on the table; its task window hangs 84 pixels below it, at the table's
// right edge. The window is 150 pixels high: hung from (850, 330) it would reach down over the
// local player's pass button (y 512), so the assistant stands higher and the window itself takes
// (850, 330), between the right seat and the table tools. The assistant shows nothing and lets
// clicks through, so the right seat beneath it is not covered.
constexpr int kAssistantX = 850;
constexpr int kAssistantY = 246;

}  // namespace

void CGameClientDlg::CreateTaskAssistant()
{
    CGameClientView& view = m_GameClientView;
    m_pTaskAssistant = std::make_unique<CTaskAssistant>();
    if (!m_pTaskAssistant->CreateOver(&view)) {
        m_pTaskAssistant.reset();
        return;
    }
    CTaskWnd& task = m_pTaskAssistant->GetTaskWnd();
    task.SetMissionOpener([this](BYTE cbKind) { OpenMissionDialog(cbKind); });
    task.SetReporter([this](const std::string& line) { EmitEvent(line); });
    m_pTaskAssistant->SetPosition(kAssistantX, kAssistantY);
    m_pTaskAssistant->ShowWindow(SW_SHOWNOACTIVATE);
    task.ShowWindow(SW_HIDE);
    SetMissionPanels(&task, m_pMissionPanel);
    view.m_pTaskAssistant = m_pTaskAssistant.get();
}

void CGameClientDlg::ShowTaskWindow()
{
    if (m_pTaskAssistant)
        m_pTaskAssistant->GetTaskWnd().ShowWindow(SW_SHOWNOACTIVATE);
}
