// The score and match panels above the table, the prize digits of prize matches and the card
// counter at the bottom.
#include "view/GameClientView.h"

#include "platform/Dc.h"
#include "view/TableRules.h"

#include <cstring>
#include <string>

namespace {

// The prize back's units cell, and the cells' row.
constexpr int kPrizeBackX = 355;
constexpr int kPrizeBackY = 125;
constexpr int kPrizeCellSourceX = 257;
constexpr int kPrizeCellSourceY = 27;
constexpr int kPrizeCellY = 152;
// The odometer strip's cell height when the strip itself is missing.
constexpr int kPrizeCellHeight = 26;
constexpr UINT kPrizeRollMs = 25;

// The panel's ground, its texts transparent in the panel's colour and font.
void BeginPanel(CDC* pDC, CFont& font, int nFontHeight)
{
    pDC->FillSolidRect(0, 0, table::kPanelWidth, table::kPanelHeight, table::kPanelBack);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(table::kPanelText);
    font.CreateFont(nFontHeight, FW_NORMAL, "宋体");
    pDC->SelectObject(&font);
}

}  // namespace

// ---- Score panel ---------------------------------------------------------------------------------------

void CGameClientView::RefreshScorePanel()
{
    RenderScorePanel();
    Redraw();
}

void CGameClientView::RenderScorePanel()
{
    CDC* dc = m_ImageScorePanel.GetDC();
    if (!dc)
        return;
    CFont font;
    BeginPanel(dc, font, 12);
    CPen pen(PS_SOLID, 1, table::kPanelText);
    CPen* oldPen = dc->SelectObject(&pen);
    dc->FillSolidRect(0, 0, table::kPanelWidth, 20, RGB(0, 0, 0));
    for (int x : {126, 186}) {
        dc->MoveTo(x, 2);
        dc->LineTo(x, table::kPanelHeight);
    }
    table::ScoreSeat seats[kSeats];
    for (int seat = 0; seat < kSeats; ++seat) {
        const int y = 21 + 18 * seat;
        dc->MoveTo(table::kPanelWidth - 1, y);
        dc->LineTo(0, y);
        const tagUserData* user = GetUserInfo(static_cast<WORD>(seat));
        if (!user)
            continue;
        table::ScoreSeat& s = seats[seat];
        s.bPresent = true;
        s.name.assign(user->szName, strnlen(user->szName, sizeof(user->szName)));
        s.lSecond = m_cbMatchMode == 3 ? static_cast<LONG>(m_MatchRanks.dwUserValue[seat]) : m_lLastScore[seat];
        s.lScore = user->lScore;
    }
    DrawTextItems(dc, table::ScorePanelTexts(seats, m_wGameMode == 3));
    dc->SelectObject(oldPen);
    dc->SelectObject(static_cast<CFont*>(nullptr));
    m_ImageScorePanel.ReleaseDC();
}

// ---- Match panel ---------------------------------------------------------------------------------------

void CGameClientView::RenderMatchPanel()
{
    CDC* dc = m_ImageMatchPanel.GetDC();
    if (!dc)
        return;
    CFont font;
    BeginPanel(dc, font, 13);

    table::MatchPanelData data;
    data.nGameMode = m_wGameMode;
    data.dwStage = m_dwMatchStage;
    data.dwRound = m_dwMatchRound;
    data.dwRoundCount = m_dwRoundCount;
    data.dwRank = m_dwRank;
    data.dwRankTotal = m_dwRankTotal;
    data.llCountdown = m_llCountdown;
    data.dwSeatValue = m_MatchRanks.dwUserValue[1];
    data.lRoundTotal = m_lRoundTotal;
    if (const tagUserData* me = GetUserInfo(1)) {
        int64_t games = 0;
        for (LONG count : me->lResultCount)
            games += count;
        data.lGamesPlayed = static_cast<LONG>(games);
        data.lScore = me->lScore;
    }
    const table::MatchPanelLayout layout = table::MatchPanelLines(data);
    if (layout.picture == table::MatchPicture::Prize)
        m_PngPrizeInfo.DrawImage(dc, 0, 0);
    else if (layout.picture == table::MatchPicture::Match)
        m_PngMatchInfo.DrawImage(dc, 0, 0);
    DrawTextItems(dc, layout.lines);
    dc->SelectObject(static_cast<CFont*>(nullptr));
    m_ImageMatchPanel.ReleaseDC();
}

void CGameClientView::SetMatchStatus(const MatchStatus& status)
{
    const DWORD dwRank = m_dwRank;
    const DWORD dwRankTotal = m_dwRankTotal;
    m_MatchStatus = status;
    m_cbMatchMode = status.cbMatchMode;
    m_wGameMode = status.cbMatchMode;
    if (status.cbMatchMode == 4) {
        m_MatchStatus.dwRank = dwRank;
        m_MatchStatus.dwRankTotal = dwRankTotal;
    } else {
        m_dwRank = status.dwRank;
        m_dwRankTotal = status.dwRankTotal;
        m_llCountdown = int64_t{status.wHours} * 3600 + int64_t{status.wMinutes} * 60 + status.wSeconds;
    }
    RestartMatchTimer();
    RenderMatchPanel();
    Redraw();
}

