// Table snapshots: a player who sits down, comes back or starts watching is sent the table in its
// current state, and the window rebuilds its own state, the table and the controls from it. A
// replay restores the recorded snapshots through the same steps, without the live parts.
#include <cstring>

#include "app/GameClientDlg.h"
#include "support/DataPaths.h"

namespace {

constexpr UINT kStartSeconds = 30;
constexpr UINT kBidSeconds = 20;
constexpr UINT kPlaySeconds = 30;
constexpr int kSideSpaceX = 12;
constexpr int kSideRaise = 15;

}  // namespace

bool CGameClientDlg::HandleSceneMessage(BYTE cbGameStatus, bool bLookon, const void* pData, WORD wDataSize)
{
    // Any snapshot from the server means a live table, whether or not this one can be read.
    g_bReplayMode = false;
    StartRecordingHead();
    ShowTaskWindow();
    if (!bLookon)
        ShowButton(135, false);

    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), pData ? wDataSize : 0);
    if (CheckSceneMessage(cbGameStatus, body) != MessageCheck::Accept)
        return false;
    switch (cbGameStatus) {
    case GS_FREE:
        RecordPacket(kVideoKindFree, body);
        RestoreSceneFree(*ReadRecord<StatusFree>(body));
        return true;
    case GS_BIDDING:
        RecordPacket(kVideoKindScore, body);
        RestoreSceneScore(*ReadRecord<StatusScore>(body), false);
        return true;
    default:
        RecordPacket(kVideoKindPlay, body);
        RestoreScenePlay(*ReadRecord<StatusPlay>(body), false);
        return true;
    }
}

template <typename Scene>
void CGameClientDlg::ApplyCounterStep(const Scene& scene)
{
    g_bCardCounter = scene.dwCounterOn == 1;
    if (!g_bCardCounter)
        return;
    ShowButton(132, true);
    EnableButton(132, false);
    ShowButton(133, true);
    EnableButton(133, true);
    std::memcpy(m_GameClientView.m_cbOutCount, scene.cbOutCount, COUNTER_SLOTS);
    std::memcpy(m_GameClientView.m_cbLeftCount, scene.cbLeftCount, COUNTER_SLOTS);
}

void CGameClientDlg::ApplyHandFaceRule()
{
    m_GameClientView.m_HandCardControl[1].ShowFaces(!IsLookonMode() || IsAllowLookon());
}

void CGameClientDlg::RestoreSceneFree(const StatusFree& scene)
{
    CGameClientView& view = m_GameClientView;
    ApplyCounterStep(scene);
    m_cbSecretMode = scene.cbSecretMode;
    ApplySecretMode(GS_FREE);
    view.m_wGameMode = scene.wGameMode;
    view.SetBaseScore(scene.lBaseScore);
    UpdateTurnRound();

    const bool bWaiting = scene.cbMeStatus != US_READY && !m_bAutoStarted;
    if (!IsLookonMode()) {
        ShowButton(100, bWaiting);
    } else {
        ShowButton(109, false);
        EnableButton(109, false);
        EnableButton(108, false);
    }
    ApplyHandFaceRule();
    SetHasMission(scene.dwHasMission);
    // The start clock runs for a looker too: it shows how long the player has to get ready.
    if (bWaiting && IsChair(MeChair()))
        SetGameTimer(MeChair(), 202, kStartSeconds);
    else
        KillGameTimer(202);
}

