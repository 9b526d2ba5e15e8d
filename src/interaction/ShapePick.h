#pragma once

// The rules of the seven shape buttons beside the hint button, without a window: when each button
// is enabled, and which cards a press raises. The controller keeps the pick state between presses,
// raises the cards and sets the out-card button as the answer says.

#include <array>
#include <cstdint>
#include <functional>

#include "logic/GameLogic.h"

// The seven shape buttons, in button order (ids 111..117).
enum class Shape : uint8_t { Pair, Trio, Line, PairLine, Plane, Bomb, Rocket };
inline constexpr int kShapeCount = 7;
using ShapeFlags = std::array<bool, kShapeCount>;

// Leading: each button is enabled exactly when its predicate holds for the hand (hand as held, display order).
ShapeFlags ShapesWhenLeading(const CGameLogic& logic, const uint8_t hand[], uint8_t count);
// Responding: the buttons that the responding rule enables (true); false means "keep its state".
ShapeFlags ShapesWhenResponding(const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                                const uint8_t turn[], uint8_t turnCount, uint8_t turnType);

// The pick state the controller keeps, cleared when the local player plays or passes.
struct tagShapePickState {
    uint8_t m_bPickPair = 0, m_bPickTrio = 0, m_bPickLine = 0, m_bPickPairLine = 0, m_bPickPlane = 0, m_bPickBomb = 0;
    uint8_t m_cbPairCards[2] = {};
    uint8_t m_cbTrioCards[20] = {};
    uint8_t m_cbTrioCount = 0;
    uint8_t m_cbLineCards[20] = {};
    uint8_t m_cbLineCount = 0;
    uint8_t m_cbLineOffset = 0;  // how many cards of the hand's line list the leading presses have used
    uint8_t m_cbPairLineCards[20] = {};
    uint8_t m_cbPairLineCount = 0;  // pairs when leading, cards when responding
    uint8_t m_cbPlaneCards[20] = {};
    uint8_t m_cbPlaneCount = 0;  // trios when leading, cards when responding
    uint8_t m_cbBombCards[4] = {};
    void Clear();  // everything back to zero
};

// What a press of a shape button does to the hand and the out-card button.
struct tagShapePick {
    bool bRaise = false;  // false: leave the hand as it is
    uint8_t cbCount = 0;  // the cards to raise (exactly these)
    uint8_t cbCards[20] = {};
    enum class OutButton : uint8_t { Leave, Enable, Disable } out = OutButton::Leave;
};

// One press of a shape button; the local player leads when turnCount is 0. `canPlay(cards, n)`
// answers the out-card check for those cards raised (the controller raises them and runs its check).
tagShapePick PickShape(Shape shape, const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                       const uint8_t turn[], uint8_t turnCount, tagShapePickState& state,
                       const std::function<bool(const uint8_t*, uint8_t)>& canPlay);

// The hand's disjoint lines, highest line first, each from its top card down with one card per
// rank. The leading line button walks this list from its end.
uint8_t BuildLineList(const CGameLogic& logic, const uint8_t hand[], uint8_t count, uint8_t lines[20]);
