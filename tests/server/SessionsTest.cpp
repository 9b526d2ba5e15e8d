// The server's session layer: log-on and seating, look-on with permission, refusing what is out of
// place, closing floods and garbage without disturbing others, and keeping a seat for a reconnect.
#include <gtest/gtest.h>

#include <set>

#include "protocol/HostProtocol.h"
#include "server/Sessions.h"

using namespace protocol;
using namespace server;

namespace {

class FakeTransport : public SessionTransport {
public:
    void send(ConnectionId id, std::span<const uint8_t> bytes) override
    {
        EXPECT_EQ(closed.count(id), 0u) << "nothing is sent after the close";
        decoders[id].feedAll(bytes, [&](Frame f) { return received[id].push_back(std::move(f)), true; });
    }
    void close(ConnectionId id) override { closed.insert(id); }

    std::vector<Frame> take(ConnectionId id) { return std::exchange(received[id], {}); }

    std::map<ConnectionId, FrameDecoder> decoders;
    std::map<ConnectionId, std::vector<Frame>> received;
    std::set<ConnectionId> closed;
};

class FakeGame : public TableGame {
public:
    void setPresent(uint16_t chair, bool present) override { calls.push_back((present ? "present " : "absent ") + std::to_string(chair)); }
    void setReady(uint16_t chair) override { calls.push_back("ready " + std::to_string(chair)); }
    bool isPlaying() const override { return playing; }
    bool onClientMessage(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t>) override
    {
        calls.push_back("message " + std::to_string(chair) + ' ' + std::to_string(main) + '.' + std::to_string(sub));
        return accept;
    }
    std::pair<uint8_t, std::vector<uint8_t>> snapshot(uint16_t chair, bool lookon, bool showCards) override
    {
        calls.push_back("snapshot " + std::to_string(chair) + (lookon ? " lookon" : "") + (showCards ? "" : " hidden"));
        return {GS_FREE, std::vector<uint8_t>(sizeof(StatusFree), 0)};
    }

    std::vector<std::string> calls;
    bool playing = false;
    bool accept = true;
};

std::vector<uint8_t> logonBytes(const char* name, uint32_t userId = 0, uint32_t key = 0)
{
    auto bytes = encodeRecord(MDM_HOST_LOGON, SUB_LOGON_HELLO, ClientHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1});
    LogonRequest logon{};
    setText(logon.szName, name);
    logon.cbDialect = 1;
    logon.dwUserID = userId;
    logon.dwResumeKey = key;
    const auto request = encodeRecord(MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon);
    bytes.insert(bytes.end(), request.begin(), request.end());
    return bytes;
}

std::vector<std::string> describe(const std::vector<Frame>& frames)
{
    std::vector<std::string> out;
    for (const auto& f : frames) {
        std::string line = std::to_string(f.main) + '.' + std::to_string(f.sub);
        if (const auto user = readBody<UserInfo>(f.body))
            line += ' ' + std::string(textOf(user->szName)) + '@' + std::to_string(user->wTableID) + ':' + std::to_string(user->wChairID) +
                    (user->cbLookon ? "L" : "") + " s" + std::to_string(user->cbUserStatus);
        if (const auto refusal = readBody<Refusal>(f.body))
            line += " code" + std::to_string(refusal->dwCode);
        if (f.main == MDM_HOST_USER && f.sub == SUB_USER_LOOKON_STATE)
            line += ' ' + std::to_string(f.body[0]) + std::to_string(f.body[1]);
        out.push_back(line);
    }
    return out;
}

class SessionLayer : public testing::Test {
protected:
    FakeGame& game(uint16_t table)
    {
        EXPECT_TRUE(games.count(table));
        return *games[table];
    }

    // Logs on a connection; returns its user id.
    uint32_t logOn(ConnectionId id, const char* name)
    {
        sessions.onConnect(id);
        sessions.onBytes(id, logonBytes(name));
        const auto frames = transport.take(id);
        EXPECT_EQ(frames.size(), 2u);
        const auto success = frames.size() == 2 ? readBody<LogonSuccess>(frames[1].body) : std::nullopt;
        EXPECT_TRUE(success);
        if (success)
            keys[id] = success->dwResumeKey;
        return success ? success->dwUserID : 0;
    }

