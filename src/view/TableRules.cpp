#include "view/TableRules.h"

#include "logic/GameLogic.h"

#include <algorithm>
#include <cstdio>

namespace table {

namespace {

std::string Format(const char* format, long long value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Format(const char* format, long long first, long long second)
{
    char text[96];
    std::snprintf(text, sizeof(text), format, first, second);
    return text;
}

}  // namespace

// ---- Digit strips ----------------------------------------------------------------------------------

NumberCells CellsOfNumber(int64_t value, bool withPlus)
{
    NumberCells result;
    if (withPlus && value > 0)
        result.cells[result.count++] = kPlusCell;
    else if (value < 0)
        result.cells[result.count++] = kMinusCell;
    // Unsigned, so that the most negative value has a magnitude too.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    uint8_t digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<uint8_t>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0)
        result.cells[result.count++] = digits[--n];
    return result;
}

int MeasureNumber(int64_t value, int cellWidth, bool withPlus)
{
    return CellsOfNumber(value, withPlus).count * cellWidth;
}

// ---- Seat marks --------------------------------------------------------------------------------------

int BubbleWordRow(int seat, const SeatMarks& marks, const TableMarks& table)
{
    // Doubling calls are news only until the play is under way.
    if (marks.bBang && table.cbPlayCount < 2) {
        if (seat == table.wLordSeat)
            return kBubbleLordBang;
        return seat == table.wBangSeat ? kBubbleFirstBang : kBubbleFollowBang;
    }
    if (marks.bPassed)
        return kBubblePassed;
    if (marks.cbBid == 255)
        return kBubbleGaveUp;
    if (marks.cbBid >= 1 && marks.cbBid <= 3)
        return 10 - marks.cbBid;
    // The alarm is shown for the next three plays after it was raised.
    if (marks.dwAlarmCards != 0 && !table.bGameEnded && table.cbPlayCount - marks.cbAlarmPlay < 3)
        return kBubbleAlarm;
    return kBubbleNone;
}

CPoint BubbleOrigin(int seat, CPoint bidMark)
{
    return CPoint(bidMark.x - 36, bidMark.y - (seat == 1 ? 25 : 48));
}

BangRows BangMarkRows(int seat, const TableMarks& table, bool bLordBanged)
{
    BangRows rows;
    if (seat == table.wLordSeat || bLordBanged)
        rows.first = 2;
    else
        rows.first = seat == table.wBangSeat ? 0 : 1;
    rows.second = rows.first == 2 ? 4 : 3;
    return rows;
}

// ---- Number places ----------------------------------------------------------------------------------

CPoint LordBidAt(int layoutWidth)
{
    return CPoint(layoutWidth / 2 - 73, 35);
}

CPoint MultipleAt(int width, int multiple)
{
    return CPoint(width / 2 + 47 - (multiple <= 9 ? 13 : 26), 35);
}

CPoint CardCountAt(int seat, CPoint playedCards, int count)
{
    const int x = playedCards.x + (seat == 0 ? -50 : 10) + (count < 10 ? 10 : 0);
    return CPoint(x, playedCards.y + 82);
}

// ---- Seat information ------------------------------------------------------------------------------

std::string RegionText(std::string_view first, std::string_view second)
{
    if (first.empty() && second.empty())
        return "其他地区";
    std::string text(first);
    text += second;
    return text;
}

int LevelBarFill(int barWidth, int progress)
{
    // Progress beyond 100 percent would draw past the bar.
    const int clamped = std::clamp(progress, 0, 100);
    return std::max(1, barWidth * clamped / 100);
}

SeatInfoLayout SeatInfoLines(const SeatUser* user, int x, int y, int w, int seat, bool bScoreMode, int levelBarWidth)
{
    SeatInfoLayout layout;
    constexpr UINT kLeft = DT_LEFT | DT_SINGLELINE;
    auto add = [&](std::string text, CRect rect, UINT format, COLORREF colour = kSeatInfoText) {
        layout.texts.push_back(TextItem{std::move(text), rect, format, colour});
    };

    y += 7;
    add(user ? user->name : "匿名", CRect(x - 12, y, x + w - 4, y + 15), DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    w -= 15;
    y += 17;
    add(user ? RegionText(user->region[0], user->region[1]) : "-", CRect(x - 15, y, x + w + 15, y + 15),
        DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    y += 17;
    add(user ? "等级：" : "等级： -", CRect(x, y, x + w, y + 15), kLeft);
    if (user) {
        layout.bLevelBar = true;
        layout.levelBarAt = CPoint(x + 35, y);
        layout.nLevelFill = LevelBarFill(levelBarWidth, user->progress);
        add(Format("%lld", user->level), CRect(x + 40, y, x + w, y + 15), kLeft, kLevelText);
    }
    y += 17;
    if (bScoreMode) {
        add(user ? Format("积分：%lld", user->lScore) : "积分： -", CRect(x, y, x + w, y + 15), kLeft);
        return layout;
    }
    add(user ? Format("金币：%lld", user->lGold) : "金币： -", CRect(x, y, x + w, y + 15), kLeft);
    y += 17;
    if (seat == 1)
        add(user ? Format("奖券：%lld", user->lLottery) : "奖券： -", CRect(x, y, x + w, y + 15), kLeft);
    return layout;
}

// ---- Panels ----------------------------------------------------------------------------------------

int ScorePanelRow(int seat)
{
    return (seat + 2) % kSeats;
}

std::vector<TextItem> ScorePanelTexts(const ScoreSeat (&seats)[kSeats], bool bRankMode)
{
    constexpr UINT kCell = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;
    std::vector<TextItem> texts;
    auto add = [&](std::string text, CRect rect) { texts.push_back(TextItem{std::move(text), rect, kCell, kPanelText}); };
    add("昵称", CRect(5, 4, 125, 22));
    add(bRankMode ? "排  名" : "上一局", CRect(127, 4, 185, 22));
    add(bRankMode ? "积  分" : "总成绩", CRect(187, 4, 277, 22));
    for (int seat = 0; seat < kSeats; ++seat) {
        const ScoreSeat& s = seats[seat];
        if (!s.bPresent)
            continue;
        const int top = 20 + 18 * ScorePanelRow(seat);
        // Only the local player is named at the table.
        const bool own = seat == 1;
        add(own ? s.name : "匿名", CRect(5, top, 125, top + 18));
        add(own ? Format(" %lld", s.lSecond) : "-", CRect(127, top, 185, top + 18));
        add(own ? Format(" %lld", s.lScore) : "-", CRect(187, top, 277, top + 18));
    }
    return texts;
}

std::string FormatCountdown(int64_t seconds)
{
    const int64_t s = std::max<int64_t>(seconds, 0);
    char text[16];
    std::snprintf(text, sizeof(text), "%02d:%02d:%02d", static_cast<int>(s / 3600 % 24), static_cast<int>(s / 60 % 60),
        static_cast<int>(s % 60));
    return text;
}

MatchPanelLayout MatchPanelLines(const MatchPanelData& d)
{
    MatchPanelLayout layout;
    int x = 50;
    int y = 10;
    int step = 20;
    auto line = [&](std::string text, COLORREF colour = kPanelText) {
        const int top = y + step * static_cast<int>(layout.lines.size());
        layout.lines.push_back(TextItem{std::move(text), CRect(x, top, kPanelWidth, top + step), DT_LEFT | DT_SINGLELINE, colour});
    };
    auto countdown = [&](const char* prefix, const char* atZero, const char* closing) {
        if (d.llCountdown > 0)
            return prefix + FormatCountdown(d.llCountdown);
        return std::string(d.llCountdown == 0 ? atZero : closing);
    };
    const long long rank = d.dwRank;
    const long long rankTotal = d.dwRankTotal;

    switch (d.nGameMode) {
    case 1:
    case 6:
        line(Format("你当前的排名 ：%lld/%lld", rank, rankTotal));
        if (d.dwStage == 0) {
            line(Format("              总决赛%lld/%lld", 0, d.dwRoundCount));
            line(Format("你目前处于   ：预选赛%lld/%lld", d.dwRound, d.dwRoundCount), kPanelHighlight);
        } else if (d.dwStage == 1) {
            line(Format("你目前处于   ：总决赛%lld/%lld", d.dwRound, d.dwRoundCount), kPanelHighlight);
            line(Format("              预选赛%lld/%lld", d.dwRoundCount, d.dwRoundCount));
        }
        break;
    case 3:
        line(countdown("比赛倒计时   ：", "比赛倒计时\t：等待颁奖", "比赛倒计时\t：关闭中"));
        // No message names the field count of this mode; the rank total of the last status
        // stands in for it.
        line(Format("你当前的排名 ：%lld/%lld", d.dwSeatValue, rankTotal));
        break;
    case 4:
        layout.picture = MatchPicture::Prize;
        x = 106, y = 5, step = 17;
        line(countdown("\t\t\t\t", "\t\t\t\t等待颁奖", "\t\t\t\t关闭中"));
        line(Format("\t\t\t\t%lld/%lld", d.lGamesPlayed, d.lRoundTotal));
        line(Format("\t\t\t\t%lld/%lld", rank, rankTotal));
        line(Format("\t\t\t\t%lld", d.lScore));
        break;
    case 7:
    case 8:
        layout.picture = MatchPicture::Match;
        x = 106, y = 11, step = 20;
        line(countdown("\t\t\t\t", "\t\t\t\t等待颁奖", "\t\t\t\t关闭中"));
        line(Format("\t\t\t\t%lld/%lld", rank, rankTotal));
        line(Format("\t\t\t\t%lld", d.lScore));
        break;
    default:
        break;
    }
    return layout;
}

// ---- Card counter ------------------------------------------------------------------------------------

std::array<CounterCell, kCounterSlots> CounterCells(const BYTE (&out)[kCounterSlots], const BYTE (&left)[kCounterSlots],
    const BYTE* hand, int handCount, int mode)
{
    static const CGameLogic logic;
    int othersHold[kCounterSlots];
    int cannotHold[kCounterSlots];
    for (int k = 0; k < kCounterSlots; ++k) {
        othersHold[k] = left[k];
        cannotHold[k] = out[k];
    }
    for (int i = 0; hand && i < std::min(handCount, 20); ++i) {
        const int slot = logic.CounterSlot(hand[i]);
        if (slot >= kCounterSlots)
            continue;
        // A counter that disagrees with the hand (a card counted as played that the player
        // still holds) stays at 0 rather than wrapping round.
        othersHold[slot] = std::max(0, othersHold[slot] - 1);
        ++cannotHold[slot];
    }

    std::array<CounterCell, kCounterSlots> cells;
    for (int k = 0; k < kCounterSlots; ++k) {
        const bool joker = k >= 13;
        CounterCell& cell = cells[k];
        if (mode == 0) {
            cell.n = left[k];
            cell.bGreyed = cell.n == 0;
            cell.bFramed = !joker && othersHold[k] == 4;
        } else {
            cell.n = out[k];
            cell.bGreyed = cell.n == 4 || (joker && cell.n == 1);
            cell.bFramed = !joker && cannotHold[k] == 0;
        }
    }
    return cells;
}

// ---- Prize digits ------------------------------------------------------------------------------------

PrizeDigits PrizeDigitsOf(int32_t value, int cellHeight)
{
    PrizeDigits result;
    int64_t rest = value < 0 ? -static_cast<int64_t>(value) : value;
    result.nDigits = 1;
    for (int cell = 0; cell < kPrizeCells; ++cell) {
        const bool digit = rest > 0 || cell == 0;
        if (digit)
            result.nDigits = cell + 1;
        result.offsets[cell] = digit ? (9 - static_cast<int>(rest % 10)) * cellHeight : 0;
        rest /= 10;
    }
    return result;
}

int PrizeCellX(int k, int cellWidth)
{
    return 612 - (cellWidth + 2) * k;
}

std::vector<StripPiece> RollPieces(int offset, int cellHeight, int stripHeight)
{
    if (cellHeight <= 0 || stripHeight <= 0)
        return {};
    offset = ((offset % stripHeight) + stripHeight) % stripHeight;
    if (offset <= stripHeight - cellHeight)
        return {StripPiece{offset, cellHeight, 0}};
    const int tail = stripHeight - offset;
    return {StripPiece{offset, tail, 0}, StripPiece{0, cellHeight - tail, tail}};
}

}  // namespace table
