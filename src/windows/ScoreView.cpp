#include "windows/ScoreView.h"

#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "platform/Dc.h"
#include "platform/sound/SoundBackend.h"
#include "support/TextCodec.h"
#include "windows/DigitStrip.h"

#include <QString>

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr COLORREF kTextColour = RGB(0xF1, 0xEB, 0xE5);
constexpr COLORREF kPlainBackground = RGB(24, 48, 36);
constexpr COLORREF kMagenta = RGB(0xFF, 0x00, 0xFF);

constexpr UINT_PTR kTimers[] = {CScoreView::IDT_BLINK, CScoreView::IDT_MATCH_CLOCK, CScoreView::IDT_AUTO_CLOSE,
    CScoreView::IDT_ARM_INPUT, CScoreView::IDT_REVEAL, CScoreView::IDT_LOCAL_SCORE, CScoreView::IDT_FIREWORK,
    CScoreView::IDT_BALANCES, CScoreView::IDT_COUNT_UP, CScoreView::IDT_COUNT_WAIT};

constexpr BYTE kFireworkFrames = 15;
constexpr BYTE kPointsSteps = 4;
constexpr int kLocalScoreTicks = 3;

// The strips of "number.png".
constexpr tagDigitStrip kScoreWinStrip{160, 19, 22};
constexpr tagDigitStrip kScoreLossStrip{182, 19, 22};
constexpr tagDigitStrip kLitStrip{204, 14, 20};
constexpr tagDigitStrip kBlockStrip{224, 16, 21};
constexpr tagDigitStrip kBigClockStrip{245, 25, 37};
constexpr tagDigitStrip kDimStrip{282, 14, 20};
constexpr tagDigitStrip kBalanceStrip{303, 11, 15};
constexpr tagDigitStrip kBalanceLossStrip{318, 11, 15};
constexpr tagDigitStrip kSmallClockStrip{404, 16, 22};

// Pieces of the label pictures: (x, y, width, height) in the picture.
struct tagPiece {
    int x, y, cx, cy;
};
constexpr tagPiece kFeeLabel{0, 0, 80, 15};
constexpr tagPiece kFeeUnit{116, 0, 36, 15};
constexpr tagPiece kContinueHint{0, 15, 131, 15};
constexpr tagPiece kTimedMatchLabel{56, 30, 86, 34};
constexpr tagPiece kBlockLabels{0, 30, 56, 46};
constexpr tagPiece kCoinLabel{0, 107, 39, 20};
constexpr tagPiece kLotteryLabel{39, 107, 39, 20};
constexpr tagPiece kMatchWords[] = {{0, 0, 200, 37}, {0, 37, 100, 37}, {0, 74, 40, 37}};
constexpr tagPiece kTimedMatchWords{0, 111, 240, 37};
constexpr int kRowLabelWidth = 58;
constexpr int kRowLabelHeight = 23;
constexpr int kTimesRow = 8;
constexpr int kFaceSize = 80;
constexpr int kFireworkWidth = 323;
constexpr int kFireworkHeight = 90;
constexpr int kMarkWidth = 50;
constexpr int kMarkHeight = 24;
constexpr int kMarkStep = 25;

// Cells a number may take where its neighbours begin: the next seat's score, the window's edge.
constexpr int kSeatScoreCells = 10;
constexpr int kRowValueCells = 7;
constexpr int kBannerNumberCells = 6;

void DrawPiece(CDC* pDC, const CPngImage& picture, const tagPiece& piece, int x, int y)
{
    picture.DrawImage(pDC, x, y, piece.cx, piece.cy, piece.x, piece.y);
}

void DrawLine(CDC* pDC, CPoint at, const std::string& text)
{
    CRect box(at.x, at.y, at.x + 250, at.y + 20);
    pDC->DrawText(text, &box, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
}

// A fixed text field of a user record, which need not end inside its array.
std::string FieldText(const char (&field)[32])
{
    return std::string(field, strnlen(field, sizeof(field)));
}

}  // namespace

CScoreView::CScoreView(CWnd* pParentWnd) : CSkinDialog(IDD, pParentWnd) {}

CScoreView::~CScoreView() = default;

