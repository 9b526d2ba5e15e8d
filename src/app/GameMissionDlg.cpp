// The mission dialog, run modally from the task window.
#include "app/GameClientDlg.h"

void CGameClientDlg::OpenMissionDialog(BYTE) {}
