#pragma once

// The rules of a row of cards on the table, without a window: where each card stands, how big the
// row is and where it goes for an anchor, which card a point hits, and how a click or a drag of the
// mouse raises and lowers cards. CCardControl draws and routes the mouse; the decisions are here.

#include <cstdint>
#include <vector>

#include "platform/Geometry.h"

struct tagCardSlot {
    uint8_t bRaised;  // 1 = raised
    uint8_t cbCard;   // 0 shows a card back
};
static_assert(sizeof(tagCardSlot) == 2);

struct CardRowMetrics {
    bool bLaidFlat = true;
    int nSpaceX = 16;
    int nSpaceY = 19;
    int nRaiseHeight = 20;
    int nCardWidth = 0;
    int nCardHeight = 0;
};

// Size of a row of `count` cards.
CSize CardRowSize(const CardRowMetrics& metrics, std::size_t count);

// Top-left corner of card `index` inside the row's client area.
CPoint CardPosition(const CardRowMetrics& metrics, std::size_t index, bool raised);

// Top-left corner of the row in its parent for an anchor and its alignments (0 start, 1 centre,
// 2 end); halves are truncated toward zero.
CPoint CardRowOrigin(CPoint anchor, int alignX, int alignY, CSize size);

// The slot under a point of the row's client area, or -1. Only a flat row of 1 to 20 cards is hit.
int CardRowHitTest(const CardRowMetrics& metrics, const std::vector<tagCardSlot>& slots, CPoint point);

// What a finished left-button selection did.
struct CardSelection {
    bool bApplied = false;     // false: the drag ended beyond the last card and nothing changed
    int nNotifications = 0;    // card-click notifications to post
    uint8_t cbRaisedBefore = 0;
};

// Applies a selection from slot `from` to slot `to` (either order): one slot flips its raised flag;
// a range is lowered when it is all raised and raised otherwise.
CardSelection ApplyCardSelection(std::vector<tagCardSlot>& slots, int from, int to);

// Lowers every slot, then raises the first lowered slot holding each given card.
void RaiseCardsInRow(std::vector<tagCardSlot>& slots, const uint8_t* cards, std::size_t count);
