// Dealing, bidding and doubling: the deal arrives whole, the client shuffles, deals the cards
// one by one with the face-up card, follows the bids, hands the back cards to the landlord and
// offers the doubles.
#include <cstring>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "view/FadeDlg.h"
#include "windows/ScoreView.h"
#include "interaction/VoiceNames.h"
#include "platform/sound/SoundBackend.h"

namespace {

constexpr UINT_PTR kTimerDealStart = 212;
constexpr UINT_PTR kTimerDealStep = 204;
constexpr UINT_PTR kTimerCloseUp = 213;
constexpr UINT kShuffleMs = 1000;
constexpr UINT kDealStepMs = 60;
constexpr UINT kCloseUpMs = 800;
constexpr UINT kBidSeconds = 20;

constexpr int kSideSpaceX = 12;
constexpr int kSideRaise = 15;

constexpr const char* kDealSound = "telvo\\sound\\DISPATCH_CARD.wav";

}  // namespace

bool CGameClientDlg::OnSubDealCards(const DealCards& deal)
{
    const WORD me = MeChair();
    ShowButton(100, false);
    CloseScoreView();
    KillGameTimer(202);
    if (m_pTrusteeCover && !m_bTrustee) {
        m_GameClientView.FadeTrusteeCover(false, 0);
        LeaveTrusteeView();
    }

    m_wCurrentUser = m_wFirstUser = deal.wCurrentUser;
    m_bOpenHands = deal.cbOpenHands != 0;
    m_cbHandCount = HAND_CARDS;
    std::memset(m_cbHandCards, 0, sizeof(m_cbHandCards));
    if (IsChair(me))
        std::memcpy(m_cbHandCards, deal.cbHandCards[me], MAX_HAND);
    std::memcpy(m_cbAllCards, deal.cbHandCards, sizeof(m_cbAllCards));
    for (BYTE& count : m_cbCardCount)
        count = HAND_CARDS;

    CGameClientView& view = m_GameClientView;
    for (WORD seat = 0; seat < PLAYER_COUNT; ++seat) {
        view.SetSeatBid(seat, 0);
        view.MarkSeatPassed(seat, false);
        view.m_UserCardControl[seat].SetCards(nullptr, 0);
        view.m_HandCardControl[seat].SetCards(nullptr, 0);
    }
    view.m_HandCardControl[0].SetSpacing(kSideSpaceX, 0, kSideRaise);
    view.m_HandCardControl[2].SetSpacing(kSideSpaceX, 0, kSideRaise);
    if (m_bOpenHands)
        view.PlaceSideHands(0);
    view.SetMultiple(m_wMultiple);
    view.SetLordSeat(INVALID_SEAT);

    // The deck is dealt from its top (position 53 down), one card a chair in chair order, so the
    // i-th card of chair k lies at 53 - 3i - k. The record's bound (below 51) keeps it in the deck.
    const WORD chair = deal.wShownCardPos / HAND_CARDS;
    const WORD index = deal.wShownCardPos % HAND_CARDS;
    m_wShownCardChair = chair;
    m_wShownCardIndex = index + 1;
    if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT)
        view.m_HandCardControl[seat].ShowFaces(true);
    m_cbShownCard = m_cbAllCards[chair][index];
    std::memset(m_cbDeckCards, 0, sizeof(m_cbDeckCards));
    m_cbDeckCards[FULL_DECK - 1 - 3 * index - chair] = m_cbShownCard;

    CCardControl& deck = view.m_DeckCardControl;
    deck.SetCards(m_cbDeckCards, FULL_DECK);
    deck.ShowFaces(true);
    if (!IsLookonMode())
        deck.RaiseCards(&m_cbShownCard, 1);
    m_bBangOffer = true;
    deck.ShowWindow(SW_HIDE);
    view.ShowSideCardBacks(false);

    view.PlayCartoon("shuffle");
    SetTimer(kTimerDealStart, kShuffleMs);
    m_bDealPending = true;

    // The counter of the deal record is not used: every game starts from a full deck.
    for (BYTE slot = 0; slot < COUNTER_SLOTS; ++slot) {
        view.m_cbOutCount[slot] = 0;
        view.m_cbLeftCount[slot] = slot >= 13 ? 1 : 4;
    }
    SetGameStatus(GS_BIDDING);
    return true;
}

void CGameClientDlg::OnDealStartTimer()
{
    KillTimer(kTimerDealStart);
    m_bDealPending = false;
    m_GameClientView.m_DeckCardControl.ShowFaces(true);
    m_GameClientView.m_DeckCardControl.ShowWindow(SW_SHOW);
    StartDealing(m_cbHandCards, m_cbHandCount);
}

