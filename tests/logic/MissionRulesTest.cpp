#include <gtest/gtest.h>

#include <cstring>

#include "logic/MissionRules.h"

using namespace mission;

namespace {

TaskRecord Record(uint8_t kind, uint8_t state)
{
    TaskRecord record{};
    record.cbTaskKind = kind;
    record.cbTaskState = state;
    return record;
}

uint8_t* Bytes(TaskRecord& record) { return reinterpret_cast<uint8_t*>(&record); }

void PutI32(TaskRecord& record, std::size_t at, int32_t value) { std::memcpy(Bytes(record) + at, &value, sizeof(value)); }

}  // namespace

TEST(MissionRecord, TextsEndAtTheirNulOrTheirField)
{
    TaskRecord record = Record(1, 2);
    std::memcpy(Bytes(record) + kAtTheme, "abc", 4);
    // The method fills its field without a NUL; the finished text after it must not run on.
    std::memset(Bytes(record) + kAtMethod, 'm', kMethodSize);
    std::memset(Bytes(record) + kAtFinished, 'f', kFinishedSize);
    const MissionView view = ReadMission(record);
    EXPECT_EQ(view.theme, "abc");
    EXPECT_EQ(view.describe, "");
    EXPECT_EQ(view.method, std::string(kMethodSize, 'm'));
    // The last text ends where the counts begin.
    EXPECT_EQ(view.finishDescribe, std::string(kFinishedSize, 'f'));
}

TEST(MissionRecord, DifficultyAndProgressAreBounded)
{
    TaskRecord record = Record(2, 1);
    Bytes(record)[kAtDifficulty] = 200;
    Bytes(record)[kAtDoneCount] = 9;
    Bytes(record)[kAtTotalCount] = 3;
    const MissionView view = ReadMission(record);
    EXPECT_EQ(DifficultyLabel(view.cbDifficulty), "★★★★★极难");
    EXPECT_EQ(DifficultyLabel(0), "★容易");
    EXPECT_EQ(DifficultyLabel(3), "★★☆一般");
    EXPECT_EQ(ProgressTitle(view, false), "每日任务(3/3)");
    EXPECT_EQ(ProgressTitle(view, true), "每日任务 (3/3)");
    EXPECT_EQ(MissionTitle(3), "");
}

TEST(MissionRecord, RewardLinesOnlyForNonzeroRewards)
{
    TaskRecord record = Record(1, 1);
    PutI32(record, kAtLottery, 500);
    PutI32(record, kAtProps, 1);
    EXPECT_EQ(RewardLines(ReadMission(record)), (std::vector<std::string>{"+500 奖券", "+1 道具"}));
    PutI32(record, kAtGold, -2147483647 - 1);
    EXPECT_EQ(RewardLines(ReadMission(record)).front(), "+-2147483648 金币");
}

TEST(MissionRecord, DescriptionFollowsTheState)
{
    TaskRecord record = Record(1, 2);
    std::memcpy(Bytes(record) + kAtDescribe, "d", 2);
    std::memcpy(Bytes(record) + kAtFinished, "f", 2);
    EXPECT_EQ(Description(ReadMission(record)), "d");
    record.cbTaskState = kStateDone;
    EXPECT_EQ(Description(ReadMission(record)), "f");
    record.cbTaskState = kStateCompleted;
    EXPECT_EQ(Description(ReadMission(record)), "f");
}

TEST(MissionClock, FormatsAnyTime)
{
    EXPECT_EQ(FormatClock(65), "00:01:05");
    EXPECT_EQ(FormatClock(0), "00:00:00");
    EXPECT_EQ(FormatClock(-5), "00:00:00");
    EXPECT_EQ(FormatClock(90061), "25:01:01");
    EXPECT_EQ(FormatClock(2147483647), "596523:14:07");
}

