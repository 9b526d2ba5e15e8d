#pragma once

// The rules of the mission panels that need no window: what a 712-byte mission record says, read
// without trusting it (texts without their NUL, difficulties, counts, times and states out of
// range), and the texts, buttons and clocks the task window and the mission dialog show for it.
// Texts from the record stay GBK bytes; the labels made here are UTF-8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/GameRecords.h"

namespace mission {

// Where the fields beyond the four the game window reads lie in a record.
inline constexpr std::size_t kAtDifficulty = 2, kAtGold = 20, kAtLottery = 24, kAtProps = 28, kAtTheme = 32,
                             kAtDescribe = 74, kAtMethod = 276, kAtFinished = 478, kAtDoneCount = 708,
                             kAtTotalCount = 709;
inline constexpr std::size_t kThemeSize = 42, kDescribeSize = 202, kMethodSize = 202, kFinishedSize = 230;

inline constexpr uint8_t kKindChallenge = 1, kKindDaily = 2;
inline constexpr uint8_t kStateNone = 0, kStateOffered = 1, kStateRunning = 2, kStateFailed = 3, kStateDone = 4,
                         kStateCompleted = 5, kStateWaiting = 7;
inline constexpr uint8_t kMaxDifficulty = 8;
// Seconds a done mission's bonus waits before the game window marks it completed.
inline constexpr uint32_t kBonusWaitSeconds = 30;

// A record's fields, each bounded: texts end at their NUL or at their field's end, the progress
// done never exceeds the total.
struct MissionView {
    uint8_t cbKind = 0;
    uint8_t cbState = 0;
    uint8_t cbDifficulty = 0;
    int32_t lTimeLeft = 0;
    int32_t lBonusGold = 0;
    int32_t lBonusLottery = 0;
    int32_t lBonusProp = 0;
    std::string_view theme, describe, method, finishDescribe;
    uint8_t cbDoneCount = 0;
    uint8_t cbTotalCount = 0;
};

// The view borrows the record's bytes: it lives no longer than the record.
MissionView ReadMission(const TaskRecord& record);

// The text of a fixed field up to its first NUL, or all of it when it has none.
std::string_view FieldText(const uint8_t* field, std::size_t size);

// "★★一般" and so on; a difficulty above the hardest reads as the hardest.
std::string_view DifficultyLabel(unsigned difficulty);

// "挑战任务" (kind 1), "每日任务" (kind 2), empty for any other kind.
std::string_view MissionTitle(uint8_t cbKind);

// The title with its progress: "挑战任务(1/3)"; the dialog puts a blank before the bracket.
std::string ProgressTitle(const MissionView& view, bool bSpaced);

// One line "+%ld 金币" (then 奖券, 道具) per nonzero reward, in that order.
std::vector<std::string> RewardLines(const MissionView& view);

// Seconds as "HH:MM:SS" with the hours counted on past a day; anything below 0 is 00:00:00.
std::string FormatClock(int64_t seconds);

// The description shown: the finished one once the mission is done or completed.
std::string_view Description(const MissionView& view);

// The task window's status line for a state (0-7), with the remaining seconds in state 2; empty
// for a state past the table, which the window then leaves out.
std::string TaskStatusText(uint8_t cbState, int32_t lTimeLeft);
// In states 1 and 3 the status is a link that opens the mission dialog.
bool IsStatusLink(uint8_t cbState);

// The mission dialog's status line: the remaining time while running, "任务过期", "任务完成",
// and in state 4 the seconds the bonus still waits (0-30); empty otherwise.
std::string DialogStatusText(uint8_t cbState, int32_t lTimeLeft, uint32_t dwBonusTicks);

// Which of the mission dialog's buttons show for a record.
struct MissionButtons {
    bool bAccept = false;
    bool bNotNow = false;
    bool bRetry = false;
    bool bBonus = false;
    bool bTakeTask = false;
};
MissionButtons ChallengeButtons(uint8_t cbState, uint32_t dwBonusTicks);
MissionButtons DailyButtons(uint8_t cbState, uint32_t dwBonusTicks);

// One second of the task window's own clock for a running record: counts the time down, or once
// it is out marks the record waiting (state 7) and returns false so the clock stops.
bool TickTaskClock(TaskRecord& record);

// The row (0-based) of the award tips picture for an award kind (1-based); a kind past the
// picture shows its last row, kind 0 or a picture without rows none.
std::optional<int> AwardTipsRow(unsigned awardKind, int rowCount);

}  // namespace mission