void CGameClientView::SetMatchRanks(const matchRank& ranks)
{
    m_MatchRanks = matchRank{};
    std::memcpy(m_MatchRanks.dwUserValue, ranks.dwUserValue, sizeof(m_MatchRanks.dwUserValue));
    RenderScorePanel();
    Redraw();
}

void CGameClientView::RestartMatchTimer()
{
    SetTimer(IDT_MATCH_COUNTDOWN, 1000);
}

// ---- Prize digits --------------------------------------------------------------------------------------

int CGameClientView::PrizeCellHeight() const
{
    return m_PngRollNumber.IsNull() ? kPrizeCellHeight : m_PngRollNumber.GetHeight() / 10;
}

void CGameClientView::StartPrizeRoll(int32_t lPrize)
{
    m_wGameMode = 4;
    const table::PrizeDigits digits = table::PrizeDigitsOf(lPrize, PrizeCellHeight());
    if (m_bPrizeSet && lPrize == m_lPrizeValue)
        return;
    const bool bRoll = m_bPrizeSet && lPrize > m_lPrizeValue;
    m_lPrizeValue = lPrize;
    const int nShownDigits = m_nPrizeDigits;
    m_nPrizeDigits = digits.nDigits;
    std::memcpy(m_nPrizeTarget, digits.offsets.data(), sizeof(m_nPrizeTarget));
    if (bRoll) {
        // A larger prize rolls up to its digits (a roll under way takes the new targets). A digit
        // the value gains starts from the 0 that its cell showed as a leading zero.
        for (int k = nShownDigits; k < m_nPrizeDigits && k < kPrizeCells; ++k)
            m_nPrizeOffset[k] = 9 * PrizeCellHeight();
        SetTimer(IDT_PRIZE_ROLL, kPrizeRollMs);
        return;
    }
    std::memcpy(m_nPrizeOffset, m_nPrizeTarget, sizeof(m_nPrizeOffset));
    // The first prize is drawn into the cache by the next draw pass, together with its back.
    if (m_bPrizeSet)
        DrawPrizeDigits(&m_dcBackground);
    Redraw();
}

void CGameClientView::DrawPrize(CDC* pDC)
{
    m_PngPrizeBack.DrawImage(pDC, kPrizeBackX, kPrizeBackY);
    DrawPrizeDigits(pDC);
}

void CGameClientView::DrawPrizeDigits(CDC* pDC)
{
    if (!pDC->GetImage())
        return;
    // Cells beyond the value's digits show leading zeros.
    for (int k = 0; k < kPrizeCells; ++k)
        DrawPrizeCell(pDC, k, k < m_nPrizeDigits ? m_nPrizeOffset[k] : 9 * PrizeCellHeight());
}

void CGameClientView::DrawPrizeCell(CDC* pDC, int k, int offset)
{
    const int cellWidth = m_PngRollNumber.GetWidth();
    const int cellHeight = PrizeCellHeight();
    const int x = table::PrizeCellX(k, cellWidth);
    m_PngPrizeBack.DrawImage(pDC, x, kPrizeCellY, cellWidth, cellHeight, kPrizeCellSourceX, kPrizeCellSourceY);
    for (const table::StripPiece& piece : table::RollPieces(offset, cellHeight, m_PngRollNumber.GetHeight()))
        m_PngRollNumber.DrawImage(pDC, x, kPrizeCellY + piece.destY, cellWidth, piece.height, 0, piece.srcY);
}

// ---- Card counter --------------------------------------------------------------------------------------

void CGameClientView::DrawCardCounter(CDC* pDC, int nWidth, int nHeight)
{
    m_PngHistoryCardBg.DrawImage(pDC, nWidth / 2 - m_PngHistoryCardBg.GetWidth() / 2 - 2, nHeight - m_PngHistoryCardBg.GetHeight());
    tagCardSlot cardSlots[MAX_HAND];
    const int count = m_HandCardControl[1].GetCards(cardSlots, MAX_HAND);
    BYTE hand[MAX_HAND];
    for (int i = 0; i < count; ++i)
        hand[i] = cardSlots[i].cbCard;
    const auto cells = table::CounterCells(m_cbOutCount, m_cbLeftCount, hand, count, g_cbCounterMode);
    for (int k = 0; k < table::kCounterSlots; ++k) {
        const table::CounterCell& cell = cells[k];
        m_PngHistoryCardNumb.DrawImage(pDC, 307 + 27 * k, 637, 19, 22, 19 * cell.n, cell.bGreyed ? 22 : 0);
        if (cell.bFramed)
            m_PngHistoryCardFrame.DrawImage(pDC, 298 + 27 * k, 589);
    }
}
