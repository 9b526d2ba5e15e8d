// Recording every game as it is shown, saving it to a replay file, and playing a file back
// through the same handlers.
#include "app/GameClientDlg.h"

void CGameClientDlg::SaveVideo()
{
    // FIXME: the recording comes with the replay files.
}

void CGameClientDlg::StartRecordingHead()
{
}

void CGameClientDlg::FillVideoUserInfo()
{
}

void CGameClientDlg::RecordPacket(WORD, std::span<const uint8_t>)
{
}

void CGameClientDlg::ClearRecording()
{
}

void CGameClientDlg::EnterTrusteeView()
{
}

void CGameClientDlg::LeaveTrusteeView()
{
}
