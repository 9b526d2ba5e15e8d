// A table played on this machine: the real game window against the engine and two bots, on the
// virtual clock. The local player is put in trustee, so the window's own automatic play acts for
// it; whole games must end without a refused move, and the window's hand must agree with the
// engine's at every moment.
#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "local/LocalTable.h"
#include "platform/ModalScript.h"
#include "platform/MouseInput.h"
#include "platform/ServicesRecording.h"
#include "platform/SkinDialog.h"
#include "platform/TimerHost.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "support/DataPaths.h"
#include "support/TempFolder.h"
#include "windows/TaskWnd.h"

namespace {

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_local";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class LocalTableFixture : public testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        SetDialogService(&m_dialogs);
        SetShellService(&m_shell);
        SetSoundBackend(&m_sound);
        SeedClientRandom(0);
        g_bReplayMode = true;
    }
    void TearDown() override
    {
        SetSoundBackend(nullptr);
        SetShellService(nullptr);
        SetDialogService(nullptr);
        ClearDataFolders();
        g_bReplayMode = true;
    }

    TempFolder m_home;
    VirtualTimerHost m_clock;
    ScopedTimerHost m_scoped{m_clock};
    CRecordingDialogService m_dialogs;
    CRecordingShellService m_shell;
    CRecordingSoundBackend m_sound;

    // A table of bots that think at once, with the demo extras.
    static LocalTableOptions DemoTable(uint32_t seed)
    {
        LocalTableOptions options;
        options.seed = seed;
        options.botThinkMs = 0;
        options.demoExtras = true;
        return options;
    }

    // Plays the next game with the local player in trustee, then lets the clock run on for
    // afterMs; false when the game does not end.
    bool PlayGame(CGameClientDlg& dlg, CLocalTable& table, int afterMs = 8000)
    {
        const uint32_t games = table.Engine().gamesPlayed();
        dlg.SendMessage(UM_START, 0, 0);
        dlg.SendMessage(UM_TRUSTEE, 1, 1);
        for (int step = 0; step < 4000 && table.Engine().gamesPlayed() == games; ++step)
            m_clock.advance(100);
        m_clock.advance(afterMs);
        return table.Engine().gamesPlayed() > games;
    }
};

class LocalTableTest : public LocalTableFixture, public testing::WithParamInterface<uint32_t> {};

TEST_P(LocalTableTest, TrusteePlayerAndBotsFinishGamesThatBothSidesAgreeOn)
{
    CGameClientDlg dlg;
    ASSERT_TRUE(dlg.CreateGameWindow(true));
    LocalTableOptions options;
    options.seed = GetParam();
    options.botThinkMs = 0;
    CLocalTable table(dlg, options);
    if (getenv("QARRUM_TRACE_LOCAL"))
        dlg.SetEventSink([&](const std::string& line) { fprintf(stderr, "%lld %s\n", (long long)m_clock.now(), line.c_str()); });
    m_clock.flushPosted();
    EXPECT_FALSE(g_bReplayMode) << "the table's first snapshot makes the window live";

    LONG totals[PLAYER_COUNT] = {};
    for (int game = 1; game <= 2; ++game) {
        dlg.SendMessage(UM_START, 0, 0);
        dlg.SendMessage(UM_TRUSTEE, 1, 1);
        for (int step = 0; step < 4000 && table.Engine().gamesPlayed() < static_cast<uint32_t>(game); ++step) {
            m_clock.advance(100);
            // The window's hand is the engine's hand of its chair, card for card, once dealt.
            if (table.Engine().phase() == server::Phase::Playing && dlg.m_cbDealLeft == 0) {
                const auto hand = table.Engine().hand(CLocalTable::kLocalChair);
                ASSERT_EQ(dlg.m_cbHandCount, hand.size()) << "game " << game << " step " << step;
            }
        }
        ASSERT_EQ(table.Engine().gamesPlayed(), static_cast<uint32_t>(game)) << "game " << game << " did not end";
        EXPECT_EQ(table.RefusedCount(), 0);
        // The game end holds what the local chair had left; so does the window. The players'
        // records carry the running totals the score panel shows.
        m_clock.advance(1000);
        EXPECT_EQ(dlg.m_cbHandCount, dlg.m_GameEnd.cbCardCount[CLocalTable::kLocalChair]);
        for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
            totals[chair] += dlg.m_GameEnd.lGameScore[chair];
            ASSERT_TRUE(dlg.GetUserData(chair));
            EXPECT_EQ(dlg.GetUserData(chair)->lScore, totals[chair]) << "chair " << chair << " after game " << game;
        }
        m_clock.advance(7000);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LocalTableTest, testing::Values(1u, 2u, 3u, 4u, 5u));

