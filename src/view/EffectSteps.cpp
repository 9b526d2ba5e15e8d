#include "view/EffectSteps.h"

#include <algorithm>

namespace effects {

namespace {

// The back cards wait this far above the middle of the table.
constexpr int kFlightRise = 110;
constexpr int kBottomSeatY = 470;
constexpr int kSideSeatInset = 50;
// A frame this high shows the whole panel image.
constexpr int kPanelWholeFrom = 116;

}  // namespace

// ---- Panel slide ---------------------------------------------------------------------------------

SlideStep SlidePanel(int height, bool bOpen)
{
    height += bOpen ? kPanelSlideStep : -kPanelSlideStep;
    if (bOpen && height >= kPanelOpen)
        return {kPanelOpen, true};
    if (!bOpen && height <= kPanelClosed)
        return {kPanelClosed, true};
    return {height, false};
}

PanelRows PanelImageRows(int height)
{
    if (height >= kPanelWholeFrom)
        return {0, kPanelImageRows, height - kPanelWholeFrom};
    const int rows = std::clamp(height - kPanelClosed, 0, kPanelImageRows);
    return {kPanelImageRows - rows, rows, 0};
}

// ---- Back-card flight ------------------------------------------------------------------------------

int FlightSpacing(int step)
{
    static constexpr int kSpacing[kFlightSpreadSteps] = {56, 28, 0};
    return kSpacing[std::clamp(step, 0, kFlightSpreadSteps - 1)];
}

unsigned FlightDelay(int step)
{
    if (step < kFlightSpreadSteps)
        return static_cast<unsigned>(50 - 10 * (std::max(step, 0) + 1));
    return static_cast<unsigned>(50 - 3 * std::min(step, kFlightLastStep));
}

CPoint FlightStart(CSize client)
{
    return {client.cx / 2, client.cy / 2 - kFlightRise};
}

CPoint FlightTarget(CSize client, WORD wLordSeat, int sideY)
{
    if (wLordSeat == 1)
        return {client.cx / 2, kBottomSeatY};
    if (wLordSeat == 0)
        return {kSideSeatInset, sideY};
    return {client.cx - kSideSeatInset, sideY};
}

CPoint FlightPoint(CPoint from, CPoint to, int step)
{
    const int part = step - (kFlightSpreadSteps - 1);
    const int parts = kFlightLastStep - (kFlightSpreadSteps - 1);
    return {from.x + (to.x - from.x) * part / parts, from.y + (to.y - from.y) * part / parts};
}

// ---- Task cartoon ----------------------------------------------------------------------------------

bool StepTaskCartoon(WORD& wFrame, WORD& wTicks, int& nAlpha)
{
    ++wTicks;
    if (wTicks < 10) {
        nAlpha = 0;
        wFrame = 0;
        return false;
    }
    if (wTicks <= 15) {
        nAlpha = std::min(nAlpha + 30, 255);
        wFrame = 1;
        return false;
    }
    if (wTicks < kCartoonTicks) {
        wFrame = wTicks % 2 == 1 ? 3 : 2;
        return false;
    }
    wFrame = kCartoonNone;
    return true;
}

CartoonBlit TaskCartoonBlit(WORD wFrame, WORD wTicks, int nAlpha)
{
    CartoonBlit blit;
    if (wFrame > 3 || wTicks < 1 || wTicks >= kCartoonTicks)
        return blit;
    blit.bDraw = true;
    const int frameX = wFrame * kCartoonWidth;
    if (wTicks <= 9) {
        // Grows out of its middle.
        const int w = wTicks * kCartoonWidth / 9;
        const int h = wTicks * kCartoonHeight / 9;
        blit.nPhase = 1;
        blit.dest = CRect(CPoint(kCartoonX + (kCartoonWidth - w) / 2, kCartoonY + (kCartoonHeight - h) / 2), CSize(w, h));
        blit.src = CPoint(frameX + (kCartoonWidth - w) / 2, (kCartoonHeight - h) / 2);
        return blit;
    }
    blit.dest = CRect(CPoint(kCartoonX, kCartoonY), CSize(kCartoonWidth, kCartoonHeight));
    blit.src = CPoint(frameX, 0);
    if (wTicks <= 14) {
        blit.nPhase = 2;
        blit.cbAlpha = static_cast<BYTE>(std::clamp(nAlpha, 0, 255));
    } else {
        blit.nPhase = 3;
    }
    return blit;
}

// ---- Prize roll ------------------------------------------------------------------------------------

int RollOffset(int offset, int target, int stripHeight)
{
    if (offset == target || stripHeight <= 0)
        return target;
    // Rows still to go up the strip, round its top if need be.
    const int left = ((offset - target) % stripHeight + stripHeight) % stripHeight;
    if (left <= kRollStep)
        return target;
    const int next = offset - kRollStep;
    return next < 0 ? next + stripHeight : next;
}

}  // namespace effects
