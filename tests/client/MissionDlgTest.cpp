// The mission dialog: its fade in and out, the buttons each mission state offers on both pages,
// the tabs, the request it sends, the result animation, the newbie list's web pages, dragging, a
// record that is all garbage, and whole modal runs opened through the game window as the task
// window opens them.
#include "common/GameRunner.h"
#include "platform/ModalScript.h"
#include "platform/MouseInput.h"
#include "platform/SkinDialog.h"
#include "support/DataPaths.h"
#include "support/TempFolder.h"
#include "support/TextCodec.h"
#include "windows/MissionDlg.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Mission {
    uint8_t kind = 1;
    uint8_t state = 1;
    uint8_t difficulty = 2;
    int32_t left = 0;
    int32_t gold = 0, lottery = 0, props = 0;
    std::string theme = "连胜";
    std::string describe = "连续赢得三局";
    std::string method = "做地主赢";
    std::string finished = "做得好";
    uint8_t done = 1, total = 3;
};

void PutField(TaskRecord& record, std::size_t at, std::size_t size, const std::string& utf8)
{
    const std::string gbk = Utf8ToGbk(utf8);
    std::memcpy(reinterpret_cast<uint8_t*>(&record) + at, gbk.data(), std::min(gbk.size(), size - 1));
}

TaskRecord Record(const Mission& m)
{
    TaskRecord record{};
    record.cbTaskKind = m.kind;
    record.cbTaskState = m.state;
    record.lTimeLeft = m.left;
    record.lTimeLimit = m.left;
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    bytes[mission::kAtDifficulty] = m.difficulty;
    std::memcpy(bytes + mission::kAtGold, &m.gold, 4);
    std::memcpy(bytes + mission::kAtLottery, &m.lottery, 4);
    std::memcpy(bytes + mission::kAtProps, &m.props, 4);
    PutField(record, mission::kAtTheme, mission::kThemeSize, m.theme);
    PutField(record, mission::kAtDescribe, mission::kDescribeSize, m.describe);
    PutField(record, mission::kAtMethod, mission::kMethodSize, m.method);
    PutField(record, mission::kAtFinished, mission::kFinishedSize, m.finished);
    bytes[mission::kAtDoneCount] = m.done;
    bytes[mission::kAtTotalCount] = m.total;
    return record;
}

// The value of KEY in a dump line ("KEY=VALUE ..."), up to the next blank outside quotes; one
// quoted text loses its quotes.
std::string Value(const std::string& line, const std::string& key)
{
    const std::size_t at = line.find(' ' + key + '=');
    if (at == std::string::npos)
        return "<none>";
    std::size_t end = at + key.size() + 2;
    const std::size_t from = end;
    for (bool quoted = false; end < line.size() && (quoted || line[end] != ' '); ++end) {
        if (line[end] == '\\')
            ++end;
        else if (line[end] == '"')
            quoted = !quoted;
    }
    const std::string value = line.substr(from, end - from);
    if (value.size() >= 2 && value.front() == '"' && value.find('"', 1) == value.size() - 1)
        return value.substr(1, value.size() - 2);
    return value;
}

class MissionDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        runner = std::make_unique<scripted::GameRunner>();
        Game().SetEventSink([this](const std::string& line) { events.push_back(line); });
    }
    void TearDown() override
    {
        SetModalHook(nullptr);
        dialog.reset();
        runner.reset();
        ClearDataFolders();
    }

    CGameClientDlg& Game() { return runner->Dialog(); }
    VirtualTimerHost& Clock() { return runner->Clock(); }
    void Advance(long ms)
    {
        Clock().advance(ms);
        Clock().flushPosted();
    }

    // A modeless dialog over the game window, as a modal run shows it.
    CMissionDlg& Open(BYTE page, const std::vector<Mission>& missions = {}, DWORD bonusTicks = 0)
    {
        dialog = std::make_unique<CMissionDlg>(&Game());
        dialog->SelectPage(page);
        for (const Mission& m : missions)
            dialog->SetMissionRecord(Record(m), bonusTicks);
        EXPECT_TRUE(dialog->Create(CMissionDlg::IDD, &Game()));
        dialog->ShowWindow(SW_SHOW);
        dialog->UpdateWindow();
        return *dialog;
    }
    std::string Dump() const { return WindowDumpLine("CMissionDlg", *dialog); }
    std::string Buttons() const { return Value(Dump(), "buttons"); }
    int Count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }

    TempFolder m_home;
    std::unique_ptr<scripted::GameRunner> runner;
    std::unique_ptr<CMissionDlg> dialog;
    std::vector<std::string> events;
};

