// The table's small animations, each on a timer of the view: the panel slides, the chat flash,
// the few-cards alarm and the badge at their seats, the trustee cover's fade, the back cards' flip
// and flight to the landlord, the no-bigger-card notice, the match countdown, the prize roll, the
// task cartoon, the reward rise and the change-score result's time-out. Most change state and ask
// for a redraw; the alarm, the badge, the notice and the prize roll compose their few pixels off
// screen and put them both on the window and into the background cache, so that the cheap steps
// stay cheap and later draw passes show them too.
#include "view/GameClientView.h"

#include "interaction/Commands.h"
#include "platform/TimerHost.h"
#include "support/DebugTrace.h"
#include "view/EffectSteps.h"
#include "view/FadeDlg.h"

#include <cstring>

namespace {

constexpr UINT kCoverFadeMs = 40;
constexpr UINT kSeatCellMs = 100;
constexpr UINT kFlipMs = 50;
constexpr UINT kFlightStartMs = 2200;
constexpr UINT kNoticeMs = 500;
constexpr UINT kChatFlashMs = 500;
constexpr UINT kTaskCartoonMs = 100;
constexpr UINT kAddAwardMs = 10;

constexpr int kBackCardsSpacing = 85;
// The trustee cover fades over 25 levels, from invisible to a dark layer at alpha 120.
constexpr int kFadeLevels = 25;
constexpr BYTE kFadeAlpha = 120;
// The chat flash blinks twice and is over at the sixth tick.
constexpr int kChatFlashLastCount = 4;
// The notice blinks two ticks on and one off, 36 ticks in all.
constexpr int kNoticeTicks = 36;
constexpr int kNoticeY = 324;
// The reward picture rises this many pixels, one a tick.
constexpr int kAddAwardRise = 230;
// The alarm's card back stops short of the bottom of its cell.
constexpr int kAlarmBackGap = 5;
// Frames of the two seat cell strips.
constexpr int kAlarmFrames = 10;
constexpr int kBadgeFrames = 4;
// The prize counter's area, without the rim at its foot that the digits never reach.
constexpr int kPrizeBackX = 355;
constexpr int kPrizeBackY = 125;
constexpr int kPrizeRim = 20;
// Panel frame areas: half of "InformationBG.png" each, and the panel image inside.
constexpr int kPanelFrameWidth = 290;
constexpr int kPanelImageWidth = 274;

bool AnySet(const auto& values)
{
    for (const auto& value : values) {
        if (value)
            return true;
    }
    return false;
}

// A memory context on a fresh bitmap of cx x cy.
struct OffScreen {
    OffScreen(int cx, int cy)
    {
        bitmap.CreateBitmap(cx, cy);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
    CBitmap bitmap;
    CDC dc;
};

}  // namespace

// ---- Timers ---------------------------------------------------------------------------------------

void CGameClientView::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case IDT_SCORE_SLIDE:
    case IDT_MATCH_SLIDE: StepPanelSlide(nIDEvent); return;
    case IDT_COVER_FADE: StepCoverFade(); return;
    case IDT_CARD_ALARM: StepSeatCells(SeatCell::Alarm); return;
    case IDT_TOP_BADGE: StepSeatCells(SeatCell::Badge); return;
    case IDT_BACK_FLIP: StepBackCardFlip(); return;
    case IDT_NO_BIGGER: StepNoBiggerCard(); return;
    case IDT_BACK_FLY: StepBackCardFlight(); return;
    case IDT_MATCH_COUNTDOWN: OnMatchCountdown(); return;
    case IDT_PRIZE_ROLL: StepPrizeRoll(); return;
    case IDT_CHAT_FLASH: StepChatFlash(); return;
    case IDT_TASK_CARTOON:
        if (effects::StepTaskCartoon(m_wTaskFlagCartoonIndex, m_wTaskCartoonTimes, m_nAlpha))
            KillTimer(IDT_TASK_CARTOON);
        else
            Redraw();
        return;
    case IDT_CHANGE_SCORE:
        KillTimer(IDT_CHANGE_SCORE);
        HideChangeScoreResult();
        return;
    case IDT_ADD_AWARD: StepAddAward(); return;
    default: CGameFrameView::OnTimer(nIDEvent); return;
    }
}

