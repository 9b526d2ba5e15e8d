#pragma once

// The table: the child window of the game window in which the whole game is shown. It owns every
// picture, button and card control of the table, keeps the display state that the game window
// sets through the small setters below or by writing the public fields, turns button clicks into
// messages to the game window, and lays itself out for the client size. One class, split over
// files by concern:
//   GameClientView.cpp   construction, pictures, state setters, reset, the background index
//   ViewControls.cpp     creation of the child windows, button clicks, mouse
//   ViewLayout.cpp       the layout for a client size and the popups that follow the window
//   ViewPaint.cpp        the draw pass: background cache, seats, bubbles, numbers
//   ViewPanels.cpp       the score and match panels, the prize digits, the card counter
//   ViewEffects.cpp      the view's timers and effects: slides, blinks, fades, the back cards'
//                        flip and flight, the prize roll, the task cartoon, the reward rise
//   ViewCartoons.cpp     the animation windows: made with the view, started and stopped by name
//
// Seats are view seats: 0 left, 1 the local player at the bottom, 2 right.

#include "interaction/CardControl.h"
#include "platform/SkinButton.h"
#include "platform/SkinImage.h"
#include "platform/host/GameFrame.h"
#include "protocol/GameRecords.h"
#include "support/Profile.h"
#include "view/AnimationDlg.h"
#include "view/TableRules.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Where a setter takes a seat, this means every seat (or, for the landlord, none).
inline constexpr WORD INVALID_SEAT = 0xFFFF;

// The card counter shows the cards not yet played (0) or the cards played (1); buttons 132 and
// 133 switch it, and it holds for the whole program.
extern BYTE g_cbCounterMode;
// The table uses the card counter; every live snapshot sets it, and it holds for the whole program.
extern bool g_bCardCounter;

// The stored "GameBgIndex" text as a background index: C atoi into 16 bits, and an index of 4 or
// more taken modulo 4, so "-1" (65535) gives 3.
WORD BackgroundIndexFromText(std::string_view text);

class CGameClientView : public CGameFrameView {
public:
    static constexpr int kSeats = 3;
    static constexpr int kBackgrounds = 4;
    static constexpr int kItemKinds = 5;
    static constexpr int kPrizeCells = 9;

    // Panel frame heights.
    static constexpr int kPanelOpen = 121;
    static constexpr int kPanelClosed = 40;

    // Window timers of the view.
    static constexpr UINT_PTR IDT_SCORE_SLIDE = 102;
    static constexpr UINT_PTR IDT_MATCH_SLIDE = 103;
    static constexpr UINT_PTR IDT_COVER_FADE = 107;
    static constexpr UINT_PTR IDT_CARD_ALARM = 110;
    static constexpr UINT_PTR IDT_TOP_BADGE = 111;
    static constexpr UINT_PTR IDT_BACK_FLIP = 208;
    static constexpr UINT_PTR IDT_NO_BIGGER = 209;
    static constexpr UINT_PTR IDT_BACK_FLY = 210;
    static constexpr UINT_PTR IDT_MATCH_COUNTDOWN = 211;
    static constexpr UINT_PTR IDT_PRIZE_ROLL = 213;
    static constexpr UINT_PTR IDT_CHAT_FLASH = 214;
    static constexpr UINT_PTR IDT_TASK_CARTOON = 217;
    static constexpr UINT_PTR IDT_CHANGE_SCORE = 218;
    static constexpr UINT_PTR IDT_ADD_AWARD = 219;

    // The change-score result codes (pictures): 0 success, 1 not enough coins, 2 score too high,
    // 3 item missing. Any other code given to ShowChangeScoreResult hides the result.
    static constexpr WORD kChangeScoreCodes = 4;
    static constexpr WORD kChangeScoreTooHigh = 2;
    static constexpr WORD kChangeScoreHide = 0xFF;

    // The settings file of the platform, holding the table background.
    static constexpr const char* kGameSettingFile = "Hubra\\GameSetting.ini";

    // The profile holds "GameOption"; null uses the player's own profile file.
    explicit CGameClientView(ProfileStore* pProfile = nullptr);
    ~CGameClientView() override;

