// The host framework: what it tells the game, what it sends, and its seat clocks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTextBlock>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/TimerHost.h"
#include "platform/host/GameFrame.h"
#include "protocol/GameRecords.h"
#include "support/DataPaths.h"

namespace {

class RecordingFrame : public CGameFrameDlg {
public:
    RecordingFrame() : CGameFrameDlg(&m_view) {}

    bool OnGameClock(WORD wChairID, UINT nElapse, UINT nTimerID) override
    {
        clocks.push_back(std::to_string(wChairID) + ':' + std::to_string(nElapse) + ':' + std::to_string(nTimerID));
        if (restartAtZero && nElapse == 0) {
            restartAtZero = false;
            SetGameTimer(wChairID, nTimerID + 1, 2);
        }
        return true;
    }
    void OnUserLeft(const tagUserData* pUserData, WORD wChairID, bool) override
    {
        left.push_back(std::string(pUserData->szName) + '@' + std::to_string(wChairID) + (GetUserData(wChairID) ? "+" : "-"));
    }
    void OnLookonStateChanged() override { ++lookonChanges; }

    CGameFrameView m_view{true, 24, nullptr};
    std::vector<std::string> clocks;
    std::vector<std::string> left;
    int lookonChanges = 0;
    bool restartAtZero = false;
};

class HostFrame : public testing::Test {
protected:
    void SetUp() override
    {
        frame.SetEventSink([this](const std::string& line) { events.push_back(line); });
        frame.SetServerLink(&link);
        ASSERT_TRUE(frame.CreateGameWindow(false));
        events.clear();
    }

