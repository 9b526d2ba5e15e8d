#include "interaction/CardRow.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxHitCards = 20;

}  // namespace

CSize CardRowSize(const CardRowMetrics& metrics, std::size_t count)
{
    const int n = static_cast<int>(count);
    if (metrics.bLaidFlat)
        return {n == 0 ? 0 : (n - 1) * metrics.nSpaceX + metrics.nCardWidth, metrics.nCardHeight + metrics.nRaiseHeight};
    return {metrics.nCardWidth, n == 0 ? 0 : (n - 1) * metrics.nSpaceY + metrics.nCardHeight};
}

CPoint CardPosition(const CardRowMetrics& metrics, std::size_t index, bool raised)
{
    const int i = static_cast<int>(index);
    if (metrics.bLaidFlat)
        return {i * metrics.nSpaceX, raised ? 0 : metrics.nRaiseHeight};
    return {0, i * metrics.nSpaceY};
}

CPoint CardRowOrigin(CPoint anchor, int alignX, int alignY, CSize size)
{
    auto place = [](int at, int align, int extent) {
        switch (align) {
        case 0:
            return at;
        case 1:
            return at - extent / 2;
        default:
            return at - extent;
        }
    };
    return {place(anchor.x, alignX, size.cx), place(anchor.y, alignY, size.cy)};
}

int CardRowHitTest(const CardRowMetrics& metrics, const std::vector<tagCardSlot>& slots, CPoint point)
{
    if (!metrics.bLaidFlat || slots.empty() || slots.size() > kMaxHitCards)
        return -1;
    const int last = static_cast<int>(slots.size()) - 1;
    int i = metrics.nSpaceX > 0 ? point.x / metrics.nSpaceX : last;
    i = std::clamp(i, 0, last);

    const auto hits = [&](int slot, bool walking) {
        const bool raised = slots[slot].bRaised != 0;
        if (!walking)
            return raised ? point.y <= metrics.nCardHeight : point.y >= metrics.nRaiseHeight;
        // Left of the point only the strip that no card to the right covers can be hit: below
        // every raised card for a lowered one, above every lowered card for a raised one.
        return raised ? point.y < metrics.nRaiseHeight : point.y > metrics.nCardHeight;
    };
    if (hits(i, false))
        return i;
    for (int j = i - 1; j > 0; --j) {
        if (hits(j, true))
            return j;
    }
    return 0;
}

CardSelection ApplyCardSelection(std::vector<tagCardSlot>& slots, int from, int to)
{
    CardSelection selection;
    const int a = std::min(from, to);
    const int b = std::max(from, to);
    if (a < 0 || b >= static_cast<int>(slots.size()))
        return selection;

    selection.bApplied = true;
    selection.cbRaisedBefore =
        static_cast<uint8_t>(std::count_if(slots.begin(), slots.end(), [](const tagCardSlot& s) { return s.bRaised != 0; }));
    if (a == b) {
        slots[a].bRaised = slots[a].bRaised ? 0 : 1;
        selection.nNotifications = 1;
        return selection;
    }
    const bool allRaised = std::all_of(slots.begin() + a, slots.begin() + b + 1, [](const tagCardSlot& s) { return s.bRaised != 0; });
    for (int i = a; i <= b; ++i)
        slots[i].bRaised = allRaised ? 0 : 1;
    selection.nNotifications = b - a + 1;
    return selection;
}

void RaiseCardsInRow(std::vector<tagCardSlot>& slots, const uint8_t* cards, std::size_t count)
{
    for (auto& slot : slots)
        slot.bRaised = 0;
    for (std::size_t c = 0; c < count; ++c) {
        for (auto& slot : slots) {
            if (!slot.bRaised && slot.cbCard == cards[c]) {
                slot.bRaised = 1;
                break;
            }
        }
    }
}
