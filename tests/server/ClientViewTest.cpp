// A client's view kept from the table's messages agrees with the engine's own view of that chair
// through whole games (redeals, doubles, plays the server makes for a chair, plays nobody can
// answer), after a snapshot mid-game, and it refuses messages that cannot fit it.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "server/Bot.h"
#include "server/ClientView.h"

using namespace server;

namespace {

class ViewsSink : public TableSink {
public:
    void sendGame(uint16_t chair, uint16_t sub, std::span<const uint8_t> body) override
    {
        if (!views[chair].onGameMessage(sub, body))
            ++misfits;
    }
    std::array<ClientView, 3> views;
    int misfits = 0;
};

// The fields a client can know, compared with the engine's view of the same chair.
void expectSameView(const PlayerView& client, const PlayerView& engine, bool bidsKnown = true)
{
    ASSERT_EQ(client.phase, engine.phase);
    if (engine.phase == Phase::Free)
        return;
    EXPECT_EQ(client.current, engine.current);
    EXPECT_EQ(client.lord, engine.lord);
    EXPECT_EQ(client.hand, engine.hand);
    EXPECT_EQ(client.cardCount, engine.cardCount);
    if (bidsKnown) {
        EXPECT_EQ(client.bids, engine.bids);
        EXPECT_EQ(client.topBid, engine.topBid);
    }
    EXPECT_EQ(client.turnCards, engine.turnCards);
    EXPECT_EQ(client.turnUser, engine.turnUser);
    EXPECT_EQ(client.outCount, engine.outCount);
    EXPECT_EQ(client.doubled, engine.doubled);
}

class ClientViewGames : public testing::Test {
protected:
    ClientViewGames() : engine(TableConfig{}, 7, sink)
    {
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            sink.views[chair].seat(chair);
            engine.setPresent(chair, true);
        }
    }
    void expectAllAgree()
    {
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            SCOPED_TRACE(chair);
            expectSameView(sink.views[chair].view(), engine.view(chair));
        }
    }

    ViewsSink sink;
    TableEngine engine;
};

}  // namespace

TEST_F(ClientViewGames, FollowTheEngineThroughWholeGamesPlayedFromTheViews)
{
    // Chairs 0 and 1 play the standard bot and double whenever they may; chair 2 plays the basic
    // bot from its own view, and now and then lets the clock run out so that the server plays for it.
    const Bot standard(BotKind::Standard), basic(BotKind::Basic);
    int serverPlayed = 0, doubles = 0, redeals = 0, unanswerable = 0;
    for (int game = 0; game < 60; ++game) {
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
            ASSERT_TRUE(engine.setReady(chair));
        expectAllAgree();
        for (int move = 0; engine.phase() != Phase::Free; ++move) {
            ASSERT_LT(move, 500);
            for (uint16_t chair = 0; chair < 2; ++chair) {
                const PlayerView view = engine.view(chair);
                if (view.canDouble)
                    engine.onClientMessage(chair, SUB_C_JIA_BANG, WriteRecord(JiaBangType{view.doubleType}));
            }
            const uint16_t chair = engine.currentChair();
            if (chair == 2 && move % 11 == 5) {
                engine.advance(static_cast<uint32_t>(engine.deadlineMs() - engine.nowMs()));
                ++serverPlayed;
            } else if (chair == 2) {
                ASSERT_TRUE(sink.views[2].myTurn());
                const BotMove m = basic.decide(sink.views[2].view());
                ASSERT_TRUE(engine.onClientMessage(chair, m.subCmd, m.body));
            } else {
                const BotMove m = standard.decide(engine.view(chair));
                ASSERT_TRUE(engine.onClientMessage(chair, m.subCmd, m.body));
            }
            expectAllAgree();
            if (HasFatalFailure() || HasNonfatalFailure())
                return;
            doubles += engine.phase() == Phase::Playing && (engine.doubled(0) || engine.doubled(1));
            unanswerable += engine.phase() == Phase::Playing && engine.turnCards().empty() && engine.currentChair() == chair;
        }
        redeals += engine.dealsThisGame() > 1;
    }
    EXPECT_GT(doubles, 0);
    EXPECT_GT(redeals, 0);
    EXPECT_GT(unanswerable, 0);
    EXPECT_EQ(sink.misfits, 0);
    EXPECT_GT(serverPlayed, 20);
    EXPECT_EQ(engine.gamesPlayed(), 60u);
}

