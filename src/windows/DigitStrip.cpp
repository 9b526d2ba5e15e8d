#include "windows/DigitStrip.h"

#include "platform/SkinImage.h"

#include <algorithm>

tagNumberCells NumberCells(LONG lValue, bool bSign)
{
    tagNumberCells cells;
    if (lValue < 0 || (bSign && lValue > 0))
        cells.cbCell[cells.nCount++] = kSignCell;
    // The magnitude of the smallest 32-bit value does not fit a LONG.
    unsigned long long magnitude = lValue < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(lValue))
                                              : static_cast<unsigned long long>(lValue);
    BYTE digits[kMaxNumberCells] = {};
    int count = 0;
    do {
        digits[count++] = static_cast<BYTE>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && count < kMaxNumberCells);
    while (count > 0 && cells.nCount < kMaxNumberCells)
        cells.cbCell[cells.nCount++] = digits[--count];
    return cells;
}

int NumberWidth(LONG lValue, bool bSign, int nCellWidth)
{
    return NumberCells(lValue, bSign).nCount * nCellWidth;
}

LONG FitNumber(LONG lValue, bool bSign, int nMaxCells)
{
    const bool signed_ = lValue < 0 || (bSign && lValue > 0);
    const int digits = std::clamp(nMaxCells - (signed_ ? 1 : 0), 1, 10);
    long long largest = 1;
    for (int i = 0; i < digits; ++i)
        largest *= 10;
    largest -= 1;
    return static_cast<LONG>(std::clamp<long long>(lValue, -largest, largest));
}

void DrawStripCells(CDC* pDC, const CPngImage& picture, const tagDigitStrip& strip, const BYTE* pcbCells, int nCount, int x, int y)
{
    for (int i = 0; i < nCount; ++i) {
        if (pcbCells[i] <= kSignCell)
            picture.DrawImage(pDC, x, y, strip.nCellWidth, strip.nCellHeight, pcbCells[i] * strip.nCellWidth, strip.nTop);
        x += strip.nCellWidth;
    }
}

int DrawStripNumber(CDC* pDC, const CPngImage& picture, const tagDigitStrip& strip, LONG lValue, int x, int y, NumberAlign align,
    bool bSign)
{
    const tagNumberCells cells = NumberCells(lValue, bSign);
    const int width = cells.nCount * strip.nCellWidth;
    DrawStripCells(pDC, picture, strip, cells.cbCell.data(), cells.nCount, align == NumberAlign::Right ? x - width : x, y);
    return width;
}
