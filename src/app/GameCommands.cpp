// The player's commands, as window messages from the view, the hand control and the banner. The
// seat clocks call the same handlers for automatic play.
#include <cstdio>
#include <cstring>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "interaction/CardClickHelp.h"
#include "interaction/Commands.h"
#include "interaction/VoiceNames.h"
#include "view/FadeDlg.h"
#include "windows/AutoPlayDlg.h"
#include "windows/ScoreView.h"
#include "support/DebugTrace.h"
#include "support/Profile.h"

namespace {

constexpr UINT kReadySeconds = 30;

}  // namespace

LRESULT CGameClientDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Without a live game only these commands act; the rest would speak for a player who is not
    // at a table.
    const bool bGuarded = g_bReplayMode && message != UM_START && message != UM_SORT && message != UM_TRUSTEE_CANCEL &&
                          message != UM_VIEW_PANEL && message != UM_CARTOON_FINISH;
    switch (message) {
    case UM_START:
        return OnStartCommand(wParam, lParam);
    case UM_VIEW_PANEL:
        m_GameClientView.FlashChat(true);
        return 0;
    case UM_CARTOON_FINISH:
        return OnCartoonFinish(wParam, lParam);
    case UM_SORT:
        return OnSortCommand(wParam, lParam);
    case UM_TRUSTEE_CANCEL:
        return OnTrusteeToggle(wParam, lParam);
    case UM_OUT_CARD:
        return bGuarded ? 0 : OnOutCardCommand(wParam, lParam);
    case UM_PASS:
        return bGuarded ? 0 : OnPassCommand(wParam, lParam);
    case UM_BID:
        return bGuarded ? 0 : OnBidCommand(wParam, lParam);
    case UM_HINT:
        return bGuarded ? 0 : OnHintCommand(wParam, lParam);
    case UM_TRUSTEE:
        return bGuarded ? 0 : OnTrusteeCommand(wParam, lParam);
    case UM_PICK_PAIR:
    case UM_PICK_TRIO:
    case UM_PICK_LINE:
    case UM_PICK_PAIR_LINE:
    case UM_PICK_PLANE:
    case UM_PICK_BOMB:
    case UM_PICK_ROCKET:
        return bGuarded ? 0 : OnPickShape(static_cast<Shape>(message - UM_PICK_PAIR));
    case UM_AUTO_PASS:
        return bGuarded ? 0 : OnAutoPassCommand(wParam, lParam);
    case UM_BANG:
        return bGuarded ? 0 : OnBangCommand(wParam, lParam);
    case UM_NEXT_GAME:
        return bGuarded ? 0 : OnNextGameCommand(wParam, lParam);
    case UM_CARD_CLICK:
        return bGuarded ? 0 : OnCardClick(wParam, lParam);
    case UM_CARD_RIGHT_CLICK:
        return bGuarded ? 0 : OnCardRightClick(wParam, lParam);
    case UM_OPEN_REPLAY:
        return OnOpenReplayCommand(wParam, lParam);
    case UM_LAST_TURN:
        return OnLastTurnCommand(wParam, lParam);
    case UM_CHANGE_SCORE:
        return OnChangeScoreCommand(wParam, lParam);
    case UM_LOTTERY:
        return OnLottery(wParam, lParam);
    case UM_SIDE_PANEL:
        return OnSidePanel(wParam, lParam);
    case UM_RESERVED_120:
        return 0;
    case WM_SIZE:
        return OnSizeMessage(wParam, lParam);
    default:
        return CGameFrameDlg::WindowProc(message, wParam, lParam);
    }
}

// ---- Helpers ---------------------------------------------------------------------------------------

// A chair without a user record (always so in a replay) speaks with the voice the recording kept.
BYTE CGameClientDlg::GenderOf(WORD wChairID) const
{
    if (!IsChair(wChairID))
        return 0;
    const tagUserData* user = GetUserData(wChairID);
    return user ? user->cbGender : m_VideoUserInfo.cbGender[wChairID];
}