BOOL CScoreView::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LoadPictures();
    m_BufferDC.CreateCompatibleDC(nullptr);
    m_BufferBitmap.CreateBitmap(kWidth, kHeight);
    m_BufferDC.SelectObject(&m_BufferBitmap);
    m_NameFont.CreatePointFont(140, "Arial");
    m_PointsFont.CreateFont(20, FW_NORMAL, "黑体");

    CreatePngButtons(this, {
        {&m_btQuit, IDC_QUIT, {915, 15}, "telvo\\img\\GameEnd\\btQuit.png"},
        {&m_btStart, IDC_CONTINUE, {572, 662}, "telvo\\img\\GameEnd\\btStart.png"},
        {&m_btSaveVideo, IDC_SAVE_VIDEO, {540, 600}, "telvo\\img\\btSaveVideo.png"},
    });
    m_pSoundSystem = std::make_unique<FMOD::System>();
    FMOD::Sound* coin = nullptr;
    if (m_pSoundSystem->createStream("telvo\\sound\\coin.mp3", FMOD_LOOP_NORMAL, nullptr, &coin) == FMOD_OK
        && m_pSoundSystem->playSound(FMOD_CHANNEL_FREE, coin, true, &m_pCoinChannel) == FMOD_OK) {
        m_pCoinChannel->setVolume(0.5f);
        m_pCoinChannel->setMode(FMOD_LOOP_NORMAL);
    }
    return TRUE;
}

// ---- Setters ------------------------------------------------------------------------------------------

void CScoreView::SetGameScore(WORD wChairID, const char* pszName, LONG lScore, BYTE cbWinFlag)
{
    if (wChairID >= PLAYER_COUNT)
        return;
    const std::string_view name = CutUtf8(pszName ? pszName : "", sizeof(m_szName[wChairID]) - 1);
    std::memset(m_szName[wChairID], 0, sizeof(m_szName[wChairID]));
    std::memcpy(m_szName[wChairID], name.data(), name.size());
    m_lScore[wChairID] = lScore;
    m_cbWinFlag[wChairID] = cbWinFlag;
    MarkPictureStale();
}

void CScoreView::MarkPictureStale()
{
    m_bPictureStale = true;
    Invalidate();
}

void CScoreView::SetUserData(const tagUserData* const pUserData[3])
{
    MarkPictureStale();
    // Copies: the host replaces its records whenever a user changes, so pointers to them would
    // not outlive the next score update.
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (pUserData && pUserData[chair])
            m_UserData[chair] = *pUserData[chair];
        else
            m_UserData[chair].reset();
    }
}

void CScoreView::SetGameEndInfo(WORD wGameType, LONG lServiceFee, WORD wBombCount, WORD wRocketPlayed, LONG lCellScore,
    BYTE cbSecondValue, WORD wLordUser, BYTE cbFirstBang, BYTE cbFollowBang, BYTE cbCounterBang, LONG lEndKind,
    const MatchStatus& MatchInfo, WORD wMeChairID, const GameEndRecord& GameEnd, const BYTE cbJiaBang[3], WORD wJiaBangUser,
    const BYTE cbReachTop[3], LONG lLotteryPercent)
{
    m_wGameType = ResultRoomType(wGameType, lCellScore);
    m_lServiceFee = m_wGameType == ROOM_NO_FEE ? 0 : lServiceFee;
    m_lCellScore = lCellScore;
    m_cbSecondValue = cbSecondValue;
    m_wLordUser = wLordUser;
    m_wMeChairID = wMeChairID;
    m_MatchInfo = MatchInfo;
    m_GameEnd = GameEnd;
    m_wJiaBangUser = wJiaBangUser;
    m_lLotteryPercent = lLotteryPercent;
    for (int chair = 0; chair < PLAYER_COUNT; ++chair) {
        m_cbJiaBang[chair] = cbJiaBang ? cbJiaBang[chair] : 0;
        m_cbReachTop[chair] = cbReachTop ? cbReachTop[chair] : 0;
    }

    m_cbMultiple[0] = cbFirstBang;
    m_cbMultiple[1] = cbFollowBang;
    m_cbMultiple[2] = cbCounterBang;
    m_cbMultiple[3] = HasLocalChair() && wLordUser == wMeChairID ? 1 : 0;
    m_cbMultiple[4] = static_cast<BYTE>(wBombCount & 0xFF);
    m_cbMultiple[5] = static_cast<BYTE>(wRocketPlayed & 0xFF);
    m_cbMultiple[6] = lEndKind == 1 ? 1 : 0;
    m_cbMultiple[7] = lEndKind == 2 ? 1 : 0;

    m_lAbsScore = AbsoluteScore(LocalScore());
    const tagUserData* me = HasLocalChair() && m_UserData[m_wMeChairID] ? &*m_UserData[m_wMeChairID] : nullptr;
    m_lCoinBalance = me ? me->lGold : 0;
    m_lLotteryBalance = me ? me->lLottery : 0;
    for (LONG& score : m_lScore)
        score = ScoreLessFee(score, m_lServiceFee);

    if (m_wGameType == ROOM_TIMED_MATCH) {
        for (CMatchClock& clock : m_MatchClock)
            clock.Start(m_MatchInfo.wMinutes, m_MatchInfo.wSeconds);
        SetTimer(IDT_MATCH_CLOCK, 1000);
    }
    if (m_btQuit.IsWindow())
        m_btQuit.ShowWindow(wGameType == ROOM_MATCH ? SW_HIDE : SW_SHOW);
    MarkPictureStale();
}

