// Bots as players: every move they make is accepted, they never see hidden cards, and the
// standard bot plays better than the basic one.

#include <gtest/gtest.h>

#include <iostream>

#include "server/Bot.h"
#include "server/HandPlan.h"
#include "server/SelfPlay.h"

using namespace server;

namespace {

TEST(HandPlan, ShedsAHandInFewPlays)
{
    // 3-4-5-6-7 line, a trio of nines with a king riding along, a pair of jacks, the rocket.
    const std::vector<uint8_t> hand{0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x19, 0x29, 0x0B, 0x1B, 0x0D, 0x4E, 0x4F};
    const HandPlan plan = planHand(rankCounts(hand));
    EXPECT_EQ(plan.moves(), 4);
    int rockets = 0, lines = 0;
    for (const Combo& c : plan.list()) {
        rockets += c.type == PLAY_ROCKET;
        lines += c.type == PLAY_LINE;
    }
    EXPECT_EQ(rockets, 1);
    EXPECT_EQ(lines, 1);
    std::vector<uint8_t> cards;
    comboCards(hand, Combo{PLAY_TRIO, 9, 1, 3}, cards);
    EXPECT_EQ(cards, (std::vector<uint8_t>{0x09, 0x19, 0x29}));
}

TEST(Bot, StandardLetsItsPartnersPlayStandAndKeepsItsBomb)
{
    PlayerView view;
    view.chair = 1;
    view.lord = 0;
    view.phase = Phase::Playing;
    view.current = 1;
    view.cardCount = {17, 10, 12};
    view.hand = {0x0D, 0x1D, 0x2D, 0x3D, 0x09, 0x08, 0x07, 0x06, 0x04, 0x03};
    CGameLogic logic;
    logic.SortCards(view.hand.data(), static_cast<uint8_t>(view.hand.size()), ORDER_BY_RANK);
    view.turnCards = {0x05};
    view.turnUser = 2;  // the partner
    const Bot standard(BotKind::Standard), basic(BotKind::Basic);
    EXPECT_EQ(standard.decide(view).subCmd, SUB_C_PASS_CARD);
    EXPECT_EQ(basic.decide(view).subCmd, SUB_C_OUT_CARD);
    // Against the landlord's ace with plenty of cards left the bomb of kings stays in the hand.
    view.turnCards = {0x01};
    view.turnUser = 0;
    EXPECT_EQ(standard.decide(view).subCmd, SUB_C_PASS_CARD);
    // When the landlord is about to go out, it comes out.
    view.cardCount = {2, 10, 12};
    const BotMove bomb = standard.decide(view);
    ASSERT_EQ(bomb.subCmd, SUB_C_OUT_CARD);
    EXPECT_EQ(bomb.body.size(), 5u);
}

TEST(SelfPlay, HundredsOfSeededGamesRunCleanForEachKind)
{
    for (BotKind kind : {BotKind::Basic, BotKind::Standard}) {
        SelfPlayOptions options;
        options.games = 300;
        options.seed = 11;
        options.bots = {kind, kind, kind};
        uint32_t seen = 0;
        const SelfPlaySummary summary = runSelfPlay(options, [&](uint32_t, const SelfPlayGame& game) {
            ++seen;
            EXPECT_TRUE(game.bid >= 1 && game.bid <= 3);
            EXPECT_EQ(game.scores[0] + game.scores[1] + game.scores[2], 0);
        });
        ASSERT_TRUE(summary.ok()) << botKindName(kind) << ": " << summary.error;
        EXPECT_EQ(summary.games, 300u);
        EXPECT_EQ(seen, 300u);
        EXPECT_EQ(summary.lordWins + summary.farmerWins, 300u);
        EXPECT_EQ(summary.totals[0] + summary.totals[1] + summary.totals[2], 0);
    }
}

TEST(SelfPlay, ARunIsRepeatableUnderItsSeed)
{
    SelfPlayOptions options;
    options.games = 50;
    options.seed = 5;
    options.bots = {BotKind::Standard, BotKind::Basic, BotKind::Standard};
    const SelfPlaySummary a = runSelfPlay(options), b = runSelfPlay(options);
    EXPECT_EQ(a.totals, b.totals);
    EXPECT_EQ(a.lordWins, b.lordWins);
    options.seed = 6;
    EXPECT_NE(runSelfPlay(options).totals, a.totals);
}

TEST(SelfPlay, StandardBeatsBasic)
{
    // One standard bot against two basic ones, in each chair in turn.
    uint32_t standardWins = 0, basicWins = 0, games = 0;
    int64_t standardScore = 0;
    for (uint16_t seat = 0; seat < 3; ++seat) {
        SelfPlayOptions options;
        options.games = 400;
        options.seed = 100 + seat;
        options.bots = {BotKind::Basic, BotKind::Basic, BotKind::Basic};
        options.bots[seat] = BotKind::Standard;
        const SelfPlaySummary s = runSelfPlay(options);
        ASSERT_TRUE(s.ok()) << s.error;
        standardWins += s.wins[seat];
        basicWins += s.wins[(seat + 1) % 3] + s.wins[(seat + 2) % 3];
        standardScore += s.totals[seat];
        games += s.games;
    }
    const double standardRate = static_cast<double>(standardWins) / games;
    const double basicRate = static_cast<double>(basicWins) / (2.0 * games);
    std::cout << "standard win rate " << standardRate << ", basic " << basicRate << ", standard score " << standardScore << " over "
              << games << " games\n";
    EXPECT_GT(standardRate, basicRate + 0.1);
    EXPECT_GT(standardScore, 0);
}

}  // namespace