bool CGameClientView::IsViewTimerRunning(UINT_PTR nIDEvent) const
{
    // Window timers are keyed by the window.
    return GetTimerHost().isTimerRunning(static_cast<const CWnd*>(this), nIDEvent);
}

void CGameClientView::KillViewTimers()
{
    for (UINT_PTR id : {IDT_SCORE_SLIDE, IDT_MATCH_SLIDE, IDT_COVER_FADE, UINT_PTR{109}, IDT_CARD_ALARM, IDT_TOP_BADGE,
             UINT_PTR{204}, IDT_BACK_FLIP, IDT_NO_BIGGER, IDT_BACK_FLY, IDT_MATCH_COUNTDOWN, UINT_PTR{212},
             IDT_PRIZE_ROLL, IDT_CHAT_FLASH, IDT_TASK_CARTOON, IDT_CHANGE_SCORE})
        KillTimer(id);

    // The effects stopped here must be able to start again, so none may stay marked as running,
    // and none may leave a half-done frame on the table.
    m_bAlarmRunning = 0;
    m_nAlarmStep = 0;
    m_bBadgeRunning = 0;
    m_nBadgeStep = 0;
    m_bFadeRunning = 0;
    m_nFadeStep = 0;
    m_bChatFlash = 0;
    m_nChatFlashCount = 0;
    m_bNoBiggerShown = 0;
    m_nNoBiggerCount = 0;
    m_nFlipFrame = 0;
    m_cbFlyStep = 0;
    m_wTaskFlagCartoonIndex = effects::kCartoonNone;
    m_bChangeScoreShown = 0;
    m_nScorePanelHeight = m_bScorePanelOpen ? kPanelOpen : kPanelClosed;
    m_nMatchPanelHeight = m_bMatchPanelOpen ? kPanelOpen : kPanelClosed;
    std::memcpy(m_nPrizeOffset, m_nPrizeTarget, sizeof(m_nPrizeOffset));
    if (IsWindow()) {
        m_btScorePanel.SetWindowPos(nullptr, 750, m_nScorePanelHeight - 35, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_btMatchPanel.SetWindowPos(nullptr, 237, m_nMatchPanelHeight - 35, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RestBackCards();
    PaintBackground();
    Redraw();
}

// ---- Panel slides -------------------------------------------------------------------------------

void CGameClientView::StepPanelSlide(UINT_PTR nIDEvent)
{
    const bool bScore = nIDEvent == IDT_SCORE_SLIDE;
    int& height = bScore ? m_nScorePanelHeight : m_nMatchPanelHeight;
    const effects::SlideStep step = effects::SlidePanel(height, (bScore ? m_bScorePanelOpen : m_bMatchPanelOpen) != 0);
    height = step.height;
    if (step.bDone)
        KillTimer(nIDEvent);
    DrawPanelFrame(bScore);
}

void CGameClientView::DrawPanelFrame(bool bScore)
{
    const int lw = m_nLayoutWidth;
    const int height = bScore ? m_nScorePanelHeight : m_nMatchPanelHeight;
    const CRect area(CPoint(bScore ? lw / 2 + 108 : lw / 2 - 398, 0), CSize(kPanelFrameWidth, kPanelOpen));
    CDC* dc = &m_dcBackground;
    if (dc->GetImage()) {
        // The frame's area comes back from the background's top strip, where every background
        // looks alike, then the plaque's edge that reaches into it, the frame and the panel.
        RestoreBackground(dc, area.left, area.top, area.Width(), area.Height(), bScore ? kPanelFrameWidth : 0, 0);
        const CRect plaque(CPoint(lw / 2 - m_PngCallScoreBG.GetWidth() / 2, 0), CSize(m_PngCallScoreBG.GetWidth(), m_PngCallScoreBG.GetHeight()));
        if (CRect overlap; overlap.IntersectRect(area, plaque)) {
            m_PngCallScoreBG.DrawImage(dc, overlap.left, overlap.top, overlap.Width(), overlap.Height(), overlap.left - plaque.left,
                overlap.top - plaque.top);
        }
        m_PngInformationBG.DrawImage(dc, area.left, 0, kPanelFrameWidth, height, bScore ? kPanelFrameWidth : 0, kPanelOpen - height);
        if (const effects::PanelRows rows = effects::PanelImageRows(height); rows.rows > 0) {
            const CSkinImage& panel = bScore ? m_ImageScorePanel : m_ImageMatchPanel;
            panel.BitBlt(dc, bScore ? lw / 2 + 115 : lw / 2 - 391, rows.destY, kPanelImageWidth, rows.rows, 0, rows.srcY);
        }
    }
    UpdateGameView(&area);
    CPngButton& button = bScore ? m_btScorePanel : m_btMatchPanel;
    button.SetWindowPos(nullptr, bScore ? 750 : 237, height - 35, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (dc->GetImage())
        button.SetButtonBkgnd(dc);
}

// ---- Chat flash ---------------------------------------------------------------------------------------

void CGameClientView::FlashChat(bool bFlash)
{
    m_nChatFlashCount = 0;
    // A flash that runs keeps its timer.
    if (bFlash && !m_bChatFlash)
        SetTimer(IDT_CHAT_FLASH, kChatFlashMs);
    m_bChatFlash = bFlash ? 1 : 0;
}

void CGameClientView::StepChatFlash()
{
    if (m_nChatFlashCount > kChatFlashLastCount || !m_bChatFlash) {
        KillTimer(IDT_CHAT_FLASH);
        m_nChatFlashCount = 0;
        m_bChatFlash = 0;
    }
    // Painted before the count moves on: the flash shows at the second and fourth ticks, and the
    // sixth leaves the box dark.
    Redraw();
    UpdateWindow();
    ++m_nChatFlashCount;
}

// ---- Few-cards alarm and badge -------------------------------------------------------------------------

void CGameClientView::RaiseCardAlarm(WORD wSeat, DWORD dwCardsLeft)
{
    if (wSeat >= kSeats)
        return;
    m_dwAlarmCards[wSeat] = dwCardsLeft;
    // One timer blinks every seat's alarm; a running one is kept.
    if (dwCardsLeft != 0 && !m_bAlarmRunning) {
        m_bAlarmRunning = 1;
        SetTimer(IDT_CARD_ALARM, kSeatCellMs);
    }
    // The seat's bubble says so at once.
    Redraw();
}

void CGameClientView::ShowTopBadge(WORD wSeat, bool bShow)
{
    if (wSeat >= kSeats)
        return;
    m_bTopBadge[wSeat] = bShow ? 1 : 0;
    if (bShow && !m_bBadgeRunning) {
        m_bBadgeRunning = 1;
        SetTimer(IDT_TOP_BADGE, kSeatCellMs);
    }
}

CSize CGameClientView::SeatCellSize(SeatCell kind) const
{
    const CPngImage& strip = kind == SeatCell::Alarm ? m_PngAlarm : m_PngTop;
    return CSize(strip.GetWidth() / (kind == SeatCell::Alarm ? kAlarmFrames : kBadgeFrames), strip.GetHeight());
}

CPoint CGameClientView::SeatCellPoint(SeatCell kind, int seat) const
{
    return kind == SeatCell::Alarm ? m_ptAlarm[seat] : m_ptTopBadge[seat];
}

void CGameClientView::ComposeSeatCell(CDC* pCell, SeatCell kind, int seat, int nStep)
{
    const CSize cell = SeatCellSize(kind);
    const CPoint at = SeatCellPoint(kind, seat);
    RestoreBackground(pCell, 0, 0, cell.cx, cell.cy, at.x, at.y);
    if (kind == SeatCell::Alarm) {
        // The seat's small card back, its foot cut off, behind the ringing alarm.
        const int backWidth = m_PngCardBackSmall.GetWidth();
        const int backHeight = m_PngCardBackSmall.GetHeight();
        const int rows = std::min(cell.cy - kAlarmBackGap, backHeight);
        if (rows > 0)
            m_PngCardBackSmall.DrawImage(pCell, (cell.cx - backWidth) / 2, 0, backWidth, rows, 0, backHeight - rows);
        m_PngAlarm.DrawImage(pCell, 0, 0, cell.cx, cell.cy, nStep % kAlarmFrames * cell.cx, 0);
    } else {
        m_PngTop.DrawImage(pCell, 0, 0, cell.cx, cell.cy, nStep % kBadgeFrames * cell.cx, 0);
    }
}

void CGameClientView::StepSeatCells(SeatCell kind)
{
    const bool bAlarm = kind == SeatCell::Alarm;
    const bool bAny = bAlarm ? AnySet(m_dwAlarmCards) : AnySet(m_bTopBadge);
    int& step = bAlarm ? m_nAlarmStep : m_nBadgeStep;
    if (!bAny) {
        KillTimer(bAlarm ? IDT_CARD_ALARM : IDT_TOP_BADGE);
        (bAlarm ? m_bAlarmRunning : m_bBadgeRunning) = 0;
        step = 0;
        // The last frames are in the cache; it is painted afresh without them.
        PaintBackground();
        Redraw();
        return;
    }
    const CSize cell = SeatCellSize(kind);
    if (cell.cx > 0 && cell.cy > 0) {
        OffScreen frame(cell.cx, cell.cy);
        for (int seat = 0; seat < kSeats; ++seat) {
            // The local seat keeps the alarm running but has no alarm cell of its own.
            const bool bShown = bAlarm ? seat != 1 && m_dwAlarmCards[seat] != 0 : m_bTopBadge[seat] != 0;
            if (!bShown)
                continue;
            ComposeSeatCell(&frame.dc, kind, seat, step);
            const CPoint at = SeatCellPoint(kind, seat);
            ShowComposed(&frame.dc, CRect(at, cell));
        }
    }
    ++step;
}

void CGameClientView::ShowComposed(CDC* pFrame, const CRect& rect)
{
    if (CDC* dc = GetDC()) {
        dc->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), pFrame, 0, 0);
        ReleaseDC(dc);
    }
    if (m_dcBackground.GetImage())
        m_dcBackground.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), pFrame, 0, 0);
}

