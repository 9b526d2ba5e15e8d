// Play turns as the server reports them, the landlord's opening turn after the back cards have
// flown, and the check of the stakes against the table's cap.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include <QString>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "app/MultipleCap.h"
#include "interaction/VoiceNames.h"
#include "platform/Services.h"
#include "support/DebugTrace.h"

namespace {

constexpr UINT_PTR kTimerTurnPause = 201;
constexpr UINT kTurnPauseMs = 3000;
constexpr UINT kPlaySeconds = 20;
constexpr UINT kOpeningPlaySeconds = 30;
// The low-cards warning sounds when a player is down to this many cards.
constexpr BYTE kWarnCards = 5;
constexpr std::size_t kHistorySize = 5;

bool IsTrioKind(BYTE cbType)
{
    return cbType == PLAY_PLANE || cbType == PLAY_TRIO_PLUS_ONE || cbType == PLAY_TRIO_PLUS_PAIR;
}

}  // namespace

void CGameClientDlg::CloseBangOfferBefore(WORD wActingUser)
{
    // The farmer's offer lasts until the player just before the landlord has acted.
    if (!m_bBangOffer || !IsChair(m_wLordUser) || MeChair() == m_wLordUser)
        return;
    if (wActingUser != (m_wLordUser + 2) % PLAYER_COUNT)
        return;
    ShowButton(119, false);
    EnableButton(119, false);
    m_bBangOffer = false;
}

void CGameClientDlg::RecordLastTurn(WORD wChairID, const BYTE cbCards[], BYTE cbCount)
{
    const std::size_t entry = m_cbHistoryIndex % kHistorySize;
    m_wHistoryView[entry] = SwitchViewChair(wChairID);
    m_cbHistoryCount[entry] = std::min<BYTE>(cbCount, MAX_HAND);
    std::memset(m_cbHistoryCards[entry], 0, MAX_HAND);
    if (cbCards)
        std::memcpy(m_cbHistoryCards[entry], cbCards, m_cbHistoryCount[entry]);
    m_cbHistoryIndex = static_cast<BYTE>(entry + 1);
    ++m_GameClientView.m_cbPlayCount;
    if (m_cbHistoryIndex >= 3) {
        EnableButton(118, true);
        ShowButton(118, true);
    }
}

void CGameClientDlg::UpdateCardCounter(const BYTE cbCards[], BYTE cbCount)
{
    if (!g_bCardCounter)
        return;
    CGameClientView& view = m_GameClientView;
    BYTE cbResultError = 0;
    m_GameLogic.HandleRecordData(cbCards, cbCount, view.m_cbOutCount, cbResultError);
    if (cbResultError != 0) {
        char text[96];
        std::snprintf(text, sizeof(text), "HandleRecordData出现异常, cbResultError=%d", cbResultError);
        GetDialogService().MessageBox(GetSafeHwnd(), QString::fromUtf8(text));
        return;
    }
    for (BYTE slot = 0; slot < COUNTER_SLOTS; ++slot) {
        const int full = slot >= 13 ? 1 : 4;
        // A server that reports more cards of a rank than the deck holds leaves 0, never a wrapped count.
        view.m_cbLeftCount[slot] = static_cast<BYTE>(std::max(0, full - view.m_cbOutCount[slot]));
    }
}

bool CGameClientDlg::StillHeld(const BYTE cbCards[], BYTE cbCount) const
{
    BYTE hand[MAX_HAND];
    std::memcpy(hand, m_cbHandCards, sizeof(hand));
    return cbCount > 0 && m_GameLogic.RemoveCards(cbCards, cbCount, hand, m_cbHandCount);
}

void CGameClientDlg::ShowSideHands()
{
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        if (seat != 0 && seat != 2)
            continue;
        CCardControl& hand = m_GameClientView.m_HandCardControl[seat];
        if (m_bOpenHands) {
            hand.SetCards(m_cbAllCards[chair], m_cbCardCount[chair]);
            hand.ShowFaces(true);
        } else {
            hand.SetCards(nullptr, 0);
        }
    }
}

