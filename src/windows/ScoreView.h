#pragma once

// The end-of-game result window: a borderless dialog the size of the table, made hidden by the
// game window at the first game end and refilled at each one. It shows the players' names and
// scores, the multiplier rows of the game, the fee and the balances; after a few seconds any key
// or press continues to the next game, and after a longer wait it closes the game window by
// itself. Its buttons leave, continue and save the game's replay.
//
// The controller fills it in this order: SetGameScore for each chair, SetUserData,
// SetGameEndInfo; then it shows the window and calls StartScoreAnimation.
//
// The picture has two layers: what stays for the whole game end (background, banner, fee, the
// players) is drawn once into a buffer whenever the game end changes, and each paint copies it
// and draws what moves (the multiplier rows as they light up, the fireworks, the local score,
// the balances and their count-up, the match clocks, the continue hint) from the state alone.
// Every number comes from the digit strips of "number.png".

#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"
#include "platform/sound/Fmod.h"
#include "platform/host/GameFrame.h"
#include "protocol/GameRecords.h"
#include "windows/ScoreRules.h"

#include <memory>
#include <optional>

class CGameClientDlg;

class CScoreView : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 156;
    static constexpr int kWidth = 1018;
    static constexpr int kHeight = 702;

    static constexpr UINT IDC_QUIT = 1001;
    static constexpr UINT IDC_CONTINUE = 1002;
    static constexpr UINT IDC_SAVE_VIDEO = 1003;

    // The window's own timers.
    static constexpr UINT_PTR IDT_BLINK = 104;
    static constexpr UINT_PTR IDT_MATCH_CLOCK = 105;
    static constexpr UINT_PTR IDT_AUTO_CLOSE = 109;
    static constexpr UINT_PTR IDT_ARM_INPUT = 110;
    static constexpr UINT_PTR IDT_REVEAL = 111;
    static constexpr UINT_PTR IDT_LOCAL_SCORE = 113;
    static constexpr UINT_PTR IDT_FIREWORK = 114;
    static constexpr UINT_PTR IDT_BALANCES = 115;
    static constexpr UINT_PTR IDT_COUNT_UP = 116;
    static constexpr UINT_PTR IDT_COUNT_WAIT = 117;

    explicit CScoreView(CWnd* pParentWnd = nullptr);
    ~CScoreView() override;

    // The controller whose replay the save button writes.
    void SetGameClientDlg(CGameClientDlg* pGameClientDlg) { m_pGameClientDlg = pGameClientDlg; }

    // One chair's name (cut to 31 bytes), score and flag; chairs 3 and above are ignored.
    void SetGameScore(WORD wChairID, const char* pszName, LONG lScore, BYTE cbWinFlag);
    // The three chairs' user records, copied (a null chair has none).
    void SetUserData(const tagUserData* const pUserData[3]);
    // Everything else of the game end. The room type is mapped by ResultRoomType, the fee is 0
    // in the no-fee room and is taken from all three scores, the multiplier rows come from the
    // three doubling flags, the landlord, the bomb and rocket counts (low byte) and the end kind
    // (1 spring, 2 reverse spring). The balances are the local user's; the match clocks start in
    // the timed match; the quit button is hidden for a room type of 1.
    void SetGameEndInfo(WORD wGameType, LONG lServiceFee, WORD wBombCount, WORD wRocketPlayed, LONG lCellScore,
        BYTE cbSecondValue, WORD wLordUser, BYTE cbFirstBang, BYTE cbFollowBang, BYTE cbCounterBang, LONG lEndKind,
        const MatchStatus& MatchInfo, WORD wMeChairID, const GameEndRecord& GameEnd, const BYTE cbJiaBang[3],
        WORD wJiaBangUser, const BYTE cbReachTop[3], LONG lLotteryPercent);
    // The two numbers of the match banner.
    void SetMatchScore(LONG lMatchNumber1, LONG lMatchNumber2);
    // Lottery tickets a task won in this game.
    void SetTaskLottery(LONG lTaskLottery);
    // Forgets the game (scores, names, fee, percent, reach-top flags, task lottery), stops every
    // timer and animation, disarms the input and enables the save button again.
    void ResetScoreView();
    // Starts the reveal, the arming of the continue input (4 s after a loss or a draw, else 9 s)
    // and the automatic close (10 s when the local player's status is 3 or 4, else 25 s).
    void StartScoreAnimation();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    std::string GetDumpName() const override { return "CScoreView"; }
    void Dump(CDumpContext& dc) const override;

    CPngButton& GetQuitButton() { return m_btQuit; }
    CPngButton& GetStartButton() { return m_btStart; }
    CPngButton& GetSaveVideoButton() { return m_btSaveVideo; }

    // ---- What the controller handed over (by chair unless noted) ----------------------------------

    LONG m_lScore[3] = {};
    char m_szName[3][32] = {};
    BYTE m_cbWinFlag[3] = {};
    std::optional<tagUserData> m_UserData[3];
    WORD m_wGameType = 0;
    LONG m_lServiceFee = 0;
    LONG m_lCellScore = 0;
    BYTE m_cbSecondValue = 0;
    WORD m_wLordUser = INVALID_CHAIR;
    WORD m_wMeChairID = INVALID_CHAIR;
    // By row: first, follow and counter doubling, local landlord, bombs, rocket, spring, reverse
    // spring.
    BYTE m_cbMultiple[kMultipleRows] = {};
    BYTE m_cbJiaBang[3] = {};
    WORD m_wJiaBangUser = 0;
    BYTE m_cbReachTop[3] = {};
    GameEndRecord m_GameEnd = {};
    MatchStatus m_MatchInfo = {};
    LONG m_lLotteryPercent = 0;
    LONG m_lMatchNumber1 = 0;
    LONG m_lMatchNumber2 = 0;
    LONG m_lTaskLottery = 0;
    LONG m_lCoinBalance = 0;
    LONG m_lLotteryBalance = 0;
    LONG m_lAbsScore = 0;

    // ---- Animation --------------------------------------------------------------------------------

    // The next row to reveal (8: all done); rows above it with a byte are lit.
    BYTE m_cbRevealRow = 0;
    bool m_bRevealing = false;
    bool m_bFirework = false;
    BYTE m_cbFireworkFrame = 0;
    bool m_bAbsScoreShown = false;
    bool m_bLocalScoreShown = false;
    // Ticks of the local score's timer, and steps of the balance lines (0-4).
    int m_nTickCount = 0;
    BYTE m_cbPointsStep = 0;
    // What is left to count up of the local score and the task lottery, and the count's speed.
    bool m_bCountUp = false;
    LONG m_lScoreRemain = 0;
    LONG m_lLotteryRemain = 0;
    int m_nCountSpeed = 0;
    // Any key or press continues.
    bool m_bAnyInput = false;
    bool m_bBlink = false;
    CMatchClock m_MatchClock[2];

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnDraw(CDC* pDC) override;
    // Enter and Escape would hide the window and leave the player without its buttons while the
    // automatic close still runs; only the buttons and the continue input act.
    void OnOK() override {}
    void OnCancel() override {}

