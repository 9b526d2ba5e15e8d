#include "interaction/CardControl.h"

#include "interaction/Commands.h"
#include "platform/SkinImage.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The picture is 13 columns (ace to king) by 5 rows (one per colour, then the jokers and the back).
constexpr int kSheetColumns = 13;
constexpr int kSheetRows = 5;
constexpr int kJokerRow = 4;
constexpr int kBackColumn = 2;

// The dealing buffer holds the widest row a hand can grow to.
constexpr int kDealBufferCards = 20;

constexpr BYTE kVeilAlpha = 60;
constexpr int kCornerEllipse = 6;

CSkinImage& CardPicture()
{
    static CSkinImage picture;
    return picture;
}

// Column and row of a card's cell; a back for byte 0 and anything that is not a card.
CPoint CardCell(BYTE cbCard, bool showFace)
{
    const int colour = cbCard >> 4;
    const int face = cbCard & 0x0F;
    if (!showFace || cbCard == 0)
        return {kBackColumn, kJokerRow};
    if (colour < kJokerRow && face >= 1 && face <= kSheetColumns)
        return {face - 1, colour};
    if (colour == kJokerRow && (face == 0x0E || face == 0x0F))
        return {face - 0x0E, kJokerRow};
    return {kBackColumn, kJokerRow};
}

}  // namespace

int CCardControl::s_nCardWidth = 0;
int CCardControl::s_nCardHeight = 0;
bool CCardControl::s_bDragging = false;
int CCardControl::s_nDragAnchor = -1;
int CCardControl::s_nDragCurrent = -1;

CCardControl::CCardControl()
{
    LoadCardPicture();
    // Every press counts: a player who clicks one card twice quickly means raise, then lower.
    AcceptDoubleClicks(false);
}

CCardControl::~CCardControl() = default;

void CCardControl::LoadCardPicture()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    CSkinImage& picture = CardPicture();
    picture.Load("telvo\\img\\card.bmp");
    s_nCardWidth = picture.GetWidth() / kSheetColumns;
    s_nCardHeight = picture.GetHeight() / kSheetRows;
}

// ---- Cards ----------------------------------------------------------------------------------------

void CCardControl::SetCards(const BYTE* cbCards, std::size_t cbCount)
{
    const std::size_t count = cbCards ? std::min(cbCount, m_nCapacity) : 0;
    m_Cards.assign(count, tagCardSlot{0, 0});
    for (std::size_t i = 0; i < count; ++i)
        m_Cards[i].cbCard = cbCards[i];
    RectifyControl();
}

void CCardControl::ReplaceCards(const BYTE* cbCards, std::size_t cbCount)
{
    const std::size_t count = cbCards ? std::min(cbCount, m_nCapacity) : 0;
    m_Cards.resize(count, tagCardSlot{0, 0});
    for (std::size_t i = 0; i < count; ++i)
        m_Cards[i].cbCard = cbCards[i];
    RectifyControl();
}

BYTE CCardControl::GetCards(tagCardSlot* pSlots, std::size_t capacity) const
{
    if (!pSlots || capacity < m_Cards.size())
        return 0;
    std::copy(m_Cards.begin(), m_Cards.end(), pSlots);
    return static_cast<BYTE>(m_Cards.size());
}

BYTE CCardControl::GetRaisedCards(BYTE* cbCards, std::size_t capacity) const
{
    if (!cbCards)
        return 0;
    std::size_t found = 0;
    for (const tagCardSlot& slot : m_Cards) {
        if (found == capacity)
            break;
        if (slot.bRaised)
            cbCards[found++] = slot.cbCard;
    }
    return static_cast<BYTE>(found);
}

void CCardControl::RaiseCards(const BYTE* cbCards, std::size_t cbCount)
{
    RaiseCardsInRow(m_Cards, cbCards, cbCards ? cbCount : 0);
    RectifyControl();
}

void CCardControl::RaiseAll(bool bRaised)
{
    const BYTE flag = bRaised ? 1 : 0;
    bool changed = false;
    for (tagCardSlot& slot : m_Cards) {
        changed = changed || slot.bRaised != flag;
        slot.bRaised = flag;
    }
    if (changed)
        RectifyControl();
}

// ---- Look and placement -------------------------------------------------------------------------

void CCardControl::ShowFaces(bool bShow)
{
    if (m_bShowFaces == bShow)
        return;
    m_bShowFaces = bShow;
    if (IsWindow())
        Invalidate(FALSE);
}