void CGameClientDlg::OfferPlayButtons(bool bLeading)
{
    ActiveGameFrame();
    OutCardResult answer{};
    if (m_cbTurnCardCount > 0 && !m_GameLogic.FindBeater(m_cbHandCards, m_cbHandCount, m_cbTurnCardData, m_cbTurnCardCount, answer)) {
        m_GameClientView.ShowNoBiggerCard(true);
        ShowButton(106, true);
        EnableButton(106, true);
        ShowButton(105, false);
        ShowButton(107, false);
        DisableShapeButtons();
        return;
    }
    ShowButton(105, true);
    EnableButton(105, CanOutCard());
    ShowButton(106, true);
    EnableButton(106, m_cbTurnCardCount > 0);
    ShowButton(107, true);
    EnableButton(107, true);
    EnableShapeButtons(bLeading);
}

bool CGameClientDlg::OnSubOutCard(const PlayedCards& played)
{
    CGameClientView& view = m_GameClientView;
    const WORD me = MeChair();
    const WORD who = played.wOutCardUser;
    const WORD next = played.wCurrentUser;
    const BYTE count = played.cbCardCount;
    const WORD seat = SwitchViewChair(who);

    CloseBangOfferBefore(who);
    if (m_bBackCardsShown) {
        m_bBackCardsShown = false;
        view.m_BackCardControl.SetCards(nullptr, 0);
    }
    KillTimer(kTimerTurnPause);
    KillGameTimer(200);

    if ((IsLookonMode() || who != me) && seat < PLAYER_COUNT)
        view.m_UserCardControl[seat].SetCards(played.cbCardData, count);
    if (m_cbTurnCardCount == 0) {
        for (WORD other = 0; other < PLAYER_COUNT; ++other) {
            if (other != seat)
                view.m_UserCardControl[other].SetCards(nullptr, 0);
        }
        view.MarkSeatPassed(INVALID_SEAT, false);
    }

    // The play to beat is kept in rank order, the order the card rules compare in; the table
    // shows the cards as they came.
    std::memset(m_cbTurnCardData, 0, sizeof(m_cbTurnCardData));
    std::memcpy(m_cbTurnCardData, played.cbCardData, count);
    m_GameLogic.SortCards(m_cbTurnCardData, count, ORDER_BY_RANK);
    m_cbTurnCardCount = count;
    m_cbTurnCardType = m_GameLogic.JudgeType(m_cbTurnCardData, count);
    RecordLastTurn(who, played.cbCardData, count);

    if (m_cbTurnCardType == PLAY_BOMB || m_cbTurnCardType == PLAY_ROCKET) {
        m_wMultiple = static_cast<WORD>(m_wMultiple * 2);
        view.SetMultiple(m_wMultiple);
        if (m_cbTurnCardType == PLAY_BOMB) {
            ++m_wBombCount;
            view.PlayCartoon("bomb");
        } else {
            m_wRocketPlayed = 1;
            view.PlayCartoon("rocket");
        }
        CheckMultipleCap();
    } else if (IsTrioKind(m_cbTurnCardType) && count > 5) {
        view.PlayCartoon("plane");
    }

    const auto lose = [count](BYTE& held) { held = held > count ? static_cast<BYTE>(held - count) : 0; };
    if (IsLookonMode()) {
        lose(m_cbCardCount[who]);
        if (who == me) {
            lose(m_cbHandCount);
            view.m_HandCardControl[1].SetCards(m_cbHandCards, m_cbHandCount);
        }
    } else if (who != me) {
        lose(m_cbCardCount[who]);
    } else if (g_bReplayMode || StillHeld(played.cbCardData, count)) {
        // A replay shows the recorded player's plays here. Live, the window removes its own plays
        // when it sends them; cards it still holds were played for it by the server (a time-out
        // the server decided), and the hand must lose them all the same.
        m_GameLogic.RemoveCards(played.cbCardData, count, m_cbAllCards[who], m_cbCardCount[who]);
        lose(m_cbCardCount[who]);
        m_GameLogic.RemoveCards(played.cbCardData, count, m_cbHandCards, m_cbHandCount);
        lose(m_cbHandCount);
        view.m_HandCardControl[1].SetCards(m_cbHandCards, m_cbHandCount);
        view.m_UserCardControl[1].SetCards(played.cbCardData, count);
    }
    if (seat < PLAYER_COUNT)
        view.SetSeatCardsLeft(seat, m_cbCardCount[who]);
    ShowSideHands();

    if (IsLookonMode() || who != me) {
        const std::string effect = PlayEffectPath(m_cbTurnCardType, count);
        if (!effect.empty())
            PlayEffectSound(effect);
        if (IsLiveGame())
            PlayVoice(PlayVoicePath(m_GameLogic, GenderOf(who), MyDialect(), m_cbTurnCardData, count, m_cbTurnCardType, RandomVariant));
    }

    if (next == who) {
        // Nobody can answer: the player leads again after a pause.
        m_cbTurnCardCount = 0;
        m_cbTurnCardType = PLAY_INVALID;
        std::memset(m_cbTurnCardData, 0, sizeof(m_cbTurnCardData));
        m_wTurnLeader = next;
        if (CanAct() && m_cbHandCount > 0 && next == me) {
            ShowButton(105, true);
            EnableButton(105, CanOutCard());
            ShowButton(107, true);
            EnableButton(107, true);
            ShowButton(106, true);
            EnableButton(106, false);
            EnableShapeButtons(true);
        }
        for (WORD other = 0; other < PLAYER_COUNT; ++other) {
            if (other == seat)
                continue;
            view.MarkSeatPassed(other, true);
            view.m_UserCardControl[other].SetCards(nullptr, 0);
        }
        SetTimer(kTimerTurnPause, kTurnPauseMs);
        UpdateCardCounter(played.cbCardData, count);
        return true;
    }

    if (m_dwWarned[who] == 0 && m_cbCardCount[who] <= kWarnCards && IsLiveGame()) {
        m_dwWarned[who] = 1;
        if (seat < PLAYER_COUNT) {
            view.m_cbAlarmPlay[seat] = view.m_cbPlayCount;
            view.m_dwAlarmCards[seat] = m_cbCardCount[who];
            if (who != me)
                view.RaiseCardAlarm(seat, m_cbCardCount[who]);
        }
        PlayVoice(DangerVoicePath(GenderOf(who), MyDialect(), RandomVariant));
    }
    const WORD nextSeat = SwitchViewChair(next);
    if (nextSeat < PLAYER_COUNT) {
        view.MarkSeatPassed(nextSeat, false);
        view.m_UserCardControl[nextSeat].SetCards(nullptr, 0);
    }
    if (CanAct() && next == me)
        OfferPlayButtons(m_wTurnLeader == me);

    DebugTrace("OnSubOutCard():pOutCard->wCurrentUser=%d\n", next);
    if (IsChair(next)) {
        DebugTrace("Enter pOutCard->wCurrentUser!=INVALID_CHAIR:pOutCard->wCurrentUser=%d\n", next);
        SetGameTimer(next, 200, kPlaySeconds);
        if (next == me)
            m_wTimeoutAtTurn = m_wTimeoutCount;
    }
    m_wCurrentUser = next;
    UpdateCardCounter(played.cbCardData, count);
    return true;
}

