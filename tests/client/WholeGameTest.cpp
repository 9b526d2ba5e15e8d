// Whole games from the deal to the last card through the real game window: what the client sends
// is what the player chose, and its own count of every hand agrees with the server's at the end.
#include "common/GameRunner.h"
#include "support/DataPaths.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class WholeGameTest : public testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { SetDataFolders(m_home.Path(), InstalledDataFolder()); }
    void TearDown() override { ClearDataFolders(); }

    TempFolder m_home;
};

TEST_P(WholeGameTest, ClientFollowsAndPlaysAGameToTheEnd)
{
    const unsigned seed = GetParam();
    const scripted::Game game = scripted::MakeGame(seed);
    scripted::GameRunner runner;
    ASSERT_TRUE(runner.Play(game));
    CGameClientDlg& dlg = runner.Dlg();

    // The local player's plays, in order, as the server reported them and as the client sent them.
    std::vector<std::vector<uint8_t>> reported;
    int bombs = 0;
    CGameLogic logic;
    for (std::size_t i = 0; i + 1 < game.steps.size(); ++i) {
        const scripted::Step& step = game.steps[i];
        if (step.kind != scripted::Step::Kind::Message || step.wSubCmdID != SUB_S_PLAYED_CARDS)
            continue;
        const PlayedCards played = *ReadPlayedCards(step.body);
        std::vector<uint8_t> cards(played.cbCardData, played.cbCardData + played.cbCardCount);
        logic.SortCards(cards.data(), played.cbCardCount, ORDER_BY_RANK);
        const uint8_t type = logic.JudgeType(cards.data(), played.cbCardCount);
        bombs += type == PLAY_BOMB || type == PLAY_ROCKET;
        if (played.wOutCardUser == 0)
            reported.push_back(cards);
    }
    std::vector<std::vector<uint8_t>> sent;
    bool bBid = false;
    for (const auto& packet : runner.Link().Packets()) {
        if (packet.wSubCmdID == SUB_C_OUT_CARD) {
            ASSERT_FALSE(packet.data.empty());
            ASSERT_EQ(packet.data.size(), 1u + packet.data[0]);
            std::vector<uint8_t> cards(packet.data.begin() + 1, packet.data.end());
            logic.SortCards(cards.data(), static_cast<uint8_t>(cards.size()), ORDER_BY_RANK);
            sent.push_back(cards);
        }
        bBid = bBid || (packet.wSubCmdID == SUB_C_BID_SCORE && packet.data == std::vector<uint8_t>{3});
    }
    EXPECT_EQ(sent, reported) << "seed " << seed;
    EXPECT_EQ(bBid, game.wLordUser == 0);

    // Every hand as the client counts it: the server's final counts are in the game end record.
    const GameEndRecord end = *ReadRecord<GameEndRecord>(game.steps.back().body);
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair)
        EXPECT_EQ(dlg.m_cbCardCount[chair], end.cbCardCount[chair]) << "chair " << chair << " seed " << seed;
    EXPECT_EQ(dlg.m_cbHandCount, end.cbCardCount[0]);
    EXPECT_EQ(dlg.GetClientView().m_HandCardControl[1].GetCardCount(), end.cbCardCount[0]);
    EXPECT_EQ(dlg.m_wMultiple, 1u << bombs);
    EXPECT_EQ(dlg.m_wLordUser, game.wLordUser);
}

INSTANTIATE_TEST_SUITE_P(Seeds, WholeGameTest, testing::Range(1u, 13u));

}  // namespace