// ---- Trustee cover -------------------------------------------------------------------------------------

void CGameClientView::FadeTrusteeCover(bool bRun, int nDirection)
{
    // A fade started again begins at its direction's start.
    KillTimer(IDT_COVER_FADE);
    m_nFadeDirection = nDirection;
    if (nDirection == 1)
        m_nFadeStep = 0;
    else if (nDirection == 2)
        m_nFadeStep = kFadeLevels;
    m_bFadeRunning = bRun ? 1 : 0;
    if (bRun)
        SetTimer(IDT_COVER_FADE, kCoverFadeMs);
}

void CGameClientView::StepCoverFade()
{
    if (!m_bFadeRunning || m_nFadeStep > kFadeLevels || m_nFadeStep < 0) {
        KillTimer(IDT_COVER_FADE);
        m_nFadeStep = 0;
        m_bFadeRunning = 0;
        return;
    }
    DrawCoverLevel(kFadeLevels - m_nFadeStep);
    m_nFadeStep += m_nFadeDirection == 1 ? 1 : -1;
}

void CGameClientView::DrawCoverLevel(int nLevel)
{
    if (auto* cover = dynamic_cast<CFadeDlg*>(m_pTrusteeCover); cover && cover->IsWindow())
        cover->ShowFadeLevel(nLevel, kFadeLevels, 1, RGB(255, 255, 255), kFadeAlpha, 0);
}