    // ---- Host hooks -----------------------------------------------------------------------------------

    void ResetTableView() override;
    void LayoutTableView(int nWidth, int nHeight) override;
    void PaintTableView(CDC* pDC, int nWidth, int nHeight) override;

    // ---- Setters for the game window ------------------------------------------------------------------

    void SetMultiple(WORD wMultiple);
    void SetBaseScore(LONG lBaseScore);
    void ShowWaitCallScore(bool bShow);
    void MarkSeatPassed(WORD wSeat, bool bPassed);
    void SetSeatCardsLeft(WORD wSeat, BYTE cbCount);
    // INVALID_SEAT clears every bid, whatever the bid given.
    void SetSeatBid(WORD wSeat, BYTE cbBid);
    void MarkSeatTrustee(WORD wSeat, bool bTrustee);
    void MarkSeatOffline(WORD wSeat, bool bOffline);
    void SetLord(WORD wSeat, BYTE cbBid);
    void SetLordSeat(WORD wSeat);
    // Writes "DeasilOrder" and lays out again when the flag really changes.
    void SetClockwiseOrder(bool bClockwise);
    void ShowSideCardBacks(bool bShow);
    // Stops the view's animations (a replay is about to start) and settles each at its end, so
    // that any of them can start again.
    void KillViewTimers();
    bool IsViewTimerRunning(UINT_PTR nIDEvent) const;
    // Keeps the popups over the view after the game window moved.
    void FollowHostWindow();
    // Sent to the task assistant by FollowHostWindow: it keeps a place of its own over the table
    // and takes it again.
    static constexpr UINT UM_FOLLOW_HOST = WM_USER + 400;
    // The next table background (green, red, purple, blue, green ...).
    void NextBackground();

    // Effects and panels. A running flash, alarm or badge keeps its timer when started again; the
    // fade and the back cards start over; the notice starts its timer over but keeps its count.
    void RaiseCardAlarm(WORD wSeat, DWORD dwCardsLeft);
    // The three back cards flip, then fly to the landlord's seat; the game window hears
    // UM_CARTOON_FINISH when they arrive.
    void StartBackCardFlip(const BYTE cbBackCards[BACK_CARDS]);
    // Plays one of the table's animation windows by name (bomb, rocket, plane, flower, smoke,
    // shuffle) at its own pace, once; an unknown name plays nothing.
    void PlayCartoon(const char* pszName);
    // The landlord's role picture cycles frames nFirst..nLast until stopped.
    void PlayRoleCartoon(unsigned nFirst, unsigned nLast);
    void StopCartoon(const char* pszName);
    // The flower window plays the spring (or the reverse spring) from now on.
    void LoadSpringCartoon(bool bContrary);
    // The smoke goes up 55 px left of and 50 px above the seat's panel.
    void PlaceSmokeCartoon(WORD wSeat);
    CAnimationDlg* FindCartoon(std::string_view name);
    // The side hands at their anchors, moved outward by nOffsetX and down by nOffsetY pixels.
    void PlaceSideHands(int nOffsetX, int nOffsetY = 0);
    void ShowTopBadge(WORD wSeat, bool bShow);
    void StartTaskCartoon();
    void FadeTrusteeCover(bool bRun, int nDirection);
    void ShowNoBiggerCard(bool bShow);
    void FlashChat(bool bFlash);
    void ShowAddAward();
    // The prize pool notice starts the reward rise.
    void StartPrizeEffect() { ShowAddAward(); }
    void StartPrizeRoll(int32_t lPrize);
    void SetMatchStatus(const MatchStatus& status);
    // The seat values are already placed by view seat.
    void SetMatchRanks(const matchRank& ranks);
    void RefreshScorePanel();
    void RenderScorePanel();
    void RenderMatchPanel();
    // Restarts the one-second countdown of the match panel.
    void RestartMatchTimer();