private:
    // The reveal, the count-up and the continue input back at their start.
    void ClearRevealState();
    bool HasLocalChair() const { return m_wMeChairID < PLAYER_COUNT; }
    LONG LocalScore() const { return HasLocalChair() ? m_lScore[m_wMeChairID] : 0; }
    // The local player's status byte of the game end says the table is over for them.
    bool LocalPlayerLeaves() const;
    bool PointOnButton(const CPngButton& button, CPoint ptGame) const;
    // The balances as the count-up shows them: the old ones until it begins, the new ones at its end.
    LONG ShownCoins() const;
    LONG ShownLottery() const;

    void AskMainWindowToClose();
    void ContinueGame();
    void SaveReplay();

    void StepReveal();
    void StepFirework();
    void StepLocalScore();
    void StepBalances();
    void StartCountUp();
    void StepCountUp();
    void StepMatchClocks();
    void PauseCoinSound(bool bPaused);

    void LoadPictures();
    void DrawStaticPicture(CDC* pDC);
    void DrawBanner(CDC* pDC);
    void DrawSeat(CDC* pDC, int nSeat);
    void DrawMovingParts(CDC* pDC);
    void DrawBalances(CDC* pDC);
    // The game end changed: the buffered picture is drawn again at the next paint.
    void MarkPictureStale();

    CGameClientDlg* m_pGameClientDlg = nullptr;
    // The last pointer position seen over the window (game-window coordinates); a key press
    // acts on whatever button lies there.
    CPoint m_ptCursor{-1, -1};

    CPngImage m_PngBack;
    // The coin sound loops, paused, while the window lives and plays while the balances count.
    // The window keeps its own sound system: the game window has none to hand over.
    std::unique_ptr<FMOD::System> m_pSoundSystem;
    FMOD::Channel* m_pCoinChannel = nullptr;
    CSkinImage m_ImageFaces;
    CSkinImage m_ImageReachTop;
    CPngImage m_PngFaceFrame;
    CPngImage m_PngLevelBar;
    CPngImage m_PngWords;
    CPngImage m_PngRowLabels;
    CPngImage m_PngMatchWords;
    CPngImage m_PngPrizeWords;
    CPngImage m_PngWarmTip;
    CPngImage m_PngFirework;
    CPngImage m_PngStampLarge;
    CPngImage m_PngStampSmall;
    CPngImage m_PngGoldCoin;
    CPngImage m_PngLottery;
    CPngImage m_PngNumbers;
    CPngImage m_PngBannerPrize;
    CPngImage m_PngBannerNetBar;
    CPngImage m_PngPenalty;
    CPngImage m_PngDoubling;
    CFont m_NameFont;
    CFont m_PointsFont;
    // The static result picture.
    CDC m_BufferDC;
    CBitmap m_BufferBitmap;
    bool m_bPictureStale = true;
    CPngButton m_btQuit;
    CPngButton m_btStart;
    CPngButton m_btSaveVideo;
};