bool HasChatLine(const CGameClientDlg& dlg, const std::string& start)
{
    const auto& lines = dlg.GetChatLines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(start) != std::string::npos; });
}

TEST_F(LocalTableFixture, TheWindowTakesEveryDemoExtraAndShowsIt)
{
    CGameClientDlg dlg;
    ASSERT_TRUE(dlg.CreateGameWindow(true));
    CLocalTable table(dlg, DemoTable(7));
    m_clock.flushPosted();
    const CGameClientView& view = dlg.GetClientView();

    // After the first snapshot: the shop's prices, the match panels, the two tasks.
    EXPECT_EQ(std::vector<LONG>(std::begin(view.m_lItemPrice), std::end(view.m_lItemPrice)), (std::vector<LONG>{100, 200, 300, 500, 800}));
    EXPECT_GE(view.m_lPrizeValue, 10000);
    EXPECT_EQ(view.m_wGameMode, 4);
    EXPECT_GT(view.m_dwRankTotal, 0u);
    EXPECT_EQ(view.m_dwMatchRound, 1u);
    EXPECT_EQ(view.m_MatchRanks.dwUserValue[1], static_cast<DWORD>(server::DemoExtras::kStartPoints)) << "the local seat";
    EXPECT_EQ(dlg.m_TaskSlot[0].cbTaskState, 1);
    EXPECT_EQ(dlg.m_TaskSlot[1].cbTaskState, 2);
    EXPECT_EQ(dlg.m_TaskSlot[1].lTimeLeft, 7200);

    // The score-change window's request, as it sends it: the answer's picture, the new score.
    const ScoreChangeRequest request{3, dlg.GetUserData(CLocalTable::kLocalChair)->dwUserID};
    dlg.SendData(MDM_SCORE_CHANGE, SUB_SCORE_CHANGE_REQUEST, &request, sizeof(request));
    m_clock.flushPosted();
    EXPECT_EQ(view.m_bChangeScoreShown, 1);
    EXPECT_EQ(view.m_wChangeScoreCode, 0);
    EXPECT_EQ(dlg.GetUserData(CLocalTable::kLocalChair)->lScore, 20);

    // Three games finish the daily task; the window takes every message on the way.
    for (int game = 1; game <= 3; ++game)
        ASSERT_TRUE(PlayGame(dlg, table)) << "game " << game;
    EXPECT_EQ(table.RejectedCount(), 0);
    EXPECT_EQ(table.RefusedCount(), 0);
    EXPECT_EQ(dlg.m_GameEnd.cbTaskFlag[CLocalTable::kLocalChair], 4);
    EXPECT_TRUE(HasChatLine(dlg, "恭喜您, 任务完成获得 100 奖券!"));
    EXPECT_TRUE(HasChatLine(dlg, "[系统公告]您本轮比赛成绩是"));
    EXPECT_TRUE(HasChatLine(dlg, "[系统公告]系统已额外注入奖池"));
    EXPECT_EQ(view.m_dwMatchRound, 3u);
    EXPECT_EQ(view.m_wGameMode, 6);
}

// One value of a driver dump line ("KEY=VALUE ..."); a quoted value comes without its quotes.
std::string DumpValue(const std::string& line, const std::string& key)
{
    const std::size_t at = line.find(' ' + key + '=');
    if (at == std::string::npos)
        return {};
    std::size_t from = at + key.size() + 2;
    if (line[from] == '"') {
        const std::size_t end = line.find('"', from + 1);
        return line.substr(from + 1, end - from - 1);
    }
    return line.substr(from, line.find(' ', from) - from);
}

