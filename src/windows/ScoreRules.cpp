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

std::array<BYTE, 5> CMatchClock::Cells() const
{
    const int minutes = std::clamp(GetMinutes(), 0, 99);
    const int seconds = std::clamp(GetSeconds(), 0, 59);
    return {static_cast<BYTE>(minutes / 10), static_cast<BYTE>(minutes % 10), 10, static_cast<BYTE>(seconds / 10),
        static_cast<BYTE>(seconds % 10)};
}

const tagResultSeat& ResultSeat(int nSeat)
{
    static constexpr tagResultSeat seats[3] = {
        {{85, 253}, {125, 228}, {85, 370}, {85, 393}, {85, 416}, {150, 414}},
        {{28, 491}, {138, 491}, {25, 603}, {25, 622}, {25, 641}, {91, 640}},
        {{363, 491}, {473, 491}, {360, 603}, {360, 622}, {360, 641}, {427, 640}},
    };
    return seats[std::clamp(nSeat, 0, 2)];
}

WORD ResultSeatChair(WORD wMeChairID, int nSeat)
{
    const int seat = std::clamp(nSeat, 0, 2);
    if (wMeChairID >= 3)
        return static_cast<WORD>(seat);
    return static_cast<WORD>((wMeChairID + seat) % 3);
}

int LevelBarWidth(DWORD dwLevel)
{
    const long long percent = dwLevel >> 16;
    return static_cast<int>(std::clamp<long long>(percent * kLevelBarWidth / 100, 1, kLevelBarWidth));
}

int FaceCell(BYTE cbGender, bool bLandlord)
{
    return (cbGender != 0 ? 1 : 0) + (bLandlord ? 2 : 0);
}

int DoublingMarkCell(WORD wChairID, WORD wLordUser, WORD wJiaBangUser)
{
    if (wChairID == wLordUser)
        return 2;
    return wChairID == wJiaBangUser ? 0 : 1;
}

tagPenaltyMarks PenaltyMarks(LONG lPenaltyKind)
{
    return {(lPenaltyKind & 2) != 0, (lPenaltyKind & 1) != 0};
}

CPoint MultiplierLabelAt(int nRow)
{
    return {760, 360 + 31 * nRow};
}

CPoint MultiplierSignAt(int nRow)
{
    return {845, 361 + 31 * nRow};
}

CPoint MultiplierValueAt(int nRow)
{
    return {920, 361 + 31 * nRow};
}

CPoint FireworkAt(int nRow)
{
    return {690, 360 + 31 * nRow - 30};
}
