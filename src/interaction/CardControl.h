#pragma once

// A row (or column) of cards on the table: a hand, the cards a seat played, the back cards, the
// deck while dealing. The local hand also takes the mouse: clicks and drags raise and lower
// cards, and the notify window hears of every change. The control stores card bytes with a
// raised flag each and knows nothing of the game; the placing and selection rules live in
// CardRow.h.
//
// The window is exactly its cards: its region is the union of the card shapes, so clicks
// between or beside them reach the table beneath.

#include "interaction/CardRow.h"
#include "platform/Dc.h"
#include "platform/Region.h"
#include "platform/Wnd.h"

#include <cstddef>
#include <memory>
#include <vector>

class CCardControl : public CWnd {
public:
    // A hand never holds more; longer lists are cut.
    static constexpr std::size_t kMaxCards = 20;

    CCardControl();
    ~CCardControl() override;

    // ---- Cards ------------------------------------------------------------------------------------

    // How many cards the control holds at most (kMaxCards unless set; the dealing deck holds 54).
    void SetCapacity(std::size_t capacity) { m_nCapacity = capacity; }
    // All slots become these cards, lowered.
    void SetCards(const BYTE* cbCards, std::size_t cbCount);
    // Resizes to cbCount and writes the bytes; slots that existed keep their raised flag.
    void ReplaceCards(const BYTE* cbCards, std::size_t cbCount);
    // Copies every slot; when the buffer cannot hold them all nothing is copied and 0 returned.
    BYTE GetCards(tagCardSlot* pSlots, std::size_t capacity) const;
    // The bytes of the raised slots in slot order, at most `capacity` of them.
    BYTE GetRaisedCards(BYTE* cbCards, std::size_t capacity) const;
    BYTE GetCardCount() const { return static_cast<BYTE>(m_Cards.size()); }
    // Lowers every slot, then raises the first lowered slot holding each given card.
    void RaiseCards(const BYTE* cbCards, std::size_t cbCount);
    void RaiseAll(bool bRaised);
    // Raised cards just before the last mouse selection changed them.
    BYTE GetLastRaisedCount() const { return m_cbLastRaisedCount; }

    // ---- Look and placement ---------------------------------------------------------------------

    void ShowFaces(bool bShow);
    void LayFlat(bool bFlat);
    void AcceptMouse(bool bAccept);
    void SetSpacing(int nSpaceX, int nSpaceY, int nRaiseHeight);
    // Alignments: 0 puts the left (top) edge at the anchor, 1 centres on it, 2 puts the right
    // (bottom) edge at it. The anchor is in the parent's client coordinates.
    void SetAnchor(int x, int y, int nAlignX, int nAlignY);
    void SetAnchor(CPoint ptAnchor, int nAlignX, int nAlignY) { SetAnchor(ptAnchor.x, ptAnchor.y, nAlignX, nAlignY); }
    void SetNotifyWindow(CWnd* pWnd);
    // While dealing, each paint adds only the newest card to a buffer that keeps the earlier ones.
    void SetDealMode(bool bDeal);

    // ---- The drag shared by every control -------------------------------------------------------

    static void EndDrag() { s_bDragging = false; }
    static bool IsDragging() { return s_bDragging; }

    // The row's geometry as the card row rules see it (spacing, raise height, card size).
    CardRowMetrics GetMetrics() const;

    // Cell size of the card picture; 0 when it could not be loaded.
    static int GetCardWidth() { return s_nCardWidth; }
    static int GetCardHeight() { return s_nCardHeight; }

protected:
    int OnCreate() override;
    void OnDraw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnRButtonUp(UINT nFlags, CPoint point) override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;

private:
    // Size, place and shape the window after the cards or the layout changed.
    void RectifyControl();
    void DrawCard(CDC* pDC, std::size_t index) const;
    void PostNotify(UINT message);
    static void LoadCardPicture();

    bool m_bShowFaces = false;
    bool m_bLaidFlat = true;
    bool m_bAcceptMouse = false;
    int m_nSpaceX = 16;
    int m_nSpaceY = 19;
    int m_nRaiseHeight = 20;
    CPoint m_ptAnchor;
    int m_nAlignX = 1;
    int m_nAlignY = 1;
    std::vector<tagCardSlot> m_Cards;
    std::size_t m_nCapacity = kMaxCards;
    int m_nPressIndex = -1;
    BYTE m_cbLastRaisedCount = 0;
    CWnd* m_pNotifyWnd = nullptr;
    // The notify window may be destroyed before this control; nothing is posted to it then.
    std::weak_ptr<void> m_notifyLife;
    CRgn m_rgnCards;
    CDC m_dcDeal;
    CBitmap m_bmpDeal;
    bool m_bDealBufferReady = false;
    bool m_bDealMode = false;

    static int s_nCardWidth;
    static int s_nCardHeight;
    static bool s_bDragging;
    static int s_nDragAnchor;
    static int s_nDragCurrent;
};
