#include "view/AnimationRules.h"

namespace anim {

std::optional<StripCut> CutStrip(int nPictureWidth, int nPictureHeight, unsigned nFrames)
{
    if (nFrames == 0 || nPictureHeight <= 0 || nPictureWidth <= 0 || static_cast<unsigned>(nPictureWidth) < nFrames)
        return std::nullopt;
    return StripCut{nPictureWidth / static_cast<int>(nFrames), nPictureHeight};
}

std::optional<unsigned> FrameToDraw(unsigned nFrame, unsigned nFirst, unsigned nLast, bool bLoop)
{
    if (nFrame <= nLast)
        return nFrame;
    if (bLoop)
        return nFirst;
    return std::nullopt;
}

RocketStep RocketAt(int nTick, int nLastRise, const CRect& rcView, int nWidth, int nHeight, int nFrameHeight)
{
    RocketStep step;
    const int viewHeight = rcView.Height();
    // Halves truncate toward zero, as C++ division does.
    const int x = rcView.left + rcView.Width() / 2 - nWidth / 2;
    if (nLastRise >= viewHeight + nFrameHeight) {
        step.bEnd = true;
        step.nRise = nLastRise;
        step.rcWindow = CRect(x, rcView.bottom - nHeight, x + nWidth, rcView.bottom);
        return step;
    }
    // Ticks are few (the rocket leaves within about 40), so the square cannot overflow.
    step.nRise = nTick * nTick;
    const bool atTop = step.nRise >= viewHeight;
    const int height = atTop ? std::max(0, nFrameHeight - (step.nRise - viewHeight)) : step.nRise;
    const int y = atTop ? rcView.top : rcView.bottom - step.nRise;
    step.rcWindow = CRect(x, y, x + nWidth, y + height);
    step.nSourceY = atTop ? nFrameHeight - height : 0;
    return step;
}

std::optional<int> PlaneLeft(int nTick, const CRect& rcParent, int nWidth)
{
    const long long left = static_cast<long long>(rcParent.right) - nWidth - static_cast<long long>(nTick) * nTick;
    if (left <= rcParent.left)
        return std::nullopt;
    return static_cast<int>(left);
}

}  // namespace anim