    // The blinking marks at the seats: the few-cards alarm over a card back, and the badge.
    enum class SeatCell { Alarm, Badge };
    CSize SeatCellSize(SeatCell kind) const;
    // Builds one frame of a seat's mark into pCell, a context of the cell's size, over the
    // background picture of the seat's point.
    void ComposeSeatCell(CDC* pCell, SeatCell kind, int seat, int nStep);
    // Codes 0-3 show their picture until hidden (any other code hides it).
    void ShowChangeScoreResult(WORD wCode);
    void HideChangeScoreResult() { ShowChangeScoreResult(kChangeScoreHide); }

    // ---- Buttons ----------------------------------------------------------------------------------------

    // The button with this id, or null.
    CPngButton* GetButton(UINT nID);
    // Runs the click of a button (or of the routed ids 128 and 130) as its command would, whether
    // the button is shown or not. False for an id the view does not know.
    bool ClickButton(UINT nID);
    // Presses a button as the player would: nothing happens (false) when it is missing, hidden or
    // disabled.
    bool PressButton(UINT nID);
    // The panel toggles of buttons 120, 1003 and 121.
    void ToggleScorePanel();
    void ToggleMatchPanel();
    void ToggleChat();

    // What the change-score window would be opened with. FIXME: the window itself comes with the
    // small dialogs; until then the request is only kept here.
    struct tagChangeScoreRequest {
        LONG lThreshold = 0;
        LONG lItemCount = 0;
        WORD wItemKind = 0;
    };
    const std::optional<tagChangeScoreRequest>& GetChangeScoreRequest() const { return m_ChangeScoreRequest; }

    // Draws a number from a digit strip (cells 0-9, plus in cell 10, minus in cell 11) with its
    // left edge at x; returns the width drawn.
    static int DrawNumber(int64_t lValue, CDC* pDC, int x, int y, const CPngImage& strip, int nCellWidth, int nCellHeight,
        int nPlusX, int nRowY, bool bWithPlus);
    static int MeasureNumber(int64_t lValue, int nCellWidth, bool bWithPlus);
    // A seat's information lines: the local user's, or those of a player who is not named.
    void DrawSeatInfo(CDC* pDC, const tagUserData& user, int x, int y, int w, int h, int seat);
    void DrawSeatInfoHidden(CDC* pDC, int x, int y, int w, int h, int seat);

    // The size the last layout was made for.
    int GetLayoutWidth() const { return m_nLayoutWidth; }
    int GetLayoutHeight() const { return m_nLayoutHeight; }

    // ---- Per-seat state -------------------------------------------------------------------------------

    tagUserData m_UserSnapshot[kSeats] = {};
    bool m_bSnapshotTaken[kSeats] = {};
    BYTE m_bSeatPassed[kSeats] = {};
    BYTE m_cbSeatBid[kSeats] = {};
    BYTE m_cbCardsLeft[kSeats] = {};
    BYTE m_bSeatTrustee[kSeats] = {};
    BYTE m_bSeatOffline[kSeats] = {};
    BYTE m_bSeatBang[kSeats] = {};
    // Cards left when the few-cards alarm was raised (0: no alarm) and the play count then;
    // a reset keeps them.
    DWORD m_dwAlarmCards[kSeats] = {};
    BYTE m_cbAlarmPlay[kSeats] = {};
    LONG m_lLastScore[kSeats] = {};
    // What the last game end showed at each seat: its multiple and the running total.
    LONG m_lSeatMultiple[kSeats] = {};
    LONG m_lSeatTotal[kSeats] = {};

    // Points of the layout, by seat.
    CPoint m_ptSeatPanel[kSeats];
    CPoint m_ptBidMark[kSeats];
    CPoint m_ptPlayedCards[kSeats];
    CPoint m_ptBangMark[kSeats];
    CPoint m_ptSmallBack[kSeats];
    CPoint m_ptAlarm[kSeats];
    CPoint m_ptTopBadge[kSeats];

    // ---- Table state ------------------------------------------------------------------------------------

