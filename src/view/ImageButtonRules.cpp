#include "view/ImageButtonRules.h"

#include <algorithm>
#include <cmath>

namespace imagebutton {

namespace {

int Channel(Argb pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

Argb Compose(Argb alpha, float r, float g, float b)
{
    // The transform works on the 0-1 scale and rounds back to bytes, so that a grey stays itself.
    auto byte = [](float v) { return static_cast<Argb>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return (alpha & 0xFF000000u) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

}  // namespace

Argb Grey(Argb pixel)
{
    const float r = static_cast<float>(Channel(pixel, 16)) / 255.0f;
    const float g = static_cast<float>(Channel(pixel, 8)) / 255.0f;
    const float b = static_cast<float>(Channel(pixel, 0)) / 255.0f;
    const float grey = 0.3f * r + 0.59f * g + 0.11f * b;
    return Compose(pixel, grey, grey, grey);
}

Argb Shade(Argb pixel, float k)
{
    const auto shade = [k](int channel) { return static_cast<float>(channel) / 255.0f * k + 0.05f; };
    return Compose(pixel, shade(Channel(pixel, 16)), shade(Channel(pixel, 8)), shade(Channel(pixel, 0)));
}

Look ChooseLook(const ButtonState& state)
{
    Look look;
    if (state.bDisabled) {
        look.transform = Transform::Grey;
    } else if (state.bAnimating) {
        look.bAnimation = true;
        look.nFrame = static_cast<int>(state.nAnimIndex % static_cast<unsigned>(std::max(1, state.nAnimFrames)));
    } else if (state.bSelected) {
        if (state.nFrames > 1) {
            look.nFrame = 1;
        } else {
            look.transform = Transform::Shade;
            look.fShade = kPressedShade;
        }
    } else if (state.bHover) {
        if (state.nFrames > 2) {
            look.nFrame = 2;
        } else {
            look.transform = Transform::Shade;
            look.fShade = state.fGlow;
        }
    }
    return look;
}

bool GlowTick(float& glow, bool hover, bool& glowing)
{
    if (glow >= kGlowTop)
        glowing = false;
    if (!hover || !glowing) {
        glowing = false;
        return false;
    }
    glow += kGlowStep;
    return true;
}

bool HitsOpaque(const Argb* pixels, int width, int height, int stride, int x, int y)
{
    // Taken as unsigned, a negative coordinate is past every edge.
    if (!pixels || static_cast<unsigned>(x) >= static_cast<unsigned>(std::max(0, width))
        || static_cast<unsigned>(y) >= static_cast<unsigned>(std::max(0, height)))
        return false;
    return (pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x)] >> 24) != 0;
}

}  // namespace imagebutton
