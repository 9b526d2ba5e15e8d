#include "app/MultipleCap.h"

std::array<bool, 3> ChairsAtCap(uint8_t cbLordBid, uint16_t wMultiple, uint16_t wLordUser, const std::array<bool, 3>& bBanged,
                                uint16_t wLimitMultiple)
{
    const bool bLordBanged = wLordUser < 3 && bBanged[wLordUser];
    std::array<bool, 3> atCap{};
    for (uint16_t chair = 0; chair < 3; ++chair) {
        auto stake = static_cast<uint16_t>(cbLordBid * wMultiple);
        if (chair == wLordUser) {
            if (bBanged[chair])
                stake = static_cast<uint16_t>(stake * 4);
            else if (bBanged[(chair + 1) % 3] || bBanged[(chair + 2) % 3])
                stake = static_cast<uint16_t>(stake * 2);
        } else if (bBanged[chair]) {
            stake = static_cast<uint16_t>(stake * 2);
            if (bLordBanged)
                stake = static_cast<uint16_t>(stake * 2);
        }
        atCap[chair] = stake >= wLimitMultiple;
    }
    return atCap;
}
