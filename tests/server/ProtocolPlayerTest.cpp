// Players at the far end of the protocol: three of them play whole games at a table of the real
// session layer and engine with nothing refused; a refused move is counted and not sent again;
// a server that breaks the protocol or refuses the seat fails the player.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "server/EngineTable.h"
#include "server/ProtocolPlayer.h"

using namespace protocol;
using namespace server;

namespace {

class Inboxes : public SessionTransport {
public:
    void send(ConnectionId id, std::span<const uint8_t> bytes) override { inbox[id].insert(inbox[id].end(), bytes.begin(), bytes.end()); }
    void close(ConnectionId id) override { closed[id] = true; }
    std::map<ConnectionId, std::vector<uint8_t>> inbox;
    std::map<ConnectionId, bool> closed;
};

template <typename Record>
std::vector<uint8_t> frame(uint16_t main, uint16_t sub, const Record& record)
{
    return encodeRecord(main, sub, record);
}

std::vector<uint8_t> gameFrame(uint16_t sub, std::span<const uint8_t> body)
{
    return encodeFrame(MDM_GAME, sub, body);
}

// The frames a player sent, cut apart.
std::vector<Frame> framesOf(const std::vector<uint8_t>& bytes)
{
    std::vector<Frame> frames;
    FrameDecoder decoder;
    decoder.feedAll(bytes, [&](Frame f) { return frames.push_back(std::move(f)), true; });
    return frames;
}

}  // namespace

TEST(ProtocolPlayer, ThreePlayWholeGamesAtARealTableWithNothingRefused)
{
    Inboxes transport;
    Sessions* sessionsRef = nullptr;
    SessionLimits limits;
    limits.tableCount = 2;
    Sessions sessions(limits, transport, [&](uint16_t table) {
        EngineTableOptions options;
        options.seed = 11 + table;
        return std::make_unique<EngineTable>(*sessionsRef, table, options);
    });
    sessionsRef = &sessions;

    std::map<ProtocolPlayer::Sample, int> samples;
    std::vector<std::unique_ptr<ProtocolPlayer>> players;
    for (ConnectionId id = 1; id <= 3; ++id) {
        players.push_back(std::make_unique<ProtocolPlayer>(ProtocolPlayerOptions{"load" + std::to_string(id)},
                                                           [&](ProtocolPlayer::Sample kind, uint64_t) { ++samples[kind]; }));
        sessions.onConnect(id);
        std::vector<uint8_t> out;
        players.back()->start(out);
        players.back()->ping(0, out);
        sessions.onBytes(id, out);
    }
    uint64_t now = 0;
    for (int round = 0; round < 100000 && players[0]->gamesFinished() < 20; ++round) {
        now += 1000;
        // A second passes each round, as far as the flood limit knows: these players are fast.
        sessions.advance(1000);
        for (ConnectionId id = 1; id <= 3; ++id) {
            ProtocolPlayer& player = *players[id - 1];
            std::vector<uint8_t> out;
            ASSERT_TRUE(player.onBytes(std::exchange(transport.inbox[id], {}), now, out)) << player.failure();
            if (round % 50 == 0)
                player.ping(now, out);
            if (!out.empty())
                sessions.onBytes(id, out);
        }
    }
    EXPECT_EQ(players[0]->gamesFinished(), 20u);
    std::set<uint16_t> chairs;
    for (const auto& player : players) {
        EXPECT_EQ(player->state(), ProtocolPlayer::State::Seated);
        EXPECT_EQ(player->refused(), 0u);
        EXPECT_EQ(player->gamesFinished(), 20u);
        chairs.insert(player->chair());
    }
    EXPECT_EQ(chairs, (std::set<uint16_t>{0, 1, 2}));
    EXPECT_TRUE(transport.closed.empty());
    // Every move came back from the table, and every ping was answered in order.
    EXPECT_EQ(samples[ProtocolPlayer::Sample::Move],
              static_cast<int>(players[0]->movesSent() + players[1]->movesSent() + players[2]->movesSent()));
    EXPECT_GT(samples[ProtocolPlayer::Sample::Ping], 3);
}

class OnePlayer : public testing::Test {
protected:
    OnePlayer() { player.start(out); }
    // Hands the player its log-on answers and a seat at chair 0 of a free table.
    void seat()
    {
        std::vector<uint8_t> in = frame(MDM_HOST_LOGON, SUB_LOGON_HELLO_ANSWER, ServerHello{HOST_PROTOCOL_MAGIC, 1, 1, {}});
        append(in, frame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{7, 99, 1, 0}));
        ASSERT_TRUE(player.onBytes(in, 0, out));
        UserInfo me{};
        me.dwUserID = 7;
        setText(me.szName, "ann");
        me.wTableID = 0;
        me.wChairID = 0;
        in = frame(MDM_HOST_USER, SUB_USER_ENTER, me);
        append(in, encodeSnapshot(GS_FREE, false, WriteRecord(StatusFree{})));
        out.clear();
        ASSERT_TRUE(player.onBytes(in, 0, out));
        ASSERT_EQ(player.state(), ProtocolPlayer::State::Seated);
        const auto sent = framesOf(out);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].sub, SUB_USER_READY);
        out.clear();
    }
    static void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

    ProtocolPlayer player{{"ann", BotKind::Basic, 500}};
    std::vector<uint8_t> out;
};

