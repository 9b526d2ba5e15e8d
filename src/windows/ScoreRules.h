#pragma once

// The rules behind the result window that need no window: which room type it shows, what each
// multiplier row reads, the count-up of the balances and the match clocks.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <array>

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

    // The five cells the clock shows: two of minutes, the colon (cell 10), two of seconds.
    std::array<BYTE, 5> Cells() const;

private:
    int m_nRemaining = 0;
    bool m_bActive = false;
};

// ---- Where things go ------------------------------------------------------------------------------

// The places of one seat of the result window. Seat 0 is the local player, seat 1 the chair after
// it and seat 2 the one after that.
struct tagResultSeat {
    CPoint ptFace;
    CPoint ptPenalty;
    CPoint ptName;
    CPoint ptRegion;
    CPoint ptLevel;
    CPoint ptLevelBar;
};
const tagResultSeat& ResultSeat(int nSeat);
// The chair shown at a seat; without a local chair the chairs keep their own order.
WORD ResultSeatChair(WORD wMeChairID, int nSeat);

// The full part of the 73-pixel level bar: the progress percent in the high 16 bits of the level
// word, at least one pixel and never past the bar.
inline constexpr int kLevelBarWidth = 73;
int LevelBarWidth(DWORD dwLevel);

// The cell of the 80 x 80 face sheet: the gender (any nonzero byte is the second one), two
// further on for the landlord. Always one of the sheet's four cells.
int FaceCell(BYTE cbGender, bool bLandlord);

// The doubling mark of a chair that took part: cell 2 for the landlord, 0 for the chair that
// started the doubling, 1 for one that followed.
int DoublingMarkCell(WORD wChairID, WORD wLordUser, WORD wJiaBangUser);

// The penalty marks a penalty kind carries: kind 2 and kind 1, each a bit of the kind.
struct tagPenaltyMarks {
    bool bKindTwo = false;
    bool bKindOne = false;
};
tagPenaltyMarks PenaltyMarks(LONG lPenaltyKind);

// The multiplier block: a row's label, its "x" sign (rows 3 and above) and its value.
CPoint MultiplierLabelAt(int nRow);
CPoint MultiplierSignAt(int nRow);
CPoint MultiplierValueAt(int nRow);
// The firework over a revealed row.
CPoint FireworkAt(int nRow);
