#include "windows/LastTurnDlg.h"

#include "platform/Dc.h"
#include "interaction/CardRow.h"
#include "protocol/GameRecords.h"

#include <cstdio>
#include <vector>

namespace {

constexpr COLORREF kKey = RGB(0xFF, 0x00, 0xFF);
constexpr COLORREF kNameColour = RGB(0xDC, 0xDC, 0xDC);

struct tagSeatRow {
    UINT nID;
    CPoint ptAnchor;
    int nAlign;
    CRect rcName;
    UINT nNameFormat;
};
constexpr tagSeatRow kRows[CLastTurnDlg::kSeats] = {
    {50, {25, 70}, 0, {25, 70, 250, 85}, DT_LEFT},
    {51, {356, 248}, 1, {255, 380, 455, 395}, DT_CENTER},
    {52, {680, 115}, 2, {480, 115, 680, 130}, DT_RIGHT},
};

}  // namespace

CLastTurnDlg::CLastTurnDlg(CWnd* pParentWnd) : CSkinDialog(IDD, pParentWnd) {}

BOOL CLastTurnDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_ImageBack.Load("telvo\\img\\lastturn_bk.bmp");
    if (!m_ImageBack.IsNull())
        SetWindowPos(nullptr, 0, 0, m_ImageBack.GetWidth(), m_ImageBack.GetHeight(), SWP_NOMOVE | SWP_NOZORDER);
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(kKey, 255, LWA_COLORKEY);
    m_NameFont.CreateFont(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 134, 0, 0, 0, 0, "宋体");

    m_btClose.Create("", WS_CHILD | WS_VISIBLE, CRect(321, 418, 321, 418), this, IDOK);
    m_btClose.EnableSound(false);
    m_btClose.SetButtonImage("telvo\\img\\btCloseLastTurn.png");
    for (int seat = 0; seat < kSeats; ++seat) {
        CCardControl& cards = m_CardControl[seat];
        cards.Create(WS_CHILD | WS_VISIBLE, CRect(), this, kRows[seat].nID);
        cards.ShowFaces(true);
        cards.SetAnchor(kRows[seat].ptAnchor, kRows[seat].nAlign, 0);
    }
    return TRUE;
}

void CLastTurnDlg::SetUserName(WORD wViewPos, const std::string& strName)
{
    if (wViewPos >= kSeats)
        return;
    m_strName[wViewPos] = strName;
    Invalidate();
}

void CLastTurnDlg::SetCards(WORD wViewPos, const BYTE* pcbCards, std::size_t nCount)
{
    if (wViewPos >= kSeats || !m_CardControl[wViewPos].IsWindow())
        return;
    m_CardControl[wViewPos].SetCards(pcbCards, pcbCards ? nCount : 0);
}

void CLastTurnDlg::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (m_ImageBack.IsNull())
        pDC->FillSolidRect(client, RGB(20, 60, 40));
    else
        m_ImageBack.BitBlt(pDC, 0, 0);
    m_btClose.SetButtonBkgnd(pDC);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(kNameColour);
    CFont* old = pDC->SelectObject(&m_NameFont);
    for (int seat = 0; seat < kSeats; ++seat) {
        CRect box = kRows[seat].rcName;
        pDC->DrawText(m_strName[seat], &box, kRows[seat].nNameFormat | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    pDC->SelectObject(old);
}

void CLastTurnDlg::OnLButtonDown(UINT, CPoint point)
{
    m_bDragging = true;
    m_ptGrab = point;
    SetCapture();
}

void CLastTurnDlg::OnMouseMove(UINT, CPoint point)
{
    if (!m_bDragging)
        return;
    CRect rect;
    GetWindowRect(&rect);
    SetWindowPos(nullptr, rect.left + point.x - m_ptGrab.x, rect.top + point.y - m_ptGrab.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CLastTurnDlg::OnLButtonUp(UINT, CPoint)
{
    m_bDragging = false;
    if (GetCapture() == this)
        ReleaseCapture();
}

void CLastTurnDlg::Dump(CDumpContext& dc) const
{
    for (int seat = 0; seat < kSeats; ++seat) {
        std::vector<tagCardSlot> cells(MAX_HAND);
        const std::size_t count = m_CardControl[seat].GetCards(cells.data(), cells.size());
        std::string hex;
        for (std::size_t i = 0; i < count; ++i) {
            char cell[3];
            std::snprintf(cell, sizeof(cell), "%02X", cells[i].cbCard);
            hex += cell;
        }
        dc.AddRaw("cards" + std::to_string(seat), hex.empty() ? "-" : hex);
    }
    dc.AddTexts("names", {m_strName[0], m_strName[1], m_strName[2]});
}
