#pragma once

// The game window and the game's controller: it owns the table view and the card rules, keeps
// the state of the game, reacts to every server message and table snapshot, and turns the
// player's commands into messages to the server. One class, split over files by concern:
//   GameClientDlg.cpp   construction, frame set-up, reset, options, look-on, users leaving
//   GameDispatch.cpp    the message entry, the small messages and the anonymity rule
//   GameDeal.cpp        dealing, bidding and doubling
//   GamePlay.cpp        play turns, the opening turn and the multiple cap
//   GameCommands.cpp    the window messages of the player's commands
//   GameShapes.cpp      the shape pick buttons
//   GameDialogs.cpp     the options, last-turn and change-score dialogs
//   GameWindowExtras.cpp the window's own set-up, title buttons, chat window and host controls

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "interaction/ShapePick.h"
#include "replay/VideoDiyFile.h"
#include "logic/GameLogic.h"
#include "platform/host/GameFrame.h"
#include "app/MissionPanels.h"
#include "protocol/GameRecords.h"
#include "view/GameClientView.h"
#include "view/GdipButton.h"
#include "platform/WindowDump.h"

class CAutoPlayDlg;
class CChangeScoreDlg;
class CFadeDlg;
class CLastTurnDlg;
class CMissionDlg;
class CScoreView;
class CTaskAssistant;
class Logger;

// Process-wide: the window has no live game yet (a replay may be played back). It starts set and
// the first table snapshot from the server clears it for good.
extern bool g_bReplayMode;

class CGameClientDlg : public CGameFrameDlg, public IDumpableWnd {
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
    // The mission records, their clocks and the last award, for the driver's "mission" line.
    std::string DescribeMissions() const;
    // The task window and the mission dialog once they exist; either may be null.
    void SetMissionPanels(ITaskPanel* pTaskPanel, IMissionPanel* pMissionPanel);
    // Runs the mission dialog modally on the page of a mission kind (1 challenge, 2 daily; any
    // other kind the newbie page); the task window's status link asks for it.
    void OpenMissionDialog(BYTE cbKind);

    // A replay file has been opened (the table stays as it ended after the last packet).
    bool IsReplaying() const;
    // Packets of the opened replay file are still being fed to the table.
    bool IsPlaybackRunning() const { return m_bPlaybackRunning; }
    // Where the last save-replay wrote its file, as the program named it; empty before.
    const std::string& GetLastSavedVideo() const { return m_strLastSavedVideo; }

    // The raised cards of the local hand may be played now.
    bool CanOutCard();

    // Writes the game just recorded to "Telvo\video\NAME_TIME.vid" (the result window's
    // save-replay button), then forgets the recording.
    void SaveVideo();

    // The snapshots of a replay file, restored without the live parts (no clocks, no controls).
    bool ReplaySceneFree(StatusFree scene);
    bool ReplaySceneScore(StatusScore scene);
    bool ReplayScenePlay(StatusPlay scene);

    // The section of the application profile that holds the player's settings.
    static constexpr const char* kOptionSection = "GameOption";

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

    // ---- Dealing -------------------------------------------------------------------------------------
    BYTE m_cbDealLeft = 0;
    BYTE m_cbDealt = 0;
    BYTE m_cbDealHand[MAX_HAND] = {};
    // Step of the side hands closing up after the deal (timer 213).
    int m_nCloseStep = 0;
    // The deal arrived and its shuffle runs; the cards have not begun to go out.
    bool m_bDealPending = false;

    // ---- Hint and shape chains ------------------------------------------------------------------------
    bool m_bHintChain = false;
    BYTE m_cbHintCount = 0;
    BYTE m_cbHintCards[MAX_HAND] = {};
    tagShapePickState m_ShapePick;

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
    // The table offers a mission (snapshots); the task window shows it.
    DWORD m_dwHasMission = 0;
    std::vector<PropItem> m_PropList;
    TaskRecord m_Task = {};
    TaskRecord m_TaskSlot[2] = {};
    // Seconds since the task of each kind finished; at 30 it expires.
    DWORD m_nBonusTicks[2] = {};
    // The task reward announced for this game, whether it was shown, and the task's result.
    LONG m_lTaskAward = 0;
    bool m_bTaskAwardShown = false;
    BYTE m_cbTaskResult = 0;
    // The award kind of the last task award for the local player (1-based row of the tips).
    BYTE m_cbTaskAwardKind = 0;
    ITaskPanel* m_pTaskPanel = nullptr;
    IMissionPanel* m_pMissionPanel = nullptr;
    // The anonymity mode handed to the end-of-game window with the last game end.
    BYTE m_cbScoreSecretMode = 0;
    // The round over the whole match and the number of rounds, for the end-of-game window.
    DWORD m_dwOverallRound = 0;
    DWORD m_dwOverallRounds = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnInitDialog() override;

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