void CCardControl::LayFlat(bool bFlat)
{
    if (m_bLaidFlat == bFlat)
        return;
    m_bLaidFlat = bFlat;
    RectifyControl();
}

void CCardControl::AcceptMouse(bool bAccept)
{
    m_bAcceptMouse = bAccept;
    if (IsWindow())
        SetCursor(QCursor(m_bAcceptMouse ? IDC_HAND : IDC_ARROW));
}

void CCardControl::SetSpacing(int nSpaceX, int nSpaceY, int nRaiseHeight)
{
    m_nSpaceX = nSpaceX;
    m_nSpaceY = nSpaceY;
    m_nRaiseHeight = nRaiseHeight;
    RectifyControl();
}

void CCardControl::SetAnchor(int x, int y, int nAlignX, int nAlignY)
{
    m_ptAnchor = CPoint(x, y);
    m_nAlignX = nAlignX;
    m_nAlignY = nAlignY;
    RectifyControl();
}

void CCardControl::SetNotifyWindow(CWnd* pWnd)
{
    m_pNotifyWnd = pWnd;
    m_notifyLife = pWnd ? pWnd->GetLifeToken() : std::weak_ptr<void>();
}

void CCardControl::SetDealMode(bool bDeal)
{
    m_bDealMode = bDeal;
    if (!bDeal && IsWindow())
        Invalidate(FALSE);
}

CardRowMetrics CCardControl::GetMetrics() const
{
    CardRowMetrics metrics;
    metrics.bLaidFlat = m_bLaidFlat;
    metrics.nSpaceX = m_nSpaceX;
    metrics.nSpaceY = m_nSpaceY;
    metrics.nRaiseHeight = m_nRaiseHeight;
    metrics.nCardWidth = s_nCardWidth;
    metrics.nCardHeight = s_nCardHeight;
    return metrics;
}

void CCardControl::RectifyControl()
{
    if (!IsWindow())
        return;
    const CardRowMetrics metrics = GetMetrics();
    const CSize size = CardRowSize(metrics, m_Cards.size());
    const CPoint origin = CardRowOrigin(m_ptAnchor, m_nAlignX, m_nAlignY, size);
    SetWindowPos(nullptr, origin.x, origin.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    // Every card has the same rounded shape; it is made once and moved to each card, since
    // building the rounded outline is by far the dearest part of a hand's region.
    static CRgn s_rgnCard;
    static CSize s_sizeCard;
    if (s_sizeCard != CSize(s_nCardWidth, s_nCardHeight)) {
        s_sizeCard = CSize(s_nCardWidth, s_nCardHeight);
        s_rgnCard.CreateRoundRectRgn(0, 0, s_nCardWidth, s_nCardHeight, kCornerEllipse, kCornerEllipse);
    }
    CRgn shape;
    for (std::size_t i = 0; i < m_Cards.size(); ++i) {
        const CPoint at = CardPosition(metrics, i, m_Cards[i].bRaised != 0);
        CRgn card = s_rgnCard;
        card.OffsetRgn(at.x, at.y);
        shape.CombineRgn(&shape, &card, RGN_OR);
    }
    SetWindowRgn(&shape, TRUE);
    m_rgnCards = shape;
    Invalidate(FALSE);
}

// ---- Window -------------------------------------------------------------------------------------

int CCardControl::OnCreate()
{
    SetCursor(QCursor(m_bAcceptMouse ? IDC_HAND : IDC_ARROW));
    return 0;
}

void CCardControl::DrawCard(CDC* pDC, std::size_t index) const
{
    const CardRowMetrics metrics = GetMetrics();
    const tagCardSlot& slot = m_Cards[index];
    const CPoint at = CardPosition(metrics, index, slot.bRaised != 0);
    const CPoint cell = CardCell(slot.cbCard, m_bShowFaces);
    CardPicture().AlphaDrawImage(pDC, at.x, at.y, s_nCardWidth, s_nCardHeight, cell.x * s_nCardWidth, cell.y * s_nCardHeight,
        RGB(0, 0, 0));
}

void CCardControl::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);

    if (m_bDealMode && !m_bDealBufferReady) {
        m_bmpDeal.CreateCompatibleBitmap(pDC, kDealBufferCards * s_nCardWidth, client.Height());
        m_dcDeal.CreateCompatibleDC(pDC);
        // A fresh bitmap is transparent: where no card lies yet the table shows through, also in
        // pictures of the window that do not apply its card-shaped region.
        m_dcDeal.SelectObject(&m_bmpDeal);
        m_bDealBufferReady = true;
    }
    if (m_Cards.empty())
        return;

    if (m_bDealMode) {
        // Earlier cards are already in the buffer; each dealing step costs one card.
        DrawCard(&m_dcDeal, m_Cards.size() - 1);
        pDC->BitBlt(0, 0, client.Width(), client.Height(), &m_dcDeal, 0, 0, SRCCOPY);
        return;
    }

    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
    CDC buffer;
    buffer.CreateCompatibleDC(pDC);
    buffer.SelectObject(&bitmap);

    // The veil marks the cards a drag in progress would change; only a centred flat row (the
    // local hand) shows it.
    const int count = static_cast<int>(m_Cards.size());
    const bool veiled = s_bDragging && m_bLaidFlat && m_nAlignX == 1 && std::abs(s_nDragCurrent - s_nDragAnchor) < count;
    const int veilFrom = std::min(s_nDragAnchor, s_nDragCurrent);
    const int veilTo = std::max(s_nDragAnchor, s_nDragCurrent);
    const CardRowMetrics metrics = GetMetrics();
    for (int i = 0; i < count; ++i) {
        DrawCard(&buffer, static_cast<std::size_t>(i));
        if (veiled && i >= veilFrom && i <= veilTo) {
            const CPoint at = CardPosition(metrics, static_cast<std::size_t>(i), m_Cards[i].bRaised != 0);
            buffer.FillAlphaRect(CRect(at, CSize(s_nCardWidth, s_nCardHeight)), RGB(0, 0, 0), kVeilAlpha);
        }
    }
    pDC->BitBlt(0, 0, client.Width(), client.Height(), &buffer, 0, 0, SRCCOPY);
}