BYTE CGameClientDlg::MyDialect() const
{
    const WORD me = MeChair();
    if (!IsChair(me))
        return 0;
    const tagUserData* user = GetUserData(me);
    return user ? user->cbDialect : m_VideoUserInfo.cbDialect[me];
}

void CGameClientDlg::PlayVoice(const std::string& path)
{
    if (!path.empty())
        PlayEffectSound(path);
}

void CGameClientDlg::ShowButton(UINT nID, bool bShow)
{
    if (CWnd* button = m_GameClientView.GetDlgItem(static_cast<int>(nID)))
        button->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CGameClientDlg::EnableButton(UINT nID, bool bEnable)
{
    if (CWnd* button = m_GameClientView.GetDlgItem(static_cast<int>(nID)))
        button->EnableWindow(bEnable ? TRUE : FALSE);
}

bool CGameClientDlg::IsButtonActive(UINT nID)
{
    CWnd* button = m_GameClientView.GetDlgItem(static_cast<int>(nID));
    return button && button->IsWindowVisible() && button->IsWindowEnabled();
}

void CGameClientDlg::ShowLocalHand()
{
    m_GameClientView.m_HandCardControl[1].SetCards(m_cbHandCards, m_cbHandCount);
}

bool CGameClientDlg::CanOutCard()
{
    CWnd* out = m_GameClientView.GetDlgItem(105);
    if (!out || !out->IsWindowVisible())
        return false;
    BYTE cards[MAX_HAND];
    const BYTE count = m_GameClientView.m_HandCardControl[1].GetRaisedCards(cards, MAX_HAND);
    if (count == 0)
        return false;
    m_GameLogic.SortCards(cards, count, ORDER_BY_RANK);
    if (m_GameLogic.JudgeType(cards, count) == PLAY_INVALID)
        return false;
    if (m_cbTurnCardCount == 0)
        return true;
    return m_GameLogic.BeatsPrevious(m_cbTurnCardData, cards, m_cbTurnCardCount, count);
}

void CGameClientDlg::CountOwnTurn()
{
    // A call from the clock's own time-out keeps the count of time-outs in a row; a player's own
    // decision ends the row.
    if (m_wTimeoutCount != m_wTimeoutAtTurn + 1) {
        m_wTimeoutCount = 0;
        m_wTimeoutAtTurn = 0;
    }
    if (m_cbAutoOut)
        ++m_wTrusteePlayCount;
}

void CGameClientDlg::CloseTurnControls()
{
    KillGameTimer(200);
    for (UINT id : {105u, 106u, 107u}) {
        ShowButton(id, false);
        EnableButton(id, false);
    }
    DisableShapeButtons();
}

void CGameClientDlg::ClearPickChains()
{
    m_bHintChain = false;
    m_cbHintCount = 0;
    std::memset(m_cbHintCards, 0, sizeof(m_cbHintCards));
    m_ShapePick.Clear();
}

// ---- Start and next game -----------------------------------------------------------------------------

LRESULT CGameClientDlg::OnStartCommand(WPARAM, LPARAM)
{
    ApplySecretMode(GS_FREE);

    for (BYTE slot = 0; slot < COUNTER_SLOTS; ++slot) {
        m_GameClientView.m_cbOutCount[slot] = 0;
        m_GameClientView.m_cbLeftCount[slot] = slot >= 13 ? 1 : 4;
    }

    ClearRecording();
    ClearGameNumbers();
    m_wTrusteePlayCount = 0;
    m_cbHistoryIndex = 0;
    std::memset(m_cbHistoryCount, 0, sizeof(m_cbHistoryCount));
    std::memset(m_wHistoryView, 0, sizeof(m_wHistoryView));
    std::memset(m_cbHistoryCards, 0, sizeof(m_cbHistoryCards));

    ShowButton(100, false);
    KillGameTimer(202);

    m_GameClientView.SetMultiple(1);
    m_GameClientView.SetLordSeat(INVALID_SEAT);
    m_GameClientView.MarkSeatPassed(INVALID_SEAT, false);
    m_GameClientView.SetSeatBid(INVALID_SEAT, 0);
    m_GameClientView.SetSeatCardsLeft(INVALID_SEAT, 0);
    m_GameClientView.MarkSeatTrustee(INVALID_SEAT, false);
    m_GameClientView.UpdateGameView(nullptr);

    if (m_pTrusteeCover) {
        if (m_pScoreView)
            m_pScoreView->ShowWindow(SW_HIDE);
        m_GameClientView.StopCartoon("role");
        LeaveTrusteeView();
    }

    m_GameClientView.m_BackCardControl.SetCards(nullptr, 0);
    m_GameClientView.m_HandCardControl[1].AcceptMouse(false);
    for (WORD seat = 0; seat < PLAYER_COUNT; ++seat) {
        m_GameClientView.m_UserCardControl[seat].SetCards(nullptr, 0);
        m_GameClientView.m_HandCardControl[seat].SetCards(nullptr, 0);
        m_GameClientView.m_HandCardControl[seat].ShowFaces(seat == 1);
    }

    SendUserReady(nullptr, 0);
    PlayTaskCompletion(false);
    SetGameStatus(GS_BIDDING);
    return 0;
}

LRESULT CGameClientDlg::OnNextGameCommand(WPARAM, LPARAM)
{
    char music[64];
    std::snprintf(music, sizeof(music), "telvo\\sound\\bgsound%d.mp3", RandomVariant());
    PlayBkgrndSound(music);
    if (m_pScoreView)
        m_pScoreView->ShowWindow(SW_HIDE);
    if (m_pTrusteeCover)
        m_GameClientView.FadeTrusteeCover(true, 2);
    if (m_pAutoPlayDlg)
        m_pAutoPlayDlg->ShowWindow(SW_HIDE);
    m_GameClientView.ShowWindow(SW_SHOW);
    ShowAllControls();
    if (!IsLookonMode()) {
        SendData(MDM_FRAME, SUB_FRAME_CUSTOMER, nullptr, 0);
        if (m_GameClientView.m_wGameMode != 1)
            SetGameTimer(MeChair(), 202, kReadySeconds);
    }
    CGameClientView& view = m_GameClientView;
    std::memset(view.m_bSeatBang, 0, sizeof(view.m_bSeatBang));
    view.m_wMultiple = 1;
    view.m_cbLordBid = 0;
    view.m_wLordSeat = INVALID_SEAT;
    view.UpdateGameView(nullptr);
    ApplySecretMode(GS_FREE);
    OnStartCommand(0, 0);
    return 1;
}

// ---- Playing and passing -------------------------------------------------------------------------------

LRESULT CGameClientDlg::OnOutCardCommand(WPARAM, LPARAM)
{
    const WORD me = MeChair();
    if (!IsButtonActive(105) || (m_wCurrentUser != me && m_wCurrentUser != INVALID_CHAIR))
        return 0;
    CountOwnTurn();
    CloseTurnControls();
    if (m_bBangOffer && IsChair(m_wLordUser) &&
        ((me == m_wLordUser && m_cbHandCount < MAX_HAND) || me == (m_wLordUser + 2) % PLAYER_COUNT)) {
        EnableButton(119, false);
        ShowButton(119, false);
        m_bBangOffer = false;
    }

    CGameClientView& view = m_GameClientView;
    BYTE cards[MAX_HAND];
    const BYTE count = view.m_HandCardControl[1].GetRaisedCards(cards, MAX_HAND);
    const std::vector<uint8_t> record = WriteOutCard(cards, count);
    SendData(SUB_C_OUT_CARD, record.data(), static_cast<WORD>(record.size()));

    m_GameLogic.SortCards(cards, count, ORDER_BY_RANK);
    const BYTE type = m_GameLogic.JudgeType(cards, count);
    const std::string effect = PlayEffectPath(type, count);
    if (!effect.empty())
        PlayEffectSound(effect);
    if (const tagUserData* user = IsChair(me) ? GetUserData(me) : nullptr; user && !g_bReplayMode)
        PlayVoice(PlayVoicePath(m_GameLogic, user->cbGender, user->cbDialect, cards, count, type, RandomVariant));

    view.m_UserCardControl[1].SetCards(cards, count);
    CCardControl::EndDrag();
    if (IsChair(me) && m_GameLogic.RemoveCards(cards, count, m_cbAllCards[me], m_cbCardCount[me]))
        m_cbCardCount[me] = static_cast<BYTE>(m_cbCardCount[me] - count);
    if (m_GameLogic.RemoveCards(cards, count, m_cbHandCards, m_cbHandCount))
        m_cbHandCount = static_cast<BYTE>(m_cbHandCount - count);
    ShowLocalHand();
    ClearPickChains();
    m_GameLogic.SortCards(m_cbHandCards, m_cbHandCount, ShownOrder());
    ShowLocalHand();
    return 0;
}

LRESULT CGameClientDlg::OnPassCommand(WPARAM, LPARAM)
{
    if (!IsButtonActive(106))
        return 0;
    const WORD me = MeChair();
    CountOwnTurn();
    CloseTurnControls();
    if (m_bBangOffer && IsChair(m_wLordUser) && (me == m_wLordUser || me == (m_wLordUser + 2) % PLAYER_COUNT)) {
        EnableButton(119, false);
        ShowButton(119, false);
        m_bBangOffer = false;
    }
    SendData(SUB_C_PASS_CARD);
    m_GameClientView.MarkSeatPassed(1, true);
    PlayVoice(PassVoicePath(GenderOf(me), MyDialect(), RandomVariant));
    ShowLocalHand();
    ClearPickChains();
    m_GameClientView.ShowNoBiggerCard(false);
    return 0;
}

LRESULT CGameClientDlg::OnAutoPassCommand(WPARAM, LPARAM)
{
    OutCardResult answer{};
    if (!m_GameLogic.FindBeater(m_cbHandCards, m_cbHandCount, m_cbTurnCardData, m_cbTurnCardCount, answer))
        OnPassCommand(0, 0);
    return 0;
}

LRESULT CGameClientDlg::OnCardRightClick(WPARAM, LPARAM)
{
    return OnOutCardCommand(0, 0);
}

// ---- Bidding and doubling ---------------------------------------------------------------------------

LRESULT CGameClientDlg::OnBidCommand(WPARAM wParam, LPARAM)
{
    CGameClientView& view = m_GameClientView;
    view.m_SpareCardControl.SetCards(nullptr, 0);
    KillGameTimer(203);
    for (UINT id = 101; id <= 104; ++id)
        ShowButton(id, false);
    const BidScore bid{static_cast<BYTE>(wParam)};
    SendData(SUB_C_BID_SCORE, &bid, sizeof(bid));
    m_bBangOffer = false;
    PlayVoice(BidVoicePath(GenderOf(MeChair()), MyDialect(), bid.cbLordScore, RandomVariant));
    return 0;
}

LRESULT CGameClientDlg::OnBangCommand(WPARAM, LPARAM)
{
    if (!m_bBangOffer)
        return 0;
    m_bBangOffer = false;
    JiaBangType bang{};
    if (MeChair() == m_wLordUser)
        bang.dwBangType = 2;
    else
        bang.dwBangType = m_GameClientView.m_wBangSeat != INVALID_SEAT ? 1 : 0;
    SendData(SUB_C_JIA_BANG, &bang, sizeof(bang));
    return 0;
}

// ---- Hint and card clicks ------------------------------------------------------------------------------

LRESULT CGameClientDlg::OnHintCommand(WPARAM, LPARAM)
{
    CCardControl& hand = m_GameClientView.m_HandCardControl[1];
    OutCardResult answer{};
    const bool bFound = m_bHintChain
                            ? m_GameLogic.FindBeater(m_cbHandCards, m_cbHandCount, m_cbHintCards, m_cbHintCount, answer)
                            : m_GameLogic.FindBeater(m_cbHandCards, m_cbHandCount, m_cbTurnCardData, m_cbTurnCardCount, answer);
    const auto remember = [this](const OutCardResult& play) {
        m_cbHintCount = play.cbCount;
        std::memset(m_cbHintCards, 0, sizeof(m_cbHintCards));
        std::memcpy(m_cbHintCards, play.cbCards, play.cbCount);
    };
    if (bFound) {
        hand.RaiseCards(answer.cbCards, answer.cbCount);
        const bool bCanOut = CanOutCard();
        EnableButton(105, bCanOut);
        m_bHintChain = bCanOut;
        remember(answer);
        return 0;
    }
    if (m_bHintChain) {
        // The chain has passed the strongest answer: start again with the weakest.
        if (m_GameLogic.FindBeater(m_cbHandCards, m_cbHandCount, m_cbTurnCardData, m_cbTurnCardCount, answer)) {
            hand.RaiseCards(answer.cbCards, answer.cbCount);
            remember(answer);
        }
        EnableButton(105, CanOutCard());
        return 0;
    }
    OnPassCommand(0, 0);
    m_bHintChain = false;
    return 0;
}

LRESULT CGameClientDlg::OnCardClick(WPARAM, LPARAM)
{
    CCardControl& hand = m_GameClientView.m_HandCardControl[1];
    BYTE raised[MAX_HAND];
    const BYTE raisedCount = hand.GetRaisedCards(raised, MAX_HAND);
    const BYTE raisedBefore = hand.GetLastRaisedCount();
    if (m_cbTurnCardCount > 0) {
        DebugTrace("cbCurrentShootCardCount=%d,LastShootCardCount=%d\n", raisedCount, raisedBefore);
        if (raisedCount == 1 && raisedBefore == 0) {
            if (const auto help = HelpResponseClick(m_GameLogic, m_cbHandCards, m_cbHandCount, m_cbTurnCardData, m_cbTurnCardCount, raised[0]))
                hand.RaiseCards(help->cbCards, help->cbCount);
        }
    } else {
        CWnd* hint = m_GameClientView.GetDlgItem(107);
        CWnd* pass = m_GameClientView.GetDlgItem(106);
        if (hint && pass && hint->IsWindowVisible() && pass->IsWindowVisible()) {
            DebugTrace("自己出牌 \r\n");
            if (raisedCount == 2 && raisedBefore == 1) {
                if (const auto line = CompleteLineOfFive(m_GameLogic, m_cbHandCards, m_cbHandCount, raised))
                    hand.RaiseCards(line->cbCards, line->cbCount);
            }
        }
    }
    EnableButton(105, CanOutCard());
    return 0;
}

// ---- Trustee and sorting ------------------------------------------------------------------------------

LRESULT CGameClientDlg::OnTrusteeCommand(WPARAM wParam, LPARAM)
{
    const bool bWanted = wParam != 0;
    if (bWanted == m_bTrustee)
        return 0;
    const UserTrustee request{MeChair(), static_cast<BYTE>(bWanted ? 1 : 0), 0};
    SendData(SUB_C_TRUSTEE, &request, sizeof(request));
    m_cbAutoOut = true;
    return 0;
}

LRESULT CGameClientDlg::OnTrusteeToggle(WPARAM, LPARAM)
{
    const UserTrustee request{MeChair(), static_cast<BYTE>(m_bTrustee ? 0 : 1), 0};
    SendData(SUB_C_TRUSTEE, &request, sizeof(request));
    return 1;
}

LRESULT CGameClientDlg::OnSortCommand(WPARAM, LPARAM)
{
    // m_bOrderSort set means the hand is shown by rank and the button sorts by count next.
    const BYTE order = m_bOrderSort ? ORDER_BY_COUNT : ORDER_BY_RANK;
    m_GameLogic.SortCards(m_cbHandCards, m_cbHandCount, order);
    ShowLocalHand();
    const bool bNext = !m_bOrderSort;
    AppProfile().WriteProfileInt("GameOption", "OrderSortCard", bNext ? 1 : 0);
    m_GameClientView.m_bOrderSortCard = bNext ? 1 : 0;
    m_bOrderSort = bNext;
    if (CPngButton* button = m_GameClientView.GetButton(110))
        button->SetButtonImage(m_bOrderSort ? "Telvo\\img\\btCountSort.png" : "Telvo\\img\\btOrderSort.png");
    return 0;
}