void CGameClientDlg::StartDealing(const BYTE cbHandCards[], BYTE cbHandCount)
{
    m_cbDealt = 0;
    m_cbDealLeft = FULL_DECK;
    std::memset(m_cbDealHand, 0, sizeof(m_cbDealHand));
    std::memcpy(m_cbDealHand, cbHandCards, std::min<std::size_t>(cbHandCount, MAX_HAND));
    m_GameClientView.ShowSideCardBacks(true);
    m_GameClientView.m_bShowCardsLeft = 0;
    m_GameClientView.UpdateGameView(nullptr);
    SetTimer(kTimerDealStep, kDealStepMs);
    if (IsEnableSound())
        GetSoundBackend().PlayWaveLoop(QString::fromUtf8(kDealSound));
}

void CGameClientDlg::StopDealingSound()
{
    if (GetSoundBackend().IsWaveLooping())
        GetSoundBackend().StopWaveLoop();
}

void CGameClientDlg::OnDealStepTimer()
{
    CGameClientView& view = m_GameClientView;
    const WORD me = MeChair();

    if (m_cbDealLeft > BACK_CARDS) {
        for (CCardControl& hand : view.m_HandCardControl)
            hand.SetDealMode(true);
        for (int card = 0; card < 3; ++card) {
            --m_cbDealLeft;
            const WORD chair = m_cbDealt % PLAYER_COUNT;
            const BYTE shown = static_cast<BYTE>(m_cbDealt / PLAYER_COUNT + 1);
            if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT) {
                CCardControl& hand = view.m_HandCardControl[seat];
                // Cards already dealt keep their raised flag, so the face-up card stays up.
                hand.ReplaceCards(m_cbAllCards[chair], shown);
                if (shown == m_wShownCardIndex && !IsLookonMode() && chair == m_wShownCardChair)
                    hand.RaiseCards(&m_cbShownCard, 1);
            }
            if (m_bOpenHands)
                m_GameLogic.SortCards(m_cbAllCards[chair], shown, ORDER_BY_RANK);
            ++m_cbDealt;
        }
        view.m_DeckCardControl.ReplaceCards(m_cbDeckCards, m_cbDealLeft);
        return;
    }

    if (m_cbDealLeft > 0) {
        for (CCardControl& hand : view.m_HandCardControl)
            hand.SetDealMode(false);
        view.m_SpareCardControl.ShowWindow(SW_HIDE);
        --m_cbDealLeft;
        ++m_cbDealt;
        view.m_DeckCardControl.SetCards(m_cbDeckCards, m_cbDealLeft);
        const BYTE backs[BACK_CARDS] = {};
        view.m_BackCardControl.SetCards(backs, BACK_CARDS - m_cbDealLeft);
        view.m_BackCardControl.ShowFaces(true);
        StopDealingSound();
        return;
    }

    for (CCardControl& hand : view.m_HandCardControl)
        hand.SetDealMode(false);
    KillTimer(kTimerDealStep);
    view.ShowWaitCallScore(true);
    view.m_DeckCardControl.SetCards(nullptr, 0);
    view.SetSeatCardsLeft(INVALID_SEAT, HAND_CARDS);
    // A landlord already named (the bids went on while the deal was shown) leaves no bid to offer
    // and no bid clock to start.
    const bool bBidding = !IsChair(m_wLordUser);
    if (CanAct() && bBidding && m_wCurrentUser == me) {
        ActiveGameFrame();
        if (m_wCurrentUser == m_wFirstUser) {
            for (UINT id = 101; id <= 104; ++id) {
                ShowButton(id, true);
                EnableButton(id, true);
            }
        }
    }
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const bool bLocal = chair == me;
        if (!m_bOpenHands && !bLocal)
            continue;
        m_GameLogic.SortCards(m_cbAllCards[chair], m_cbCardCount[chair], bLocal ? ShownOrder() : ORDER_BY_RANK);
        if (bLocal)
            std::memcpy(m_cbHandCards, m_cbAllCards[chair], MAX_HAND);
        if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT)
            view.m_HandCardControl[seat].SetCards(m_cbAllCards[chair], m_cbCardCount[chair]);
    }
    if (CanAct())
        EnableButton(110, true);
    PlayEffectSound("Telvo\\Sound\\GAME_START.mp3");
    if (bBidding && IsChair(m_wCurrentUser))
        SetGameTimer(m_wCurrentUser, 203, kBidSeconds);
    m_nCloseStep = 0;
    SetTimer(kTimerCloseUp, kCloseUpMs);
}

