#pragma once

// Numbers drawn from a digit strip: one row of a picture holding the cells 0-9 and, in cell 10,
// a sign or a colon. The windows never draw numbers with a font, so every score, count and clock
// goes through here. The layout (which cells, how wide) is plain code; only DrawStripNumber and
// DrawStripCells touch a picture.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <array>

class CDC;
class CPngImage;

// One strip of a digit picture: its row and the size of each cell.
struct tagDigitStrip {
    int nTop = 0;
    int nCellWidth = 0;
    int nCellHeight = 0;
};

inline constexpr BYTE kSignCell = 10;
// A sign and the ten digits of the largest 32-bit magnitude.
inline constexpr int kMaxNumberCells = 11;

struct tagNumberCells {
    std::array<BYTE, kMaxNumberCells> cbCell{};
    int nCount = 0;
};

// The cells of a value: the sign cell first for a negative value, and for a positive one when
// bSign asks for it; then the decimal digits of the magnitude, at least one.
tagNumberCells NumberCells(LONG lValue, bool bSign);
// The width the value takes in cells of nCellWidth.
int NumberWidth(LONG lValue, bool bSign, int nCellWidth);
// The value held to what nMaxCells cells can show (at least one cell): 9999 for four unsigned
// cells, -999 for four with a sign. A number past its area is drawn at the area's limit rather
// than over its neighbours.
LONG FitNumber(LONG lValue, bool bSign, int nMaxCells);

enum class NumberAlign { Left, Right };

// Draws the value with its left edge (Left) or right edge (Right) at x; returns the width drawn.
int DrawStripNumber(CDC* pDC, const CPngImage& picture, const tagDigitStrip& strip, LONG lValue, int x, int y,
    NumberAlign align, bool bSign = false);
// Draws the cells from x on, left to right; a cell number past the strip draws nothing.
void DrawStripCells(CDC* pDC, const CPngImage& picture, const tagDigitStrip& strip, const BYTE* pcbCells, int nCount, int x, int y);