void CScoreView::SetMatchScore(LONG lMatchNumber1, LONG lMatchNumber2)
{
    m_lMatchNumber1 = lMatchNumber1;
    m_lMatchNumber2 = lMatchNumber2;
    MarkPictureStale();
}

void CScoreView::SetTaskLottery(LONG lTaskLottery)
{
    m_lTaskLottery = lTaskLottery;
    MarkPictureStale();
}

void CScoreView::ResetScoreView()
{
    // A hidden window keeps its timers: without stopping them here the automatic close would
    // still end the program after the player went on to the next game.
    for (const UINT_PTR id : kTimers)
        KillTimer(id);
    m_lLotteryPercent = 0;
    m_lServiceFee = 0;
    std::memset(m_lScore, 0, sizeof(m_lScore));
    std::memset(m_szName, 0, sizeof(m_szName));
    std::memset(m_cbReachTop, 0, sizeof(m_cbReachTop));
    m_lTaskLottery = 0;

    ClearRevealState();
    // A count cut short by the player going on must not leave the coins ringing.
    PauseCoinSound(true);
    m_bRevealing = false;
    m_cbFireworkFrame = 0;
    for (CMatchClock& clock : m_MatchClock)
        clock.Stop();

    MarkPictureStale();
    if (m_btSaveVideo.IsWindow())
        m_btSaveVideo.EnableWindow(TRUE);
}

void CScoreView::ClearRevealState()
{
    m_cbRevealRow = 0;
    m_bFirework = false;
    m_bAbsScoreShown = false;
    m_bLocalScoreShown = false;
    m_nTickCount = 0;
    m_cbPointsStep = 0;
    m_bCountUp = false;
    m_lScoreRemain = 0;
    m_lLotteryRemain = 0;
    m_nCountSpeed = 0;
    m_bAnyInput = false;
    m_bBlink = false;
}

void CScoreView::StartScoreAnimation()
{
    for (const UINT_PTR id : {IDT_REVEAL, IDT_FIREWORK, IDT_LOCAL_SCORE, IDT_BALANCES, IDT_COUNT_WAIT, IDT_COUNT_UP, IDT_BLINK})
        KillTimer(id);
    ClearRevealState();
    m_bRevealing = true;
    SetTimer(IDT_REVEAL, 500);
    SetTimer(IDT_ARM_INPUT, LocalScore() <= 0 ? 4000 : 9000);
    SetTimer(IDT_AUTO_CLOSE, LocalPlayerLeaves() ? 10000 : 25000);
    Invalidate();
}

// ---- Actions ------------------------------------------------------------------------------------------

bool CScoreView::LocalPlayerLeaves() const
{
    if (!HasLocalChair())
        return false;
    const BYTE status = m_GameEnd.cbTaskFlag[m_wMeChairID];
    return status == 3 || status == 4;
}

// Both requests are posted: the game window may destroy this window when it handles them, which
// must not happen while a handler of this window is still running.
void CScoreView::AskMainWindowToClose()
{
    if (CWnd* main = GetTopLevelParent())
        main->PostMessage(WM_CLOSE, 0, 0);
}

void CScoreView::ContinueGame()
{
    const bool leaves = LocalPlayerLeaves();
    ResetScoreView();
    if (leaves)
        AskMainWindowToClose();
    else if (CWnd* main = GetTopLevelParent())
        main->PostMessage(UM_NEXT_GAME, 0, 0);
}

void CScoreView::SaveReplay()
{
    // Off first: each game is saved once, and saving may take a while.
    m_btSaveVideo.EnableWindow(FALSE);
    if (m_pGameClientDlg)
        m_pGameClientDlg->SaveVideo();
}

BOOL CScoreView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_QUIT: AskMainWindowToClose(); return TRUE;
    case IDC_CONTINUE: ContinueGame(); return TRUE;
    case IDC_SAVE_VIDEO: SaveReplay(); return TRUE;
    default: return CSkinDialog::OnCommand(wParam, lParam);
    }
}