TEST_F(ClientViewGames, TakeASnapshotMidGameAndFollowOnFromIt)
{
    const Bot bot(BotKind::Basic);
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
        engine.setReady(chair);
    bool sawBidding = false, sawPlaying = false;
    for (int move = 0; engine.phase() != Phase::Free; ++move) {
        ASSERT_LT(move, 500);
        // A client that joins now (a reconnect) starts from the snapshot alone.
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            ClientView joined;
            joined.seat(chair);
            const auto [state, scene] = engine.snapshot(chair, false);
            ASSERT_TRUE(joined.onSnapshot(state, scene));
            expectSameView(joined.view(), engine.view(chair), state == GS_BIDDING);
            sawBidding |= state == GS_BIDDING;
            sawPlaying |= state == GS_PLAYING;
            if (chair == 1)
                sink.views[1] = joined;
        }
        const uint16_t chair = engine.currentChair();
        const BotMove m = bot.decide(engine.view(chair));
        ASSERT_TRUE(engine.onClientMessage(chair, m.subCmd, m.body));
        expectSameView(sink.views[1].view(), engine.view(1), engine.phase() != Phase::Playing);
    }
    EXPECT_TRUE(sawBidding);
    EXPECT_TRUE(sawPlaying);
    const auto [state, scene] = engine.snapshot(0, false);
    ClientView after;
    after.seat(0);
    ASSERT_TRUE(after.onSnapshot(state, scene));
    EXPECT_EQ(after.view().phase, Phase::Free);
    EXPECT_FALSE(after.myTurn());
}

TEST(ClientView, RefusesMessagesThatCannotFitWhatItSaw)
{
    ClientView view;
    view.seat(0);
    // Nothing was dealt: no bid or play can follow.
    EXPECT_FALSE(view.onGameMessage(SUB_S_BID_RESULT, WriteRecord(BidResult{0, 1, 1, 1})));
    EXPECT_FALSE(view.onGameMessage(SUB_S_PLAYED_CARDS, std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0x01}));

    DealCards deal{};
    deal.wCurrentUser = 0;
    for (uint8_t i = 0; i < HAND_CARDS; ++i)
        deal.cbHandCards[0][i] = g_cbFullDeck[i];  // 01..0D, 11..14
    ASSERT_TRUE(view.onGameMessage(SUB_S_DEAL_CARDS, WriteRecord(deal)));
    EXPECT_TRUE(view.myTurn());
    EXPECT_EQ(view.view().hand.size(), HAND_CARDS);
    // A deal with a byte that is no card, and a record of the wrong size.
    DealCards bad = deal;
    bad.cbHandCards[0][3] = 0x5A;
    EXPECT_FALSE(view.onGameMessage(SUB_S_DEAL_CARDS, WriteRecord(bad)));
    EXPECT_FALSE(view.onGameMessage(SUB_S_BID_RESULT, std::vector<uint8_t>{0, 0, 1}));

    ASSERT_TRUE(view.onGameMessage(SUB_S_BID_RESULT, WriteRecord(BidResult{0, INVALID_CHAIR, 3, 3})));
    LordInfo lord{};
    lord.wLordUser = 0;
    lord.cbBackCard[0] = 0x21;
    lord.cbBackCard[1] = 0x22;
    lord.cbBackCard[2] = 0x23;
    ASSERT_TRUE(view.onGameMessage(SUB_S_LORD_INFO, WriteRecord(lord)));
    EXPECT_EQ(view.view().hand.size(), MAX_HAND);
    // A play from this chair of a card it does not hold, and more cards than a chair has.
    EXPECT_FALSE(view.onGameMessage(SUB_S_PLAYED_CARDS, std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0x31}));
    std::vector<uint8_t> tooMany{18, 0, 2, 0, 1, 0};
    for (uint8_t i = 0; i < 18; ++i)
        tooMany.push_back(g_cbFullDeck[30 + i]);
    EXPECT_FALSE(view.onGameMessage(SUB_S_PLAYED_CARDS, tooMany));
    // A card it holds is taken from the hand.
    EXPECT_TRUE(view.onGameMessage(SUB_S_PLAYED_CARDS, std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0x21}));
    EXPECT_EQ(view.view().hand.size(), MAX_HAND - 1);
    EXPECT_EQ(view.view().turnCards, std::vector<uint8_t>{0x21});
}