    template <typename Record>
    void send(ConnectionId id, uint16_t main, uint16_t sub, const Record& record)
    {
        sessions.onBytes(id, encodeRecord(main, sub, record));
    }

    void sendEmpty(ConnectionId id, uint16_t main, uint16_t sub) { sessions.onBytes(id, encodeFrame(main, sub)); }

    FakeTransport transport;
    std::map<uint16_t, FakeGame*> games;
    std::map<ConnectionId, uint32_t> keys;
    Sessions sessions{SessionLimits{4, 50, 100, 7}, transport, [this](uint16_t table) {
                          auto game = std::make_unique<FakeGame>();
                          games[table] = game.get();
                          return game;
                      }};
};

}  // namespace

TEST_F(SessionLayer, PlayersSitAtFreeChairsAndHearOfEachOther)
{
    logOn(1, "ann");
    logOn(2, "bob");
    send(1, MDM_HOST_USER, SUB_USER_SIT, SitRequest{INVALID_TABLE, INVALID_CHAIR});
    EXPECT_EQ(describe(transport.take(1)), (std::vector<std::string>{"3.10 ann@0:0 s2", "3.15 00", "4.1"}));
    send(2, MDM_HOST_USER, SUB_USER_SIT, SitRequest{INVALID_TABLE, INVALID_CHAIR});
    // The sitter hears of itself first, so that it knows its chair before it places the others.
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.10 bob@0:1 s2", "3.10 ann@0:0 s2", "3.15 00", "4.1"}));
    EXPECT_EQ(describe(transport.take(1)), (std::vector<std::string>{"3.10 bob@0:1 s2"}));
    EXPECT_EQ(game(0).calls, (std::vector<std::string>{"present 0", "snapshot 0", "present 1", "snapshot 1"}));

    // A taken chair, a table that does not exist, sitting twice.
    logOn(3, "cat");
    send(3, MDM_HOST_USER, SUB_USER_SIT, SitRequest{0, 1});
    send(3, MDM_HOST_USER, SUB_USER_SIT, SitRequest{9, INVALID_CHAIR});
    send(1, MDM_HOST_USER, SUB_USER_SIT, SitRequest{1, 0});
    EXPECT_EQ(describe(transport.take(3)), (std::vector<std::string>{"3.14 code4", "3.14 code5"}));
    EXPECT_EQ(describe(transport.take(1)), (std::vector<std::string>{"3.14 code7"}));

    sendEmpty(2, MDM_HOST_USER, SUB_USER_READY);
    EXPECT_EQ(game(0).calls.back(), "ready 1");
    EXPECT_EQ(describe(transport.take(1)), (std::vector<std::string>{"3.12 bob@0:1 s3"}));
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.12 bob@0:1 s3"}));

    ChatMessage chat{};
    chat.dwSenderID = 999;  // stamped over by the server
    setText(chat.szText, "hi");
    send(1, MDM_HOST_USER, SUB_USER_CHAT, chat);
    const auto relayed = transport.take(2);
    ASSERT_EQ(relayed.size(), 1u);
    const auto got = readBody<ChatMessage>(relayed[0].body);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->dwSenderID, sessions.playerAt(0, 0));
    EXPECT_EQ(textOf(got->szSenderName), "ann");
}

