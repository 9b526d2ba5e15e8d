// Where everything on the table goes for a client size, and the popups that stay over the table
// when the game window moves. Many places are fixed pixels that the table pictures were drawn
// for; they do not follow the size.
#include "view/GameClientView.h"

namespace {

// Moves a window without changing its size, z-order or activation.
void MoveTo(CWnd& wnd, int x, int y)
{
    wnd.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moves a window and raises it above its siblings.
void MoveToTop(CWnd& wnd, int x, int y)
{
    wnd.SetWindowPos(&CWnd::wndTop, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Exists(const CWnd* wnd)
{
    return wnd && wnd->IsWindow();
}

CSize WindowSize(const CWnd* wnd)
{
    CRect rect;
    wnd->GetWindowRect(&rect);
    return rect.Size();
}

}  // namespace

void CGameClientView::LayoutTableView(int nWidth, int nHeight)
{
    const int W = nWidth;
    const int H = nHeight;
    m_nLayoutWidth = W;
    m_nLayoutHeight = H;

    const int cardH = CCardControl::GetCardHeight();
    const int cardW = CCardControl::GetCardWidth();
    // JiaBang.png holds five rows of marks.
    const int bangRow = m_PngJiaBang.GetHeight() / 5;

    // In clockwise order the side seats keep the places of the last counter-clockwise layout.
    if (!m_bClockwiseOrder || !m_bSideSeatsPlaced) {
        m_bSideSeatsPlaced = true;
        m_ptSeatPanel[0] = CPoint(0, 1);
        m_ptSeatPanel[2] = CPoint(W - 112, 1);
        m_ptName[0] = m_ptSeatPanel[0];
        m_ptName[2] = m_ptSeatPanel[2];
        m_ptPlayedCards[0] = CPoint(60, 192);
        m_ptPlayedCards[2] = CPoint(W - 60, 192);
        m_ptBidMark[0] = CPoint(95, 150);
        m_ptBidMark[2] = CPoint(W - 167, 150);
        m_ptFace[0] = CPoint(m_nXBorder + 5, H / 2 - cardH - 50);
        m_ptFace[2] = CPoint(W - m_nXBorder - 10, H / 2 - cardH - 50);
        m_ptUserTimer[0] = CPoint(60, 213);
        m_ptUserTimer[2] = CPoint(W - 123, 213);
        m_ptAlarm[0] = CPoint(2, 239);
        m_ptAlarm[2] = CPoint(W - 58, 239);
        m_ptTopBadge[0] = CPoint(12, 178);
        m_ptTopBadge[2] = CPoint(W - 48, 178);
        m_ptUserReady[0] = CPoint(125, 141);
        m_ptUserReady[2] = CPoint(W - 220, 141);
        m_ptSmallBack[0] = CPoint(9, 217);
        m_ptSmallBack[2] = CPoint(W - 51, 217);
        m_ptBangMark[0] = CPoint(115, 96 + bangRow);
        m_ptBangMark[2] = CPoint(W - 228, 96 + bangRow);

        m_UserCardControl[0].SetAnchor(m_ptPlayedCards[0], 0, 0);
        m_HandCardControl[0].SetAnchor(m_ptPlayedCards[0], 0, 0);
        m_UserCardControl[2].SetAnchor(m_ptPlayedCards[2], 2, 0);
        m_HandCardControl[2].SetAnchor(m_ptPlayedCards[2], 2, 0);
    }

    m_ptSeatPanel[1] = CPoint(0, H - 216);
    m_ptBangMark[1] = CPoint(0, H - 216 - bangRow);
    m_ptFace[1] = CPoint(W / 5 - m_nXFace, H - m_nYBorder - 125);
    m_ptAlarm[1] = CPoint(W / 4 - 100, H - 50);
    m_ptTopBadge[1] = CPoint(12, H - m_nYBorder - 279);
    m_ptUserReady[1] = CPoint((W - 98) / 2 + 10, 341);
    m_ptBidMark[1] = CPoint(m_ptBidMark[0].x, 447);
    m_ptUserTimer[1] = CPoint((W - 63) / 2, 335);

    if (!IsWindow())
        return;

    MoveTo(m_btOneScore, W / 2 - 170, 408);
    MoveTo(m_btTwoScore, W / 2 - 85, 408);
    MoveTo(m_btThreeScore, W / 2, 408);
    MoveTo(m_btGiveUpScore, W / 2 + 85, 408);
    MoveTo(m_btStart, W / 2 - 57, 408);
    MoveTo(m_btOutCard, W / 2 - 101, 408);
    MoveTo(m_btAutoOutCard, W / 2 + 20, 408);
    MoveTo(m_btPassCard, 790, 510);
    MoveTo(m_btJiaBang, 739, 366);
    MoveTo(m_btSortCard, 863, 661);
    MoveTo(m_btLastTurn, 787, 661);
    MoveTo(m_btAutoPlayOn, 940, 661);
    MoveTo(m_btAutoPlayOff, (W - 158) / 2, 295);
    MoveTo(m_btVideoReplay, 880, 460);
    for (CPngButton* button : {&m_btChangeBg, &m_btGreen, &m_btRed, &m_btPurple, &m_btBlue})
        MoveTo(*button, 723, 661);
    MoveToTop(m_btMatchPanel, 237, m_nMatchPanelHeight - 35);
    MoveToTop(m_btChat, 260, m_bChatOpen ? H - 217 : H - 86);
    MoveTo(m_btScorePanel, 746, m_nScorePanelHeight - 35);
    // The shortcut row, rocket first.
    CPngButton* shortcuts[] = {&m_btMissleCard, &m_btBombCard, &m_btDoubleThree, &m_btDoubleLine, &m_btSingleLine,
        &m_btThreeCard, &m_btDoubleCard};
    for (int k = 0; k < 7; ++k)
        MoveTo(*shortcuts[k], W / 2 - 196 + 55 * k, H - 71);
    MoveTo(m_btToZero, 415, 105);
    MoveTo(m_btToTwenty, 480, 105);
    MoveTo(m_btToSixty, 545, 105);
    MoveTo(m_btViewLeave, 320, 669);
    MoveTo(m_btViewOut, 388, 669);

    m_BackCardControl.SetAnchor(W / 2, H / 2 - 110, 1, 0);
    m_HandCardControl[1].SetAnchor(W / 2, 575, 1, 2);
    m_UserCardControl[1].SetAnchor(W / 2, 428, 1, 2);
    m_DeckCardControl.SetAnchor(W / 2 - 54 - cardW / 2, m_nYBorder + 240, 0, 0);
    // The popups that stay over the table follow a new size as they follow a move.
    FollowHostWindow();
}

void CGameClientView::FollowHostWindow()
{
    if (!IsWindow())
        return;
    CRect R;
    GetWindowRect(&R);

    for (CWnd* cartoon : {&m_BombCartoon, &m_FlowerCartoon}) {
        if (Exists(cartoon))
            MoveTo(*cartoon, R.left + R.Width() / 2 - WindowSize(cartoon).cx / 2, R.top);
    }
    if (Exists(&m_ShuffleCartoon)) {
        const CSize size = WindowSize(&m_ShuffleCartoon);
        MoveTo(m_ShuffleCartoon, R.left + R.Width() / 2 - size.cx / 2, R.top + R.Height() / 2 - size.cy);
    }
    if (Exists(m_pTrusteeCover)) {
        m_pTrusteeCover->SetWindowPos(nullptr, R.left, R.top, R.Width(), R.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        ReapplyCoverFade();
    }
    if (Exists(m_pTrusteePicture)) {
        const CSize size = WindowSize(m_pTrusteePicture);
        MoveToTop(*m_pTrusteePicture, R.left + (R.Width() - size.cx) / 2, R.top + (R.Height() - size.cy) / 2 - 100);
    }
    for (CWnd* centred : {m_pScoreView, static_cast<CWnd*>(&m_RoleCartoon)}) {
        if (Exists(centred)) {
            const CSize size = WindowSize(centred);
            MoveToTop(*centred, R.left + (R.Width() - size.cx) / 2, R.top + (R.Height() - size.cy) / 2);
        }
    }
    if (Exists(m_pTaskAssistant))
        m_pTaskAssistant->SendMessage(UM_FOLLOW_HOST);
}

void CGameClientView::ReapplyCoverFade()
{
    // A cover that has moved is drawn again where it now is: at the current step while it fades
    // in, else at its full darkness.
    DrawCoverLevel(m_bFadeRunning && m_nFadeDirection == 1 ? 25 - m_nFadeStep : 0);
}