// ---- Fading ---------------------------------------------------------------------------------------

TEST_F(MissionDlgTest, FadesInOverSixTicksAndOutFromWhereverItIs)
{
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge);
    EXPECT_EQ(dlg.GetAlpha(), 100);
    Advance(5 * CMissionDlg::kFadeMs);
    EXPECT_EQ(dlg.GetFadeTotal(), 150);
    EXPECT_EQ(dlg.GetAlpha(), 250);
    Advance(CMissionDlg::kFadeMs);
    EXPECT_EQ(dlg.GetAlpha(), 255) << "fully shown after six ticks";
    Advance(10 * CMissionDlg::kFadeMs);
    EXPECT_EQ(dlg.GetFadeTotal(), 180) << "the fade stops when it is shown";

    // Closed two ticks into its fade-in, it fades out from there and a second close changes nothing.
    CMissionDlg& early = Open(CMissionDlg::kPageChallenge);
    Advance(2 * CMissionDlg::kFadeMs);
    ASSERT_TRUE(SimulateControlClick(&early, CMissionDlg::IDC_CLOSE));
    Advance(CMissionDlg::kFadeMs);
    EXPECT_EQ(early.GetFadeTotal(), 30);
    EXPECT_EQ(early.GetAlpha(), 130);
    early.SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(early.HasEnded());
    Advance(CMissionDlg::kFadeMs);
    EXPECT_TRUE(early.HasEnded()) << "closed when the fade reaches 0";
    EXPECT_FALSE(early.IsWindowVisible());
}

// ---- Buttons and tabs ----------------------------------------------------------------------------

TEST_F(MissionDlgTest, EachChallengeStateOffersItsButtons)
{
    struct Case {
        uint8_t state;
        DWORD ticks;
        const char* buttons;
    } const cases[] = {
        {0, 0, "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:-E"},
        {1, 0, "100:VE,101:V-,102:VE,104:VE,105:VE,106:VE,107:-E,108:--,109:--,110:-E,111:-E"},
        {2, 0, "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:-E"},
        {3, 0, "100:VE,101:V-,102:VE,104:VE,105:-E,106:VE,107:VE,108:--,109:--,110:-E,111:-E"},
        {4, 0, "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:-E"},
        {4, 1, "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:VE,111:-E"},
        {5, 30, "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:-E"},
    };
    for (const Case& c : cases) {
        Mission m;
        m.state = c.state;
        Open(CMissionDlg::kPageChallenge, {m}, c.ticks);
        EXPECT_EQ(Buttons(), c.buttons) << "state " << int(c.state) << " ticks " << c.ticks;
    }
}

TEST_F(MissionDlgTest, TheDailyPageTakesATaskOrABonusAndTabsSwitchPages)
{
    Mission daily;
    daily.kind = 2;
    Mission challenge;
    challenge.state = 3;
    CMissionDlg& dlg = Open(CMissionDlg::kPageDaily, {daily, challenge});
    EXPECT_EQ(Buttons(), "100:V-,101:VE,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:VE");

    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAB_CHALLENGE));
    EXPECT_EQ(dlg.GetPage(), CMissionDlg::kPageChallenge);
    EXPECT_EQ(Buttons(), "100:VE,101:V-,102:VE,104:VE,105:-E,106:VE,107:VE,108:--,109:--,110:-E,111:-E");

    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAB_NEWBIE));
    EXPECT_EQ(dlg.GetPage(), CMissionDlg::kPageNewbie);
    // Three entries make one screen page: neither scroll button leads anywhere.
    EXPECT_EQ(Buttons(), "100:VE,101:VE,102:V-,104:VE,105:-E,106:-E,107:-E,108:V-,109:V-,110:-E,111:-E");

    // A daily mission done, its bonus waiting.
    daily.state = 4;
    dlg.SetMissionRecord(Record(daily), 2);
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAB_DAILY));
    EXPECT_EQ(Buttons(), "100:V-,101:VE,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:VE,111:-E");
    EXPECT_EQ(Value(Dump(), "status"), "28");
}

