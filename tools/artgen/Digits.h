#pragma once

// Digit strips: numbers are drawn by copying cells of these pictures, never with a font. A strip is
// one row of cells at a fixed y: the digits 0-9, then the extra cells the reader expects (a plus
// and a minus, a sign, or a colon).

#include <QImage>
#include <QString>

#include <vector>

namespace art {

enum class DigitInk { Gold, White, Cream, Win, Loss, Lit, Dim, Clock, Navy, Slate };

struct DigitRow {
    int y;
    int cellWidth;
    int cellHeight;
    QString extras;   // cells after the ten digits, e.g. "+-", ":", "x"
    DigitInk ink;
};

// A transparent picture of the given size holding each row at its place.
QImage PaintDigitSheet(int width, int height, const std::vector<DigitRow>& rows);

// A vertical odometer strip of ten opaque cells, 9 at the top down to 0 at the bottom.
QImage PaintRollStrip(int cellWidth, int cellHeight);

} // namespace art
