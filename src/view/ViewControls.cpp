// The table view's child windows and input: the card controls and buttons made at creation, what
// each button click does and the mouse on the table itself.
#include "view/GameClientView.h"

#include "interaction/Commands.h"
#include "support/DebugTrace.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The game window hears of every command: the view's own frame, not the application's main
// window, since one program may hold several game windows (headless self-play seats three).
LRESULT SendToGame(const CGameFrameView& view, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    CWnd* game = view.GetFrame();
    return game ? game->SendMessage(message, wParam, lParam) : 0;
}

constexpr UINT kSlideMs = 40;
constexpr UINT kChangeScoreShowMs = 5000;

// Change-score buttons: the score a player must stay below to change it, the item slot whose
// price goes to the window and the item kind. 128 and 130 are routed but have no buttons.
struct ChangeScoreSpec {
    UINT nID;
    LONG lThreshold;
    int nItemSlot;
    WORD wKind;
};
constexpr ChangeScoreSpec kChangeScoreSpecs[] = {
    {127, 0, 0, 1}, {128, 10, 1, 2}, {129, 20, 2, 3}, {130, 40, 3, 5}, {131, 60, 4, 6},
};

}  // namespace

// One button: its member, its picture (null when it depends on state) and how it starts.
struct CGameClientView::ButtonSpec {
    UINT nID;
    CPngButton CGameClientView::*pButton;
    const char* pszImage;
    bool bVisible;
    bool bEnabled;
};

const CGameClientView::ButtonSpec* CGameClientView::FindButtonSpec(UINT nID)
{
    static const ButtonSpec specs[] = {
        {100, &CGameClientView::m_btStart, "Telvo\\img\\btStart.png", false, true},
        {101, &CGameClientView::m_btOneScore, "Telvo\\img\\btOneScore.png", false, true},
        {102, &CGameClientView::m_btTwoScore, "Telvo\\img\\btTwoScore.png", false, true},
        {103, &CGameClientView::m_btThreeScore, "Telvo\\img\\btThreeScore.png", false, true},
        {104, &CGameClientView::m_btGiveUpScore, "Telvo\\img\\btGiveUpScore.png", false, true},
        {105, &CGameClientView::m_btOutCard, "Telvo\\img\\btOutCard.png", false, true},
        {106, &CGameClientView::m_btPassCard, "Telvo\\img\\btPassCard.png", false, true},
        {107, &CGameClientView::m_btAutoOutCard, "Telvo\\img\\btAutoOutCard.png", false, true},
        {108, &CGameClientView::m_btAutoPlayOn, "Telvo\\img\\btAutoPlayOn.png", true, false},
        {109, &CGameClientView::m_btAutoPlayOff, "Telvo\\img\\btAutoPlayOff.png", false, true},
        {110, &CGameClientView::m_btSortCard, nullptr, true, false},
        {111, &CGameClientView::m_btDoubleCard, "Telvo\\img\\btDoubleCard.png", false, true},
        {112, &CGameClientView::m_btThreeCard, "Telvo\\img\\btThreeCard.png", false, true},
        {113, &CGameClientView::m_btSingleLine, "Telvo\\img\\btSingleLine.png", false, true},
        {114, &CGameClientView::m_btDoubleLine, "Telvo\\img\\btDoubleLine.png", false, true},
        {115, &CGameClientView::m_btDoubleThree, "Telvo\\img\\btDoubleThree.png", false, true},
        {116, &CGameClientView::m_btBombCard, "Telvo\\img\\btBombCard.png", false, true},
        {117, &CGameClientView::m_btMissleCard, "Telvo\\img\\btMissleCard.png", false, true},
        {118, &CGameClientView::m_btLastTurn, "Telvo\\img\\btLastTurn.png", true, false},
        {119, &CGameClientView::m_btJiaBang, "Telvo\\img\\btJiaBang.png", false, false},
        {120, &CGameClientView::m_btScorePanel, "Telvo\\img\\btClose.png", true, true},
        {1003, &CGameClientView::m_btMatchPanel, "Telvo\\img\\btClose.png", true, true},
        {121, &CGameClientView::m_btChat, nullptr, true, true},
        {122, &CGameClientView::m_btChangeBg, "Telvo\\img\\btChangeBg.png", false, true},
        {123, &CGameClientView::m_btGreen, "Telvo\\img\\btGreen.png", false, true},
        {124, &CGameClientView::m_btRed, "Telvo\\img\\btRed.png", false, true},
        {125, &CGameClientView::m_btPurple, "Telvo\\img\\btPurple.png", false, true},
        {126, &CGameClientView::m_btBlue, "Telvo\\img\\btBlue.png", false, true},
        {127, &CGameClientView::m_btToZero, "Telvo\\img\\ChangeScore\\ToZero.png", false, false},
        {129, &CGameClientView::m_btToTwenty, "Telvo\\img\\ChangeScore\\ToTwenty.png", false, false},
        {131, &CGameClientView::m_btToSixty, "Telvo\\img\\ChangeScore\\ToSixty.png", false, false},
        {132, &CGameClientView::m_btViewLeave, "Telvo\\img\\HistoryCard\\ViewLeaveBtn.png", false, false},
        {133, &CGameClientView::m_btViewOut, "Telvo\\img\\HistoryCard\\ViewOutBtn.png", false, false},
        {135, &CGameClientView::m_btVideoReplay, "Telvo\\img\\btVideoReplay.png", true, true},
    };
    for (const ButtonSpec& spec : specs) {
        if (spec.nID == nID)
            return &spec;
    }
    return nullptr;
}