bool CScoreView::PointOnButton(const CPngButton& button, CPoint ptGame) const
{
    if (!button.IsWindowVisible())
        return false;
    CRect rect;
    button.GetWindowRect(&rect);
    return rect.PtInRect(ptGame);
}

BOOL CScoreView::PreTranslateMessage(MSG* pMsg)
{
    const UINT message = pMsg->message;
    if (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK)
        m_ptCursor = pMsg->pt;
    const bool press = message == WM_KEYDOWN || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN
        || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
    if (!m_bAnyInput || !press)
        return CSkinDialog::PreTranslateMessage(pMsg);
    if (PointOnButton(m_btQuit, m_ptCursor))
        AskMainWindowToClose();
    else if (PointOnButton(m_btSaveVideo, m_ptCursor) && m_btSaveVideo.IsWindowEnabled())
        SaveReplay();
    else
        ContinueGame();
    return TRUE;
}

// ---- Timers -------------------------------------------------------------------------------------------

void CScoreView::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case IDT_REVEAL: StepReveal(); break;
    case IDT_FIREWORK: StepFirework(); break;
    case IDT_LOCAL_SCORE: StepLocalScore(); break;
    case IDT_BALANCES: StepBalances(); break;
    case IDT_COUNT_WAIT: StartCountUp(); break;
    case IDT_COUNT_UP: StepCountUp(); break;
    case IDT_MATCH_CLOCK: StepMatchClocks(); break;
    case IDT_ARM_INPUT:
        KillTimer(IDT_ARM_INPUT);
        SetTimer(IDT_BLINK, 600);
        break;
    case IDT_BLINK:
        m_bAnyInput = true;
        m_bBlink = !m_bBlink;
        Invalidate();
        break;
    case IDT_AUTO_CLOSE:
        KillTimer(IDT_AUTO_CLOSE);
        ResetScoreView();
        AskMainWindowToClose();
        break;
    default: break;
    }
}

void CScoreView::StepReveal()
{
    while (m_cbRevealRow < kMultipleRows && m_cbMultiple[m_cbRevealRow] == 0)
        ++m_cbRevealRow;
    if (m_cbRevealRow >= kMultipleRows) {
        KillTimer(IDT_REVEAL);
        m_bRevealing = false;
        m_bAbsScoreShown = true;
        m_nTickCount = 0;
        SetTimer(IDT_LOCAL_SCORE, 200);
    } else {
        m_bFirework = true;
        m_cbFireworkFrame = 0;
        SetTimer(IDT_FIREWORK, 35);
        GetSoundBackend().PlayEffectSound(QStringLiteral("telvo\\sound\\firework.mp3"));
        ++m_cbRevealRow;
    }
    Invalidate();
}

void CScoreView::StepFirework()
{
    if (++m_cbFireworkFrame >= kFireworkFrames) {
        KillTimer(IDT_FIREWORK);
        m_bFirework = false;
        m_cbFireworkFrame = 0;
    }
    Invalidate();
}

void CScoreView::StepLocalScore()
{
    ++m_nTickCount;
    if (m_nTickCount == 1) {
        m_bLocalScoreShown = true;
        m_cbPointsStep = 0;
        SetTimer(IDT_BALANCES, 100);
        Invalidate();
    } else if (m_nTickCount >= kLocalScoreTicks) {
        KillTimer(IDT_LOCAL_SCORE);
    }
}

void CScoreView::StepBalances()
{
    // The steps run whether or not the local user's record is there; only what they show needs it.
    ++m_cbPointsStep;
    Invalidate();
    if (m_cbPointsStep < kPointsSteps)
        return;
    KillTimer(IDT_BALANCES);
    if (m_wGameType == ROOM_PRIZE)
        SetTimer(IDT_COUNT_WAIT, 2000);
}

void CScoreView::StartCountUp()
{
    KillTimer(IDT_COUNT_WAIT);
    m_lScoreRemain = LocalScore();
    m_lLotteryRemain = m_lTaskLottery;
    m_nCountSpeed = 0;
    m_bCountUp = true;
    PauseCoinSound(false);
    SetTimer(IDT_COUNT_UP, 60);
}

void CScoreView::StepCountUp()
{
    ++m_nCountSpeed;
    const LONG step = m_nCountSpeed / 2;
    m_lScoreRemain = CountTowardZero(m_lScoreRemain, step);
    m_lLotteryRemain = CountTowardZero(m_lLotteryRemain, step);
    Invalidate();
    if (m_lScoreRemain != 0 || m_lLotteryRemain != 0)
        return;
    m_nCountSpeed = 0;
    KillTimer(IDT_COUNT_UP);
    PauseCoinSound(true);
}

