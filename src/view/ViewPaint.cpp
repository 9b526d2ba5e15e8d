// The draw pass of the table: the background cache with the static table, and over it each pass
// the seats, their bubbles and marks, the plaque numbers, the panels and the card counter.
#include "view/GameClientView.h"

#include "platform/Dc.h"
#include "view/TableRules.h"

#include <cstring>
#include <string>

namespace {

// The felt shown where no background picture could be loaded.
constexpr COLORREF kFeltGreen = RGB(24, 96, 48);

// A user record's text field, which need not end inside its array.
std::string FieldText(const char* text, std::size_t size)
{
    return std::string(text, strnlen(text, size));
}

// Buttons that take the cache as their background; 101-104 and 121 take the pass's own picture.
constexpr UINT kCacheBackedButtons[] = {117, 116, 115, 114, 113, 112, 111, 100, 105, 107, 106, 127, 129, 131, 132, 133, 119, 110,
    108, 109, 118, 135, 1003, 120, 122, 123, 124, 125, 126};

}  // namespace

bool CGameClientView::IsButtonShown(UINT nID)
{
    const CPngButton* button = GetButton(nID);
    return button && button->IsWindow() && (button->GetStyle() & WS_VISIBLE) != 0;
}

// ---- Background cache ---------------------------------------------------------------------------------

void CGameClientView::RestoreBackground(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc)
{
    const CSkinImage& picture = m_ImageBackground[m_wBackground < kBackgrounds ? m_wBackground : 0];
    if (picture.IsNull() || xSrc + cx > picture.GetWidth() || ySrc + cy > picture.GetHeight())
        pDC->FillSolidRect(x, y, cx, cy, kFeltGreen);
    picture.BitBlt(pDC, x, y, cx, cy, xSrc, ySrc);
}

void CGameClientView::PaintBackground()
{
    CDC* dc = &m_dcBackground;
    if (!dc->GetImage())
        return;
    const int w = m_bmBackground.GetSize().cx;
    const int h = m_bmBackground.GetSize().cy;
    const int layoutWidth = m_nLayoutWidth;

    m_bCacheCounter = g_bCardCounter;
    RestoreBackground(dc, 0, 0, w, h);
    m_PngDeskInfo.DrawImage(dc, (w - 321) / 2, 190);
    m_PngCallScoreBG.DrawImage(dc, w / 2 - 163, 0);
    // The counter takes the place of the shape buttons' tray.
    if (!g_bCardCounter)
        m_PngShortCutButtonBG.DrawImage(dc, w / 2 - m_PngShortCutButtonBG.GetWidth() / 2 - 4, h - m_PngShortCutButtonBG.GetHeight() + 5);
    m_PngRightDownBG.DrawImage(dc, w - 303, h - 90);
    // The frames of the two panels: the match panel's in the left half of the picture, the score
    // panel's in the right half, each showing as many of its bottom rows as the panel is open.
    const int m = m_nMatchPanelHeight;
    const int s = m_nScorePanelHeight;
    m_PngInformationBG.DrawImage(dc, layoutWidth / 2 - 398, 0, 290, m, 0, kPanelOpen - m);
    m_PngInformationBG.DrawImage(dc, layoutWidth / 2 + 108, 0, 290, s, 290, kPanelOpen - s);
    m_PngFaceBackGround.DrawImage(dc, m_ptSeatPanel[1].x - 1, m_ptSeatPanel[1].y, 115, 216, 115, 0);
    for (int seat : {0, 2})
        m_PngFaceBackGround.DrawImage(dc, m_ptSeatPanel[seat].x, m_ptSeatPanel[seat].y, 115, 177, 0, 0);
    if (m_wGameMode == 4) {
        DrawPrize(dc);
        m_bPrizeSet = true;
    }
    // The side card backs live in the cache while they are shown.
    if (m_bSideBacksInCache)
        DrawSideBacks();
    for (UINT id : kCacheBackedButtons) {
        if (CPngButton* button = GetButton(id); button && button->IsWindow())
            button->SetButtonBkgnd(dc);
    }
}

void CGameClientView::DrawSideBacks()
{
    if (!m_dcBackground.GetImage())
        return;
    const int cx = m_PngCardBackSmall.GetWidth();
    const int cy = m_PngCardBackSmall.GetHeight();
    for (int seat : {0, 2}) {
        const CPoint at = m_ptSmallBack[seat];
        RestoreBackground(&m_dcBackground, at.x, at.y, cx, cy);
        if (m_bSideBacksInCache)
            m_PngCardBackSmall.DrawImage(&m_dcBackground, at.x, at.y);
    }
}