    WORD m_wLordSeat = INVALID_SEAT;
    BYTE m_cbLordBid = 0;
    WORD m_wMultiple = 1;
    LONG m_lBaseScore = 0;
    LONG m_lRoundTotal = 0;
    WORD m_wBangSeat = INVALID_SEAT;
    // Plays made in this game; the game window counts them and the view never resets them.
    BYTE m_cbPlayCount = 0;
    BYTE m_bWaitCallScore = 0;
    BYTE m_bGameEnded = 0;
    // The seats' game results are on show (from the game end until the result window opens).
    BYTE m_bScoreShown = 0;
    BYTE m_bShowCardsLeft = 0;
    // The order the sort button applies next ("GameOption"/"OrderSortCard").
    BYTE m_bOrderSortCard = 1;
    BYTE m_bClockwiseOrder = 0;
    // 0 green, 1 red, 2 purple, 3 blue.
    WORD m_wBackground = 0;
    DWORD m_bChatOpen = 1;
    // 3 and 4 are match modes.
    WORD m_wGameMode = 0;
    // 1 once the task window holds a paid task with a positive reward: the task cartoon may play.
    BYTE m_bTaskCartoon = 0;
    // Other seats are drawn without their real data.
    bool m_bAnonymous = false;
    // Prices of the five change-score items by kind slot (kinds 1, 2, 3, 5, 6); the change-score
    // buttons hand them to their window as the item count.
    LONG m_lItemPrice[kItemKinds] = {};

    // Names shown in replay mode, by view seat, while the flag is set.
    char m_szReplayName[kSeats][32] = {};
    BYTE m_bReplayNames = 0;

    // ---- Panels and match ---------------------------------------------------------------------------

    int m_nScorePanelHeight = kPanelOpen;
    int m_nMatchPanelHeight = kPanelOpen;
    int m_bScorePanelOpen = 1;
    int m_bMatchPanelOpen = 1;
    BYTE m_cbMatchMode = 0;
    DWORD m_dwMatchStage = 0;
    DWORD m_dwStageCount = 0;
    DWORD m_dwMatchRound = 0;
    DWORD m_dwRoundCount = 0;
    DWORD m_dwRank = 0;
    DWORD m_dwRankTotal = 0;
    // Seconds; below 0 the match is closing.
    int64_t m_llCountdown = 0;
    MatchStatus m_MatchStatus = {};
    // dwUserValue holds the seats' values; the rest stays zero.
    matchRank m_MatchRanks = {};
    int32_t m_lPrizeValue = 0;
    int m_nPrizeDigits = 1;
    int m_nPrizeOffset[kPrizeCells] = {};
    int m_nPrizeTarget[kPrizeCells] = {};
    // The card counter by rank slot: cards played and cards not yet played.
    BYTE m_cbOutCount[COUNTER_SLOTS] = {};
    BYTE m_cbLeftCount[COUNTER_SLOTS] = {};

    // ---- Effects ----------------------------------------------------------------------------------------

    int m_bChatFlash = 0;
    int m_nChatFlashCount = 0;
    int m_bAlarmRunning = 0;
    int m_nAlarmStep = 0;
    int m_bTopBadge[kSeats] = {};
    int m_bBadgeRunning = 0;
    int m_nBadgeStep = 0;
    int m_bFadeRunning = 0;
    int m_nFadeDirection = 0;
    int m_nFadeStep = 0;
    int m_nFlipFrame = 0;
    BYTE m_cbBackCards[BACK_CARDS] = {};
    BYTE m_cbFlyStep = 0;
    BYTE m_bNoBiggerShown = 0;
    int m_nNoBiggerCount = 0;
    WORD m_wTaskFlagCartoonIndex = 0xFFFF;
    WORD m_wTaskCartoonTimes = 0;
    int m_nAlpha = 0;
    BYTE m_bChangeScoreShown = 0;
    WORD m_wChangeScoreCode = 0;
    BYTE m_bAddAwardShown = 0;
    int m_nAddAwardRise = 0;

    // ---- Child windows --------------------------------------------------------------------------------

    CCardControl m_UserCardControl[kSeats];  // played cards, ids 20-22
    CCardControl m_HandCardControl[kSeats];  // hands, ids 30-32; seat 1 is the local hand
    CCardControl m_DeckCardControl;          // the packed deck while dealing, id 35
    CCardControl m_SpareCardControl;         // also id 35, never used
    CCardControl m_BackCardControl;          // the three held-back cards, id 41