void CScoreView::PauseCoinSound(bool bPaused)
{
    if (!m_pCoinChannel)
        return;
    bool paused = true;
    // Only a change is passed on: the channel stays quiet while nothing counts.
    if (m_pCoinChannel->getPaused(&paused) == FMOD_OK && paused != bPaused)
        m_pCoinChannel->setPaused(bPaused);
}

void CScoreView::StepMatchClocks()
{
    if (m_MatchClock[0].Tick())
        m_MatchClock[1].Tick();
    else
        KillTimer(IDT_MATCH_CLOCK);
    Invalidate();
}

LONG CScoreView::ShownCoins() const
{
    return m_bCountUp ? CountedBalance(m_lCoinBalance, LocalScore(), m_lScoreRemain) : m_lCoinBalance;
}

LONG CScoreView::ShownLottery() const
{
    return CountedBalance(m_lLotteryBalance, 0, m_bCountUp ? m_lLotteryRemain : m_lTaskLottery);
}

// ---- Drawing ------------------------------------------------------------------------------------------

void CScoreView::LoadPictures()
{
    const std::string dir = "telvo\\img\\gameend\\";
    // Kept as a picture with alpha (a JPEG is opaque everywhere): drawn as it is, it needs no
    // conversion at each redraw of the buffered picture.
    m_PngBack.LoadImage(dir + "bgGameEnd.jpg");
    m_ImageFaces.Load("telvo\\img\\role.bmp");
    m_ImageReachTop.Load(dir + "ReachTop.bmp");
    const struct {
        CPngImage* image;
        const char* name;
    } pictures[] = {
        {&m_PngFaceFrame, "userface.png"}, {&m_PngLevelBar, "bar.png"}, {&m_PngWords, "word.png"},
        {&m_PngRowLabels, "right.png"}, {&m_PngMatchWords, "normalword.png"}, {&m_PngPrizeWords, "prizeword.png"},
        {&m_PngWarmTip, "warm_tip.png"}, {&m_PngFirework, "firework.png"}, {&m_PngStampLarge, "winloseL.png"},
        {&m_PngStampSmall, "winloseS.png"}, {&m_PngGoldCoin, "GoldCoin.png"}, {&m_PngLottery, "Lottery.png"},
        {&m_PngNumbers, "number.png"}, {&m_PngBannerPrize, "BannerPrize.png"}, {&m_PngBannerNetBar, "bannernetbar.png"},
        {&m_PngPenalty, "punish.png"}, {&m_PngDoubling, "JiaBangIcon.png"},
    };
    for (const auto& picture : pictures)
        picture.image->LoadImage(dir + picture.name);
}

void CScoreView::OnDraw(CDC* pDC)
{
    if (m_bPictureStale) {
        DrawStaticPicture(&m_BufferDC);
        // The buttons show the picture around them; it changed.
        for (CPngButton* button : {&m_btQuit, &m_btStart, &m_btSaveVideo})
            button->SetButtonBkgnd(&m_BufferDC);
        m_bPictureStale = false;
    }
    // The buffer is opaque everywhere, so drawing it over the surface equals a copy, without
    // making one.
    pDC->DrawImage(m_BufferBitmap.Image(), 0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight);
    DrawMovingParts(pDC);
}

void CScoreView::DrawStaticPicture(CDC* pDC)
{
    pDC->FillSolidRect(0, 0, kWidth, kHeight, kPlainBackground);
    m_PngBack.DrawImage(pDC, 0, 0);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(kTextColour);

    DrawBanner(pDC);

    DrawPiece(pDC, m_PngWords, kFeeLabel, 250, 676);
    const int feeWidth = DrawStripNumber(pDC, m_PngNumbers, kLitStrip, m_lServiceFee, 333, 674, NumberAlign::Left);
    DrawPiece(pDC, m_PngWords, kFeeUnit, 333 + feeWidth, 676);

    if (m_wGameType == ROOM_TIMED_MATCH)
        DrawPiece(pDC, m_PngWords, kTimedMatchLabel, 707, 219);
    DrawPiece(pDC, m_PngWords, kBlockLabels, 714, 260);
    DrawStripNumber(pDC, m_PngNumbers, kBlockStrip, m_lCellScore, 798, 259, NumberAlign::Left);
    DrawStripNumber(pDC, m_PngNumbers, kBlockStrip, m_cbSecondValue, 798, 290, NumberAlign::Left);

    CFont* oldFont = pDC->SelectObject(&m_NameFont);
    for (int seat = 0; seat < PLAYER_COUNT; ++seat)
        DrawSeat(pDC, seat);
    pDC->SelectObject(oldFont);
}