void CGameClientView::SaveNoticeBackground()
{
    if (!m_dcBackground.GetImage() || m_PngNoBigCard.IsNull())
        return;
    const int cx = m_PngNoBigCard.GetWidth();
    const int cy = m_PngNoBigCard.GetHeight();
    if (m_bmNoticeSave.GetSize() != CSize(cx, cy)) {
        m_bmNoticeSave.CreateBitmap(cx, cy);
        m_dcNoticeSave.SelectObject(&m_bmNoticeSave);
    }
    m_dcNoticeSave.BitBlt(0, 0, cx, cy, &m_dcBackground, (m_nLayoutWidth - cx) / 2, 324 - cy);
}

void CGameClientView::MakeBackgroundCache(int nWidth, int nHeight)
{
    // The cache has the size of the view; a view that has grown since gets a cache of its size.
    m_bmBackground.CreateBitmap(nWidth, nHeight);
    m_dcBackground.SelectObject(&m_bmBackground);
    PaintBackground();
    SaveNoticeBackground();
}

// ---- The draw pass -----------------------------------------------------------------------------------

void CGameClientView::PaintTableView(CDC* pDC, int nWidth, int nHeight)
{
    if (!pDC || nWidth <= 0 || nHeight <= 0)
        return;
    const int W = nWidth;
    const int H = nHeight;
    if (m_bmBackground.GetSize() != CSize(W, H))
        MakeBackgroundCache(W, H);
    else if (m_bCacheCounter != g_bCardCounter)
        PaintBackground();
    if (m_wGameMode == 4 && !m_bPrizeSet) {
        DrawPrize(&m_dcBackground);
        m_bPrizeSet = true;
    }
    pDC->BitBlt(0, 0, W, H, &m_dcBackground, 0, 0);

    if (IsButtonShown(109))
        m_PngAutoPlay.DrawImage(pDC, (W - 135) / 2, 265);

    if (m_bChatOpen) {
        m_bChatFlash = 0;
        m_PngChat.DrawImage(pDC, 108, H - 218, 190, 220, 0, 55);
    } else {
        m_PngChat.DrawImage(pDC, 108, H - 54, 190, 56, 0, 0);
        if (m_bChatFlash && m_nChatFlashCount % 2 == 1)
            m_PngChatFlash.DrawImage(pDC, 104, H - 57);
    }
    m_btChat.SetButtonBkgnd(pDC);

    if (IsButtonShown(101)) {
        m_PngCallScoreBtBG.DrawImage(pDC, (W - 418) / 2, 393);
        for (CPngButton* button : {&m_btOneScore, &m_btTwoScore, &m_btThreeScore, &m_btGiveUpScore})
            button->SetButtonBkgnd(pDC);
    }

    if (m_nFlipFrame == 1 || m_nFlipFrame == 2) {
        CImageHandle flip(&m_ImageBackFlip);
        if (flip.IsResourceValid()) {
            const int frameWidth = m_ImageBackFlip.GetWidth() / 2;
            const int frameHeight = m_ImageBackFlip.GetHeight();
            const int sx = (m_nFlipFrame - 1) * frameWidth;
            for (int x : {W / 2 - 104, W / 2 - 19, W / 2 + 66})
                m_ImageBackFlip.AlphaDrawImage(pDC, x, H / 2 - 116, frameWidth, frameHeight, sx, 0, RGB(255, 0, 255));
        }
    }

    for (int seat = 0; seat < kSeats; ++seat)
        DrawSeat(pDC, seat);
    for (int seat = 0; seat < kSeats; ++seat)
        DrawBubble(pDC, seat);

    if (m_wLordSeat < kSeats && GetUserInfo(m_wLordSeat)) {
        const CPoint bid = table::LordBidAt(m_nLayoutWidth);
        DrawNumber(m_cbLordBid, pDC, bid.x, bid.y, m_PngNumber, 26, 31, 0, 455, false);
        const CPoint multiple = table::MultipleAt(W, m_wMultiple);
        DrawNumber(m_wMultiple, pDC, multiple.x, multiple.y, m_PngNumber, 26, 31, 0, 455, false);
    }

    if (m_bWaitCallScore == 1)
        m_PngWaitCallScore.DrawImage(pDC, (W - m_PngWaitCallScore.GetWidth()) / 2, 200);

    if (m_nMatchPanelHeight == kPanelOpen) {
        RenderMatchPanel();
        m_ImageMatchPanel.BitBlt(pDC, m_nLayoutWidth / 2 - 391, 6);
    }
    if (m_nScorePanelHeight == kPanelOpen) {
        RenderScorePanel();
        m_ImageScorePanel.BitBlt(pDC, m_nLayoutWidth / 2 + 115, 5);
    }

    // Set by the game window once the task window holds a paid task with a positive reward.
    if (m_bTaskCartoon == 1)
        DrawTaskCartoon(pDC);

    if (m_bChangeScoreShown && m_wChangeScoreCode < kChangeScoreCodes)
        m_PngChangeScore[m_wChangeScoreCode].DrawImage(pDC, 163, 89);
    if (m_bAddAwardShown)
        m_PngAddAward.DrawImage(pDC, 317, 390 - m_nAddAwardRise);

    if (g_bCardCounter)
        DrawCardCounter(pDC, W, H);
}