    CPngButton m_btStart;
    CPngButton m_btOneScore;
    CPngButton m_btTwoScore;
    CPngButton m_btThreeScore;
    CPngButton m_btGiveUpScore;
    CPngButton m_btOutCard;
    CPngButton m_btPassCard;
    CPngButton m_btAutoOutCard;
    CPngButton m_btAutoPlayOn;
    CPngButton m_btAutoPlayOff;
    CPngButton m_btSortCard;
    CPngButton m_btDoubleCard;
    CPngButton m_btThreeCard;
    CPngButton m_btSingleLine;
    CPngButton m_btDoubleLine;
    CPngButton m_btDoubleThree;
    CPngButton m_btBombCard;
    CPngButton m_btMissleCard;
    CPngButton m_btLastTurn;
    CPngButton m_btJiaBang;
    CPngButton m_btScorePanel;
    CPngButton m_btMatchPanel;
    CPngButton m_btChat;
    CPngButton m_btChangeBg;
    CPngButton m_btGreen;
    CPngButton m_btRed;
    CPngButton m_btPurple;
    CPngButton m_btBlue;
    CPngButton m_btToZero;
    CPngButton m_btToTwenty;
    CPngButton m_btToSixty;
    CPngButton m_btViewLeave;
    CPngButton m_btViewOut;
    CPngButton m_btVideoReplay;

    // The animation windows, made with the view.
    CAnimationDlg m_BombCartoon{"bomb"};
    CRocketAnimation m_RocketCartoon{"rocket"};
    CPlaneAnimation m_PlaneCartoon{"plane"};
    CAnimationDlg m_FlowerCartoon{"flower"};
    CAnimationDlg m_SmokeCartoon{"smoke"};
    CAnimationDlg m_ShuffleCartoon{"shuffle"};
    CAnimationDlg m_RoleCartoon{"role"};

    // Popups placed by FollowHostWindow. The last-turn window comes with its own window; the
    // cover, the automatic-play picture, the result window and the task assistant are made by the
    // game window, which hands them over here. Not owned.
    CWnd* m_pTrusteeCover = nullptr;
    CWnd* m_pTrusteePicture = nullptr;
    CWnd* m_pScoreView = nullptr;
    CWnd* m_pLastTurnWnd = nullptr;
    CWnd* m_pTaskAssistant = nullptr;

protected:
    int OnCreate() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnRButtonUp(UINT nFlags, CPoint point) override;

private:
    struct ButtonSpec;
    static const ButtonSpec* FindButtonSpec(UINT nID);

    void LoadPictures();
    void ReadBackgroundIndex();
    void WriteBackgroundIndex() const;
    void CreateCardControls();
    void CreateCartoons();
    void CreateButton(UINT nID);
    void ApplyButtonImage(UINT nID);
    void Redraw();
    bool IsButtonShown(UINT nID);

    // The background cache holds the static table; each draw pass starts from a copy of it.
    void MakeBackgroundCache(int nWidth, int nHeight);
    void PaintBackground();
    // The current background picture (or the felt) over a piece of a picture, taken from the
    // same place of the background or from (xSrc, ySrc).
    void RestoreBackground(CDC* pDC, int x, int y, int cx, int cy) { RestoreBackground(pDC, x, y, cx, cy, x, y); }
    void RestoreBackground(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc);
    // The side seats' small card backs in the cache, or the background under them.
    void DrawSideBacks();
    // The cache under the no-bigger-card notice, which blinks over it.
    void SaveNoticeBackground();

    void DrawSeat(CDC* pDC, int seat);
    void DrawCardCount(CDC* pDC, int seat);
    void DrawBubble(CDC* pDC, int seat);
    void DrawInfoLines(CDC* pDC, const table::SeatInfoLayout& layout);
    // Each text in its rectangle, format and colour.
    static void DrawTextItems(CDC* pDC, const std::vector<table::TextItem>& items);
    table::TableMarks Marks() const;
    int PrizeCellHeight() const;
    // The prize back and its digits; the digits alone over it.
    void DrawPrize(CDC* pDC);
    void DrawPrizeDigits(CDC* pDC);
    // Digit cell k showing the roll strip from `offset` down.
    void DrawPrizeCell(CDC* pDC, int k, int offset);
    void DrawCardCounter(CDC* pDC, int nWidth, int nHeight);