void CScoreView::DrawBanner(CDC* pDC)
{
    switch (m_wGameType) {
    case ROOM_PLAIN: m_PngWarmTip.DrawImage(pDC, 282, 88); break;
    case ROOM_PRIZE: m_PngBannerPrize.DrawImage(pDC, (kWidth - m_PngBannerPrize.GetWidth()) / 2, 82); break;
    case ROOM_NET_BAR: m_PngBannerNetBar.DrawImage(pDC, (kWidth - m_PngBannerNetBar.GetWidth()) / 2, 52); break;
    case ROOM_MATCH: {
        // "Round N of M": the words end where the first number starts, near the middle.
        int x = 488 - kMatchWords[0].cx;
        const LONG numbers[2] = {FitNumber(m_lMatchNumber1, false, kBannerNumberCells), FitNumber(m_lMatchNumber2, false, kBannerNumberCells)};
        for (int piece = 0; piece < 3; ++piece) {
            DrawPiece(pDC, m_PngMatchWords, kMatchWords[piece], x, 89);
            x += kMatchWords[piece].cx;
            if (piece < 2)
                x += DrawStripNumber(pDC, m_PngNumbers, kBigClockStrip, numbers[piece], x, 89, NumberAlign::Left);
        }
        break;
    }
    case ROOM_TIMED_MATCH: DrawPiece(pDC, m_PngMatchWords, kTimedMatchWords, (kWidth - kTimedMatchWords.cx) / 2, 89); break;
    default: break;  // a room type of its own has no banner
    }
}

void CScoreView::DrawSeat(CDC* pDC, int seat)
{
    const WORD chair = ResultSeatChair(m_wMeChairID, seat);
    const tagResultSeat& at = ResultSeat(seat);
    const tagUserData* user = m_UserData[chair] ? &*m_UserData[chair] : nullptr;
    const LONG score = m_lScore[chair];
    const bool local = seat == 0;

    DrawLine(pDC, at.ptName, std::string("昵称: ") + m_szName[chair]);
    if (user) {
        const std::string first = FieldText(user->szRegion[0]);
        const std::string second = FieldText(user->szRegion[1]);
        DrawLine(pDC, at.ptRegion, first.empty() && second.empty() ? std::string("地区: 其他地区") : "地区: " + first + " " + second);
        char level[32];
        std::snprintf(level, sizeof(level), "等级: %u", static_cast<unsigned>(user->dwLevel & 0xFFFF));
        DrawLine(pDC, at.ptLevel, level);
        const int barHeight = m_PngLevelBar.GetHeight() / 2;
        m_PngLevelBar.DrawImage(pDC, at.ptLevelBar.x, at.ptLevelBar.y, kLevelBarWidth, barHeight, 0, 0);
        m_PngLevelBar.DrawImage(pDC, at.ptLevelBar.x, at.ptLevelBar.y, LevelBarWidth(user->dwLevel), barHeight, 0, barHeight);
    }

    // The local score comes with the reveal; the others show at once.
    int scoreEnd = 0;
    if (!local) {
        const tagDigitStrip& strip = score > 0 ? kScoreWinStrip : kScoreLossStrip;
        const LONG shown = FitNumber(score, true, kSeatScoreCells);
        const int x = seat == 1 ? 158 : 490;
        scoreEnd = x + DrawStripNumber(pDC, m_PngNumbers, strip, shown, x, 539, NumberAlign::Left, true);
    }

    m_PngFaceFrame.DrawImage(pDC, at.ptFace.x, at.ptFace.y);
    if (!m_ImageFaces.IsNull()) {
        const int cell = FaceCell(user ? user->cbGender : 0, chair == m_wLordUser);
        m_ImageFaces.BitBlt(pDC, at.ptFace.x + 14, at.ptFace.y + 11, kFaceSize, kFaceSize, cell * kFaceSize, 0);
    }

    const CPngImage& stamp = local ? m_PngStampLarge : m_PngStampSmall;
    const int stampWidth = stamp.GetWidth() / 2;
    const CPoint stampAt = at.ptFace + (local ? CPoint(-40, -30) : CPoint(-20, -20));
    stamp.DrawImage(pDC, stampAt.x, stampAt.y, stampWidth, stamp.GetHeight(), score > 0 ? 0 : stampWidth, 0);

    int marks = 0;
    if (m_wGameType != ROOM_NO_FEE) {
        const tagPenaltyMarks penalty = PenaltyMarks(m_GameEnd.lPenaltyKind[chair]);
        if (penalty.bKindTwo)
            m_PngPenalty.DrawImage(pDC, at.ptPenalty.x, at.ptPenalty.y + kMarkStep * marks++, kMarkWidth, kMarkHeight, 0, 0);
        if (penalty.bKindOne)
            m_PngPenalty.DrawImage(pDC, at.ptPenalty.x, at.ptPenalty.y + kMarkStep * marks++, kMarkWidth, kMarkHeight, kMarkWidth, 0);
    }
    if (m_cbJiaBang[chair]) {
        const int cell = DoublingMarkCell(chair, m_wLordUser, m_wJiaBangUser);
        m_PngDoubling.DrawImage(pDC, at.ptPenalty.x, at.ptPenalty.y + kMarkStep * marks, kMarkWidth, kMarkHeight, cell * kMarkWidth, 0);
    }

    if (m_cbReachTop[chair] && !m_ImageReachTop.IsNull()) {
        const int cells = NumberCells(FitNumber(score, true, kSeatScoreCells), true).nCount;
        const CPoint badge = local ? CPoint(250 + cells * 31, 278) : CPoint(scoreEnd, 539 - 20);
        m_ImageReachTop.AlphaDrawImage(pDC, badge.x, badge.y, m_ImageReachTop.GetWidth(), m_ImageReachTop.GetHeight(), 0, 0, kMagenta);
    }
}

