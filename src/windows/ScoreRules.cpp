#include "windows/ScoreRules.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

LONG Clamp32(long long value)
{
    return static_cast<LONG>(std::clamp<long long>(value, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

}  // namespace

WORD ResultRoomType(WORD wGameType, LONG lCellScore)
{
    if (wGameType == 4 || wGameType == 8 || (wGameType == ROOM_PLAIN && lCellScore >= 10))
        return ROOM_PRIZE;
    return wGameType;
}

LONG ShownMultiple(int nRow, BYTE cbValue)
{
    if (cbValue == 0)
        return 0;
    if (nRow == 0 || nRow == 1)
        return 2;
    if (nRow == 2)
        return 4;
    return cbValue >= 31 ? std::numeric_limits<LONG>::max() : static_cast<LONG>(1u << cbValue);
}

LONG ScoreLessFee(LONG lScore, LONG lFee)
{
    return Clamp32(static_cast<long long>(lScore) - lFee);
}

LONG AbsoluteScore(LONG lScore)
{
    return Clamp32(lScore < 0 ? -static_cast<long long>(lScore) : lScore);
}

LONG CountTowardZero(LONG lRemain, LONG lStep)
{
    if (lStep <= 0)
        return lRemain;
    if (lRemain > 0)
        return lRemain > lStep ? lRemain - lStep : 0;
    return lRemain < -lStep ? lRemain + lStep : 0;
}

LONG CountedBalance(LONG lBalance, LONG lGain, LONG lRemain)
{
    return Clamp32(static_cast<long long>(lBalance) + lGain - lRemain);
}

void CMatchClock::Start(int nMinutesPlayed, int nSecondsPlayed)
{
    const long long played = static_cast<long long>(nMinutesPlayed) * 60 + nSecondsPlayed;
    m_nRemaining = static_cast<int>(std::clamp<long long>(kMatchSeconds - played, 0, kMatchSeconds));
    m_bActive = m_nRemaining > 0;
}

void CMatchClock::Stop()
{
    m_nRemaining = 0;
    m_bActive = false;
}

bool CMatchClock::Tick()
{
    if (m_nRemaining > 0)
        --m_nRemaining;
    m_bActive = m_nRemaining > 0;
    return m_bActive;
}