void CGameClientDlg::OnCloseUpTimer()
{
    CGameClientView& view = m_GameClientView;
    CCardControl& left = view.m_HandCardControl[0];
    CCardControl& right = view.m_HandCardControl[2];
    if (m_nCloseStep <= 3) {
        static constexpr int kSpacing[] = {11, 9, 5, 0};
        left.SetSpacing(kSpacing[m_nCloseStep], 0, kSideRaise);
        right.SetSpacing(kSpacing[m_nCloseStep], 0, kSideRaise);
        SetTimer(kTimerCloseUp, 50 - 10 * m_nCloseStep);
        ++m_nCloseStep;
        return;
    }
    if (m_nCloseStep <= 5) {
        view.PlaceSideHands(m_nCloseStep == 4 ? 25 : 50);
        ++m_nCloseStep;
        SetTimer(kTimerCloseUp, 30);
        return;
    }
    KillTimer(kTimerCloseUp);
    m_nCloseStep = 0;
    view.ShowSideCardBacks(true);
    view.m_bShowCardsLeft = 1;
    left.SetCards(nullptr, 0);
    right.SetCards(nullptr, 0);
    left.SetSpacing(kSideSpaceX, 0, kSideRaise);
    right.SetSpacing(kSideSpaceX, 0, kSideRaise);
    view.PlaceSideHands(0);
}

void CGameClientDlg::FinishDealing()
{
    // The deal had not begun (the shuffle was still on): it is shown complete at once as well.
    if (m_bDealPending) {
        m_bDealPending = false;
        KillTimer(kTimerDealStart);
        m_cbDealLeft = 1;
        SetTimer(kTimerDealStep, kDealStepMs);
    }
    if (m_cbDealLeft == 0)
        return;
    CGameClientView& view = m_GameClientView;
    view.m_HandCardControl[1].SetCards(m_cbHandCards, m_cbHandCount);
    for (WORD seat : {WORD{0}, WORD{2}}) {
        const WORD chair = static_cast<WORD>((MeChair() + (seat == 2 ? 1 : 2)) % PLAYER_COUNT);
        if (m_bOpenHands && IsChair(MeChair()))
            view.m_HandCardControl[seat].SetCards(m_cbAllCards[chair], m_cbCardCount[chair]);
        else
            view.m_HandCardControl[seat].SetCards(nullptr, 0);
    }
    m_cbDealLeft = 0;
    m_cbDealt = 0;
    std::memset(m_cbDealHand, 0, sizeof(m_cbDealHand));
    // The dealing sound stops with the last card; a deal cut short must stop it too, or it loops
    // on through the whole game.
    StopDealingSound();
}

bool CGameClientDlg::OnSubCallScore(const BidResult& bid)
{
    FinishDealing();
    const WORD me = MeChair();
    CGameClientView& view = m_GameClientView;
    if (const WORD seat = SwitchViewChair(bid.wBidUser); seat < PLAYER_COUNT)
        view.SetSeatBid(seat, bid.cbBid);

    if (CanAct() && bid.wCurrentUser == me) {
        ActiveGameFrame();
        for (UINT id = 101; id <= 104; ++id)
            ShowButton(id, true);
        EnableButton(101, bid.cbTopBid == 0);
        EnableButton(102, bid.cbTopBid <= 1);
        EnableButton(103, bid.cbTopBid <= 2);
    }

    if (IsLookonMode() || bid.wBidUser != me)
        PlayVoice(BidVoicePath(GenderOf(bid.wBidUser), MyDialect(), bid.cbBid, RandomVariant));

    if (IsChair(bid.wCurrentUser))
        SetGameTimer(bid.wCurrentUser, 203, kBidSeconds);
    m_wCurrentUser = bid.wCurrentUser;
    return true;
}

