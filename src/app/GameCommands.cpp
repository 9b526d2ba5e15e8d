// The player's commands, as window messages from the view, the hand control and the banner.
#include <cstring>

#include "app/GameClientDlg.h"
#include "interaction/Commands.h"

LRESULT CGameClientDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_START:
        return OnStartCommand(wParam, lParam);
    case UM_VIEW_PANEL:
        m_GameClientView.FlashChat(true);
        return 0;
    case UM_OUT_CARD:
    case UM_PASS:
    case UM_BID:
    case UM_HINT:
    case UM_TRUSTEE:
    case UM_SORT:
    case UM_PICK_PAIR:
    case UM_PICK_TRIO:
    case UM_PICK_LINE:
    case UM_PICK_PAIR_LINE:
    case UM_PICK_PLANE:
    case UM_PICK_BOMB:
    case UM_PICK_ROCKET:
    case UM_LAST_TURN:
    case UM_AUTO_PASS:
    case UM_BANG:
    case UM_LOTTERY:
    case UM_SIDE_PANEL:
    case UM_CARTOON_FINISH:
    case UM_RESERVED_120:
    case UM_OPEN_REPLAY:
    case UM_NEXT_GAME:
    case UM_TRUSTEE_CANCEL:
    case UM_CARD_CLICK:
    case UM_CARD_RIGHT_CLICK:
        // Handled by the play commands, which come with the game flow.
        return 0;
    default:
        return CGameFrameDlg::WindowProc(message, wParam, lParam);
    }
}

LRESULT CGameClientDlg::OnStartCommand(WPARAM, LPARAM)
{
    ApplySecretMode(GS_FREE);

    for (BYTE slot = 0; slot < COUNTER_SLOTS; ++slot) {
        m_GameClientView.m_cbOutCount[slot] = 0;
        m_GameClientView.m_cbLeftCount[slot] = slot >= 13 ? 1 : 4;
    }

    ClearGameNumbers();
    m_wTrusteePlayCount = 0;
    m_cbHistoryIndex = 0;
    std::memset(m_cbHistoryCount, 0, sizeof(m_cbHistoryCount));
    std::memset(m_wHistoryView, 0, sizeof(m_wHistoryView));
    std::memset(m_cbHistoryCards, 0, sizeof(m_cbHistoryCards));

    if (CWnd* start = m_GameClientView.GetDlgItem(100))
        start->ShowWindow(SW_HIDE);
    KillGameTimer(202);

    m_GameClientView.SetMultiple(1);
    m_GameClientView.SetLordSeat(INVALID_SEAT);
    m_GameClientView.MarkSeatPassed(INVALID_SEAT, false);
    m_GameClientView.SetSeatBid(INVALID_SEAT, 0);
    m_GameClientView.SetSeatCardsLeft(INVALID_SEAT, 0);
    m_GameClientView.MarkSeatTrustee(INVALID_SEAT, false);
    m_GameClientView.UpdateGameView(nullptr);

    m_GameClientView.m_BackCardControl.SetCards(nullptr, 0);
    m_GameClientView.m_HandCardControl[1].AcceptMouse(false);
    for (WORD seat = 0; seat < PLAYER_COUNT; ++seat) {
        m_GameClientView.m_UserCardControl[seat].SetCards(nullptr, 0);
        m_GameClientView.m_HandCardControl[seat].SetCards(nullptr, 0);
        m_GameClientView.m_HandCardControl[seat].ShowFaces(seat == 1);
    }

    SendUserReady(nullptr, 0);
    SetGameStatus(GS_BIDDING);
    return 0;
}