    // Clocks, trustee and tasks.
    bool OnSubTrustee(const UserTrustee& trustee);
    bool OnSubClockRestart(const ClockRestart& restart);
    void OnSubTask(const TaskRecord& record);
    void OnTaskTimer(UINT_PTR nIDEvent);
    bool OnSubTaskAward(const TaskAward& award);
    bool OnSubTaskResult(const TaskResult& result);
    // Hands the slot of one kind (0 challenge, 1 daily) to the mission dialog.
    void PushMissionSlot(int slot);
    // The snapshot's word that a mission runs, kept and told to the task window.
    void SetHasMission(DWORD dwHasMission);
    void PlayTaskCompletion(bool bPlay);
    // Makes the task assistant with its task window and places it on the table.
    void CreateTaskAssistant();

    // ---- Task panel members ----
    // Shows the task window over the table (a live table has arrived).
    void ShowTaskWindow();
    std::unique_ptr<CTaskAssistant> m_pTaskAssistant;

    // ---- Mission dialog members ----
    // The mission dialog of the run in progress (it lives on OpenMissionDialog's stack); null
    // while none runs.
    CMissionDlg* m_pMissionDlg = nullptr;

    // ---- Game window extras ----
public:
    // The title buttons: screenshot and customer service.
    static constexpr UINT IDC_SNAP = 2001;
    static constexpr UINT IDC_SERVICE = 2003;
    std::string GetDumpName() const override { return "CGameClientDlg"; }
    void Dump(CDumpContext& dc) const override;

private:
    void OnMove(int x, int y) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The host lays its controls out again at every size; the game's places for them win.
    LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSidePanel(WPARAM wParam, LPARAM lParam);
    LRESULT OnLottery(WPARAM wParam, LPARAM lParam);
    void OnBnClickedSnap();
    void OnBnClickedService();
    // The host's chat text is shown only while the table's chat box is open.
    void ShowChatMessageWindow();
    void CreateTitleButton(CGdipButton& button, UINT nID, int x, int y, std::string_view path);
    CGdipButton m_btSnap;
    CGdipButton m_btService;

    // Anonymity: for a game state (0, 100, 101), or for the end of a game.
    void ApplySecretMode(BYTE cbGameStatus);
    void ApplySecretModeAtGameEnd();
    void SetNamesHidden(bool bHidden);

    // The numbers of one game that both a table reset and the start command clear.
    void ClearGameNumbers();

    // The end of a game.
    bool OnSubGameEnd(const GameEndRecord& end);
    template <typename Step>
    void Guarded(const char* pszFailure, Step&& step);
    // The local player's doubles as the result window shows them: first, follow, landlord's answer.
    void LocalDoubleFlags(BYTE& cbJia, BYTE& cbGen, BYTE& cbFan) const;
    void OnShowHandsTimer();
    void OnRoleTimer();
    void OnShowScoreViewTimer();
    void CreateScoreView();
    bool HasScoreView() const;
    void CloseScoreView();
    void FillScoreView(const GameEndRecord& end);
    void ShowScoreView();

    // Table snapshots.
    template <typename Scene>
    void ApplyCounterStep(const Scene& scene);
    void ApplyHandFaceRule();
    void RestoreSceneFree(const StatusFree& scene);
    void RestoreSceneScore(const StatusScore& scene, bool bReplay);
    void RestoreScenePlay(const StatusPlay& scene, bool bReplay);
    // The seats' trustee marks; true when the local player is in trustee (the cover is then up).
    bool RestoreTrusteeMarks(const BYTE cbUserTrustee[PLAYER_COUNT]);

    // Recording: packet kinds of the snapshots; the game messages keep their sub-command numbers.
    static constexpr WORD kVideoKindFree = 97;
    static constexpr WORD kVideoKindScore = 98;
    static constexpr WORD kVideoKindPlay = 99;
    void StartRecordingHead();
    void FillVideoUserInfo();
    void RecordPacket(WORD wKind, std::span<const uint8_t> body);
    void ClearRecording();
    void DisableSaveVideoButton();

    // Playback.
    LRESULT OnOpenReplayCommand(WPARAM wParam, LPARAM lParam);
    bool OpenReplayFile(const std::string& path);
    void StartReplay();
    void OnPlaybackTimer();

