// Self-play with three real game windows: a run is repeatable under its seed, and each check of
// the run catches a window or a table that really goes wrong rather than passing it over.
#include <gtest/gtest.h>

#include "app/GameClientDlg.h"
#include "common/GameRunner.h"
#include "local/HeadlessSelfPlay.h"
#include "support/DataPaths.h"
#include "support/TempFolder.h"

namespace {

class HeadlessSelfPlayTest : public testing::Test {
protected:
    void SetUp() override
    {
        scripted::EnsureQtApplication();
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        m_options.play.games = 4;
        m_options.play.seed = 3;
    }
    void TearDown() override { ClearDataFolders(); }

    TempFolder m_home;
    HeadlessSelfPlayOptions m_options;
};

TEST_F(HeadlessSelfPlayTest, GamesFollowOneAnotherAndARunRepeatsUnderItsSeed)
{
    std::vector<server::SelfPlayGame> first;
    const server::SelfPlaySummary a = RunHeadlessSelfPlay(m_options, [&](uint32_t, const server::SelfPlayGame& game) { first.push_back(game); });
    ASSERT_TRUE(a.ok()) << a.error;
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(a.games, 4u);
    for (const server::SelfPlayGame& game : first) {
        // Trustee never bids: after the redeals the first bidder takes the game at one point.
        EXPECT_EQ(game.bid, 1);
        EXPECT_EQ(game.scores[0] + game.scores[1] + game.scores[2], 0);
    }

    std::vector<server::SelfPlayGame> second;
    const server::SelfPlaySummary b = RunHeadlessSelfPlay(m_options, [&](uint32_t, const server::SelfPlayGame& game) { second.push_back(game); });
    ASSERT_TRUE(b.ok()) << b.error;
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].lord, first[i].lord) << "game " << i + 1;
        EXPECT_EQ(second[i].scores, first[i].scores) << "game " << i + 1;
    }
}

TEST_F(HeadlessSelfPlayTest, AWindowWhoseHandLosesACardIsReported)
{
    m_options.onDelivered = [](uint16_t chair, CGameClientDlg& window, uint16_t subCmd) {
        if (chair == 1 && subCmd == SUB_S_PLAYED_CARDS && window.m_cbHandCount > 5)
            --window.m_cbHandCount;
    };
    const server::SelfPlaySummary summary = RunHeadlessSelfPlay(m_options);
    EXPECT_EQ(summary.error, "game 1: the client at chair 1 holds other cards than the server says after message 103");
    EXPECT_EQ(summary.games, 0u);
}

TEST_F(HeadlessSelfPlayTest, AMessageOfAWindowThatTheServerRefusesIsReported)
{
    // In the second game chair 2 plays a byte that is no card, whoever is to act.
    int lordInfos = 0;
    bool sent = false;
    m_options.onDelivered = [&](uint16_t chair, CGameClientDlg& window, uint16_t subCmd) {
        if (chair == 2 && subCmd == SUB_S_LORD_INFO && ++lordInfos == 2) {
            const uint8_t notACard = 0x3F;
            const std::vector<uint8_t> play = WriteOutCard(&notACard, 1);
            window.SendData(SUB_C_OUT_CARD, play.data(), static_cast<WORD>(play.size()));
            sent = true;
        }
    };
    const server::SelfPlaySummary summary = RunHeadlessSelfPlay(m_options);
    EXPECT_TRUE(sent);
    EXPECT_EQ(summary.error, "game 2: the server refused a message of the client at chair 2 (sub 2)");
    EXPECT_EQ(summary.games, 1u);
}

TEST_F(HeadlessSelfPlayTest, ATableThatNeverFinishesAGameIsReported)
{
    // Trustee never bids, and this table deals again after every round of passes.
    m_options.play.games = 1;
    m_options.play.config.maxRedeals = 1000000;
    const server::SelfPlaySummary summary = RunHeadlessSelfPlay(m_options);
    EXPECT_EQ(summary.error, "game 1: the game did not end");
}

}  // namespace
