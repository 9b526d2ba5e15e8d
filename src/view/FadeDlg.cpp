#include "view/FadeDlg.h"

#include <algorithm>
#include <cmath>

BYTE FadeAlpha(int nLevel, int nLevels, int nRamp, BYTE cbAlpha0, BYTE cbAlpha1)
{
    if (nRamp == 0)
        return cbAlpha0;
    const int levels = std::max(1, nLevels);
    // The product in integers, the division and the sum in floating point, as the ramp was tuned.
    const long long product = static_cast<long long>(cbAlpha0 - cbAlpha1) * (levels - static_cast<long long>(nLevel));
    const double alpha = std::floor(cbAlpha1 + static_cast<double>(product) / levels);
    return static_cast<BYTE>(std::clamp(alpha, 0.0, 255.0));
}

CFadeDlg::CFadeDlg(CWnd* pParentWnd) : CSkinDialog(IDD, pParentWnd) {}

BOOL CFadeDlg::CreateOver(CWnd* pParentWnd, const CRect& rcCover)
{
    m_rcCover = rcCover;
    return Create(IDD, pParentWnd);
}

BOOL CFadeDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (!m_rcCover.IsRectEmpty())
        MoveWindow(m_rcCover);
    ModifyStyleEx(0, WS_EX_LAYERED | WS_EX_TOPMOST);
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_Blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return TRUE;
}

void CFadeDlg::ShowFadeLevel(int nLevel, int nLevels, int nRamp, COLORREF crKey, BYTE cbAlpha0, BYTE cbAlpha1)
{
    m_nLevel = nLevel;
    m_cbAlpha = FadeAlpha(nLevel, nLevels, nRamp, cbAlpha0, cbAlpha1);
    m_Blend = BLENDFUNCTION{AC_SRC_OVER, 0, m_cbAlpha, 0};
    if (!IsWindow())
        return;
    CRect rect;
    GetWindowRect(&rect);
    if (rect.IsRectEmpty())
        return;

    if (m_bitmap.GetSize() != rect.Size() || m_crPainted != m_crFill) {
        m_bitmap.CreateBitmap(rect.Width(), rect.Height());
        CDC painter(&m_bitmap.Image());
        painter.FillSolidRect(0, 0, rect.Width(), rect.Height(), m_crFill);
        m_crPainted = m_crFill;
    }
    CDC memory(&m_bitmap.Image());
    ModifyStyleEx(0, WS_EX_LAYERED);
    const CPoint at = rect.TopLeft();
    const CSize size = rect.Size();
    const CPoint origin(0, 0);
    UpdateLayeredWindow(&at, &size, &memory, &origin, crKey, &m_Blend, ULW_COLORKEY | ULW_ALPHA);
}

BOOL CFadeDlg::PreTranslateMessage(MSG* pMsg)
{
    // Only what is aimed at the cover itself: the banner on it passes through here on its way to
    // the game window and must keep its clicks.
    if (pMsg->hwnd == this && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_RBUTTONDOWN))
        return TRUE;
    return CSkinDialog::PreTranslateMessage(pMsg);
}

void CFadeDlg::Dump(CDumpContext& dc) const
{
    dc.Add("level", m_nLevel);
    dc.Add("alpha", m_cbAlpha);
}
