// The back cards' flip and flight to the landlord, the side hands' places, and the stand-ins of
// the table's effects.
#include "view/GameClientView.h"

#include "interaction/Commands.h"
#include "view/FadeDlg.h"

#include <cstring>

namespace {

constexpr UINT kFlipMs = 50;
constexpr UINT kFlightStartMs = 2200;
// Where the back cards wait in the middle of the table, above the centre.
constexpr int kBackCardsRise = 110;
constexpr int kBackCardsSpacing = 85;
// The landlord's place at the bottom seat, and the side seats' distance from the edges.
constexpr int kBottomSeatY = 470;
constexpr int kSideSeatInset = 50;
constexpr int kSideSeatY = 192;
// The trustee cover fades over 25 levels, from invisible to a dark layer at alpha 120.
constexpr int kFadeLevels = 25;
constexpr BYTE kFadeAlpha = 120;

}  // namespace

void CGameClientView::StartBackCardFlip(const BYTE cbBackCards[BACK_CARDS])
{
    std::memcpy(m_cbBackCards, cbBackCards, BACK_CARDS);
    m_nFlipFrame = 0;
    m_cbFlyStep = 0;
    KillTimer(IDT_BACK_FLY);
    SetTimer(IDT_BACK_FLIP, kFlipMs);
}

void CGameClientView::StepBackCardFlip()
{
    if (m_nFlipFrame < 2) {
        ++m_nFlipFrame;
        m_BackCardControl.ShowWindow(SW_HIDE);
        Redraw();
        return;
    }
    KillTimer(IDT_BACK_FLIP);
    m_nFlipFrame = 0;
    Redraw();
    m_BackCardControl.SetCards(m_cbBackCards, BACK_CARDS);
    m_BackCardControl.ShowFaces(true);
    m_BackCardControl.ShowWindow(SW_SHOW);
    SetTimer(IDT_BACK_FLY, kFlightStartMs);
}

void CGameClientView::StepBackCardFlight()
{
    CRect rect;
    GetClientRect(&rect);
    const int width = rect.Width();
    const CPoint centre(width / 2, rect.Height() / 2 - kBackCardsRise);

    if (m_cbFlyStep < 3) {
        static constexpr int kSpacing[] = {56, 28, 0};
        m_BackCardControl.SetSpacing(kSpacing[m_cbFlyStep], 0, 0);
        ++m_cbFlyStep;
        SetTimer(IDT_BACK_FLY, 50 - 10 * m_cbFlyStep);
        return;
    }
    if (m_cbFlyStep <= 8) {
        CPoint target;
        if (m_wLordSeat == 1)
            target = CPoint(width / 2, kBottomSeatY);
        else if (m_wLordSeat == 0)
            target = CPoint(kSideSeatInset, kSideSeatY);
        else
            target = CPoint(width - kSideSeatInset, kSideSeatY);
        // C++ division truncates toward zero, as the flight's steps are meant to.
        const int part = m_cbFlyStep - 2;
        m_BackCardControl.SetAnchor(centre.x + (target.x - centre.x) * part / 6, centre.y + (target.y - centre.y) * part / 6, 1, 0);
        SetTimer(IDT_BACK_FLY, 50 - 3 * m_cbFlyStep);
        ++m_cbFlyStep;
        return;
    }
    KillTimer(IDT_BACK_FLY);
    m_cbFlyStep = 0;
    m_BackCardControl.SetCards(nullptr, 0);
    m_BackCardControl.SetAnchor(centre.x, centre.y, 1, 0);
    m_BackCardControl.SetSpacing(kBackCardsSpacing, 0, 0);
    if (CWnd* game = GetFrame())
        game->SendMessage(UM_CARTOON_FINISH, 0, 0);
    Redraw();
}

void CGameClientView::PlaceSideHands(int nOffsetX, int nOffsetY)
{
    if (!m_bSideSeatsPlaced)
        return;
    m_HandCardControl[0].SetAnchor(m_ptPlayedCards[0].x - nOffsetX, m_ptPlayedCards[0].y + nOffsetY, 0, 0);
    m_HandCardControl[2].SetAnchor(m_ptPlayedCards[2].x + nOffsetX, m_ptPlayedCards[2].y + nOffsetY, 2, 0);
}

void CGameClientView::StepCoverFade()
{
    if (!m_bFadeRunning || m_nFadeStep > kFadeLevels || m_nFadeStep < 0) {
        KillTimer(IDT_COVER_FADE);
        m_nFadeStep = 0;
        m_bFadeRunning = 0;
        return;
    }
    DrawCoverLevel(kFadeLevels - m_nFadeStep);
    m_nFadeStep += m_nFadeDirection == 1 ? 1 : -1;
}

void CGameClientView::DrawCoverLevel(int nLevel)
{
    if (auto* cover = dynamic_cast<CFadeDlg*>(m_pTrusteeCover); cover && cover->IsWindow())
        cover->ShowFadeLevel(nLevel, kFadeLevels, 1, RGB(255, 255, 255), kFadeAlpha, 0);
}
