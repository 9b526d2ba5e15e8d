#pragma once

// Sound file names of the voice lines and play effects, as the program writes them (with
// backslashes; the path resolver maps them to files). The controller plays what these return.

#include <cstdint>
#include <functional>
#include <string>

#include "logic/GameLogic.h"

// A random variant 0 or 1; called only when the name needs one (the controller passes ClientRandom()() % 2).
using VariantSource = std::function<int()>;

// The voice of a play: "Telvo\\Sound\\Standard\\M_3.mp3"; empty for PLAY_INVALID. The cards are sorted
// by rank (the first card's rank names singles and pairs).
std::string PlayVoicePath(const CGameLogic& logic, uint8_t gender, uint8_t dialect, const uint8_t sorted[], uint8_t count,
                          uint8_t type, const VariantSource& variant);
std::string PassVoicePath(uint8_t gender, uint8_t dialect, const VariantSource& variant);
// bid 1, 2, 3 or 255 (no bid); empty for any other value.
std::string BidVoicePath(uint8_t gender, uint8_t dialect, uint8_t bid, const VariantSource& variant);

enum class BangVoice : uint8_t { First, LandlordAnswer, Follow };
std::string BangVoicePath(uint8_t gender, uint8_t dialect, BangVoice kind, const VariantSource& variant);
std::string DangerVoicePath(uint8_t gender, uint8_t dialect, const VariantSource& variant);

// The effect sound of a play: "Telvo\\Sound\\BOMB_CARD.mp3", ROCKET, PLANE (trio types of more than 5
// cards), none ("") for the trio types of 5 or fewer, OUT_CARD otherwise.
std::string PlayEffectPath(uint8_t type, uint8_t count);