TEST_F(MissionDlgTest, ACollectedBonusStaysAwayUntilTheNextMission)
{
    Mission m;
    m.state = 4;
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge, {m}, 3);
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_BONUS));
    EXPECT_FALSE(dlg.GetDlgItem(CMissionDlg::IDC_BONUS)->IsWindowVisible());
    EXPECT_TRUE(events.empty()) << "the bonus asks nothing of the server";
    // The game window goes on pushing the wait every second.
    dlg.SetMissionRecord(Record(m), 4);
    EXPECT_FALSE(dlg.GetDlgItem(CMissionDlg::IDC_BONUS)->IsWindowVisible());
    // The next mission done starts a new wait, and its bonus shows once the wait has begun.
    dlg.SetMissionRecord(Record(m), 0);
    dlg.SetMissionRecord(Record(m), 1);
    EXPECT_TRUE(dlg.GetDlgItem(CMissionDlg::IDC_BONUS)->IsWindowVisible());
    EXPECT_TRUE(dlg.GetDlgItem(CMissionDlg::IDC_BONUS)->IsWindowEnabled());
}

// ---- Requests ---------------------------------------------------------------------------------------

TEST_F(MissionDlgTest, AcceptRetryAndTakeTaskSendTheUserAndThePageKind)
{
    tagUserData me;
    me.dwUserID = 0x12345678;
    Game().SetUserData(0, &me);

    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge, {Mission{}});
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_ACCEPT));
    EXPECT_EQ(Buttons(), "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:-E");
    const auto& packets = runner->Link().Packets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].wMainCmdID, 2);
    EXPECT_EQ(packets[0].wSubCmdID, 401);
    EXPECT_EQ(packets[0].data, (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12, 1, 0, 0, 0}));
    EXPECT_FALSE(dlg.HasEnded()) << "accepting waits for the server's answer";

    Mission failed;
    failed.state = 3;
    dlg.SetMissionRecord(Record(failed), 0);
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_RETRY));
    EXPECT_EQ(Count("send 2.401 78 56 34 12 01 00 00 00"), 2);

    Mission daily;
    daily.kind = 2;
    dlg.SetMissionRecord(Record(daily), 0);
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAB_DAILY));
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAKE_TASK));
    EXPECT_EQ(events.back(), "send 2.401 78 56 34 12 02 00 00 00");
    EXPECT_FALSE(dlg.GetDlgItem(CMissionDlg::IDC_TAKE_TASK)->IsWindowEnabled()) << "one request per task";
    EXPECT_FALSE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAKE_TASK));

    // Nobody in the local chair: nobody to ask for.
    Game().SetUserData(0, nullptr);
    Open(CMissionDlg::kPageChallenge, {Mission{}});
    ASSERT_TRUE(SimulateControlClick(dialog.get(), CMissionDlg::IDC_ACCEPT));
    EXPECT_EQ(packets.size(), 3u);
}

// ---- Drawing -----------------------------------------------------------------------------------------

TEST_F(MissionDlgTest, APageShowsTheRecordAndItsClock)
{
    Mission m;
    m.state = 2;
    m.left = 3725;
    m.difficulty = 8;
    m.lottery = 500;
    m.props = 1;
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge, {m});
    std::string line = Dump();
    EXPECT_EQ(Value(line, "difficulty"), "★★★★★极难");
    EXPECT_EQ(Value(line, "rewards"), "\"+500 奖券\",\"+1 道具\"");
    EXPECT_EQ(Value(line, "status"), "剩余时间: 01:02:05");
    EXPECT_EQ(Value(line, "title"), "挑战任务 (1/3)");
    m.left = 3724;
    dlg.SetMissionRecord(Record(m), 0);
    EXPECT_EQ(Value(Dump(), "status"), "剩余时间: 01:02:04");

    // A challenge without a mission, or with all of it completed, shows only its notice.
    m.state = 0;
    dlg.SetMissionRecord(Record(m), 0);
    line = Dump();
    EXPECT_EQ(Value(line, "difficulty") + Value(line, "status"), "");
    m.state = 5;
    dlg.SetMissionRecord(Record(m), 0);
    EXPECT_EQ(Value(Dump(), "status"), "任务完成") << "progress 1/3 is not all of it";
    m.done = 3;
    dlg.SetMissionRecord(Record(m), 0);
    EXPECT_EQ(Value(Dump(), "status"), "");
}