void CGameClientDlg::OnTurnPauseTimer()
{
    KillTimer(kTimerTurnPause);
    if (!IsChair(m_wTurnLeader))
        return;
    const WORD leader = m_wTurnLeader;
    m_wTurnLeader = INVALID_CHAIR;
    CGameClientView& view = m_GameClientView;
    view.MarkSeatPassed(INVALID_SEAT, false);
    for (CCardControl& played : view.m_UserCardControl)
        played.SetCards(nullptr, 0);
    if (CanAct() && leader == MeChair()) {
        ActiveGameFrame();
        ShowButton(105, true);
        EnableButton(105, CanOutCard());
        ShowButton(106, true);
        EnableButton(106, false);
        ShowButton(107, true);
        EnableButton(107, true);
    }
    SetGameTimer(leader, 200, kPlaySeconds);
    if (IsLiveGame() && leader == MeChair())
        m_wTimeoutAtTurn = m_wTimeoutCount;
}

bool CGameClientDlg::OnSubPassCards(const PassCards& pass)
{
    CGameClientView& view = m_GameClientView;
    const WORD me = MeChair();
    const WORD who = pass.wPassUser;
    const WORD next = pass.wCurrentUser;

    CloseBangOfferBefore(who);
    KillGameTimer(200);
    const WORD seat = SwitchViewChair(who);
    if ((IsLookonMode() || who != me) && seat < PLAYER_COUNT) {
        view.MarkSeatPassed(seat, true);
        view.m_UserCardControl[seat].SetCards(nullptr, 0);
    }
    if (m_cbTurnCardCount > 0) {
        SetGameTimer(next, 200, kPlaySeconds);
        if (next == me)
            m_wTimeoutAtTurn = m_wTimeoutCount;
    }
    const bool bNewTurn = pass.cbNewTurn == 1;
    if (bNewTurn) {
        m_cbTurnCardCount = 0;
        m_cbTurnCardType = PLAY_INVALID;
        std::memset(m_cbTurnCardData, 0, sizeof(m_cbTurnCardData));
    }
    if (const WORD nextSeat = SwitchViewChair(next); nextSeat < PLAYER_COUNT) {
        view.MarkSeatPassed(nextSeat, false);
        view.m_UserCardControl[nextSeat].SetCards(nullptr, 0);
    }
    RecordLastTurn(who, nullptr, 0);

    if (CanAct() && next == me)
        OfferPlayButtons(bNewTurn);
    else if (g_bReplayMode && who == me)
        view.MarkSeatPassed(1, true);

    if ((IsLookonMode() || who != me) && IsLiveGame())
        PlayVoice(PassVoicePath(GenderOf(who), MyDialect(), RandomVariant));
    m_wCurrentUser = next;
    return true;
}