    VirtualTimerHost clock;
    ScopedTimerHost scoped{clock};
    RecordingFrame frame;
    CRecordingServerLink link;
    std::vector<std::string> events;
};

TEST_F(HostFrame, SendFormsAreReportedAndForwarded)
{
    const uint8_t card[] = {0x01, 0x4F};
    frame.SendData(2, card, 2);
    frame.SendData(3);
    const uint8_t request[8] = {1, 0, 0, 0, 7, 0, 0, 0};
    frame.SendData(14, 100, request, 8);
    frame.SendUserReady(nullptr, 0);
    frame.SetGameStatus(100);
    const std::vector<std::string> expected = {"send 2 01 4F", "send 3", "send 14.100 01 00 00 00 07 00 00 00", "ready", "status 100"};
    EXPECT_EQ(events, expected);
    ASSERT_EQ(link.Packets().size(), 3u);
    EXPECT_EQ(link.Packets()[0].wMainCmdID, MDM_GF_GAME);
    EXPECT_EQ(link.Packets()[2].wMainCmdID, 14);
    EXPECT_EQ(link.ReadyCount(), 1);
}

TEST_F(HostFrame, SeatClockCountsDownEverySecondAndStopsAtZero)
{
    frame.SetGameTimer(1, 200, 3);
    EXPECT_EQ(frame.GetClockSeconds(1), 3u);
    EXPECT_EQ(frame.GetClockSeconds(0), 0u);
    clock.advance(999);
    EXPECT_TRUE(frame.clocks.empty());
    clock.advance(5000);
    const std::vector<std::string> expected = {"1:2:200", "1:1:200", "1:0:200"};
    EXPECT_EQ(frame.clocks, expected);
    EXPECT_EQ(frame.GetClockSeconds(1), 0u);
    EXPECT_EQ(events.front(), "clock 1 200 3");
}

TEST_F(HostFrame, KillingAClockNeedsItsIdOrZero)
{
    frame.SetGameTimer(2, 202, 10);
    frame.KillGameTimer(200);
    clock.advance(1000);
    EXPECT_EQ(frame.clocks.size(), 1u) << "another id leaves the clock running";
    frame.KillGameTimer(0);
    clock.advance(5000);
    EXPECT_EQ(frame.clocks.size(), 1u);
    EXPECT_EQ(events.back(), "killclock 0");
}

TEST_F(HostFrame, AClockStartedFromTheLastTickRuns)
{
    frame.restartAtZero = true;
    frame.SetGameTimer(0, 203, 1);
    clock.advance(4000);
    const std::vector<std::string> expected = {"0:0:203", "0:1:204", "0:0:204"};
    EXPECT_EQ(frame.clocks, expected);
}

TEST_F(HostFrame, UsersAreSeenByViewPositionAndTheGameHearsOfLeavers)
{
    tagUserData user;
    std::strcpy(user.szName, "东家");
    frame.SetMeChairID(2);
    frame.SetUserData(0, &user);
    EXPECT_STREQ(frame.m_view.GetUserInfo(2)->szName, "东家") << "the chair after the local one sits right";
    EXPECT_EQ(frame.m_view.GetUserInfo(1), nullptr);
    frame.SetUserData(0, nullptr);
    frame.SetUserData(1, nullptr);
    const std::vector<std::string> expected = {"东家@0-"};
    EXPECT_EQ(frame.left, expected);
    frame.SetUserData(7, &user);
    EXPECT_EQ(frame.GetUserData(7), nullptr);
}

TEST_F(HostFrame, WithoutALocalChairNoViewPositionHasAUserOrAClock)
{
    tagUserData user;
    std::strcpy(user.szName, "东家");
    frame.SetUserData(0, &user);
    frame.SetGameTimer(0, 200, 5);
    // Before sitting down no chair has a view position, and INVALID_CHAIR names no seat.
    frame.SetMeChairID(INVALID_CHAIR);
    for (WORD position : {WORD{0}, WORD{1}, WORD{2}, INVALID_CHAIR}) {
        EXPECT_EQ(frame.m_view.GetUserInfo(position), nullptr) << position;
        EXPECT_EQ(frame.m_view.GetUserTimer(position), 0u) << position;
    }
}

TEST_F(HostFrame, ChatSecretAndLookonChanges)
{
    frame.InsertSystemString("欢迎");
    frame.InsertShtickString("公告", 0x00FFF6, true);
    frame.SecretUser(true);
    frame.SetLookonState(true, false);
    frame.SetLookonState(true, false);
    const std::vector<std::string> expected = {"chat 欢迎", "chat 0x00FFF6 公告", "secret 1"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(frame.lookonChanges, 1);
    EXPECT_EQ(frame.GetChatLines().size(), 2u);
    EXPECT_NE(frame.GetHostControl(8004), nullptr);
    EXPECT_EQ(frame.GetHostControl(9999), nullptr);
}

TEST_F(HostFrame, ChatKeepsItsLastLinesAndDropsTheOldest)
{
    const std::size_t limit = CGameFrameDlg::kChatLineLimit;
    for (std::size_t i = 0; i < limit + 100; ++i)
        frame.InsertShtickString("公告 " + std::to_string(i), 0x00FFF6, true);
    const std::string first = "公告 100";
    const std::string last = "公告 " + std::to_string(limit + 99);

    const auto& lines = frame.GetChatLines();
    ASSERT_EQ(lines.size(), limit);
    EXPECT_EQ(lines.front(), first);
    EXPECT_EQ(lines.back(), last);
    const QTextDocument* shown = frame.GetChatMessageWindow()->document();
    EXPECT_EQ(shown->blockCount(), static_cast<int>(limit));
    EXPECT_EQ(shown->firstBlock().text().toStdString(), first);
    EXPECT_EQ(shown->lastBlock().text().toStdString(), last);
    EXPECT_EQ(shown->lastBlock().begin().fragment().charFormat().foreground().color(), QColor(0xF6, 0xFF, 0x00)) << "in its colour";
    EXPECT_EQ(events.size(), limit + 100) << "every line is still reported";
}

TEST_F(HostFrame, TraceFilesAreNamedAfterTheLocalUser)
{
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "host-trace";
    std::filesystem::remove_all(folder);
    SetDataFolders(folder, folder / "installed");
    WriteTraceData(&frame, "nobody %d", 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "Telvo")) << "no user on the local chair: no file";

    tagUserData user;
    std::strcpy(user.szName, "东家");
    frame.SetUserData(0, &user);
    WriteTraceData(&frame, "game end %d", 7);
    std::ifstream in(folder / "Telvo" / "TraceData_东家.log", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("game end 7\r\n"), std::string::npos) << text;
    ClearDataFolders();
}

TEST_F(HostFrame, NamedWindowsAreListedBottomToTopWithoutTheirControls)
{
    auto names = [this] {
        std::vector<std::string> list;
        for (const auto& window : frame.ListNamedWindows())
            list.push_back(window.strName);
        return list;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"host:8003", "host:8004", "host:8115", "host:8117", "host:chat", "host:input"}));

    // A dialog without a name of its own goes by its template number; its button is its own.
    CSkinDialog dialog(175, &frame);
    ASSERT_TRUE(dialog.Create(175));
    CPngButton button;
    button.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &dialog, IDOK);
    frame.GetHostControl(8003)->BringWindowToTop();
    EXPECT_EQ(names(), (std::vector<std::string>{"host:8004", "host:8115", "host:8117", "host:chat", "host:input", "175", "host:8003"}));

    const auto found = frame.FindNamedWindow("175");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->pWnd, &dialog);
    EXPECT_EQ(frame.FindNamedWindow("host:chat")->pWnd, nullptr);
    EXPECT_EQ(frame.FindNamedWindow("host:chat")->pWidget, static_cast<QWidget*>(frame.GetChatMessageWindow()));
    EXPECT_FALSE(frame.FindNamedWindow("CScoreView"));
}

TEST_F(HostFrame, ClosingIsReportedOnceAndTakesTheWindowAndItsClock)
{
    frame.SetGameTimer(0, 200, 5);
    events.clear();
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(8004, BN_CLICKED), 0);
    clock.flushPosted();
    EXPECT_EQ(events, (std::vector<std::string>{"close"}));
    EXPECT_FALSE(frame.IsWindow());
    clock.advance(3000);
    EXPECT_TRUE(frame.clocks.empty()) << "the seat clock went with the window";
    EXPECT_FALSE(frame.PostMessage(WM_CLOSE)) << "a second request finds no window";
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(HostFrame, APostedCloseRequestClosesTheWindow)
{
    frame.PostMessage(WM_CLOSE);
    EXPECT_TRUE(frame.IsWindow()) << "posted: nothing happens before the queue runs";
    clock.flushPosted();
    EXPECT_EQ(events, (std::vector<std::string>{"close"}));
    EXPECT_FALSE(frame.IsWindow());
}

}  // namespace