void CGameClientDlg::RestoreSceneScore(const StatusScore& scene, bool bReplay)
{
    if (m_cbDealLeft > 0)
        return;
    CGameClientView& view = m_GameClientView;
    const WORD me = MeChair();
    if (!bReplay) {
        ApplyCounterStep(scene);
        m_cbSecretMode = scene.cbSecretMode;
        ApplySecretMode(GS_BIDDING);
        view.m_wGameMode = scene.wGameMode;
    }
    view.ShowSideCardBacks(true);
    m_bOpenHands = scene.cbOpenHands != 0;

    m_cbHandCount = HAND_CARDS;
    for (BYTE& count : m_cbCardCount)
        count = HAND_CARDS;
    std::memset(m_cbHandCards, 0, sizeof(m_cbHandCards));
    if (IsChair(me))
        std::memcpy(m_cbHandCards, scene.cbHandCards[me], HAND_CARDS);
    std::memcpy(m_cbAllCards, scene.cbHandCards, sizeof(m_cbAllCards));
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        if (seat < PLAYER_COUNT) {
            view.SetSeatCardsLeft(seat, HAND_CARDS);
            view.SetSeatBid(seat, scene.cbBidInfo[chair]);
        }
    }
    view.ShowWaitCallScore(true);
    if (!bReplay) {
        view.SetBaseScore(scene.lBaseScore);
        SetHasMission(scene.dwHasMission);
    }
    UpdateTurnRound();

    if (!bReplay) {
        if (!IsLookonMode()) {
            const bool bMine = scene.wCurrentUser == me;
            for (UINT id = 101; id <= 104; ++id)
                ShowButton(id, bMine);
            if (bMine) {
                EnableButton(104, true);
                EnableButton(101, scene.cbTopBid == 0);
                EnableButton(102, scene.cbTopBid <= 1);
                EnableButton(103, scene.cbTopBid <= 2);
            } else {
                for (UINT id = 101; id <= 103; ++id)
                    EnableButton(id, false);
            }
            EnableButton(110, true);
        } else {
            ShowButton(109, false);
            EnableButton(109, false);
            EnableButton(108, false);
            EnableButton(110, false);
        }
    }

    const BYTE backs[BACK_CARDS] = {};
    view.m_BackCardControl.SetCards(backs, BACK_CARDS);
    view.m_HandCardControl[1].SetCards(m_cbHandCards, HAND_CARDS);
    if (bReplay)
        view.m_HandCardControl[1].ShowFaces(true);
    else
        ApplyHandFaceRule();
    view.m_HandCardControl[0].SetSpacing(kSideSpaceX, 0, kSideRaise);
    view.m_HandCardControl[2].SetSpacing(kSideSpaceX, 0, kSideRaise);
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        if (seat == 0 || seat == 2) {
            view.m_HandCardControl[seat].SetCards(m_cbAllCards[chair], m_cbCardCount[chair]);
            view.m_HandCardControl[seat].ShowFaces(true);
        }
    }
    if (bReplay)
        return;

    // The server still has the player in trustee: ask for it again (the answer switches it on).
    if (RestoreTrusteeMarks(scene.cbUserTrustee))
        OnTrusteeCommand(1, 1);
    if (IsChair(scene.wCurrentUser))
        SetGameTimer(scene.wCurrentUser, 203, kBidSeconds);
}