CPngButton* CGameClientView::GetButton(UINT nID)
{
    const ButtonSpec* spec = FindButtonSpec(nID);
    return spec ? &(this->*spec->pButton) : nullptr;
}

// ---- Creation ---------------------------------------------------------------------------------------

int CGameClientView::OnCreate()
{
    if (CGameFrameView::OnCreate() == -1)
        return -1;
    DebugTrace("%s", "OnCreate()************************************************");

    CreateCardControls();

    static constexpr UINT kFirstButtons[] = {100, 105, 106, 101, 102, 104, 119, 107, 103, 108, 109, 110, 1003, 120, 121,
        111, 112, 113, 114, 115, 116, 117, 118, 135, 122, 123, 124, 125, 126};
    for (UINT id : kFirstButtons)
        CreateButton(id);
    // The sort button's picture says which order it applies next, so the setting is read first.
    m_bOrderSortCard = m_pProfile->GetProfileInt("GameOption", "OrderSortCard", 1) != 0 ? 1 : 0;
    for (UINT id : kFirstButtons)
        ApplyButtonImage(id);

    CreateCartoons();
    // FIXME: the last-turn window is made here once it exists.

    for (UINT id : {127u, 129u, 131u, 132u, 133u}) {
        CreateButton(id);
        ApplyButtonImage(id);
    }
    return 0;
}

void CGameClientView::CreateCardControls()
{
    const DWORD style = WS_CHILD | WS_VISIBLE;
    for (int seat = 0; seat < kSeats; ++seat) {
        m_UserCardControl[seat].Create(style, CRect(), this, static_cast<UINT>(20 + seat));
        m_UserCardControl[seat].ShowFaces(true);
        m_UserCardControl[seat].SetSpacing(16, 0, 0);
        m_HandCardControl[seat].Create(style, CRect(), this, static_cast<UINT>(30 + seat));
    }
    m_HandCardControl[0].SetSpacing(12, 0, 15);
    m_HandCardControl[2].SetSpacing(12, 0, 15);
    m_HandCardControl[1].AcceptMouse(true);
    m_HandCardControl[1].SetNotifyWindow(GetFrame());

    m_DeckCardControl.Create(style, CRect(), this, 35);
    m_DeckCardControl.SetCapacity(FULL_DECK);
    m_SpareCardControl.Create(style, CRect(), this, 35);
    m_BackCardControl.Create(style, CRect(), this, 41);
    m_BackCardControl.SetSpacing(85, 0, 0);
}

void CGameClientView::CreateButton(UINT nID)
{
    const ButtonSpec* spec = FindButtonSpec(nID);
    if (!spec)
        return;
    bool bVisible = spec->bVisible;
    // Of the four colour buttons only the one of the table's background shows.
    if (nID >= 123 && nID <= 126)
        bVisible = nID - 123 == m_wBackground;
    const DWORD style = WS_CHILD | (bVisible ? WS_VISIBLE : 0) | (spec->bEnabled ? 0 : WS_DISABLED);
    CPngButton& button = this->*spec->pButton;
    button.Create("", style, CRect(), this, nID);
    button.EnableSound(false);
}

