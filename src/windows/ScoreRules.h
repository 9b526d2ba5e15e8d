#pragma once

// The rules behind the result window that need no window: which room type it shows, what each
// multiplier row reads, the count-up of the balances and the match clocks.

#include "platform/WinDefs.h"

// Room types the result window tells apart.
inline constexpr WORD ROOM_PLAIN = 0;
inline constexpr WORD ROOM_MATCH = 1;       // a match round: its banner, no quit button
inline constexpr WORD ROOM_NET_BAR = 3;
inline constexpr WORD ROOM_TIMED_MATCH = 5; // the match clocks run
inline constexpr WORD ROOM_NO_FEE = 7;      // no fee, no penalty marks
inline constexpr WORD ROOM_PRIZE = 100;     // the balances count up

// Types 4 and 8, and type 0 with a cell score of 10 or more, are prize rooms.
WORD ResultRoomType(WORD wGameType, LONG lCellScore);

inline constexpr int kMultipleRows = 8;

// The value row nRow shows for its byte: rows 0 and 1 show 2 and row 2 shows 4 when set; rows 3-7
// show 2 to the power of the byte. An unset row shows 0. Powers past the 32-bit range stop at
// its largest value.
LONG ShownMultiple(int nRow, BYTE cbValue);

// A score less the fee, and the size of a score, held to the 32-bit range (the server's numbers
// are not trusted to leave room).
LONG ScoreLessFee(LONG lScore, LONG lFee);
LONG AbsoluteScore(LONG lScore);

// One step of the balances' count-up: the remainder moves toward 0 by lStep without passing it.
LONG CountTowardZero(LONG lRemain, LONG lStep);
// A balance while lGain is counted into it: lBalance + lGain - lRemain, held to the 32-bit range.
LONG CountedBalance(LONG lBalance, LONG lGain, LONG lRemain);

// A match clock: the time left of a 30-minute match, counted down each second.
class CMatchClock {
public:
    static constexpr int kMatchSeconds = 1800;

    // Starts with the time already played; a clock with nothing left does not run.
    void Start(int nMinutesPlayed, int nSecondsPlayed);
    void Stop();
    // One second less. False (and no longer running) once the time is up.
    bool Tick();

    int GetRemaining() const { return m_nRemaining; }
    int GetMinutes() const { return m_nRemaining / 60; }
    int GetSeconds() const { return m_nRemaining % 60; }
    bool IsActive() const { return m_bActive; }

    // FIXME: the clock draws its minutes and seconds from a digit strip once the result window
    // draws its real picture; its place and strip are given then.

private:
    int m_nRemaining = 0;
    bool m_bActive = false;
};