// ---- Back cards -----------------------------------------------------------------------------------------

void CGameClientView::StartBackCardFlip(const BYTE cbBackCards[BACK_CARDS])
{
    std::memcpy(m_cbBackCards, cbBackCards, BACK_CARDS);
    // A flip that starts again starts from the beginning, with the cards at rest in the middle.
    m_nFlipFrame = 0;
    m_cbFlyStep = 0;
    KillTimer(IDT_BACK_FLY);
    RestBackCards();
    SetTimer(IDT_BACK_FLIP, kFlipMs);
}

void CGameClientView::RestBackCards()
{
    if (!IsWindow())
        return;
    CRect rect;
    GetClientRect(&rect);
    m_BackCardControl.SetAnchor(effects::FlightStart(rect.Size()), 1, 0);
    m_BackCardControl.SetSpacing(kBackCardsSpacing, 0, 0);
}

void CGameClientView::StepBackCardFlip()
{
    if (m_nFlipFrame < 2) {
        ++m_nFlipFrame;
        m_BackCardControl.ShowWindow(SW_HIDE);
        Redraw();
        return;
    }
    KillTimer(IDT_BACK_FLIP);
    m_nFlipFrame = 0;
    Redraw();
    m_BackCardControl.SetCards(m_cbBackCards, BACK_CARDS);
    m_BackCardControl.ShowFaces(true);
    m_BackCardControl.ShowWindow(SW_SHOW);
    SetTimer(IDT_BACK_FLY, kFlightStartMs);
}