LRESULT CGameClientDlg::OnCartoonFinish(WPARAM, LPARAM)
{
    DebugTrace("----------------OnCartoonFinish()----------------\n");
    CGameClientView& view = m_GameClientView;
    if (!IsChair(m_wLordUser))
        return 1;
    if (const WORD seat = SwitchViewChair(m_wLordUser); seat < PLAYER_COUNT)
        view.SetSeatCardsLeft(seat, m_cbCardCount[m_wLordUser]);
    view.m_HandCardControl[1].SetCards(m_cbHandCards, m_cbHandCount);
    SetGameTimer(m_wLordUser, 200, kOpeningPlaySeconds);
    if (!g_bReplayMode) {
        if (!IsLookonMode() && m_wLordUser == MeChair()) {
            ActiveGameFrame();
            EnableButton(105, false);
            ShowButton(105, true);
            EnableButton(106, false);
            ShowButton(106, true);
            ShowButton(107, true);
            EnableButton(107, true);
            EnableShapeButtons(true);
        }
        for (UINT id = 111; id <= 117; ++id)
            ShowButton(id, !g_bCardCounter);
        EnableButton(108, true);
    }
    view.m_HandCardControl[1].AcceptMouse(!(IsLookonMode() && !IsAllowLookon()));
    return 1;
}

void CGameClientDlg::CheckMultipleCap()
{
    CGameClientView& view = m_GameClientView;
    std::array<bool, 3> banged{};
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        banged[chair] = seat < PLAYER_COUNT && view.m_bSeatBang[seat] != 0;
    }
    const auto atCap = ChairsAtCap(view.m_cbLordBid, m_wMultiple, m_wLordUser, banged, m_wLimitMultiple);
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        if (atCap[chair] && seat < PLAYER_COUNT)
            view.ShowTopBadge(seat, true);
    }
}
