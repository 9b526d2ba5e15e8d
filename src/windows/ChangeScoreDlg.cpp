#include "windows/ChangeScoreDlg.h"

#include "platform/Dc.h"
#include "platform/host/GameFrame.h"
#include "windows/DigitStrip.h"

namespace {

constexpr tagDigitStrip kStrip{0, 14, 16};
// The number areas end at the window's edge.
constexpr int kNumberCells = 9;
constexpr int kCoinGap = 7;
constexpr int kRaise = 28;

}  // namespace

std::array<uint8_t, 8> ChangeScoreRequest(WORD wPropKind, DWORD dwUserID)
{
    const uint32_t kind = wPropKind;
    return {static_cast<uint8_t>(kind), static_cast<uint8_t>(kind >> 8), static_cast<uint8_t>(kind >> 16),
        static_cast<uint8_t>(kind >> 24), static_cast<uint8_t>(dwUserID), static_cast<uint8_t>(dwUserID >> 8),
        static_cast<uint8_t>(dwUserID >> 16), static_cast<uint8_t>(dwUserID >> 24)};
}

CChangeScoreDlg::CChangeScoreDlg(CGameFrameDlg* pFrame) : CSkinDialog(IDD, pFrame), m_pFrame(pFrame) {}

BOOL CChangeScoreDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    const std::string dir = "telvo\\img\\ChangeScore\\";
    m_PngBack.LoadImage(dir + "ChangeScore_Bg.png");
    m_PngNumber.LoadImage(dir + "ChangeScore_Number.png");
    m_PngCoin.LoadImage(dir + "ChangeScore_Coin.png");
    CreatePngButtons(this, {
        {&m_btOk, IDOK, {70, 130}, dir + "ChangeScore_Ok.png"},
        {&m_btCancel, IDCANCEL, {224, 130}, dir + "ChangeScore_Cancel.png"},
    });
    const int width = m_PngBack.IsNull() ? 364 : m_PngBack.GetWidth();
    const int height = m_PngBack.IsNull() ? 180 : m_PngBack.GetHeight();
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    CRect rect;
    GetWindowRect(&rect);
    SetWindowPos(nullptr, rect.left, rect.top - kRaise, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

void CChangeScoreDlg::SetTargetScore(LONG lTargetScore)
{
    m_lTargetScore = lTargetScore;
    Invalidate();
}

void CChangeScoreDlg::SetPrice(LONG lPrice)
{
    m_lPrice = lPrice;
    Invalidate();
}

void CChangeScoreDlg::SetPropKind(WORD wPropKind)
{
    m_wPropKind = wPropKind;
}

void CChangeScoreDlg::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (m_PngBack.IsNull())
        pDC->FillSolidRect(client, RGB(60, 40, 90));
    else
        m_PngBack.DrawImage(pDC, 0, 0);
    for (CPngButton* button : {&m_btOk, &m_btCancel})
        button->SetButtonBkgnd(pDC);
    const LONG target = FitNumber(m_lTargetScore, false, kNumberCells);
    DrawStripNumber(pDC, m_PngNumber, kStrip, target, 250 - NumberWidth(target, false, kStrip.nCellWidth) / 2, 63, NumberAlign::Left);
    const int priceWidth = DrawStripNumber(pDC, m_PngNumber, kStrip, FitNumber(m_lPrice, false, kNumberCells), 86, 103, NumberAlign::Left);
    m_PngCoin.DrawImage(pDC, 86 + priceWidth + kCoinGap, 103);
}

void CChangeScoreDlg::OnOK()
{
    const tagUserData* me = m_pFrame ? m_pFrame->GetUserData(m_pFrame->GetMeChairID()) : nullptr;
    if (me) {
        const auto request = ChangeScoreRequest(m_wPropKind, me->dwUserID);
        m_pFrame->SendData(kRequestMain, kRequestSub, request.data(), static_cast<WORD>(request.size()));
    }
    ShowWindow(SW_HIDE);
}

void CChangeScoreDlg::Dump(CDumpContext& dc) const
{
    dc.Add("target", m_lTargetScore);
    dc.Add("price", m_lPrice);
    dc.Add("kind", m_wPropKind);
}