void CGameClientView::ApplyButtonImage(UINT nID)
{
    const ButtonSpec* spec = FindButtonSpec(nID);
    if (!spec)
        return;
    const char* image = spec->pszImage;
    if (nID == 110)
        image = m_bOrderSortCard ? "Telvo\\img\\btCountSort.png" : "Telvo\\img\\btOrderSort.png";
    else if (nID == 121)
        image = m_bChatOpen ? "Telvo\\img\\btClose.png" : "Telvo\\img\\btUp.png";
    (this->*spec->pButton).SetButtonImage(image);
}

// ---- Clicks -----------------------------------------------------------------------------------------

BOOL CGameClientView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (ClickButton(LOWORD(wParam)))
        return TRUE;
    return CGameFrameView::OnCommand(wParam, lParam);
}

bool CGameClientView::PressButton(UINT nID)
{
    CPngButton* button = GetButton(nID);
    if (!button || !button->IsWindow() || !(button->GetStyle() & WS_VISIBLE) || !button->IsWindowEnabled())
        return false;
    return ClickButton(nID);
}

bool CGameClientView::ClickButton(UINT nID)
{
    // The game window may end the view while it handles a command; nothing here touches the view
    // after that.
    const auto life = GetLifeToken();
    switch (nID) {
    case 100: SendToGame(*this, UM_START, 0, 0); return true;
    case 101: SendToGame(*this, UM_BID, 1, 1); return true;
    case 102: SendToGame(*this, UM_BID, 2, 2); return true;
    case 103: SendToGame(*this, UM_BID, 3, 3); return true;
    case 104: SendToGame(*this, UM_BID, 255, 255); return true;
    case 105: SendToGame(*this, UM_OUT_CARD, 1, 1); return true;
    case 106:
        SendToGame(*this, UM_PASS, 1, 1);
        if (!life.expired())
            ShowNoBiggerCard(false);
        return true;
    case 107: SendToGame(*this, UM_HINT, 0, 0); return true;
    case 108:
        // Disabled first, so that a second press cannot ask twice while the server answers.
        m_btAutoPlayOn.EnableWindow(FALSE);
        SendToGame(*this, UM_TRUSTEE, 1, 1);
        return true;
    case 109: SendToGame(*this, UM_TRUSTEE, 0, 0); return true;
    case 110: SendToGame(*this, UM_SORT, 0, 0); return true;
    case 111: SendToGame(*this, UM_PICK_PAIR, 0, 0); return true;
    case 112: SendToGame(*this, UM_PICK_TRIO, 0, 0); return true;
    case 113: SendToGame(*this, UM_PICK_LINE, 0, 0); return true;
    case 114: SendToGame(*this, UM_PICK_PAIR_LINE, 0, 0); return true;
    case 115: SendToGame(*this, UM_PICK_PLANE, 0, 0); return true;
    case 116: SendToGame(*this, UM_PICK_BOMB, 0, 0); return true;
    case 117: SendToGame(*this, UM_PICK_ROCKET, 0, 0); return true;
    case 118: SendToGame(*this, UM_LAST_TURN, 0, 0); return true;
    case 119:
        SendToGame(*this, UM_BANG, 0, 0);
        if (!life.expired()) {
            m_btJiaBang.EnableWindow(FALSE);
            m_btJiaBang.ShowWindow(SW_HIDE);
        }
        return true;
    case 120: ToggleScorePanel(); return true;
    case 1003: ToggleMatchPanel(); return true;
    case 121: ToggleChat(); return true;
    case 122:
    case 123:
    case 124:
    case 125:
    case 126: OnBackgroundButton(nID); return true;
    case 127:
    case 128:
    case 129:
    case 130:
    case 131: OnChangeScoreButton(nID); return true;
    case 132:
    case 133: OnCounterModeButton(nID); return true;
    case 135: SendToGame(*this, UM_OPEN_REPLAY, 0, 0); return true;
    default: return false;
    }
}

void CGameClientView::ToggleScorePanel()
{
    m_bScorePanelOpen = !m_bScorePanelOpen;
    if (m_bScorePanelOpen) {
        RenderScorePanel();
        m_btScorePanel.SetButtonImage("telvo\\img\\btClose.png");
    } else {
        m_btScorePanel.SetButtonImage("telvo\\img\\btdown.png");
    }
    SetTimer(IDT_SCORE_SLIDE, kSlideMs);
}