    // The trustee cover and banner.
    void EnterTrusteeView();
    void LeaveTrusteeView();

    // Dealing, bidding and doubling.
    bool OnSubDealCards(const DealCards& deal);
    bool OnSubCallScore(const BidResult& bid);
    bool OnSubLordInfo(const LordInfo& lord);
    bool OnSubBang(const BangNotice& bang);
    void StartDealing(const BYTE cbHandCards[], BYTE cbHandCount);
    void FinishDealing();
    void OnDealStartTimer();
    void OnDealStepTimer();
    void OnCloseUpTimer();
    void StopDealingSound();

    // Play turns, the opening turn and the multiple cap.
    bool OnSubOutCard(const PlayedCards& played);
    bool OnSubPassCards(const PassCards& pass);
    void OfferPlayButtons(bool bLeading);
    // All these cards are in the local hand.
    bool StillHeld(const BYTE cbCards[], BYTE cbCount) const;
    // The side hands show their rows face up when the hands are open, else nothing.
    void ShowSideHands();
    void OnTurnPauseTimer();
    void UpdateCardCounter(const BYTE cbCards[], BYTE cbCount);
    void RecordLastTurn(WORD wChairID, const BYTE cbCards[], BYTE cbCount);
    void CloseBangOfferBefore(WORD wActingUser);
    LRESULT OnCartoonFinish(WPARAM wParam, LPARAM lParam);
    void CheckMultipleCap();

    // The player's commands.
    LRESULT OnStartCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnOutCardCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPassCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnBidCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnHintCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnCardClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnCardRightClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnAutoPassCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrusteeCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrusteeToggle(WPARAM wParam, LPARAM lParam);
    LRESULT OnNextGameCommand(WPARAM wParam, LPARAM lParam);
    // The small dialogs: the last three plays for a few seconds, and the change-score offer.
    static constexpr UINT_PTR kTimerLastTurn = 205;
    LRESULT OnLastTurnCommand(WPARAM wParam, LPARAM lParam);
    void OnLastTurnTimer();
    LRESULT OnChangeScoreCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnSortCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnBangCommand(WPARAM wParam, LPARAM lParam);
    // The time-out and trustee bookkeeping shared by playing and passing.
    void CountOwnTurn();
    // The play clock stops and the play, pass, hint and shape buttons go.
    void CloseTurnControls();
    void ClearPickChains();

    // The shape pick buttons.
    LRESULT OnPickShape(Shape shape);
    void EnableShapeButtons(bool bLeading);
    void DisableShapeButtons();

    // ---- Small helpers ----------------------------------------------------------------------------------
    // The local chair: the recorded chair while a replay plays.
    WORD MeChair() const;
    bool IsLiveGame() const { return !g_bReplayMode; }
    // The local player can act: a live game, not looking on.
    bool CanAct() const { return !g_bReplayMode && !IsLookonMode(); }
    // The order the hand is shown in: the opposite of the one the sort button applies next.
    BYTE ShownOrder() const { return m_bOrderSort ? ORDER_BY_RANK : ORDER_BY_COUNT; }
    BYTE GenderOf(WORD wChairID) const;
    BYTE MyDialect() const;
    void PlayVoice(const std::string& path);
    void ShowButton(UINT nID, bool bShow);
    void EnableButton(UINT nID, bool bEnable);
    bool IsButtonActive(UINT nID);
    // Shows the local hand as held now, lowered.
    void ShowLocalHand();

    CGameClientView m_GameClientView;
    CGameLogic m_GameLogic;
    Logger* m_pLogger = nullptr;
    std::unique_ptr<CAutoPlayDlg> m_pAutoPlayDlg;
    std::unique_ptr<CFadeDlg> m_pTrusteeCover;
    std::unique_ptr<CScoreView> m_pScoreView;
    // Made when first shown.
    std::unique_ptr<CLastTurnDlg> m_pLastTurnDlg;
    std::unique_ptr<CChangeScoreDlg> m_pChangeScoreDlg;

    // Recording and replay.
    CVideoDiyFile m_VideoFile;
    tagVideoHead m_VideoHead = {};
    tagVideoUserInfo m_VideoUserInfo = {};
    std::vector<tagVideoPacket> m_VideoPacketList;
    // A replay file has been opened: its recorded chair stands in for the local chair.
    bool m_bReplayLoaded = false;
    std::string m_strLastSavedVideo;
    bool m_bPlaybackRunning = false;
};