// ---- Mouse --------------------------------------------------------------------------------------

void CCardControl::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    if (!m_bLaidFlat || !m_bAcceptMouse)
        return;
    SetCapture();
    m_nPressIndex = CardRowHitTest(GetMetrics(), m_Cards, point);
    // A press in another control while a drag runs joins that drag instead of starting one.
    if (!s_bDragging) {
        s_bDragging = true;
        s_nDragAnchor = s_nDragCurrent = m_nPressIndex;
    }
}

void CCardControl::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    if (!s_bDragging || !m_bLaidFlat || !m_bAcceptMouse)
        return;
    if (m_nPressIndex < 0 || m_nPressIndex >= static_cast<int>(kMaxCards))
        return;
    const int current = CardRowHitTest(GetMetrics(), m_Cards, point);
    if (current != s_nDragCurrent) {
        s_nDragCurrent = current;
        Invalidate(FALSE);
    }
}

void CCardControl::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
    ReleaseCapture();
    if (!s_bDragging)
        return;
    s_bDragging = false;
    const int pressed = m_nPressIndex;
    // The press belongs to this release only; a later drag begun elsewhere must not reuse it.
    m_nPressIndex = -1;
    if (pressed == -1 || !m_bLaidFlat || !m_bAcceptMouse)
        return;
    const auto isSlot = [](int slot) { return slot >= 0 && slot < static_cast<int>(kMaxCards); };
    if (!isSlot(s_nDragAnchor) || !isSlot(s_nDragCurrent))
        return;

    const CardSelection selection = ApplyCardSelection(m_Cards, s_nDragAnchor, s_nDragCurrent);
    if (!selection.bApplied) {
        // The drag ended beyond the last card (the row shrank under it): only the veil goes.
        Invalidate(FALSE);
        return;
    }
    m_cbLastRaisedCount = selection.cbRaisedBefore;
    for (int i = 0; i < selection.nNotifications; ++i)
        PostNotify(UM_CARD_CLICK);
    RectifyControl();
    s_nDragAnchor = s_nDragCurrent = -1;
}

void CCardControl::OnRButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
    if (m_bLaidFlat && m_bAcceptMouse)
        PostNotify(UM_CARD_RIGHT_CLICK);
}

BOOL CCardControl::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/)
{
    SetCursor(QCursor(m_bAcceptMouse ? IDC_HAND : IDC_ARROW));
    return TRUE;
}

void CCardControl::PostNotify(UINT message)
{
    if (m_pNotifyWnd && !m_notifyLife.expired())
        m_pNotifyWnd->PostMessage(message, 0, 0);
}
