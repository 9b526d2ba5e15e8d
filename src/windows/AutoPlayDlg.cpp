#include "windows/AutoPlayDlg.h"

#include "interaction/Commands.h"

namespace {

constexpr int kRaise = 100;
constexpr UINT VK_SPACE_KEY = 0x20;

}  // namespace

CAutoPlayDlg::CAutoPlayDlg(CWnd* pParentWnd) : CSkinDialog(IDD, pParentWnd)
{
    m_ImageBack.LoadImage("Telvo\\img\\AutoPlay.png");
}

BOOL CAutoPlayDlg::CreateOver(CWnd* pParentWnd, const CRect& rcArea)
{
    m_rcArea = rcArea;
    return Create(IDD, pParentWnd);
}

BOOL CAutoPlayDlg::OnInitDialog()
{
    const int imageHeight = m_ImageBack.GetHeight();
    m_btCancel.Create("", WS_CHILD | WS_VISIBLE, CRect(0, imageHeight, 0, imageHeight), this, IDCANCEL);
    m_btCancel.EnableSound(false);
    m_btCancel.SetButtonImage("Telvo\\img\\btAutoPlayOff.png");
    CRect button;
    m_btCancel.GetClientRect(&button);

    const int width = button.Width();
    const int height = imageHeight + button.Height();
    const CPoint centre = m_rcArea.CenterPoint();
    MoveWindow(centre.x - width / 2, centre.y - height / 2 - kRaise, width, height);
    m_btCancel.ShowWindow(SW_SHOW);
    ModifyStyleEx(0, WS_EX_LAYERED | WS_EX_TOPMOST);
    SetLayeredWindowAttributes(RGB(0, 0, 0), 255, LWA_COLORKEY);
    return TRUE;
}

void CAutoPlayDlg::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CDC memory;
    CBitmap bitmap;
    memory.CreateCompatibleDC(pDC);
    bitmap.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
    CBitmap* old = memory.SelectObject(&bitmap);
    m_ImageBack.DrawImage(&memory, 0, 0);
    m_btCancel.SetButtonBkgnd(&memory);
    pDC->BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

void CAutoPlayDlg::OnCancel()
{
    m_btCancel.EnableWindow(FALSE);
    if (CWnd* game = GetTopLevelParent())
        game->PostMessage(UM_TRUSTEE_CANCEL, 0, 0);
}

void CAutoPlayDlg::Dump(CDumpContext& dc) const
{
    dc.AddRaw("buttons", DumpControls(*this, {IDCANCEL}));
}

void CAutoPlayDlg::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN || nChar == VK_SPACE_KEY)
        return;
    CSkinDialog::OnKeyDown(nChar, nRepCnt, nFlags);
}
