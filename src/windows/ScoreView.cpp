#include "support/TextCodec.h"
#include "windows/ScoreView.h"

#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "platform/Dc.h"
#include "platform/sound/SoundBackend.h"

#include <QString>

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr COLORREF kTextColour = RGB(0xF1, 0xEB, 0xE5);
constexpr COLORREF kDimColour = RGB(0x90, 0x90, 0x90);
constexpr COLORREF kPlainBackground = RGB(24, 48, 36);

constexpr UINT_PTR kTimers[] = {CScoreView::IDT_BLINK, CScoreView::IDT_MATCH_CLOCK, CScoreView::IDT_AUTO_CLOSE,
    CScoreView::IDT_ARM_INPUT, CScoreView::IDT_REVEAL, CScoreView::IDT_LOCAL_SCORE, CScoreView::IDT_FIREWORK,
    CScoreView::IDT_BALANCES, CScoreView::IDT_COUNT_UP, CScoreView::IDT_COUNT_WAIT};

constexpr BYTE kFireworkFrames = 15;
constexpr BYTE kPointsSteps = 4;
constexpr int kLocalScoreTicks = 3;

// Placeholder labels of the multiplier rows, in row order.
constexpr const char* kRowLabels[kMultipleRows] = {"加倍", "跟倍", "反倍", "地主", "炸弹", "火箭", "春天", "反春"};

// Where each seat's name line and score go: the local chair, the next chair, the one after.
constexpr CPoint kNameLine[3] = {{85, 370}, {25, 603}, {360, 603}};
constexpr CPoint kScoreAt[3] = {{250, 320}, {158, 539}, {490, 539}};


void DrawLine(CDC* pDC, int x, int y, const std::string& text, COLORREF colour = kTextColour)
{
    pDC->SetTextColor(colour);
    CRect box(x, y, x + 250, y + 20);
    pDC->DrawText(text, &box, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace

CScoreView::CScoreView(CWnd* pParentWnd) : CSkinDialog(IDD, pParentWnd) {}

CScoreView::~CScoreView() = default;

BOOL CScoreView::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_ImageBack.Load("telvo\\img\\gameend\\bgGameEnd.jpg");

    const struct {
        CPngButton* button;
        UINT nID;
        CPoint at;
        const char* picture;
    } buttons[] = {
        {&m_btQuit, IDC_QUIT, {915, 15}, "telvo\\img\\GameEnd\\btQuit.png"},
        {&m_btStart, IDC_CONTINUE, {572, 662}, "telvo\\img\\GameEnd\\btStart.png"},
        {&m_btSaveVideo, IDC_SAVE_VIDEO, {540, 600}, "telvo\\img\\btSaveVideo.png"},
    };
    for (const auto& spec : buttons) {
        spec.button->Create("", WS_CHILD | WS_VISIBLE, CRect(spec.at, CSize()), this, spec.nID);
        spec.button->EnableSound(false);
        spec.button->SetButtonImage(spec.picture);
    }
    // FIXME: the coin sound's looping stream is opened here, paused, once the controller hands
    // over its sound system.
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
    Invalidate();
}

void CScoreView::SetUserData(const tagUserData* const pUserData[3])
{
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
    Invalidate();
}

void CScoreView::SetMatchScore(LONG lMatchNumber1, LONG lMatchNumber2)
{
    m_lMatchNumber1 = lMatchNumber1;
    m_lMatchNumber2 = lMatchNumber2;
    Invalidate();
}

void CScoreView::SetTaskLottery(LONG lTaskLottery)
{
    m_lTaskLottery = lTaskLottery;
    Invalidate();
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
    m_bRevealing = false;
    m_cbFireworkFrame = 0;
    for (CMatchClock& clock : m_MatchClock)
        clock.Stop();

    Invalidate();
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
    // FIXME: the coin sound plays while the balances count, once the window has its stream.
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

void CScoreView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CDC memory;
    CBitmap bitmap;
    memory.CreateCompatibleDC(pDC);
    bitmap.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
    CBitmap* old = memory.SelectObject(&bitmap);
    DrawResult(&memory);
    for (CPngButton* button : {&m_btQuit, &m_btStart, &m_btSaveVideo})
        button->SetButtonBkgnd(&memory);
    pDC->BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

void CScoreView::DrawResult(CDC* pDC)
{
    if (m_ImageBack.IsNull())
        pDC->FillSolidRect(0, 0, kWidth, kHeight, kPlainBackground);
    else
        m_ImageBack.BitBlt(pDC, 0, 0);
    pDC->SetBkMode(TRANSPARENT);
    char line[96];

    for (int seat = 0; seat < PLAYER_COUNT; ++seat) {
        const WORD chair = HasLocalChair() ? static_cast<WORD>((m_wMeChairID + seat) % PLAYER_COUNT) : static_cast<WORD>(seat);
        DrawLine(pDC, kNameLine[seat].x, kNameLine[seat].y, std::string("昵称: ") + m_szName[chair]);
        if (m_UserData[chair]) {
            std::snprintf(line, sizeof(line), "等级: %u", static_cast<unsigned>(m_UserData[chair]->dwLevel & 0xFFFF));
            DrawLine(pDC, kNameLine[seat].x, kNameLine[seat].y + 46, line);
        }
        // The local score appears with the reveal; the others' at once.
        if (seat != 0 || m_bLocalScoreShown) {
            std::snprintf(line, sizeof(line), "%+d", static_cast<int>(m_lScore[chair]));
            DrawLine(pDC, kScoreAt[seat].x, kScoreAt[seat].y, line);
        }
    }

    std::snprintf(line, sizeof(line), "底分 %d   叫分 %d", static_cast<int>(m_lCellScore), m_cbSecondValue);
    DrawLine(pDC, 714, 260, line);
    for (int row = 0; row < kMultipleRows; ++row) {
        const bool lit = m_cbMultiple[row] != 0 && row < m_cbRevealRow;
        std::snprintf(line, sizeof(line), "%s x %d", kRowLabels[row], static_cast<int>(ShownMultiple(row, m_cbMultiple[row])));
        DrawLine(pDC, 760, 360 + 31 * row, line, lit ? kTextColour : kDimColour);
    }
    if (m_bAbsScoreShown) {
        std::snprintf(line, sizeof(line), "%d", static_cast<int>(m_lAbsScore));
        DrawLine(pDC, 820, 622, line);
    }
    std::snprintf(line, sizeof(line), "服务费 %d", static_cast<int>(m_lServiceFee));
    DrawLine(pDC, 250, 676, line);

    if (m_cbPointsStep >= 2 && HasLocalChair() && m_UserData[m_wMeChairID]) {
        std::snprintf(line, sizeof(line), "金币 %d", static_cast<int>(ShownCoins()));
        DrawLine(pDC, 260, 400, line);
    }
    if (m_cbPointsStep >= 3 && HasLocalChair() && m_UserData[m_wMeChairID]) {
        std::snprintf(line, sizeof(line), "奖券 %d", static_cast<int>(ShownLottery()));
        DrawLine(pDC, 455, 400, line);
    }
    if (m_wGameType == ROOM_TIMED_MATCH) {
        std::snprintf(line, sizeof(line), "%02d:%02d", m_MatchClock[0].GetMinutes(), m_MatchClock[0].GetSeconds());
        DrawLine(pDC, 910, 96, line);
    }
    if (m_bBlink)
        DrawLine(pDC, 783, 661, "点击任意处继续");
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
