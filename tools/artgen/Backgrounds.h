#pragma once

// Full-window and dialog backgrounds.

#include <QColor>
#include <QImage>

#include <cstdint>

namespace art {

// A felt table. The top band (the rows behind the two information panels) depends on y only:
// the table restores those panels' areas from a fixed strip at the top of the picture, so any
// variation along x would show as a seam.
QImage PaintFelt(int width, int height, const QColor& base, uint64_t seed);

// The end-of-game window with its boxes for the local player, the two others and the multiplier
// table.
QImage PaintResultBackground(int width, int height);

// Dialog backgrounds; the ones named as keyed carry magenta (the key colour) outside their
// rounded frame.
QImage PaintOptionsDialog(int width, int height);      // keyed
QImage PaintLastTurnDialog(int width, int height);     // keyed
QImage PaintMissionDialog(int width, int height);      // keyed
QImage PaintChangeScoreDialog(int width, int height);  // alpha
QImage PaintTaskWindow(int width, int height);         // alpha

// The colour under the options dialog's buttons, for their bitmap looks.
QColor OptionsDialogFill();

} // namespace art
