#pragma once

// The image button's looks and mouse rules, without a window: which frame (or colour transform
// of the first frame) a state shows, the grey and shade transforms, the hover glow's steps, and
// whether a point hits an opaque pixel. GdipButton.h applies these.

#include <cstdint>
#include <optional>

namespace imagebutton {

// Pixels are 0xAARRGGBB, not premultiplied.
using Argb = std::uint32_t;

// Each of red, green and blue becomes 0.3 R + 0.59 G + 0.11 B; alpha stays.
Argb Grey(Argb pixel);
// Red, green and blue times k, raised by 0.05 of full scale and held to 0-255; alpha stays.
Argb Shade(Argb pixel, float k);

inline constexpr float kPressedShade = 0.75f;
inline constexpr float kGlowStart = 1.0f;
inline constexpr float kGlowStep = 0.02f;
inline constexpr float kGlowTop = 1.2f;

enum class Transform { None, Grey, Shade };

struct Look {
    bool bAnimation = false;  // a frame of the animation strip instead of the state picture
    int nFrame = 0;           // of the state picture or of the animation strip
    Transform transform = Transform::None;
    float fShade = 1.0f;
};

struct ButtonState {
    bool bDisabled = false;
    bool bAnimating = false;  // an animation strip is loaded, enabled and running
    unsigned nAnimIndex = 0;
    int nAnimFrames = 1;
    bool bSelected = false;   // pressed with the pointer over it
    bool bHover = false;
    int nFrames = 1;
    float fGlow = kGlowStart;
};

// The first rule that applies: disabled grey, the animation, pressed, normal, hover.
Look ChooseLook(const ButtonState& state);

// One tick of the hover glow. Returns whether the glow timer keeps running; `glow` rises by one
// step while the pointer stays and the glow has not reached its top.
bool GlowTick(float& glow, bool hover, bool& glowing);

// Whether (x, y) hits a pixel that is not fully transparent in a picture of width x height
// pixels whose rows are `stride` pixels apart. Points outside (negative ones included) miss.
bool HitsOpaque(const Argb* pixels, int width, int height, int stride, int x, int y);

}  // namespace imagebutton