void CGameClientDlg::RestoreScenePlay(const StatusPlay& scene, bool bReplay)
{
    CGameClientView& view = m_GameClientView;
    const WORD me = MeChair();
    if (!bReplay) {
        view.m_wGameMode = scene.wGameMode;
        ApplyCounterStep(scene);
        m_cbSecretMode = scene.cbSecretMode;
        ApplySecretMode(GS_PLAYING);
    }

    m_bOpenHands = scene.cbOpenHands != 0;
    m_cbTurnCardCount = scene.cbTurnCardCount;
    m_cbHandCount = IsChair(me) ? scene.cbCardCount[me] : 0;
    std::memset(m_cbTurnCardData, 0, sizeof(m_cbTurnCardData));
    std::memcpy(m_cbTurnCardData, scene.cbTurnCardData, m_cbTurnCardCount);
    m_GameLogic.SortCards(m_cbTurnCardData, m_cbTurnCardCount, ORDER_BY_RANK);
    m_cbTurnCardType = m_GameLogic.JudgeType(m_cbTurnCardData, m_cbTurnCardCount);
    std::memset(m_cbHandCards, 0, sizeof(m_cbHandCards));
    if (IsChair(me))
        std::memcpy(m_cbHandCards, scene.cbHandCards[me], m_cbHandCount);
    std::memcpy(m_cbAllCards, scene.cbHandCards, sizeof(m_cbAllCards));
    view.ShowSideCardBacks(true);

    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT)
            view.m_bSeatBang[seat] = scene.cbUserBang[chair];
    }
    m_bBangOffer = IsChair(me) && scene.cbCanBang[me] != 0;
    view.m_wBangSeat = IsChair(scene.wFirstBangUser) ? SwitchViewChair(scene.wFirstBangUser) : INVALID_SEAT;

    m_wLordUser = scene.wLordUser;
    m_wLimitMultiple = scene.wLimitValue / 2;
    if (!bReplay)
        SetHasMission(scene.dwHasMission);

    if (!IsLookonMode() && m_bBangOffer) {
        CPngButton* bang = view.GetButton(119);
        if (bang && me == m_wLordUser)
            bang->SetButtonImage("Telvo\\img\\btFanBang.png");
        else if (bang && view.m_wBangSeat != INVALID_SEAT && view.m_wBangSeat != 1)
            bang->SetButtonImage("Telvo\\img\\btGenBang.png");
        EnableButton(119, true);
        ShowButton(119, true);
    } else {
        EnableButton(119, false);
        ShowButton(119, false);
    }

    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        m_cbCardCount[chair] = scene.cbCardCount[chair];
        if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT)
            view.SetSeatCardsLeft(seat, m_cbCardCount[chair]);
    }
    view.SetMultiple(scene.wMultiple);
    view.SetBaseScore(scene.lBaseScore);
    UpdateTurnRound();
    view.m_BackCardControl.SetCards(nullptr, 0);
    view.m_BackCardControl.ShowFaces(true);
    if (!bReplay)
        m_cbAutoOut = scene.cbAutoOut != 0;

    view.m_HandCardControl[1].SetCards(m_cbHandCards, m_cbHandCount);
    if (const WORD lordSeat = SwitchViewChair(m_wLordUser); lordSeat < PLAYER_COUNT)
        view.SetLord(lordSeat, scene.cbLordScore);

    if (!bReplay) {
        DisableShapeButtons();
        for (int shape = 0; shape < kShapeCount; ++shape)
            ShowButton(111 + shape, !g_bCardCounter);
        if (!IsLookonMode()) {
            if (scene.wCurrentUser == me) {
                EnableButton(105, false);
                ShowButton(105, true);
                ShowButton(106, true);
                EnableButton(106, m_cbTurnCardCount > 0);
                EnableButton(107, true);
                ShowButton(107, true);
                EnableShapeButtons(false);
            } else {
                for (UINT id : {105u, 106u, 107u}) {
                    EnableButton(id, false);
                    ShowButton(id, false);
                }
            }
        }
    }

    if (m_cbTurnCardCount > 0) {
        if (const WORD turnSeat = SwitchViewChair(scene.wTurnUser); turnSeat < PLAYER_COUNT)
            view.m_UserCardControl[turnSeat].SetCards(scene.cbTurnCardData, m_cbTurnCardCount);
    }

    if (!bReplay) {
        ShowButton(109, false);
        EnableButton(109, false);
        if (IsLookonMode()) {
            EnableButton(108, false);
            EnableButton(110, false);
        } else {
            ShowButton(108, true);
            EnableButton(108, true);
            EnableButton(110, true);
        }
    }

    ShowSideHands();
    view.m_HandCardControl[0].SetSpacing(kSideSpaceX, 0, kSideRaise);
    view.m_HandCardControl[2].SetSpacing(kSideSpaceX, 0, kSideRaise);

    if (!bReplay) {
        if (RestoreTrusteeMarks(scene.cbUserTrustee))
            m_bTrustee = true;
        if (IsChair(scene.wCurrentUser))
            SetGameTimer(scene.wCurrentUser, 200, kPlaySeconds);
    }
    if (scene.wCurrentUser == me)
        m_wTimeoutAtTurn = m_wTimeoutCount;

    m_wMultiple = scene.wMultiple;
    CheckMultipleCap();
    if (bReplay) {
        view.m_HandCardControl[1].AcceptMouse(true);
        view.m_HandCardControl[1].ShowFaces(true);
    } else {
        view.m_HandCardControl[1].AcceptMouse(!IsLookonMode());
        ApplyHandFaceRule();
    }
    m_wCurrentUser = scene.wCurrentUser;
}

bool CGameClientDlg::RestoreTrusteeMarks(const BYTE cbUserTrustee[PLAYER_COUNT])
{
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT)
            m_GameClientView.MarkSeatTrustee(seat, cbUserTrustee[chair] != 0);
    }
    const WORD me = MeChair();
    if (IsLookonMode() || !IsChair(me) || !cbUserTrustee[me])
        return false;
    EnableButton(108, false);
    EnterTrusteeView();
    return true;
}

bool CGameClientDlg::ReplaySceneFree(StatusFree)
{
    return true;
}

bool CGameClientDlg::ReplaySceneScore(StatusScore scene)
{
    RestoreSceneScore(scene, true);
    return true;
}

bool CGameClientDlg::ReplayScenePlay(StatusPlay scene)
{
    RestoreScenePlay(scene, true);
    return true;
}