// The two missions of the demo table through their life, as a player meets them: the task window
// counts the daily mission down, three games finish it, the challenge's link opens the mission
// dialog, whose daily page offers the bonus while the game window's wait runs; the player takes
// it, accepts the challenge there, and the table's answer starts the challenge on both windows.
TEST_F(LocalTableFixture, MissionsGoFromOfferToBonusThroughTheTaskWindowAndTheDialog)
{
    std::vector<std::string> lines;
    CModalScript script{[&](const std::string& line) { lines.push_back(line); }, [&](long ms) { m_clock.advance(ms); },
                        [&] { m_clock.flushPosted(); }};
    SetModalHook([&](CSkinDialog& dialog) { script.Run(dialog); });
    CGameClientDlg dlg;
    ASSERT_TRUE(dlg.CreateGameWindow(true));
    CLocalTable table(dlg, DemoTable(3));
    ASSERT_TRUE(table.Extras());
    dlg.SetEventSink([&](const std::string& line) { lines.push_back(line); });
    m_clock.flushPosted();
    auto dump = [&](const char* name) { return WindowDumpLine(name, *dlg.FindNamedWindow(name)->pWnd); };

    ASSERT_TRUE(dlg.FindNamedWindow("CTaskWnd"));
    ASSERT_TRUE(SimulateControlClick(dlg.FindNamedWindow("CTaskWnd")->pWnd, CTaskWnd::IDC_TAB_DAILY));
    EXPECT_EQ(DumpValue(dump("CTaskWnd"), "status"), "剩余时间: 02:00:00");
    m_clock.advance(5000);
    EXPECT_EQ(DumpValue(dump("CTaskWnd"), "status"), "剩余时间: 01:59:55");

    // The third game finishes the daily mission; the player looks before the result window
    // comes up over the table.
    for (int game = 1; game <= 3; ++game)
        ASSERT_TRUE(PlayGame(dlg, table, game < 3 ? 8000 : 1000)) << "game " << game;
    ASSERT_EQ(table.Extras()->taskState(CLocalTable::kLocalChair, 2), 4) << "three games finish the daily mission";
    // Its award brought the award tab forward.
    EXPECT_EQ(DumpValue(dump("CTaskWnd"), "award_pending"), "1") << dump("CTaskWnd");
    ASSERT_TRUE(SimulateControlClick(dlg.FindNamedWindow("CTaskWnd")->pWnd, CTaskWnd::IDC_TAB_DAILY));
    EXPECT_EQ(DumpValue(dump("CTaskWnd"), "status"), "任务结束") << dump("CTaskWnd");

    ASSERT_TRUE(SimulateControlClick(dlg.FindNamedWindow("CTaskWnd")->pWnd, CTaskWnd::IDC_TAB_CHALLENGE));
    EXPECT_EQ(DumpValue(dump("CTaskWnd"), "status"), "任务未接") << dump("CTaskWnd");
    script.Queue("CMissionDlg", {*ParseModalAction("dump"), *ParseModalAction("100"), *ParseModalAction("dump"),
                                 *ParseModalAction("110"), *ParseModalAction("dump"), *ParseModalAction("101"),
                                 *ParseModalAction("105"), *ParseModalAction("advance:1000"), *ParseModalAction("dump"),
                                 *ParseModalAction("104"), *ParseModalAction("advance:300")});
    lines.clear();
    ASSERT_TRUE(SimulateClick(dlg.FindNamedWindow("CTaskWnd")->pWnd, CPoint(70, 115)));

    std::vector<std::string> dumps;
    for (const std::string& line : lines) {
        if (line.starts_with("wdump "))
            dumps.push_back(line);
    }
    ASSERT_EQ(dumps.size(), 4u) << "the dialog ran and faded out";
    EXPECT_EQ(DumpValue(dumps[0], "page"), "1");
    EXPECT_NE(DumpValue(dumps[0], "buttons").find("105:VE"), std::string::npos) << dumps[0];
    EXPECT_EQ(DumpValue(dumps[1], "page"), "2");
    EXPECT_NE(DumpValue(dumps[1], "buttons").find("110:VE"), std::string::npos) << "the bonus waits: " << dumps[1];
    EXPECT_NE(DumpValue(dumps[2], "buttons").find("110:--"), std::string::npos) << "taken: " << dumps[2];
    EXPECT_EQ(DumpValue(dumps[3], "page"), "1");
    EXPECT_EQ(DumpValue(dumps[3], "status").rfind("剩余时间: 00:29:", 0), 0u) << "the table's answer runs the challenge: " << dumps[3];
    EXPECT_EQ(table.Extras()->taskState(CLocalTable::kLocalChair, 1), 2);
    EXPECT_FALSE(dlg.FindNamedWindow("CMissionDlg")) << "closed";

    // The task window counts the accepted challenge down on its own clock.
    EXPECT_EQ(DumpValue(dump("CTaskWnd"), "status").rfind("剩余时间: 00:29:", 0), 0u) << dump("CTaskWnd");
    SetModalHook(nullptr);
}

}  // namespace

