#pragma once

// What the table shows, decided without a painter: which cells a number is drawn with, which
// bubble word and doubling marks a seat gets, where the numbers go, the texts of the seat
// information and of the two panels, the card counter's cells and the prize digits. The draw pass
// (ViewPaint.cpp, ViewPanels.cpp) applies these; keeping them here lets them be tested alone.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace table {

inline constexpr int kSeats = 3;
inline constexpr WORD kNoSeat = 0xFFFF;

// ---- Digit strips ----------------------------------------------------------------------------------

// A strip holds the digits in cells 0-9, a plus sign in cell 10 and a minus sign in cell 11.
inline constexpr int kPlusCell = 10;
inline constexpr int kMinusCell = 11;

struct NumberCells {
    // A sign and the nineteen digits of the largest 64-bit value.
    std::array<uint8_t, 21> cells{};
    int count = 0;
};

// The cells of a number left to right: the sign (a plus only when asked for and the value is
// above 0), then its decimal digits (one for 0).
NumberCells CellsOfNumber(int64_t value, bool withPlus);
// The width those cells take.
int MeasureNumber(int64_t value, int cellWidth, bool withPlus);

// ---- Seat marks --------------------------------------------------------------------------------------

struct SeatMarks {
    bool bBang = false;       // the seat made a doubling call
    bool bPassed = false;     // the seat passed on this trick
    BYTE cbBid = 0;           // 0 none, 1-3 points, 255 gave up
    DWORD dwAlarmCards = 0;   // cards left when its few-cards alarm was raised, 0 none
    BYTE cbAlarmPlay = 0;     // the play count then
};

struct TableMarks {
    WORD wLordSeat = kNoSeat;
    WORD wBangSeat = kNoSeat;  // the first doubling call
    BYTE cbPlayCount = 0;
    bool bGameEnded = false;
};

// The words of "SCORE.png", by row.
enum BubbleWord : int {
    kBubbleNone = -1,
    kBubblePassed = 1,
    kBubbleFollowBang = 3,
    kBubbleLordBang = 4,
    kBubbleFirstBang = 5,
    kBubbleGaveUp = 6,
    kBubbleAlarm = 10,
};

// The word a seat's bubble shows, or kBubbleNone for no bubble: the first case that holds of a
// doubling call early in the game, a pass, a bid (gave up, or 3, 2, 1 as rows 7, 8, 9) and a
// fresh few-cards alarm.
int BubbleWordRow(int seat, const SeatMarks& seatMarks, const TableMarks& table);
// Where a seat's bubble picture goes for its bid mark point (the word goes at the point itself).
CPoint BubbleOrigin(int seat, CPoint bidMark);

// The two rows of "JiaBang.png" a seat that made a doubling call shows.
struct BangRows {
    int first = 0;
    int second = 3;
};
BangRows BangMarkRows(int seat, const TableMarks& table, bool bLordBanged);

// ---- Number places ----------------------------------------------------------------------------------

// The landlord's bid and the multiple on the plaque at the top; a two-digit multiple starts a
// cell further left so that both stay centred on the plaque.
CPoint LordBidAt(int layoutWidth);
CPoint MultipleAt(int width, int multiple);
// A side seat's card count below its small card back; one digit sits 10 pixels further right.
CPoint CardCountAt(int seat, CPoint playedCards, int count);

// ---- Seat information ------------------------------------------------------------------------------

struct TextItem {
    std::string text;
    CRect rect;
    UINT format = 0;
    COLORREF colour = 0;
};

// What a seat's information lines show of its user. Texts are UTF-8.
struct SeatUser {
    std::string name;
    std::string region[2];
    int level = 0;
    int progress = 0;  // percent of the way to the next level
    LONG lScore = 0;
    LONG lGold = 0;
    LONG lLottery = 0;
};

struct SeatInfoLayout {
    std::vector<TextItem> texts;
    bool bLevelBar = false;
    CPoint levelBarAt;
    int nLevelFill = 0;  // pixels of the full bar drawn over the empty one
};

inline constexpr COLORREF kSeatInfoText = RGB(0xFA, 0xFA, 0xFA);
inline constexpr COLORREF kLevelText = 0x98E6F6;