void CScoreView::DrawMovingParts(CDC* pDC)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(kTextColour);

    for (int row = 0; row < kMultipleRows; ++row) {
        const bool lit = m_cbMultiple[row] != 0 && row < m_cbRevealRow;
        const int column = lit ? 0 : kRowLabelWidth;
        const CPoint label = MultiplierLabelAt(row);
        m_PngRowLabels.DrawImage(pDC, label.x, label.y, kRowLabelWidth, kRowLabelHeight, column, kRowLabelHeight * row);
        if (row >= 3) {
            const CPoint sign = MultiplierSignAt(row);
            m_PngRowLabels.DrawImage(pDC, sign.x, sign.y, kRowLabelWidth, kRowLabelHeight, column, kRowLabelHeight * kTimesRow);
        }
        const CPoint value = MultiplierValueAt(row);
        const LONG shown = FitNumber(ShownMultiple(row, m_cbMultiple[row]), false, kRowValueCells);
        DrawStripNumber(pDC, m_PngNumbers, lit ? kLitStrip : kDimStrip, shown, value.x, value.y, NumberAlign::Left);
    }
    if (m_bFirework && m_cbRevealRow > 0) {
        const CPoint at = FireworkAt(m_cbRevealRow - 1);
        const int frame = std::min<int>(m_cbFireworkFrame, kFireworkFrames - 1);
        m_PngFirework.DrawImage(pDC, at.x, at.y, kFireworkWidth, kFireworkHeight, 0, frame * kFireworkHeight);
    }
    if (m_bAbsScoreShown)
        DrawStripNumber(pDC, m_PngNumbers, kBlockStrip, m_lAbsScore, 820, 622, NumberAlign::Left);

    if (m_bLocalScoreShown) {
        const LONG score = LocalScore();
        DrawStripNumber(pDC, m_PngNumbers, score > 0 ? kScoreWinStrip : kScoreLossStrip, score, 419, 320, NumberAlign::Right, true);
        DrawStripNumber(pDC, m_PngNumbers, m_lTaskLottery >= 0 ? kScoreWinStrip : kScoreLossStrip, m_lTaskLottery, 615, 320,
            NumberAlign::Right, true);
    }
    DrawBalances(pDC);

    if (m_wGameType == ROOM_TIMED_MATCH) {
        const auto small = m_MatchClock[0].Cells();
        DrawStripCells(pDC, m_PngNumbers, kSmallClockStrip, small.data(), static_cast<int>(small.size()), 910, 96);
        const auto big = m_MatchClock[1].Cells();
        DrawStripCells(pDC, m_PngNumbers, kBigClockStrip, big.data(), static_cast<int>(big.size()), 828, 32);
    }
    if (m_bBlink)
        DrawPiece(pDC, m_PngWords, kContinueHint, 783, 661);
}