TEST_F(MissionDlgTest, ARecordOfGarbageIsDrawnFromItsOwnFieldsOnly)
{
    TaskRecord record;
    std::memset(&record, 0xB0, sizeof(record));
    record.cbTaskKind = 1;
    record.cbTaskState = 2;
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge);
    dlg.SetMissionRecord(record, 0xFFFFFFFF);
    dlg.UpdateWindow();
    const std::string line = Dump();
    EXPECT_EQ(Value(line, "difficulty"), "★★★★★极难");
    EXPECT_EQ(Value(line, "status"), "剩余时间: 00:00:00");
    EXPECT_EQ(Value(line, "title"), "挑战任务 (176/176)");
    record.cbTaskState = 4;
    dlg.SetMissionRecord(record, 0xFFFFFFFF);
    EXPECT_EQ(Value(Dump(), "status"), "0") << "the wait is never more than 30 seconds";

    // Records of other kinds are not the dialog's.
    record.cbTaskKind = 3;
    record.cbTaskState = 1;
    dlg.SetMissionRecord(record, 0);
    EXPECT_EQ(Value(Dump(), "status"), "0");
}

// ---- The result animation ----------------------------------------------------------------------------

TEST_F(MissionDlgTest, TheChallengeResultLoopsUntilTheStateChanges)
{
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge);
    for (int tick = 0; tick < 3; ++tick) {
        dlg.ShowMissionResult(4);
        Advance(1000);
    }
    EXPECT_EQ(Count("anim mission play"), 1) << "the repeated state goes on with the running loop";
    EXPECT_TRUE(dlg.GetAnimation().IsRunning());
    dlg.ShowMissionResult(3);
    EXPECT_EQ(Count("anim mission play"), 2);
    dlg.ShowMissionResult(5);
    EXPECT_FALSE(dlg.GetAnimation().IsRunning());
    EXPECT_EQ(Count("anim mission stop"), 1);

    dlg.ShowMissionResult(4);
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAB_DAILY));
    EXPECT_FALSE(dlg.GetAnimation().IsRunning()) << "leaving the challenge page ends it";
    dlg.ShowMissionResult(4);
    EXPECT_FALSE(dlg.GetAnimation().IsRunning()) << "only the challenge page shows it";
}

// ---- Newbie list and moving ---------------------------------------------------------------------------

TEST_F(MissionDlgTest, ANewbieEntryOpensItsPageOnAPressAndReleaseOnIt)
{
    CRecordingShellService shell;
    CScopedShellService scoped(shell);
    CMissionDlg& dlg = Open(CMissionDlg::kPageNewbie);
    const CPoint entry1(200, 120 + 47 + 18);
    ASSERT_TRUE(SimulateMouse(&dlg, WM_MOUSEMOVE, entry1));
    EXPECT_EQ(dlg.GetSafeHwnd()->cursor().shape(), Qt::PointingHandCursor);
    ASSERT_TRUE(SimulateClick(&dlg, entry1));
    EXPECT_EQ(shell.Lines(), QStringList{"shell open https://example.com/personal?taskID=5"});

    // Pressed on one entry and let go on another, or outside the list: nothing opens.
    SimulateMouse(&dlg, WM_LBUTTONDOWN, CPoint(200, 130));
    SimulateMouse(&dlg, WM_LBUTTONUP, entry1);
    SimulateMouse(&dlg, WM_LBUTTONDOWN, CPoint(200, 300));
    SimulateMouse(&dlg, WM_LBUTTONUP, CPoint(200, 300));
    EXPECT_EQ(shell.Lines().size(), 1);
    ASSERT_TRUE(SimulateMouse(&dlg, WM_MOUSEMOVE, CPoint(200, 300)));
    EXPECT_EQ(dlg.GetSafeHwnd()->cursor().shape(), Qt::ArrowCursor);

    ASSERT_TRUE(SimulateClick(&dlg, CPoint(200, 120 + 18)));
    EXPECT_EQ(shell.Lines().back(), "shell open https://example.com/personal?taskID=4");
}

