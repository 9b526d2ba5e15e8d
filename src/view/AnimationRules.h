#pragma once

// The arithmetic of the animation windows, without a window: how a strip is cut into frames,
// which frame a run shows next, and where the rocket and the plane are at each tick. The windows
// (AnimationDlg.h) apply these; keeping them here lets them be tested alone.

#include "platform/Geometry.h"

#include <optional>

namespace anim {

// One frame of a strip of `frames` equal frames side by side.
struct StripCut {
    int nFrameWidth = 0;
    int nFrameHeight = 0;
};

// Nothing when the picture cannot hold `frames` frames of at least one pixel: a strip that is
// missing, empty or narrower than its frame count must play nothing rather than read past it.
std::optional<StripCut> CutStrip(int nPictureWidth, int nPictureHeight, unsigned nFrames);

// The frame a run draws at a step when `nFrame` is due next: `nFrame` itself while it is in the
// range, the first again when a looping run has passed the last, nothing when a single run is
// over.
std::optional<unsigned> FrameToDraw(unsigned nFrame, unsigned nFirst, unsigned nLast, bool bLoop);

// The rocket rises out of the table's bottom edge by tick * tick pixels and leaves through its
// top edge; while it is inside the table its window is as tall as the rise, once it reaches the
// top the window keeps the frame's lower part that is still inside.
struct RocketStep {
    bool bEnd = false;      // the rocket has left the table: hide the window at `rcWindow`'s place
    CRect rcWindow;         // the window's place and size this tick (height 0 draws nothing)
    int nRise = 0;          // the rise to remember for the next tick
    int nSourceY = 0;       // the row of the frame the window's top shows
};
// `nLastRise` is the rise of the tick before (0 at the start), `rcView` the table's rectangle,
// nWidth the rocket's width and nHeight its window's current height.
RocketStep RocketAt(int nTick, int nLastRise, const CRect& rcView, int nWidth, int nHeight, int nFrameHeight);

// The plane's left edge at a tick as it crosses the table from right to left, tick * tick pixels
// from its start at the right edge; nothing once it would reach the table's left edge.
std::optional<int> PlaneLeft(int nTick, const CRect& rcParent, int nWidth);

}  // namespace anim
