// The game window's own set-up and the small things around the table.
#include "app/GameClientDlg.h"

BOOL CGameClientDlg::OnInitDialog()
{
    CGameFrameDlg::OnInitDialog();
    CreateTaskAssistant();
    return TRUE;
}