TEST(NewbieTaskUrl, JoinsTheQueryToWhatTheAddressHas)
{
    EXPECT_EQ(NewbieTaskUrl("https://a.example/p", 6), "https://a.example/p?taskID=6");
    EXPECT_EQ(NewbieTaskUrl("https://a.example/p?u=1", 6), "https://a.example/p?u=1&taskID=6");
    EXPECT_EQ(NewbieTaskUrl("https://a.example/p?", 6), "https://a.example/p?taskID=6");
    EXPECT_EQ(NewbieTaskUrl("https://a.example/p?u=1&", 6), "https://a.example/p?u=1&taskID=6");
    EXPECT_EQ(NewbieTaskUrl("https://a.example/p#top", 6), "https://a.example/p?taskID=6#top");
}

TEST_F(MissionDlgTest, TheTopBarDragsTheWindowWithinTheGame)
{
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge);
    CRect before;
    dlg.GetWindowRect(&before);
    SimulateMouse(&dlg, WM_LBUTTONDOWN, CPoint(100, 20));
    SimulateMouse(&dlg, WM_MOUSEMOVE, CPoint(150, 50), MK_LBUTTON);
    SimulateMouse(&dlg, WM_LBUTTONUP, CPoint(150, 50));
    CRect after;
    dlg.GetWindowRect(&after);
    EXPECT_EQ(after.TopLeft(), before.TopLeft() + CPoint(50, 30));

    SimulateMouse(&dlg, WM_LBUTTONDOWN, CPoint(100, 20));
    SimulateMouse(&dlg, WM_MOUSEMOVE, CPoint(100, -5000), MK_LBUTTON);
    SimulateMouse(&dlg, WM_LBUTTONUP, CPoint(100, -5000));
    dlg.GetWindowRect(&after);
    EXPECT_EQ(after.top, 0) << "the bar stays on the game window";

    // A press below the bar moves nothing.
    SimulateMouse(&dlg, WM_LBUTTONDOWN, CPoint(100, 60));
    SimulateMouse(&dlg, WM_MOUSEMOVE, CPoint(200, 160), MK_LBUTTON);
    SimulateMouse(&dlg, WM_LBUTTONUP, CPoint(200, 160));
    CRect still;
    dlg.GetWindowRect(&still);
    EXPECT_EQ(still, after);
}

// ---- Whole modal runs through the game window ------------------------------------------------------

class MissionRunTest : public MissionDlgTest {
protected:
    void SetUp() override
    {
        MissionDlgTest::SetUp();
        SetModalHook([this](CSkinDialog& dlg) { script.Run(dlg); });
    }
    void Deliver(const Mission& m)
    {
        const TaskRecord record = Record(m);
        ASSERT_TRUE(Game().DeliverGameMessage(SUB_S_TASK_RECORD, &record, sizeof(record)));
        Clock().flushPosted();
    }
    void Run(BYTE cbKind, const std::string& tokens)
    {
        std::vector<tagModalAction> actions;
        std::size_t from = 0;
        while (from < tokens.size()) {
            const std::size_t end = std::min(tokens.find(' ', from), tokens.size());
            actions.push_back(*ParseModalAction(tokens.substr(from, end - from)));
            from = end + 1;
        }
        script.Queue("CMissionDlg", std::move(actions));
        events.clear();
        Game().OpenMissionDialog(cbKind);
    }
    std::vector<std::string> Dumps() const
    {
        std::vector<std::string> dumps;
        std::copy_if(events.begin(), events.end(), std::back_inserter(dumps), [](const std::string& e) { return e.starts_with("wdump "); });
        return dumps;
    }