// The lines of a seat's information panel at (x, y), w wide. A null user gives the lines of a
// seat whose player is not named ("匿名", "-", ...). bScoreMode is a table that counts match
// points instead of gold; the lottery tickets line is the local seat's alone.
SeatInfoLayout SeatInfoLines(const SeatUser* user, int x, int y, int w, int seat, bool bScoreMode, int levelBarWidth);
// The two region strings joined, or "其他地区" when both are empty.
std::string RegionText(std::string_view first, std::string_view second);
// The pixels of a level bar barWidth wide that show the progress (at least one).
int LevelBarFill(int barWidth, int progress);

// ---- Panels ----------------------------------------------------------------------------------------

inline constexpr int kPanelWidth = 274;
inline constexpr int kPanelHeight = 72;
inline constexpr COLORREF kPanelBack = 0x1B2940;
inline constexpr COLORREF kPanelText = 0x8AD6EF;
inline constexpr COLORREF kPanelHighlight = 0xE7E3EE;

struct ScoreSeat {
    bool bPresent = false;
    std::string name;
    LONG lSecond = 0;  // the match value in a match of mode 3, else the last game's score
    LONG lScore = 0;
};

// The headings and rows of the score panel: the local player first, then the right player, then
// the left one; the other players show neither name nor scores.
std::vector<TextItem> ScorePanelTexts(const ScoreSeat (&seats)[kSeats], bool bRankMode);
// The panel row of a seat.
int ScorePanelRow(int seat);

// The countdown as hours (without days), minutes and seconds, two digits each.
std::string FormatCountdown(int64_t seconds);

struct MatchPanelData {
    int nGameMode = 0;
    DWORD dwStage = 0;
    DWORD dwRound = 0;
    DWORD dwRoundCount = 0;
    DWORD dwRank = 0;
    DWORD dwRankTotal = 0;
    int64_t llCountdown = 0;
    DWORD dwSeatValue = 0;     // the local seat's match value
    LONG lGamesPlayed = 0;     // the local user's games, 0 without one
    LONG lRoundTotal = 0;
    LONG lScore = 0;           // the local user's score, 0 without one
};

enum class MatchPicture { None, Prize, Match };

struct MatchPanelLayout {
    MatchPicture picture = MatchPicture::None;
    std::vector<TextItem> lines;
};

// The match panel's picture and lines for the table's mode; a mode without a panel is blank.
MatchPanelLayout MatchPanelLines(const MatchPanelData& data);

// ---- Card counter ------------------------------------------------------------------------------------

inline constexpr int kCounterSlots = 15;

struct CounterCell {
    int n = 0;           // the number shown
    bool bGreyed = false;
    bool bFramed = false;
};

// The counter's fifteen cells. The local hand is taken out of the counts first, so that they tell
// what the two other players hold (mode 0, cards not yet played) or cannot hold (mode 1, cards
// played); a rank whose four cards are all with the others is framed. Hand bytes that are not
// cards are left out.
std::array<CounterCell, kCounterSlots> CounterCells(const BYTE (&out)[kCounterSlots], const BYTE (&left)[kCounterSlots],
    const BYTE* hand, int handCount, int mode);

// ---- Prize digits ------------------------------------------------------------------------------------

inline constexpr int kPrizeCells = 9;

struct PrizeDigits {
    int nDigits = 1;
    // Strip offsets by cell, units first: (9 - digit) cell heights for the value's digits, 0 for
    // the cells beyond them (which show 0 all the same).
    std::array<int, kPrizeCells> offsets{};
};

// A value longer than nine digits shows its last nine; a negative one its digits.
PrizeDigits PrizeDigitsOf(int32_t value, int cellHeight);
// The left edge of prize cell k (k = 0 the units).
int PrizeCellX(int k, int cellWidth);

// A cell at strip offset `offset` shows the strip's rows from there; near the end of the strip it
// wraps round to the first rows. At most two pieces.
struct StripPiece {
    int srcY = 0;
    int height = 0;
    int destY = 0;  // from the top of the cell
};
std::vector<StripPiece> RollPieces(int offset, int cellHeight, int stripHeight);

}  // namespace table