void CGameClientView::ToggleMatchPanel()
{
    // While a change-score result shows, the panel under it stays open.
    if (m_bChangeScoreShown && m_bMatchPanelOpen)
        return;
    m_bMatchPanelOpen = !m_bMatchPanelOpen;
    if (m_bMatchPanelOpen) {
        RenderMatchPanel();
        m_btMatchPanel.SetButtonImage("telvo\\img\\btClose.png");
    } else {
        m_btMatchPanel.SetButtonImage("telvo\\img\\btdown.png");
    }
    SetTimer(IDT_MATCH_SLIDE, kSlideMs);
}

void CGameClientView::ToggleChat()
{
    m_bChatOpen = !m_bChatOpen;
    if (m_bChatOpen) {
        FlashChat(false);
        m_btChat.SetButtonImage("telvo\\img\\btClose.png");
        m_btChat.SetWindowPos(nullptr, 260, m_nLayoutHeight - 217, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        m_btChat.SetButtonImage("telvo\\img\\btUp.png");
        m_btChat.SetWindowPos(nullptr, 260, m_nLayoutHeight - 86, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Redraw();
    // The game window shows or hides the host's chat messages to match.
    if (CWnd* parent = GetParent())
        parent->SendMessage(UM_SIDE_PANEL, 0, 0);
}

void CGameClientView::OnBackgroundButton(UINT nID)
{
    if (nID == 122) {
        m_btRed.ShowWindow(SW_SHOW);
    } else {
        for (CPngButton* button : {&m_btChangeBg, &m_btGreen, &m_btRed, &m_btPurple, &m_btBlue})
            button->ShowWindow(SW_HIDE);
        // Green, red, purple, blue, then green again.
        const UINT next = 123 + (nID - 123 + 1) % kBackgrounds;
        GetButton(next)->ShowWindow(SW_SHOW);
    }
    NextBackground();
}

void CGameClientView::OnChangeScoreButton(UINT nID)
{
    const ChangeScoreSpec* spec = nullptr;
    for (const ChangeScoreSpec& s : kChangeScoreSpecs) {
        if (s.nID == nID)
            spec = &s;
    }
    if (!spec)
        return;
    LONG lScore = 0;
    if (CGameFrameDlg* frame = GetFrame()) {
        if (const tagUserData* me = frame->GetUserData(frame->GetMeChairID()))
            lScore = me->lScore;
    }
    if (lScore < spec->lThreshold) {
        m_ChangeScoreRequest = tagChangeScoreRequest{spec->lThreshold, m_lItemPrice[spec->nItemSlot], spec->wKind};
        SendToGame(*this, UM_CHANGE_SCORE);
        return;
    }
    ShowChangeScoreResult(kChangeScoreTooHigh);
    ToggleMatchPanel();
    SetTimer(IDT_CHANGE_SCORE, kChangeScoreShowMs);
}

void CGameClientView::OnCounterModeButton(UINT nID)
{
    g_cbCounterMode = nID == 132 ? 0 : 1;
    m_btViewLeave.EnableWindow(nID == 132 ? FALSE : TRUE);
    m_btViewOut.EnableWindow(nID == 132 ? TRUE : FALSE);
    Redraw();
}

// ---- Mouse on the table ---------------------------------------------------------------------------------

void CGameClientView::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (CWnd* game = GetFrame()) {
        game->PostMessage(UM_CARD_RIGHT_CLICK, 0, 0);
        game->SendMessage(UM_AUTO_PASS, 0, 0);
    }
    CGameFrameView::OnRButtonUp(nFlags, point);
}

void CGameClientView::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    m_btOutCard.EnableWindow(FALSE);
    m_HandCardControl[1].RaiseAll(false);
    const auto life = GetLifeToken();
    SendToGame(*this, UM_AUTO_PASS, 0, 0);
    if (!life.expired())
        CGameFrameView::OnLButtonDblClk(nFlags, point);
}

void CGameClientView::OnLButtonUp(UINT nFlags, CPoint point)
{
    // A drag over the hand may end anywhere on the table; the hand must hear of the release.
    CCardControl& hand = m_HandCardControl[1];
    if (hand.IsWindow()) {
        CPoint inHand = point;
        ClientToScreen(&inHand);
        hand.ScreenToClient(&inHand);
        const auto life = GetLifeToken();
        hand.SendMessage(WM_LBUTTONUP, nFlags, MAKELPARAM(inHand.x, inHand.y));
        if (life.expired())
            return;
    }
    CGameFrameView::OnLButtonUp(nFlags, point);
}