    CModalScript script{[this](const std::string& line) { events.push_back(line); }, [this](long ms) { Clock().advance(ms); },
                        [this] { Clock().flushPosted(); }};
};

TEST_F(MissionRunTest, TheRunShowsTheKindsPageAndCountsDownWithTheGameWindow)
{
    Mission running;
    running.state = 2;
    running.left = 65;
    Deliver(running);
    Run(1, "dump advance:1000 dump 104 advance:200 dump");
    EXPECT_EQ(events.front(), "modal CMissionDlg");
    const auto dumps = Dumps();
    ASSERT_EQ(dumps.size(), 2u) << "nothing is dumped once the fade-out has closed it";
    EXPECT_EQ(Value(dumps[0], "page"), "1");
    EXPECT_EQ(Value(dumps[0], "status"), "剩余时间: 00:01:05");
    EXPECT_EQ(Value(dumps[1], "status"), "剩余时间: 00:01:04");
    EXPECT_EQ(Value(dumps[1], "alpha"), "255");

    // Once closed the dialog hears no more ticks, and the next run starts from the game window's copy.
    Advance(2000);
    Run(1, "dump");
    EXPECT_EQ(Value(Dumps()[0], "status"), "剩余时间: 00:01:02");
    Run(2, "dump");
    EXPECT_EQ(Value(Dumps()[0], "page"), "2");
    EXPECT_EQ(Value(Dumps()[0], "difficulty"), "") << "no daily mission yet";
    Run(9, "dump");
    EXPECT_EQ(Value(Dumps()[0], "page"), "3");
}

TEST_F(MissionRunTest, AcceptingSendsTheRequestAndTheServersAnswerShowsInTheOpenDialog)
{
    Deliver(Mission{});
    Mission accepted;
    accepted.state = 2;
    accepted.left = 600;
    bool answered = false;
    // The server answers while the dialog is open.
    runner->Link().Clear();
    Run(1, "105 dump");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[1], "send 2.401 01 00 00 00 01 00 00 00");
    EXPECT_EQ(Value(Dumps()[0], "buttons"), "100:VE,101:V-,102:VE,104:VE,105:-E,106:-E,107:-E,108:--,109:--,110:-E,111:-E");

    SetModalHook([&](CSkinDialog& dlg) {
        const TaskRecord record = Record(accepted);
        answered = Game().DeliverGameMessage(SUB_S_TASK_RECORD, &record, sizeof(record));
        events.push_back(WindowDumpLine("CMissionDlg", dlg));
    });
    events.clear();
    Game().OpenMissionDialog(1);
    ASSERT_TRUE(answered);
    EXPECT_EQ(Value(events.back(), "status"), "剩余时间: 00:10:00");
}

// A picture of the dialog for a person to look at: QARRUM_SNAPSHOT_DIR names the folder.
TEST_F(MissionDlgTest, Snapshot)
{
    const char* folder = std::getenv("QARRUM_SNAPSHOT_DIR");
    if (!folder)
        GTEST_SKIP() << "QARRUM_SNAPSHOT_DIR is not set";
    Mission m;
    m.state = 2;
    m.left = 1865;
    m.difficulty = 5;
    m.gold = 3000;
    m.lottery = 50;
    m.describe = "在一小时内以地主身份连续赢得三局游戏，中途输一局则重新计算。";
    m.method = "叫三分当地主并打出至少一个炸弹";
    CMissionDlg& dlg = Open(CMissionDlg::kPageChallenge, {m});
    Advance(2 * CMissionDlg::kFadeMs);
    Game().GetSafeHwnd()->grab().save(QString(folder) + "/mission_fading.png");
    Advance(200);
    dlg.ShowMissionResult(4);
    Advance(400);
    Game().GetSafeHwnd()->grab().save(QString(folder) + "/mission_challenge.png");
    ASSERT_TRUE(SimulateControlClick(&dlg, CMissionDlg::IDC_TAB_NEWBIE));
    SimulateMouse(&dlg, WM_MOUSEMOVE, CPoint(200, 120 + 47 + 18));
    Game().GetSafeHwnd()->grab().save(QString(folder) + "/mission_newbie.png");
}

}  // namespace