void CGameClientView::StepBackCardFlight()
{
    CRect rect;
    GetClientRect(&rect);
    const int step = m_cbFlyStep;
    if (step < effects::kFlightSpreadSteps) {
        m_BackCardControl.SetSpacing(effects::FlightSpacing(step), 0, 0);
        ++m_cbFlyStep;
        SetTimer(IDT_BACK_FLY, effects::FlightDelay(step));
        return;
    }
    if (step <= effects::kFlightLastStep) {
        const CPoint target = effects::FlightTarget(rect.Size(), m_wLordSeat, m_ptPlayedCards[0].y);
        m_BackCardControl.SetAnchor(effects::FlightPoint(effects::FlightStart(rect.Size()), target, step), 1, 0);
        SetTimer(IDT_BACK_FLY, effects::FlightDelay(step));
        ++m_cbFlyStep;
        return;
    }
    KillTimer(IDT_BACK_FLY);
    m_cbFlyStep = 0;
    m_BackCardControl.SetCards(nullptr, 0);
    RestBackCards();
    // The game window opens the landlord's first turn now, and may end the view while doing so.
    const auto life = GetLifeToken();
    if (CWnd* game = GetFrame())
        game->SendMessage(UM_CARTOON_FINISH, 0, 0);
    if (!life.expired())
        Redraw();
}

void CGameClientView::PlaceSideHands(int nOffsetX, int nOffsetY)
{
    if (!m_bSideSeatsPlaced)
        return;
    m_HandCardControl[0].SetAnchor(m_ptPlayedCards[0].x - nOffsetX, m_ptPlayedCards[0].y + nOffsetY, 0, 0);
    m_HandCardControl[2].SetAnchor(m_ptPlayedCards[2].x + nOffsetX, m_ptPlayedCards[2].y + nOffsetY, 2, 0);
}

// ---- No-bigger-card notice -------------------------------------------------------------------------------

void CGameClientView::ShowNoBiggerCard(bool bShow)
{
    // Shown again, the notice blinks on from where its count stands; hidden, it blanks at its next
    // tick and its timer runs out its count.
    if (bShow && !m_bNoBiggerShown) {
        m_bNoBiggerShown = 1;
        SetTimer(IDT_NO_BIGGER, kNoticeMs);
    } else if (!bShow && m_bNoBiggerShown) {
        m_bNoBiggerShown = 0;
    }
}

void CGameClientView::StepNoBiggerCard()
{
    if (m_nNoBiggerCount < kNoticeTicks) {
        ++m_nNoBiggerCount;
    } else {
        KillTimer(IDT_NO_BIGGER);
        m_nNoBiggerCount = 0;
        m_bNoBiggerShown = 0;
    }
    if (!m_dcNoticeSave.GetImage())
        return;
    const int cx = m_PngNoBigCard.GetWidth();
    const int cy = m_PngNoBigCard.GetHeight();
    OffScreen frame(cx, cy);
    frame.dc.BitBlt(0, 0, cx, cy, &m_dcNoticeSave, 0, 0);
    if (m_bNoBiggerShown && m_nNoBiggerCount % 3 != 2)
        m_PngNoBigCard.DrawImage(&frame.dc, 0, 0);
    ShowComposed(&frame.dc, CRect(CPoint((m_nLayoutWidth - cx) / 2, kNoticeY - cy), CSize(cx, cy)));
}

// ---- Match countdown and prize roll --------------------------------------------------------------------

