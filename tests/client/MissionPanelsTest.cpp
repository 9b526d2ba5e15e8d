// The game window hands mission records and awards to the task window and the mission dialog:
// every record of a mission kind as it arrives, and the slot again on each tick of its clocks.
#include <gtest/gtest.h>

#include <vector>

#include "common/GameRunner.h"

namespace {

struct Pushed {
    uint8_t kind;
    uint8_t state;
    int32_t left;
    DWORD bonus;
};

struct Panels : ITaskPanel, IMissionPanel {
    void SetTaskRecord(const TaskRecord& record, int value) override
    {
        EXPECT_EQ(value, 100);
        task.push_back({record.cbTaskKind, record.cbTaskState, record.lTimeLeft, 0});
    }
    void ShowAward(BYTE cbKind, LONG lCount) override { awards.push_back({cbKind, 0, lCount, 0}); }
    void SetMissionRunning(bool bRunning) override { running.push_back(bRunning); }
    void PlayCompletion(bool bPlay) override { completion.push_back(bPlay); }
    void SetMissionRecord(const TaskRecord& record, DWORD dwBonusTicks) override
    {
        dialog.push_back({record.cbTaskKind, record.cbTaskState, record.lTimeLeft, dwBonusTicks});
    }
    void ShowMissionResult(BYTE cbState) override { results.push_back(cbState); }

    std::vector<Pushed> task, dialog, awards;
    std::vector<BYTE> results;
    std::vector<bool> running, completion;
};

TaskRecord Record(uint8_t kind, uint8_t state, int32_t limit)
{
    TaskRecord record{};
    record.cbTaskKind = kind;
    record.cbTaskState = state;
    record.lTimeLimit = limit;
    return record;
}

class MissionPanelsTest : public ::testing::Test {
protected:
    void SetUp() override { runner.Dialog().SetMissionPanels(&panels, &panels); }
    void TearDown() override { runner.Dialog().SetMissionPanels(nullptr, nullptr); }

    bool Send(uint16_t sub, const void* body, size_t size)
    {
        const bool ok = runner.Dialog().DeliverGameMessage(sub, body, static_cast<WORD>(size));
        runner.Clock().flushPosted();
        return ok;
    }
    bool SendRecord(const TaskRecord& record) { return Send(SUB_S_TASK_RECORD, &record, sizeof(record)); }

    scripted::GameRunner runner;
    Panels panels;
};

TEST_F(MissionPanelsTest, RunningRecordIsPushedOnArrivalAndEveryTick)
{
    ASSERT_TRUE(SendRecord(Record(2, 2, 3)));
    ASSERT_EQ(panels.task.size(), 1u);
    ASSERT_EQ(panels.dialog.size(), 1u);
    EXPECT_EQ(panels.dialog[0].left, 3);
    EXPECT_TRUE(panels.results.empty()) << "the result animation follows the challenge only";
    runner.Clock().advance(5000);
    runner.Clock().flushPosted();
    // Three ticks count down to 0; the fourth finds nothing left and stops the clock.
    ASSERT_EQ(panels.dialog.size(), 5u);
    EXPECT_EQ(panels.dialog[3].left, 0);
    EXPECT_EQ(panels.task.size(), 1u) << "the task window counts on its own clock";
}

TEST_F(MissionPanelsTest, BonusWaitIsPushedUntilTheRecordCompletes)
{
    ASSERT_TRUE(SendRecord(Record(1, 4, 0)));
    runner.Clock().advance(31000);
    runner.Clock().flushPosted();
    ASSERT_EQ(panels.dialog.size(), 31u);
    EXPECT_EQ(panels.dialog[1].bonus, 1u);
    EXPECT_EQ(panels.dialog.back().bonus, 30u);
    EXPECT_EQ(panels.dialog.back().state, 5);
    EXPECT_EQ(panels.results.front(), 4);
    EXPECT_EQ(panels.results.back(), 5);
}

TEST_F(MissionPanelsTest, OtherKindsAndForeignAwardsReachNoPanel)
{
    for (uint8_t kind : {0, 3, 255})
        ASSERT_TRUE(SendRecord(Record(kind, 2, 10)));
    const TaskAward others{1, 2, 0, 500};
    const TaskAward notWon{0, 0, 0, 500};
    ASSERT_TRUE(Send(SUB_S_TASK_AWARD, &others, sizeof(others)));
    ASSERT_TRUE(Send(SUB_S_TASK_AWARD, &notWon, sizeof(notWon)));
    // A short record is refused before it reaches the handler.
    const TaskRecord record = Record(1, 2, 10);
    EXPECT_FALSE(Send(SUB_S_TASK_AWARD, &record, 7));
    runner.Clock().advance(3000);
    runner.Clock().flushPosted();
    EXPECT_TRUE(panels.task.empty() && panels.dialog.empty() && panels.awards.empty());

    const TaskAward mine{0, 3, 0, 500};
    ASSERT_TRUE(Send(SUB_S_TASK_AWARD, &mine, sizeof(mine)));
    ASSERT_EQ(panels.awards.size(), 1u);
    EXPECT_EQ(panels.awards[0].kind, 3);
    EXPECT_EQ(panels.awards[0].left, 500);
}

TEST_F(MissionPanelsTest, OnlyARewardOfTheLocalPlayerLetsTheTaskCartoonPlay)
{
    const BYTE& cartoon = runner.Dialog().GetClientView().m_bTaskCartoon;
    const TaskAward others{1, 2, 0, 500};
    const TaskAward nothing{0, 2, 0, 0};
    ASSERT_TRUE(Send(SUB_S_TASK_AWARD, &others, sizeof(others)));
    ASSERT_TRUE(Send(SUB_S_TASK_AWARD, &nothing, sizeof(nothing)));
    EXPECT_EQ(cartoon, 0);
    const TaskAward mine{0, 2, 0, 100};
    ASSERT_TRUE(Send(SUB_S_TASK_AWARD, &mine, sizeof(mine)));
    EXPECT_EQ(cartoon, 1);
}

TEST_F(MissionPanelsTest, SnapshotTellsWhetherAMissionRuns)
{
    StatusFree scene{};
    scene.dwHasMission = 1;
    runner.Dialog().DeliverSceneMessage(GS_FREE, false, &scene, sizeof(scene));
    scene.dwHasMission = 0;
    runner.Dialog().DeliverSceneMessage(GS_FREE, false, &scene, sizeof(scene));
    EXPECT_EQ(panels.running, (std::vector<bool>{true, false}));
}

}  // namespace

namespace {

TEST_F(MissionPanelsTest, TaskPaidThisGamePlaysUntilTheResultWindowShows)
{
    GameEndRecord end{};
    end.cbTaskFlag[1] = 4;
    ASSERT_TRUE(Send(SUB_S_GAME_END, &end, sizeof(end)));
    EXPECT_TRUE(panels.completion.empty()) << "another chair's task";
    end.cbTaskFlag[0] = 4;
    ASSERT_TRUE(Send(SUB_S_GAME_END, &end, sizeof(end)));
    EXPECT_EQ(panels.completion, (std::vector<bool>{true}));
    runner.Clock().advance(6000);
    runner.Clock().flushPosted();
    EXPECT_EQ(panels.completion, (std::vector<bool>{true, false}));
}

}  // namespace