bool CGameClientDlg::OnSubLordInfo(const LordInfo& lord)
{
    const WORD me = MeChair();
    CGameClientView& view = m_GameClientView;

    m_wMultiple = 1;
    m_wBombCount = 0;
    m_wRocketPlayed = 0;
    m_cbTurnCardCount = 0;
    m_cbTurnCardType = PLAY_INVALID;
    std::memset(m_cbTurnCardData, 0, sizeof(m_cbTurnCardData));
    m_wLordUser = lord.wLordUser;
    m_wLimitMultiple = lord.wLimitValue / 2;
    KillGameTimer(202);
    ShowButton(100, false);
    view.StopCartoon("role");
    m_bBackCardsShown = true;
    view.SetMultiple(m_wMultiple);
    if (m_pTrusteeCover) {
        CloseScoreView();
        if (!m_bTrustee)
            view.FadeTrusteeCover(true, 2);
    }

    view.ShowWaitCallScore(false);
    view.StartBackCardFlip(lord.cbBackCard);
    view.SetSeatBid(INVALID_SEAT, 0);
    const WORD lordSeat = SwitchViewChair(m_wLordUser);
    if (lordSeat < PLAYER_COUNT)
        view.SetSeatCardsLeft(lordSeat, m_cbCardCount[m_wLordUser]);

    // A second LordInfo in one game must not push a hand past 20 cards.
    const bool bLordGetsBackCards = m_cbCardCount[m_wLordUser] + BACK_CARDS <= MAX_HAND;
    if (m_wLordUser == me) {
        if (m_cbHandCount + BACK_CARDS <= MAX_HAND) {
            if (IsLookonMode())
                std::memset(m_cbHandCards, 0, sizeof(m_cbHandCards));
            else
                std::memcpy(m_cbHandCards + m_cbHandCount, lord.cbBackCard, BACK_CARDS);
            m_cbHandCount += BACK_CARDS;
        }
        if (!IsLookonMode())
            m_GameLogic.SortCards(m_cbHandCards, m_cbHandCount, ShownOrder());
    } else if (!IsLookonMode()) {
        m_GameLogic.SortCards(m_cbHandCards, m_cbHandCount, ShownOrder());
    }

    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        BYTE* row = m_cbAllCards[chair];
        const bool bVisible = m_bOpenHands || chair == me;
        if (chair == m_wLordUser) {
            if (bLordGetsBackCards) {
                m_cbCardCount[chair] += BACK_CARDS;
                if (bVisible && !IsLookonMode())
                    std::memcpy(row + HAND_CARDS, lord.cbBackCard, BACK_CARDS);
                else
                    std::memset(row, 0, m_cbCardCount[chair]);
            }
        } else if (!bVisible) {
            std::memset(row, 0, std::min<std::size_t>(m_cbCardCount[chair], MAX_HAND));
        }
        if (m_bOpenHands)
            m_GameLogic.SortCards(row, m_cbCardCount[chair], ORDER_BY_RANK);
        else if (chair == me)
            m_GameLogic.SortCards(row, HAND_CARDS, ORDER_BY_RANK);
    }
    view.SetSeatCardsLeft(INVALID_SEAT, HAND_CARDS);
    if (IsChair(me))
        view.m_HandCardControl[1].SetCards(m_cbAllCards[me], HAND_CARDS);
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const WORD seat = SwitchViewChair(chair);
        if (seat == 0 || seat == 2) {
            view.m_HandCardControl[seat].SetCards(m_bOpenHands ? m_cbAllCards[chair] : nullptr, m_cbCardCount[chair]);
            view.m_HandCardControl[seat].ShowFaces(true);
        }
    }

    if (lordSeat < PLAYER_COUNT) {
        view.SetLord(lordSeat, lord.cbLordScore);
        view.PlaceSmokeCartoon(lordSeat);
        view.PlayCartoon("smoke");
        PlayEffectSound("telvo\\sound\\smoke.mp3");
    }

    DisableShapeButtons();
    std::memset(view.m_bSeatBang, 0, sizeof(view.m_bSeatBang));
    view.m_wBangSeat = INVALID_SEAT;

    if (!IsLookonMode() && m_wLordUser != me && m_bBangOffer && IsLiveGame()) {
        if (view.m_wBangSeat == INVALID_SEAT) {
            if (CPngButton* bang = view.GetButton(119))
                bang->SetButtonImage("Telvo\\img\\btJiaBang.png");
        }
        EnableButton(119, true);
        ShowButton(119, true);
    } else if (IsLookonMode() || m_wLordUser == me) {
        EnableButton(119, false);
        ShowButton(119, false);
    }

    ClearPickChains();
    m_cbHistoryIndex = 0;
    SetGameStatus(GS_BIDDING);
    return true;
}

bool CGameClientDlg::OnSubBang(const BangNotice& bang)
{
    CGameClientView& view = m_GameClientView;
    const WORD who = bang.wChairID;
    const WORD me = MeChair();
    const WORD seat = SwitchViewChair(who);
    if (seat < PLAYER_COUNT)
        view.m_bSeatBang[seat] = 1;

    const bool bFirst = view.m_wBangSeat == INVALID_SEAT;
    const BangVoice kind = bFirst ? BangVoice::First : who == m_wLordUser ? BangVoice::LandlordAnswer : BangVoice::Follow;
    PlayVoice(BangVoicePath(GenderOf(who), MyDialect(), kind, RandomVariant));
    if (bFirst)
        view.m_wBangSeat = seat;

    // A looker sees the doubles but is never offered one: the button would speak for the player.
    if (who != me && CanAct()) {
        const WORD lordSeat = SwitchViewChair(m_wLordUser);
        const char* picture = nullptr;
        if (me == m_wLordUser) {
            if (!m_bBangOffer && lordSeat < PLAYER_COUNT && !view.m_bSeatBang[lordSeat])
                picture = "Telvo\\img\\btFanBang.png";
        } else if (who != m_wLordUser && !view.m_bSeatBang[1]) {
            picture = "Telvo\\img\\btGenBang.png";
        }
        if (picture) {
            m_bBangOffer = true;
            if (CPngButton* button = view.GetButton(119))
                button->SetButtonImage(picture);
            EnableButton(119, true);
            ShowButton(119, true);
        }
    }
    view.UpdateGameView(nullptr);
    return true;
}