TEST_F(SessionLayer, GameFramesReachOnlyTheTableAndARefusalBringsASnapshot)
{
    logOn(1, "ann");
    send(1, MDM_HOST_USER, SUB_USER_SIT, SitRequest{2, 1});
    transport.take(1);
    const uint8_t bid[] = {3};
    sessions.onBytes(1, encodeFrame(MDM_GAME, SUB_C_BID_SCORE, bid));
    sessions.onBytes(1, encodeFrame(MDM_SCORE_CHANGE, SUB_SCORE_CHANGE_REQUEST, std::vector<uint8_t>(8)));
    EXPECT_TRUE(transport.take(1).empty());
    game(2).accept = false;
    sessions.onBytes(1, encodeFrame(MDM_GAME, SUB_C_PASS_CARD));
    EXPECT_EQ(describe(transport.take(1)), (std::vector<std::string>{"4.1"}));
    EXPECT_EQ(game(2).calls, (std::vector<std::string>{"present 1", "snapshot 1", "message 1 100.1", "message 1 14.100",
                                                       "message 1 100.3", "snapshot 1"}));

    // Someone at no table has no game to talk to.
    logOn(2, "bob");
    sessions.onBytes(2, encodeFrame(MDM_GAME, SUB_C_PASS_CARD));
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.14 code7"}));
}

TEST_F(SessionLayer, LookersSeeCardsOnlyWithThePlayersPermission)
{
    const uint32_t ann = logOn(1, "ann");
    send(1, MDM_HOST_USER, SUB_USER_SIT, SitRequest{0, 2});
    const uint32_t lou = logOn(2, "lou");
    send(2, MDM_HOST_USER, SUB_USER_LOOKON, LookonRequest{0, 0});
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.14 code6"})) << "an empty chair has nothing to watch";
    send(2, MDM_HOST_USER, SUB_USER_LOOKON, LookonRequest{0, 2});
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.10 lou@0:2L s4", "3.10 ann@0:2 s2", "3.15 10", "4.1"}));
    EXPECT_EQ(game(0).calls.back(), "snapshot 2 lookon hidden") << "no permission yet: the snapshot leaves the cards out";
    transport.take(1);

    const uint8_t deal[] = {1, 2, 3};
    const uint8_t blind[] = {0, 0, 0};
    sessions.sendGame(0, 2, SUB_S_DEAL_CARDS, deal);
    sessions.sendGameToBlindLookers(0, 2, SUB_S_DEAL_CARDS, blind);
    auto seen = transport.take(2);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].body, std::vector<uint8_t>(blind, blind + 3));
    EXPECT_EQ(transport.take(1).size(), 1u);

    send(1, MDM_HOST_USER, SUB_USER_ALLOW_LOOKON, AllowLookon{lou, 1, {}});
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.15 11", "4.1"}));
    sessions.sendGame(0, 2, SUB_S_DEAL_CARDS, deal);
    sessions.sendGameToBlindLookers(0, 2, SUB_S_DEAL_CARDS, blind);
    seen = transport.take(2);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].body, std::vector<uint8_t>(deal, deal + 3));

    // A looker's game frames change nothing; its player leaving takes it away too.
    sessions.onBytes(2, encodeFrame(MDM_GAME, SUB_C_PASS_CARD));
    EXPECT_EQ(game(0).calls.back(), "snapshot 2 lookon");
    sendEmpty(1, MDM_HOST_USER, SUB_USER_STAND);
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.11 ann@0:2 s2", "3.11 lou@0:2L s4"}));
    EXPECT_EQ(sessions.user(ann)->wTableID, INVALID_TABLE);
    EXPECT_EQ(sessions.user(lou)->wTableID, INVALID_TABLE);
}

