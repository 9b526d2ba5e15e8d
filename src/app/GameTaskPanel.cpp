// The task assistant and its task window on the table.
#include "app/GameClientDlg.h"

void CGameClientDlg::CreateTaskAssistant() {}
