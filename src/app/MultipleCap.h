#pragma once

// Which players' stakes have reached the table's cap. Stakes are 16-bit numbers and wrap at 65536
// the way the table's own arithmetic does, so a cap check never reads more into a huge multiple
// than the table would.

#include <array>
#include <cstdint>

// bBanged is by chair: that player has doubled. A landlord chair of 3 or more means "no landlord":
// every chair is then judged as a farmer.
std::array<bool, 3> ChairsAtCap(uint8_t cbLordBid, uint16_t wMultiple, uint16_t wLordUser, const std::array<bool, 3>& bBanged,
                                uint16_t wLimitMultiple);