TEST_F(OnePlayer, WaitsItsThinkTimeAndCountsARefusedMoveWithoutSendingItAgain)
{
    seat();
    DealCards deal{};
    deal.wCurrentUser = 0;
    std::copy_n(g_cbFullDeck, HAND_CARDS, deal.cbHandCards[0]);
    ASSERT_TRUE(player.onBytes(gameFrame(SUB_S_DEAL_CARDS, WriteRecord(deal)), 1000, out));
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(player.moveDueUs(), 1500u);
    player.poll(1499, out);
    EXPECT_TRUE(out.empty());
    player.poll(1500, out);
    const auto bid = framesOf(out);
    ASSERT_EQ(bid.size(), 1u);
    EXPECT_EQ(bid[0].sub, SUB_C_BID_SCORE);
    out.clear();

    // The table answers with a snapshot: the move was refused, and the same view would send it again.
    StatusScore score{};
    score.wCurrentUser = 0;
    std::copy_n(g_cbFullDeck, HAND_CARDS, score.cbHandCards[0]);
    ASSERT_TRUE(player.onBytes(encodeSnapshot(GS_BIDDING, false, WriteRecord(score)), 2000, out));
    EXPECT_EQ(player.refused(), 1u);
    EXPECT_FALSE(player.moveDueUs());
    player.poll(10'000'000, out);
    EXPECT_TRUE(out.empty());
    // The server's clock passes for it; the next turn that comes round is played again.
    ASSERT_TRUE(player.onBytes(gameFrame(SUB_S_BID_RESULT, WriteRecord(BidResult{0, 1, BID_PASS, 0})), 3000, out));
    ASSERT_TRUE(player.onBytes(gameFrame(SUB_S_BID_RESULT, WriteRecord(BidResult{1, 2, BID_PASS, 0})), 3000, out));
    ASSERT_TRUE(player.onBytes(gameFrame(SUB_S_BID_RESULT, WriteRecord(BidResult{2, INVALID_CHAIR, 1, 1})), 3000, out));
    LordInfo lord{};
    lord.wLordUser = 2;
    std::copy_n(g_cbFullDeck + 51, BACK_CARDS, lord.cbBackCard);
    ASSERT_TRUE(player.onBytes(gameFrame(SUB_S_LORD_INFO, WriteRecord(lord)), 3000, out));
    EXPECT_FALSE(player.moveDueUs());
    const std::vector<uint8_t> single{1, 0, 0, 0, 2, 0, 0x33};  // chair 2 leads the three of spades, chair 0 next
    ASSERT_TRUE(player.onBytes(gameFrame(SUB_S_PLAYED_CARDS, single), 4000, out));
    EXPECT_EQ(player.moveDueUs(), 4500u);
}

TEST_F(OnePlayer, FailsOnAServerThatBreaksTheProtocolOrHasNoSeat)
{
    // Refused a seat: nothing to play.
    std::vector<uint8_t> in = frame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{7, 99, 1, 0});
    Refusal full{};
    full.dwCode = static_cast<uint32_t>(RefusalCode::ServerFull);
    setText(full.szReason, "no free chair");
    append(in, frame(MDM_HOST_USER, SUB_USER_REFUSED, full));
    EXPECT_FALSE(player.onBytes(in, 0, out));
    EXPECT_EQ(player.state(), ProtocolPlayer::State::Failed);
    EXPECT_NE(player.failure().find("no free chair"), std::string::npos);

    // A frame only a client sends, a length above the maximum, a game message that cannot be.
    for (const std::vector<uint8_t>& bad :
         {encodeFrame(MDM_HOST_USER, SUB_USER_STAND), std::vector<uint8_t>{0xFF, 0xFF, 0, 0, 1, 0, 1, 0},
          gameFrame(SUB_S_BID_RESULT, WriteRecord(BidResult{0, 1, 1, 1}))}) {
        ProtocolPlayer fresh({"bob"});
        std::vector<uint8_t> sent;
        fresh.start(sent);
        std::vector<uint8_t> stream = frame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{8, 1, 1, 0});
        UserInfo me{};
        me.dwUserID = 8;
        setText(me.szName, "bob");
        append(stream, frame(MDM_HOST_USER, SUB_USER_ENTER, me));
        append(stream, bad);
        EXPECT_FALSE(fresh.onBytes(stream, 0, sent));
        EXPECT_EQ(fresh.state(), ProtocolPlayer::State::Failed);
    }
}
