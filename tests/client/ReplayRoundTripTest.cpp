// A game recorded live, saved to a replay file and played back in a fresh window shows the same
// table at the end: the same hands and counts, the same multiple and landlord, the same cards on
// the table.
#include "common/GameRunner.h"
#include "support/DataPaths.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ReplayRoundTripTest : public testing::Test {
protected:
    void SetUp() override { SetDataFolders(m_home.Path(), InstalledDataFolder()); }
    void TearDown() override
    {
        g_bReplayMode = true;
        ClearDataFolders();
    }

    struct Table {
        std::vector<std::vector<uint8_t>> played;
        std::vector<uint8_t> hand;
        WORD multiple = 0;
        WORD lord = 0;
        std::array<BYTE, 3> counts{};
    };
    static Table TableOf(CGameClientDlg& dlg)
    {
        Table table;
        CGameClientView& view = dlg.GetClientView();
        for (CCardControl& control : view.m_UserCardControl) {
            tagCardSlot cells[MAX_HAND];
            const BYTE count = control.GetCards(cells, MAX_HAND);
            std::vector<uint8_t> cards;
            for (BYTE i = 0; i < count; ++i)
                cards.push_back(cells[i].cbCard);
            table.played.push_back(cards);
        }
        table.hand.assign(dlg.m_cbHandCards, dlg.m_cbHandCards + dlg.m_cbHandCount);
        table.multiple = dlg.m_wMultiple;
        table.lord = dlg.m_wLordUser;
        std::copy(std::begin(dlg.m_cbCardCount), std::end(dlg.m_cbCardCount), table.counts.begin());
        return table;
    }

    TempFolder m_home;
};

TEST_F(ReplayRoundTripTest, ASavedGamePlaysBackToTheSameTable)
{
    Table live;
    std::string saved;
    {
        scripted::GameRunner runner;
        // Stop before the game end, whose delayed steps empty the table.
        scripted::Game game = scripted::MakeGame(5);
        game.steps.pop_back();
        ASSERT_TRUE(runner.Play(game));
        live = TableOf(runner.Dlg());
        runner.Dlg().SaveVideo();
        saved = runner.Dlg().GetLastSavedVideo();
    }
    ASSERT_FALSE(saved.empty());
    const auto file = ResolveForReading(saved);
    ASSERT_TRUE(file.has_value());

    g_bReplayMode = true;
    scripted::GameRunner::Options options;
    options.bLive = false;
    scripted::GameRunner replay(options);
    replay.Dialogs().QueueOpenFile(QString::fromStdString(file->string()));
    replay.Dlg().SendMessage(UM_OPEN_REPLAY, 0, 0);
    ASSERT_TRUE(replay.Dlg().IsPlaybackRunning());
    for (int second = 0; second < 1000 && replay.Dlg().IsPlaybackRunning(); ++second)
        replay.Clock().advance(1000);
    EXPECT_FALSE(replay.Dlg().IsPlaybackRunning());

    const Table played = TableOf(replay.Dlg());
    EXPECT_EQ(played.played, live.played);
    EXPECT_EQ(played.hand, live.hand);
    EXPECT_EQ(played.multiple, live.multiple);
    EXPECT_EQ(played.lord, live.lord);
    EXPECT_EQ(played.counts, live.counts);
    // Nothing of a replay is ever sent to a server.
    EXPECT_TRUE(replay.Link().Packets().empty());
}

TEST_F(ReplayRoundTripTest, NothingIsSavedWithoutALiveGameOrARecording)
{
    g_bReplayMode = true;
    scripted::GameRunner::Options options;
    options.bLive = false;
    {
        scripted::GameRunner runner(options);
        runner.Dlg().SaveVideo();
        EXPECT_TRUE(runner.Dlg().GetLastSavedVideo().empty());
    }
    scripted::GameRunner live;
    live.Dlg().SendMessage(UM_START, 0, 0);
    live.Dlg().SaveVideo();
    EXPECT_TRUE(live.Dlg().GetLastSavedVideo().empty());
    EXPECT_FALSE(std::filesystem::exists(m_home.Path() / "Telvo" / "video"));
}

}  // namespace