void CGameClientView::OnMatchCountdown()
{
    --m_llCountdown;
    if (m_llCountdown <= 0)
        KillTimer(IDT_MATCH_COUNTDOWN);
    RenderMatchPanel();
    if (m_bMatchPanelOpen)
        Redraw();
}

void CGameClientView::StepPrizeRoll()
{
    const int stripHeight = m_PngRollNumber.GetHeight();
    bool bRolling = false;
    for (int k = 0; k < m_nPrizeDigits && k < kPrizeCells; ++k) {
        if (m_nPrizeOffset[k] == m_nPrizeTarget[k])
            continue;
        m_nPrizeOffset[k] = effects::RollOffset(m_nPrizeOffset[k], m_nPrizeTarget[k], stripHeight);
        if (m_dcBackground.GetImage())
            DrawPrizeCell(&m_dcBackground, k, m_nPrizeOffset[k]);
        bRolling = bRolling || m_nPrizeOffset[k] != m_nPrizeTarget[k];
    }
    const CSize back(m_PngPrizeBack.GetWidth(), m_PngPrizeBack.GetHeight());
    if (CDC* dc = GetDC(); dc && m_dcBackground.GetImage()) {
        dc->BitBlt(kPrizeBackX, kPrizeBackY, back.cx, back.cy - kPrizeRim, &m_dcBackground, kPrizeBackX, kPrizeBackY);
        ReleaseDC(dc);
    }
    if (!bRolling) {
        KillTimer(IDT_PRIZE_ROLL);
        const CRect area(CPoint(kPrizeBackX, kPrizeBackY), back);
        UpdateGameView(&area);
    }
}

// ---- Task cartoon and reward rise ----------------------------------------------------------------------

void CGameClientView::StartTaskCartoon()
{
    m_wTaskFlagCartoonIndex = 0;
    m_wTaskCartoonTimes = 0;
    SetTimer(IDT_TASK_CARTOON, kTaskCartoonMs);
}

void CGameClientView::DrawTaskCartoon(CDC* pDC)
{
    const effects::CartoonBlit blit = effects::TaskCartoonBlit(m_wTaskFlagCartoonIndex, m_wTaskCartoonTimes, m_nAlpha);
    if (!blit.bDraw)
        return;
    switch (blit.nPhase) {
    case 1:
        DebugTrace("111W=%d, H=%d, m_wTaskCartoonTimes=%d, m_wTaskFlagCartoonIndex=%d\n", blit.dest.Width(), blit.dest.Height(),
            m_wTaskCartoonTimes, m_wTaskFlagCartoonIndex);
        break;
    case 2:
        DebugTrace("222m_wTaskCartoonTimes=%d, m_wTaskFlagCartoonIndex=%d, m_nAlpha=%d\n", m_wTaskCartoonTimes,
            m_wTaskFlagCartoonIndex, m_nAlpha);
        break;
    default:
        DebugTrace("333m_wTaskCartoonTimes=%d, m_wTaskFlagCartoonIndex=%d\n", m_wTaskCartoonTimes, m_wTaskFlagCartoonIndex);
        break;
    }
    m_ImageTaskCartoon.BlendDrawImage(pDC, blit.dest.left, blit.dest.top, blit.dest.Width(), blit.dest.Height(), blit.src.x,
        blit.src.y, RGB(255, 0, 255), blit.cbAlpha);
}

void CGameClientView::ShowAddAward()
{
    m_nAddAwardRise = 0;
    m_bAddAwardShown = 1;
    SetTimer(IDT_ADD_AWARD, kAddAwardMs);
}

void CGameClientView::StepAddAward()
{
    if (++m_nAddAwardRise >= kAddAwardRise) {
        KillTimer(IDT_ADD_AWARD);
        m_bAddAwardShown = 0;
        m_nAddAwardRise = 0;
    }
    Redraw();
}

// ---- Change-score result ----------------------------------------------------------------------------

void CGameClientView::ShowChangeScoreResult(WORD wCode)
{
    if (wCode < kChangeScoreCodes) {
        m_bChangeScoreShown = 1;
        m_wChangeScoreCode = wCode;
    } else {
        m_bChangeScoreShown = 0;
    }
    Redraw();
}