TEST_F(SessionLayer, GarbageFloodsAndOutOfPlaceFramesCloseOnlyTheirConnection)
{
    logOn(1, "ann");
    send(1, MDM_HOST_USER, SUB_USER_SIT, SitRequest{0, 0});
    transport.take(1);

    // Before log-on only hello, log-on and ping are taken.
    sessions.onConnect(2);
    sessions.onBytes(2, encodeFrame(MDM_GAME, SUB_C_PASS_CARD));
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"5.1 code7"}));
    EXPECT_TRUE(transport.closed.count(2));

    // A chair of 3 in a sit request; a length above the maximum (closed without a notice).
    logOn(3, "bob");
    sessions.onBytes(3, encodeRecord(MDM_HOST_USER, SUB_USER_SIT, SitRequest{0, 3}));
    EXPECT_EQ(describe(transport.take(3)), (std::vector<std::string>{"5.1 code8"}));
    sessions.onConnect(4);
    sessions.onBytes(4, std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 1, 0});
    EXPECT_TRUE(transport.take(4).empty());
    EXPECT_TRUE(transport.closed.count(4));

    // A flood: the limit is 50 frames a second here; the clock's next second starts afresh.
    logOn(5, "cat");
    std::vector<uint8_t> pings;
    for (int i = 0; i < 47; ++i)
        appendFrame(pings, MDM_HOST_SYSTEM, SUB_SYSTEM_PING, std::vector<uint8_t>(8, 0));
    sessions.onBytes(5, pings);
    sessions.advance(1000);
    sessions.onBytes(5, pings);
    EXPECT_FALSE(transport.closed.count(5));
    sessions.onBytes(5, pings);
    EXPECT_TRUE(transport.closed.count(5));
    EXPECT_EQ(describe(transport.take(5)).back(), "5.1 code9");

    EXPECT_FALSE(transport.closed.count(1));
    EXPECT_EQ(sessions.connectionCount(), 1u);
    EXPECT_EQ(sessions.userCount(), 1u) << "users of closed connections at no game are forgotten";
}

TEST_F(SessionLayer, ALostPlayerKeepsItsSeatDuringAGameAndComesBackWithItsKey)
{
    const uint32_t ann = logOn(1, "ann");
    send(1, MDM_HOST_USER, SUB_USER_SIT, SitRequest{1, 0});
    logOn(2, "bob");
    send(2, MDM_HOST_USER, SUB_USER_SIT, SitRequest{1, 1});
    game(1).playing = true;
    sessions.gameStarted(1);
    transport.take(2);

    sessions.onDisconnect(1);
    EXPECT_EQ(sessions.playerAt(1, 0), ann);
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.12 ann@1:0 s6"}));
    EXPECT_EQ(game(1).calls.back(), "absent 0");

    // A wrong key is somebody new.
    sessions.onConnect(3);
    sessions.onBytes(3, logonBytes("ann", ann, keys[1] + 1));
    EXPECT_NE(readBody<LogonSuccess>(transport.take(3)[1].body)->dwUserID, ann);

    sessions.onConnect(4);
    sessions.onBytes(4, logonBytes("ann", ann, keys[1]));
    const auto back = transport.take(4);
    EXPECT_EQ(describe(back), (std::vector<std::string>{"1.2", "1.4", "3.10 ann@1:0 s5", "3.10 bob@1:1 s5", "3.15 00", "4.1"}));
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.12 ann@1:0 s5"}));
    EXPECT_EQ(game(1).calls.back(), "snapshot 0");

    // The same user logging on again elsewhere takes the seat over from the old connection.
    const auto success = readBody<LogonSuccess>(back[1].body);
    ASSERT_TRUE(success);
    EXPECT_NE(success->dwResumeKey, keys[1]) << "a key is good for one log-on";
    sessions.onConnect(5);
    sessions.onBytes(5, logonBytes("ann", ann, success->dwResumeKey));
    EXPECT_EQ(describe(transport.take(4)), (std::vector<std::string>{"5.1 code10"}));
    EXPECT_TRUE(transport.closed.count(4));
    EXPECT_EQ(describe(transport.take(5)).size(), 6u);
    EXPECT_EQ(sessions.playerAt(1, 0), ann);
    EXPECT_TRUE(transport.take(2).empty()) << "the table sees no leave";

    // A player cannot stand up in a game; one lost at the game's end gives its seat up.
    sendEmpty(2, MDM_HOST_USER, SUB_USER_STAND);
    EXPECT_EQ(describe(transport.take(2)), (std::vector<std::string>{"3.14 code12"}));
    sessions.onDisconnect(2);
    game(1).playing = false;
    sessions.gameEnded(1, {20, -10, -10});
    EXPECT_EQ(sessions.playerAt(1, 1), 0u);
    EXPECT_EQ(sessions.user(ann)->lScore, 20);
    EXPECT_EQ(sessions.user(ann)->cbUserStatus, USER_STATUS_SIT);
}