// ---- Seats -------------------------------------------------------------------------------------------

void CGameClientView::DrawSeat(CDC* pDC, int seat)
{
    const CPoint P = m_ptSeatPanel[seat];
    const UINT clock = GetUserTimer(static_cast<WORD>(seat));
    const tagUserData* user = GetUserInfo(static_cast<WORD>(seat));
    if (user && !m_bSnapshotTaken[seat]) {
        m_UserSnapshot[seat] = *user;
        m_bSnapshotTaken[seat] = true;
    }

    if (!user) {
        if (!m_bReplayNames)
            return;
        const COLORREF old = pDC->SetTextColor(table::kSeatInfoText);
        CRect name(P.x, P.y + 110, P.x + 100, P.y + 135);
        pDC->DrawText(FieldText(m_szReplayName[seat], sizeof(m_szReplayName[seat])), &name, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        CRect role(P.x, P.y + 140, P.x + 100, P.y + 165);
        pDC->DrawText(seat == m_wLordSeat ? "地主" : "农民", &role, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        pDC->SetTextColor(old);
        DrawCardCount(pDC, seat);
        return;
    }

    // Role.bmp holds the farmer and then the landlord, each as a man and a woman.
    const int frame = (user->cbGender != 0 ? 1 : 0) + (seat == m_wLordSeat ? 2 : 0);
    m_ImageRole.AlphaDrawImage(pDC, P.x + 16, P.y + 17, 80, 80, frame * 80, 0, RGB(0, 0, 0));
    // Other players are never named at the table.
    if (seat == 1)
        DrawSeatInfo(pDC, m_UserSnapshot[seat], P.x + 10, P.y + 95, 113, 0, seat);
    else
        DrawSeatInfoHidden(pDC, P.x + 10, P.y + 95, 113, 0, seat);

    if (m_bSeatOffline[seat])
        m_PngUserOffline.DrawImage(pDC, P.x + 16, P.y + 17);
    else if (m_bSeatTrustee[seat])
        m_PngTrustee.DrawImage(pDC, P.x + 16, P.y + 17);

    if (m_bSeatBang[seat]) {
        const table::BangRows rows = table::BangMarkRows(seat, Marks(), m_wLordSeat < kSeats && m_bSeatBang[m_wLordSeat]);
        const CPoint at = m_ptBangMark[seat];
        m_PngJiaBang.DrawImage(pDC, at.x, at.y, 58, 25, 0, 25 * rows.first);
        m_PngJiaBang.DrawImage(pDC, at.x + 58, at.y, 58, 25, 0, 25 * rows.second);
    }

    DrawCardCount(pDC, seat);
    if (clock != 0)
        DrawUserTimer(pDC, m_ptUserTimer[seat].x, m_ptUserTimer[seat].y, clock, 99);
    if (user->cbUserStatus == US_READY && !(seat == 1 && IsButtonShown(100)))
        DrawUserReady(pDC, m_ptUserReady[seat].x, m_ptUserReady[seat].y, 0);
}

void CGameClientView::DrawCardCount(CDC* pDC, int seat)
{
    if (!m_bShowCardsLeft || seat == 1 || m_cbCardsLeft[seat] == 0)
        return;
    const CPoint at = table::CardCountAt(seat, m_ptPlayedCards[seat], m_cbCardsLeft[seat]);
    DrawNumber(m_cbCardsLeft[seat], pDC, at.x, at.y, m_PngNumber, 20, 26, 0, 508, false);
}

table::TableMarks CGameClientView::Marks() const
{
    return table::TableMarks{m_wLordSeat, m_wBangSeat, m_cbPlayCount, m_bGameEnded != 0};
}

void CGameClientView::DrawBubble(CDC* pDC, int seat)
{
    const table::SeatMarks marks{m_bSeatBang[seat] != 0, m_bSeatPassed[seat] == 1, m_cbSeatBid[seat], m_dwAlarmCards[seat],
        m_cbAlarmPlay[seat]};
    const int row = table::BubbleWordRow(seat, marks, Marks());
    if (row == table::kBubbleNone)
        return;
    const CPoint B = m_ptBidMark[seat];
    const CPoint bubble = table::BubbleOrigin(seat, B);
    m_PngScoreBG.DrawImage(pDC, bubble.x, bubble.y, 151, 96, 151 * seat, 0);
    m_PngScore.DrawImage(pDC, B.x, B.y, 72, 28, 0, 28 * row);
}

int CGameClientView::DrawNumber(int64_t lValue, CDC* pDC, int x, int y, const CPngImage& strip, int nCellWidth, int nCellHeight,
    int nPlusX, int nRowY, bool bWithPlus)
{
    const table::NumberCells cells = table::CellsOfNumber(lValue, bWithPlus);
    for (int i = 0; i < cells.count; ++i) {
        const int cell = cells.cells[i];
        // The sign cells may sit a little off the digits' grid.
        const int sx = cell * nCellWidth + (cell >= table::kPlusCell ? nPlusX : 0);
        strip.DrawImage(pDC, x + i * nCellWidth, y, nCellWidth, nCellHeight, sx, nRowY);
    }
    return cells.count * nCellWidth;
}

int CGameClientView::MeasureNumber(int64_t lValue, int nCellWidth, bool bWithPlus)
{
    return table::MeasureNumber(lValue, nCellWidth, bWithPlus);
}

// ---- Seat information --------------------------------------------------------------------------------

void CGameClientView::DrawInfoLines(CDC* pDC, const table::SeatInfoLayout& layout)
{
    const COLORREF old = pDC->GetTextColor();
    if (layout.bLevelBar && !m_PngRankStatus.IsNull()) {
        const int barWidth = m_PngRankStatus.GetWidth();
        const int barHeight = m_PngRankStatus.GetHeight() / 2;
        const CPoint at = layout.levelBarAt;
        m_PngRankStatus.DrawImage(pDC, at.x, at.y, barWidth, barHeight, 0, 0);
        m_PngRankStatus.DrawImage(pDC, at.x, at.y, layout.nLevelFill, barHeight, 0, barHeight);
    }
    DrawTextItems(pDC, layout.texts);
    pDC->SetTextColor(old);
}

void CGameClientView::DrawTextItems(CDC* pDC, const std::vector<table::TextItem>& items)
{
    for (const table::TextItem& item : items) {
        pDC->SetTextColor(item.colour);
        CRect rect = item.rect;
        pDC->DrawText(item.text, &rect, item.format);
    }
}

void CGameClientView::DrawSeatInfo(CDC* pDC, const tagUserData& user, int x, int y, int w, int /*h*/, int seat)
{
    table::SeatUser info;
    info.name = FieldText(user.szName, sizeof(user.szName));
    info.region[0] = FieldText(user.szRegion[0], sizeof(user.szRegion[0]));
    info.region[1] = FieldText(user.szRegion[1], sizeof(user.szRegion[1]));
    info.level = static_cast<int>(user.dwLevel & 0xFFFF);
    info.progress = static_cast<int>(user.dwLevel >> 16);
    info.lScore = user.lScore;
    info.lGold = user.lGold;
    info.lLottery = user.lLottery;
    DrawInfoLines(pDC, table::SeatInfoLines(&info, x, y, w, seat, m_wGameMode == 3, m_PngRankStatus.GetWidth()));
}

void CGameClientView::DrawSeatInfoHidden(CDC* pDC, int x, int y, int w, int /*h*/, int seat)
{
    DrawInfoLines(pDC, table::SeatInfoLines(nullptr, x, y, w, seat, m_wGameMode == 3, 0));
}