TEST(MissionClock, TaskWindowCountsDownThenWaits)
{
    TaskRecord record = Record(2, kStateRunning);
    record.lTimeLeft = 65;
    EXPECT_EQ(TaskStatusText(record.cbTaskState, record.lTimeLeft), "剩余时间: 00:01:05");
    int ticks = 0;
    while (TickTaskClock(record))
        ++ticks;
    EXPECT_EQ(ticks + 1, 66);
    EXPECT_EQ(TaskStatusText(record.cbTaskState, record.lTimeLeft), "等待中...");

    TaskRecord negative = Record(1, kStateRunning);
    negative.lTimeLeft = -100;
    EXPECT_FALSE(TickTaskClock(negative));
    EXPECT_EQ(negative.cbTaskState, kStateWaiting);
}

TEST(MissionStatus, TaskWindowTextsAndLinks)
{
    EXPECT_EQ(TaskStatusText(0, 0), "没有任务");
    EXPECT_EQ(TaskStatusText(6, 0), "任务未接");
    EXPECT_EQ(TaskStatusText(8, 0), "");
    EXPECT_EQ(TaskStatusText(255, 0), "");
    EXPECT_TRUE(IsStatusLink(1));
    EXPECT_TRUE(IsStatusLink(3));
    EXPECT_FALSE(IsStatusLink(6));
    EXPECT_FALSE(IsStatusLink(2));
}

TEST(MissionStatus, DialogTextsAndBonusCountdown)
{
    EXPECT_EQ(DialogStatusText(kStateRunning, 3600, 0), "剩余时间: 01:00:00");
    EXPECT_EQ(DialogStatusText(kStateFailed, 0, 0), "任务过期");
    EXPECT_EQ(DialogStatusText(kStateCompleted, 0, 0), "任务完成");
    EXPECT_EQ(DialogStatusText(kStateDone, 0, 12), "18");
    EXPECT_EQ(DialogStatusText(kStateDone, 0, 1000), "0");
    EXPECT_EQ(DialogStatusText(kStateOffered, 0, 0), "");
    EXPECT_EQ(DialogStatusText(200, 0, 0), "");
}

TEST(MissionButtons, ByStateOnEachPage)
{
    const MissionButtons offered = ChallengeButtons(kStateOffered, 0);
    EXPECT_TRUE(offered.bAccept && offered.bNotNow && !offered.bRetry && !offered.bBonus && !offered.bTakeTask);
    const MissionButtons failed = ChallengeButtons(kStateFailed, 0);
    EXPECT_TRUE(failed.bRetry && failed.bNotNow && !failed.bAccept);
    for (uint8_t state : {0, 2, 5, 6, 7, 8, 255}) {
        const MissionButtons none = ChallengeButtons(state, 5);
        EXPECT_FALSE(none.bAccept || none.bNotNow || none.bRetry || none.bBonus || none.bTakeTask) << int(state);
    }
    // The bonus waits for the first tick of the game window's bonus clock.
    EXPECT_FALSE(ChallengeButtons(kStateDone, 0).bBonus);
    EXPECT_TRUE(ChallengeButtons(kStateDone, 1).bBonus);
    EXPECT_TRUE(DailyButtons(kStateDone, 1).bBonus);
    EXPECT_FALSE(DailyButtons(kStateDone, 0).bBonus);
    const MissionButtons daily = DailyButtons(kStateOffered, 0);
    EXPECT_TRUE(daily.bTakeTask && !daily.bAccept && !daily.bNotNow);
    EXPECT_FALSE(DailyButtons(kStateFailed, 0).bTakeTask);
}

TEST(MissionAward, TipsRowIsBoundedByThePicture)
{
    EXPECT_EQ(AwardTipsRow(3, 5), 2);
    EXPECT_EQ(AwardTipsRow(1, 5), 0);
    EXPECT_EQ(AwardTipsRow(255, 5), 4);
    EXPECT_EQ(AwardTipsRow(0, 5), std::nullopt);
    EXPECT_EQ(AwardTipsRow(2, 0), std::nullopt);
}