    void OnBackgroundButton(UINT nID);
    void OnChangeScoreButton(UINT nID);
    void OnCounterModeButton(UINT nID);
    void StepPanelSlide(UINT_PTR nIDEvent);
    // The panel's frame at its current height, and the panel inside it, into the cache.
    void DrawPanelFrame(bool bScore);
    void StepChatFlash();
    void StepSeatCells(SeatCell kind);
    CPoint SeatCellPoint(SeatCell kind, int seat) const;
    // Puts a frame composed off screen on the window and into the background cache.
    void ShowComposed(CDC* pFrame, const CRect& rect);
    void StepBackCardFlip();
    void StepCoverFade();
    void DrawCoverLevel(int nLevel);
    void StepBackCardFlight();
    // The back-cards control at rest: in the middle of the table, spread out.
    void RestBackCards();
    void StepNoBiggerCard();
    void OnMatchCountdown();
    void StepPrizeRoll();
    void DrawTaskCartoon(CDC* pDC);
    void StepAddAward();
    void ReapplyCoverFade();

    ProfileStore m_OwnProfile;
    ProfileStore* m_pProfile;

    int m_nLayoutWidth = 0;
    int m_nLayoutHeight = 0;
    // The side seats are only laid out while the seat order is counter-clockwise; until the
    // first such layout they have no places at all.
    bool m_bSideSeatsPlaced = false;
    bool m_bSideBacksInCache = false;
    // The prize back and digits are in the cache.
    bool m_bPrizeSet = false;

    // The table with or without the card counter the cache was painted for.
    bool m_bCacheCounter = false;
    CBitmap m_bmBackground;
    CDC m_dcBackground;
    CBitmap m_bmNoticeSave;
    CDC m_dcNoticeSave;

    std::optional<tagChangeScoreRequest> m_ChangeScoreRequest;

    // ---- Pictures (loaded once; a missing one draws nothing) -------------------------------------

    CSkinImage m_ImageBackground[kBackgrounds];
    CPngImage m_PngPrizeBack;
    CPngImage m_PngNumber;
    CPngImage m_PngFaceBackGround;
    CPngImage m_PngDeskInfo;
    CPngImage m_PngChat;
    CPngImage m_PngAutoPlay;
    CPngImage m_PngCallScoreBtBG;
    CPngImage m_PngScoreBG;
    CSkinImage m_ImageRole;
    CPngImage m_PngJiaBang;
    CPngImage m_PngCardBackSmall;
    CPngImage m_PngNoBigCard;
    CPngImage m_PngScore;
    CPngImage m_PngCallScoreBG;
    CPngImage m_PngShortCutButtonBG;
    CPngImage m_PngHistoryCardBg;
    CPngImage m_PngRightDownBG;
    CPngImage m_PngInformationBG;
    CPngImage m_PngTrustee;
    CPngImage m_PngChatFlash;
    CPngImage m_PngRankStatus;
    CPngImage m_PngWaitCallScore;
    CPngImage m_PngHistoryCardNumb;
    CPngImage m_PngHistoryCardFrame;
    CPngImage m_PngUserOffline;
    CPngImage m_PngRollNumber;
    CPngImage m_PngAlarm;
    CPngImage m_PngTop;
    CSkinImage m_ImageTaskCartoon;
    CPngImage m_PngAddAward;
    // By result code.
    CPngImage m_PngChangeScore[kChangeScoreCodes];
    CPngImage m_PngPrizeInfo;
    CPngImage m_PngMatchInfo;
    // The back-card flip: loaded only while drawn.
    CSkinImage m_ImageBackFlip;
    CSkinImage m_ImageScorePanel;
    CSkinImage m_ImageMatchPanel;
};
