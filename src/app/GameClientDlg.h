#pragma once

// The game window and the game's controller: it owns the table view and the card rules, keeps
// the state of the game, reacts to every server message and table snapshot, and turns the
// player's commands into messages to the server. One class, split over files by concern:
//   GameClientDlg.cpp   construction, frame set-up, reset, options, look-on, users leaving
//   GameDispatch.cpp    the message entry, the small messages and the anonymity rule
//   GameCommands.cpp    the window messages of the player's commands

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "logic/GameLogic.h"
#include "platform/host/GameFrame.h"
#include "protocol/GameRecords.h"
#include "view/GameClientView.h"

class Logger;

// Process-wide: a replay is being played back instead of a live game.
extern bool g_bReplayMode;

class CGameClientDlg : public CGameFrameDlg {
public:
    CGameClientDlg();
    ~CGameClientDlg() override;

    CGameClientView& GetClientView() { return m_GameClientView; }

    // Host operations.
    bool SetupGameFrame() override;
    void ResetTableState() override;
    void ShowOptionsDialog() override;
    bool OnGameClock(WORD wChairID, UINT nElapse, UINT nTimerID) override;
    void OnLookonStateChanged() override;
    bool HandleGameMessage(WORD wSubCmdID, const void* pData, WORD wDataSize) override;
    bool HandleSceneMessage(BYTE cbGameStatus, bool bLookon, const void* pData, WORD wDataSize) override;
    void OnUserLeft(const tagUserData* pUserData, WORD wChairID, bool bLookon) override;
    void OnHostStartRequest() override;

    // The view position of a chair: the local chair is 1, or the recorded chair in a replay.
    // INVALID_CHAIR when the chair, or the local chair, is not at the table (the local player
    // before sitting down). The view's per-seat setters read that value as "every seat" and the
    // seat arrays cannot be indexed with it, so code that may meet it asks ViewSeat instead.
    WORD SwitchViewChair(WORD wChairID) const;
    // The view position of a chair, or nothing when it has none.
    std::optional<WORD> ViewSeat(WORD wChairID) const;
    // Reads the number of games of a match round for the table's base score.
    void UpdateTurnRound();

    // The printable state the scripted driver shows: "m_cbHandCount=0 m_wMultiple=1 ...".
    std::string DescribeState() const;

    // ---- Game progress ------------------------------------------------------------------------------
    WORD m_wLordUser = INVALID_CHAIR;
    WORD m_wCurrentUser = INVALID_CHAIR;
    WORD m_wFirstUser = INVALID_CHAIR;
    WORD m_wMultiple = 1;
    WORD m_wBombCount = 0;
    WORD m_wRocketPlayed = 0;
    WORD m_wLimitMultiple = 48;
    BYTE m_cbSecretMode = 2;
    bool m_bOpenHands = false;

    // ---- Cards --------------------------------------------------------------------------------------
    BYTE m_cbHandCount = 0;
    BYTE m_cbHandCards[MAX_HAND] = {};
    BYTE m_cbCardCount[PLAYER_COUNT] = {};
    BYTE m_cbAllCards[PLAYER_COUNT][MAX_HAND] = {};
    BYTE m_cbDeckCards[FULL_DECK] = {};
    BYTE m_cbShownCard = 0;
    WORD m_wShownCardChair = INVALID_CHAIR;
    WORD m_wShownCardIndex = 0;
    BYTE m_cbTurnCardCount = 0;
    BYTE m_cbTurnCardData[MAX_HAND] = {};
    BYTE m_cbTurnCardType = PLAY_INVALID;
    WORD m_wTurnLeader = INVALID_CHAIR;
    bool m_bBackCardsShown = false;
    DWORD m_dwWarned[PLAYER_COUNT] = {};

    // ---- Last-turn history: a ring of five plays ----------------------------------------------------
    BYTE m_cbHistoryIndex = 0;
    WORD m_wHistoryView[5] = {};
    BYTE m_cbHistoryCount[5] = {};
    BYTE m_cbHistoryCards[5][MAX_HAND] = {};

    // ---- Player and trustee -------------------------------------------------------------------------
    bool m_bTrustee = false;
    bool m_cbAutoOut = false;
    WORD m_wTimeoutCount = 0;
    WORD m_wTimeoutAtTurn = 0;
    bool m_bBangOffer = false;
    bool m_bAutoStarted = false;
    WORD m_wTrusteePlayCount = 0;

    // ---- Scores ---------------------------------------------------------------------------------------
    LONG m_lTotalScore[PLAYER_COUNT] = {};
    GameEndRecord m_GameEnd = {};
    LONG m_lRoundScore[PLAYER_COUNT] = {};
    LONG m_lCoinCost = 0;

    // ---- Settings -------------------------------------------------------------------------------------
    bool m_bOrderSort = true;
    bool m_bDeasilOrder = false;
    int32_t m_nCardSpace = 16;
    bool m_bAllowLookon = false;

    // ---- Other ----------------------------------------------------------------------------------------
    std::vector<PropItem> m_PropList;
    TaskRecord m_Task = {};
    TaskRecord m_TaskSlot[2] = {};
    // The anonymity mode handed to the end-of-game window with the last game end.
    BYTE m_cbScoreSecretMode = 0;
    // The round over the whole match and the number of rounds, for the end-of-game window.
    DWORD m_dwOverallRound = 0;
    DWORD m_dwOverallRounds = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;

private:
    // The small messages.
    void OnMatchRankInfo(const MatchRankInfo& info);
    void OnOfflineMark(const OfflineMark& mark);
    void OnMatchProgress(const MatchProgress& progress);
    void OnMatchStatus(const MatchStatus& status, std::span<const uint8_t> body);
    void OnHideWaiting();
    void OnMatchRank(const matchRank& ranks);
    void OnChangeScoreResult(const ChangeScoreResult& result);
    void OnPrizePoolNotice(const PrizePoolNotice& notice);
    void OnMatchScoreNotice(const MatchScoreNotice& notice);
    void OnPropList(const std::vector<PropItem>& items);
    void OnTaskRecord(const TaskRecord& record);

    // Sub-commands whose game flow comes with later work: their records are checked and read,
    // and the flow itself is not run yet.
    void OnGameFlowMessage(WORD wSubCmdID, std::span<const uint8_t> body);

    // Anonymity: for a game state (0, 100, 101), or for the end of a game.
    void ApplySecretMode(BYTE cbGameStatus);
    void ApplySecretModeAtGameEnd();
    void SetNamesHidden(bool bHidden);

    // The numbers of one game that both a table reset and the start command clear.
    void ClearGameNumbers();

    // The player's commands.
    LRESULT OnStartCommand(WPARAM wParam, LPARAM lParam);

    CGameClientView m_GameClientView;
    CGameLogic m_GameLogic;
    Logger* m_pLogger = nullptr;
};
