#include "platform/CheckBox.h"

#include "platform/Dc.h"

namespace {

constexpr int kBox = 14;

}  // namespace

BOOL CCheckBox::Create(std::string_view caption, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    SetWindowText(caption);
    return CWnd::Create(dwStyle, rect, pParentWnd, nID);
}

void CCheckBox::SetCheck(int nCheck)
{
    m_nCheck = nCheck == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
    Invalidate();
}

void CCheckBox::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    const int top = (client.Height() - kBox) / 2;
    pDC->FillSolidRect(1, top, kBox, kBox, RGB(250, 246, 236));
    CPen frame(PS_SOLID, 1, RGB(90, 60, 30));
    CPen* oldPen = pDC->SelectObject(&frame);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->Rectangle(1, top, 1 + kBox, top + kBox);
    if (m_nCheck == BST_CHECKED) {
        CPen tick(PS_SOLID, 2, RGB(30, 120, 40));
        pDC->SelectObject(&tick);
        pDC->MoveTo(4, top + 7);
        pDC->LineTo(7, top + 10);
        pDC->LineTo(12, top + 3);
    }
    pDC->SelectObject(oldPen);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_crText);
    CRect text(kBox + 6, 0, client.right, client.bottom);
    pDC->DrawText(GetWindowText(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void CCheckBox::OnLButtonDown(UINT, CPoint)
{
    m_bPressed = true;
}

void CCheckBox::OnLButtonUp(UINT, CPoint point)
{
    const bool click = m_bPressed && PtInWindowShape(point) != 0;
    m_bPressed = false;
    if (!click)
        return;
    SetCheck(m_nCheck == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), BN_CLICKED), reinterpret_cast<LPARAM>(this));
}