void CScoreView::DrawBalances(CDC* pDC)
{
    if (m_cbPointsStep == 0 || !HasLocalChair() || !m_UserData[m_wMeChairID])
        return;
    if (m_wGameType == ROOM_NET_BAR) {
        if (m_cbPointsStep < 2)
            return;
        CFont* oldFont = pDC->SelectObject(&m_PointsFont);
        char line[48];
        std::snprintf(line, sizeof(line), "积 分 :  %d", static_cast<int>(m_UserData[m_wMeChairID]->lScore));
        CRect box(292, 330, 524, 350);
        pDC->DrawText(line, -1, &box, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
        pDC->SelectObject(oldFont);
        return;
    }
    m_PngGoldCoin.DrawImage(pDC, 294, 248);
    m_PngLottery.DrawImage(pDC, 490, 248);
    if (m_cbPointsStep >= 2) {
        DrawPiece(pDC, m_PngPrizeWords, kCoinLabel, 260, 400);
        DrawStripNumber(pDC, m_PngNumbers, kBalanceStrip, ShownCoins(), 422, 403, NumberAlign::Right);
    }
    if (m_cbPointsStep >= 3) {
        DrawPiece(pDC, m_PngPrizeWords, kLotteryLabel, 455, 400);
        DrawStripNumber(pDC, m_PngNumbers, kBalanceStrip, ShownLottery(), 619, 403, NumberAlign::Right);
    }
    if (m_bCountUp) {
        const tagDigitStrip& strip = LocalScore() > 0 ? kBalanceStrip : kBalanceLossStrip;
        DrawStripNumber(pDC, m_PngNumbers, strip, m_lScoreRemain, 422, 370, NumberAlign::Right, true);
        DrawStripNumber(pDC, m_PngNumbers, kBalanceStrip, m_lLotteryRemain, 619, 370, NumberAlign::Right, true);
    }
}

void CScoreView::Dump(CDumpContext& dc) const
{
    dc.Add("m_wGameType", m_wGameType);
    dc.Add("m_lServiceFee", m_lServiceFee);
    dc.Add("m_lCellScore", m_lCellScore);
    dc.Add("m_cbSecondValue", m_cbSecondValue);
    dc.Add("m_wLordUser", m_wLordUser);
    dc.Add("m_wMeChairID", m_wMeChairID);
    dc.AddTexts("m_szName", {m_szName[0], m_szName[1], m_szName[2]});
    dc.AddList("m_lScore", m_lScore);
    dc.AddList("m_cbWinFlag", m_cbWinFlag);
    dc.AddList("m_cbMultiple", m_cbMultiple);
    dc.AddList("m_cbJiaBang", m_cbJiaBang);
    dc.Add("m_wJiaBangUser", m_wJiaBangUser);
    dc.AddList("m_cbReachTop", m_cbReachTop);
    // The record is packed: its numbers are read one by one, never bound as an array.
    const LONG penalties[3] = {m_GameEnd.lPenaltyKind[0], m_GameEnd.lPenaltyKind[1], m_GameEnd.lPenaltyKind[2]};
    dc.AddList("m_GameEnd.lPenaltyKind", penalties);
    dc.AddList("m_GameEnd.cbTaskFlag", m_GameEnd.cbTaskFlag);
    dc.Add("m_lLotteryPercent", m_lLotteryPercent);
    dc.Add("m_lMatchNumber1", m_lMatchNumber1);
    dc.Add("m_lMatchNumber2", m_lMatchNumber2);
    dc.Add("m_lTaskLottery", m_lTaskLottery);
    dc.Add("m_lCoinBalance", m_lCoinBalance);
    dc.Add("m_lLotteryBalance", m_lLotteryBalance);
    dc.Add("m_lAbsScore", m_lAbsScore);
    const int clocks[] = {m_MatchClock[0].GetRemaining(), m_MatchClock[1].GetRemaining()};
    dc.AddList("m_MatchClock", clocks);
    dc.Add("m_cbRevealRow", m_cbRevealRow);
    dc.Add("m_bRevealing", m_bRevealing);
    dc.Add("m_bFirework", m_bFirework);
    dc.Add("m_bAbsScoreShown", m_bAbsScoreShown);
    dc.Add("m_bLocalScoreShown", m_bLocalScoreShown);
    dc.Add("m_cbPointsStep", m_cbPointsStep);
    dc.Add("m_bCountUp", m_bCountUp);
    dc.Add("m_lScoreRemain", m_lScoreRemain);
    dc.Add("m_lLotteryRemain", m_lLotteryRemain);
    dc.Add("m_bAnyInput", m_bAnyInput);
    dc.Add("m_bBlink", m_bBlink);
    dc.AddRaw("buttons", DumpControls(*this, {IDC_QUIT, IDC_CONTINUE, IDC_SAVE_VIDEO}));
}
