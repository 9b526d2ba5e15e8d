#pragma once

// The help a card click gives: a single click while responding raises a whole answer containing
// the clicked card, and a second card next to the first while leading completes a line of five.

#include <optional>

#include "logic/GameLogic.h"

// Responding: the player raised exactly one card (clicked) with none raised before. Returns the cards
// to raise, or nullopt to leave the selection as the player made it.
std::optional<OutCardResult> HelpResponseClick(const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                                               const uint8_t turn[], uint8_t turnCount, uint8_t clicked);

// Leading: two cards raised now (one before); completes a line of five when the two are neighbours
// below the twos and neither rank is held more than twice, else nullopt. The five cards come in rank
// order.
std::optional<OutCardResult> CompleteLineOfFive(const CGameLogic& logic, const uint8_t hand[], uint8_t count,
                                                const uint8_t raised[2]);
