#pragma once

// The arithmetic of the table's small animations, decided without a painter: how far a panel
// frame has slid and which rows of its panel show, where the back cards are on their flight to
// the landlord, which frame of the task cartoon shows and how, and how the prize digits roll. The
// view's timers (ViewEffects.cpp) apply these; keeping them here lets them be tested alone.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

namespace effects {

// ---- Panel slide ---------------------------------------------------------------------------------

inline constexpr int kPanelOpen = 121;
inline constexpr int kPanelClosed = 40;
inline constexpr int kPanelSlideStep = 20;
// The panel image shown inside the frame.
inline constexpr int kPanelImageRows = 72;

struct SlideStep {
    int height = kPanelOpen;
    bool bDone = false;  // the frame reached its end and the slide stops
};

// One step of a frame sliding open (bOpen) or shut from `height`.
SlideStep SlidePanel(int height, bool bOpen);

// The rows of the panel image a frame `height` high shows, from the top of the frame. An almost
// open frame shows the whole image, lower as the frame grows; a smaller one only the image's
// bottom rows, cut off at the top of the table. rows is 0 when nothing shows.
struct PanelRows {
    int srcY = 0;
    int rows = 0;
    int destY = 0;
};
PanelRows PanelImageRows(int height);

// ---- Back-card flight ------------------------------------------------------------------------------

// Steps 0-2 close the three cards up where they lie, 3-8 move them; a step past 8 lands them.
inline constexpr int kFlightSpreadSteps = 3;
inline constexpr int kFlightLastStep = 8;

// The spacing of the cards at a closing-up step (0-2).
int FlightSpacing(int step);
// The wait before the step after `step` (0-8): shorter and shorter, so the cards speed up.
unsigned FlightDelay(int step);
// Where the back cards wait above the middle of the table (their anchor: centre and top).
CPoint FlightStart(CSize client);
// The landlord's place: the bottom seat's hand, or a side seat's edge at sideY. With no landlord
// the cards fly to the right.
CPoint FlightTarget(CSize client, WORD wLordSeat, int sideY);
// The anchor at a moving step (3-8): the step's sixth of the way, each coordinate truncated
// toward zero as integer division does.
CPoint FlightPoint(CPoint from, CPoint to, int step);

// ---- Task cartoon ----------------------------------------------------------------------------------

inline constexpr WORD kCartoonNone = 0xFFFF;
inline constexpr int kCartoonWidth = 297;
inline constexpr int kCartoonHeight = 292;
inline constexpr int kCartoonX = 365;
inline constexpr int kCartoonY = 200;
inline constexpr WORD kCartoonTicks = 50;

// One 100 ms tick: the cartoon grows for nine ticks, fades in its second frame for six, then
// flashes its last two frames. True when it has ended (the frame is then kCartoonNone and
// nothing needs redrawing).
bool StepTaskCartoon(WORD& wFrame, WORD& wTicks, int& nAlpha);

// How the cartoon is drawn now: the destination, the source's top-left in the frame strip and
// the alpha. bDraw is false when nothing shows (no frame, or before the first tick).
struct CartoonBlit {
    bool bDraw = false;
    // 1 growing, 2 fading in, 3 whole (the cases the trace names).
    int nPhase = 0;
    CRect dest;
    CPoint src;
    BYTE cbAlpha = 255;
};
CartoonBlit TaskCartoonBlit(WORD wFrame, WORD wTicks, int nAlpha);

// ---- Prize roll ------------------------------------------------------------------------------------

inline constexpr int kRollStep = 2;

// A rolling digit cell's next strip offset on its way to `target`: two rows further up the strip,
// wrapping round at its top. A step that would pass the target lands on it, so a strip of any
// geometry ends its roll.
int RollOffset(int offset, int target, int stripHeight);

}  // namespace effects
