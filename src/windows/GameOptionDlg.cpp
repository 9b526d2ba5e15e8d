#include "windows/GameOptionDlg.h"

#include "platform/Dc.h"

namespace {

constexpr COLORREF kKey = RGB(0xFF, 0x00, 0xFF);
constexpr COLORREF kCaption = RGB(90, 50, 20);

}  // namespace

UINT OptionCardSpace(UINT dwCardSpace)
{
    return dwCardSpace >= 26 || dwCardSpace < 10 ? 16 : dwCardSpace;
}

CGameOptionDlg::CGameOptionDlg(CWnd* pParentWnd) : CSkinDialog(IDD, pParentWnd) {}

BOOL CGameOptionDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_ImageBack.Load("telvo\\img\\gameoption.bmp");
    m_dwCardSpace = OptionCardSpace(m_dwCardSpace);

    const struct {
        CCheckBox* box;
        UINT nID;
        CRect rect;
        const char* caption;
        bool bChecked;
    } boxes[] = {
        {&m_ckSound, IDC_SOUND, CRect(40, 62, 200, 84), "游戏音效", m_bEnableSound},
        {&m_ckBgSound, IDC_BG_SOUND, CRect(220, 62, 380, 84), "背景音乐", m_bEnableBGSound},
        {&m_ckAllowLookon, IDC_ALLOW_LOOKON, CRect(40, 94, 380, 116), "允许旁观者看我的牌", m_bAllowLookon},
    };
    for (const auto& spec : boxes) {
        spec.box->Create(spec.caption, WS_CHILD | WS_VISIBLE, spec.rect, this, spec.nID);
        spec.box->SetTextColor(kCaption);
        spec.box->SetCheck(spec.bChecked ? BST_CHECKED : BST_UNCHECKED);
    }

    CreatePngButtons(this, {
        {&m_btOk, IDOK, {257, 141}, "telvo\\img\\btoptionOk.bmp"},
        {&m_btCancel, IDCANCEL, {361, 141}, "telvo\\img\\btoptionCancel.bmp"},
        {&m_btClose, IDC_CLOSE, {395, 2}, "telvo\\img\\btoptionClose.bmp"},
    });

    ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(kKey, 255, LWA_COLORKEY);
    if (!m_ImageBack.IsNull())
        SetWindowPos(nullptr, 0, 0, m_ImageBack.GetWidth(), m_ImageBack.GetHeight(), SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    return TRUE;
}

void CGameOptionDlg::OnOK()
{
    m_bEnableSound = m_ckSound.GetCheck() == BST_CHECKED;
    m_bEnableBGSound = m_ckBgSound.GetCheck() == BST_CHECKED;
    m_bAllowLookon = m_ckAllowLookon.GetCheck() == BST_CHECKED;
    CSkinDialog::OnOK();
}

BOOL CGameOptionDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CLOSE) {
        OnCancel();
        return TRUE;
    }
    return CSkinDialog::OnCommand(wParam, lParam);
}

void CGameOptionDlg::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (m_ImageBack.IsNull())
        pDC->FillSolidRect(client, RGB(240, 225, 190));
    else
        m_ImageBack.BitBlt(pDC, 0, 0);
    for (CPngButton* button : {&m_btOk, &m_btCancel, &m_btClose})
        button->SetButtonBkgnd(pDC);
}

void CGameOptionDlg::Dump(CDumpContext& dc) const
{
    dc.Add("sound", m_ckSound.GetCheck());
    dc.Add("bgsound", m_ckBgSound.GetCheck());
    dc.Add("lookon", m_ckAllowLookon.GetCheck());
}
