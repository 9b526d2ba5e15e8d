// The engine behind the session layer: a person at a table with bots plays whole games through
// the protocol, lookers see a player's cards only with permission, and bots come and go with the
// people of their table.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "protocol/GameRecords.h"
#include "protocol/HostProtocol.h"
#include "server/EngineTable.h"

using namespace protocol;
using namespace server;

namespace {

class RecordingTransport : public SessionTransport {
public:
    void send(ConnectionId id, std::span<const uint8_t> bytes) override
    {
        decoders[id].feedAll(bytes, [&](Frame f) { return received[id].push_back(std::move(f)), true; });
    }
    void close(ConnectionId id) override { closed.insert(id); }

    std::vector<Frame> take(ConnectionId id) { return std::exchange(received[id], {}); }

    std::map<ConnectionId, FrameDecoder> decoders;
    std::map<ConnectionId, std::vector<Frame>> received;
    std::set<ConnectionId> closed;
};

bool isGame(const Frame& f, uint16_t sub)
{
    return f.main == MDM_GAME && f.sub == sub;
}

class EngineBehindSessions : public testing::Test {
protected:
    // A new user, or with userId and key the reconnect of one; the key of this log-on is kept in
    // lastKey. A reconnect's frames after the log-on answer stay to be taken.
    uint32_t logOn(ConnectionId id, const char* name, uint32_t userId = 0, uint32_t key = 0)
    {
        sessions.onConnect(id);
        auto bytes = encodeRecord(MDM_HOST_LOGON, SUB_LOGON_HELLO, ClientHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1});
        LogonRequest logon{};
        setText(logon.szName, name);
        logon.dwUserID = userId;
        logon.dwResumeKey = key;
        const auto request = encodeRecord(MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon);
        bytes.insert(bytes.end(), request.begin(), request.end());
        sessions.onBytes(id, bytes);
        auto frames = transport.take(id);
        const auto success = frames.size() >= 2 ? readBody<LogonSuccess>(frames[1].body) : std::nullopt;
        EXPECT_TRUE(success);
        if (userId)
            transport.received[id].assign(frames.begin() + std::min<std::size_t>(frames.size(), 2), frames.end());
        lastKey = success ? success->dwResumeKey : 0;
        return success ? success->dwUserID : 0;
    }
    void sit(ConnectionId id, uint16_t chair) { sessions.onBytes(id, encodeRecord(MDM_HOST_USER, SUB_USER_SIT, SitRequest{0, chair})); }
    void ready(ConnectionId id) { sessions.onBytes(id, encodeFrame(MDM_HOST_USER, SUB_USER_READY)); }

    // Moves time on in ticks as the server does; the person in `chair` (on connection `id`) plays
    // as the basic bot would, through the protocol. Stops at the game's end, or before a tick
    // once `stop` says so (then false).
    bool playToEnd(ConnectionId id, uint16_t chair, std::vector<Frame>* seenByPerson = nullptr,
                   const std::function<bool()>& stop = {})
    {
        const Bot person(BotKind::Basic);
        for (int tick = 0; tick < 20000; ++tick) {
            if (stop && stop())
                return false;
            sessions.advance(100);
            table().advance(100);
            const PlayerView view = table().engine().view(chair);
            if (view.phase != Phase::Free && view.current == chair && table().engine().nowMs() >= table().engine().turnStartMs()) {
                const BotMove move = person.decide(view);
                sessions.onBytes(id, encodeFrame(MDM_GAME, move.subCmd, move.body));
            }
            for (Frame& f : transport.take(id)) {
                const bool end = isGame(f, SUB_S_GAME_END);
                if (seenByPerson)
                    seenByPerson->push_back(std::move(f));
                if (end)
                    return true;
            }
        }
        return false;
    }

    EngineTable& table()
    {
        EXPECT_TRUE(tables.count(0));
        return *tables[0];
    }

    RecordingTransport transport;
    uint32_t lastKey = 0;
    std::map<uint16_t, EngineTable*> tables;
    Sessions sessions{SessionLimits{2, 200, 100, 3}, transport, [this](uint16_t id) {
                          EngineTableOptions options;
                          options.seed = 11;
                          options.bots = BotKind::Basic;
                          options.botThinkMs = 0;
                          auto game = std::make_unique<EngineTable>(sessions, id, options);
                          tables[id] = game.get();
                          return game;
                      }};
};

}  // namespace

TEST_F(EngineBehindSessions, APersonAndTwoBotsPlayWholeGamesThroughTheProtocol)
{
    const uint32_t ann = logOn(1, "ann");
    sit(1, 1);
    transport.take(1);
    EXPECT_FALSE(table().hasBot(0)) << "bots wait for a person to be ready";
    ready(1);
    EXPECT_TRUE(table().hasBot(0) && table().hasBot(2) && !table().hasBot(1));
    EXPECT_TRUE(table().isPlaying());

    std::vector<Frame> seen;
    ASSERT_TRUE(playToEnd(1, 1, &seen));
    EXPECT_FALSE(table().isPlaying());
    const auto deal = std::find_if(seen.begin(), seen.end(), [](const Frame& f) { return isGame(f, SUB_S_DEAL_CARDS); });
    ASSERT_NE(deal, seen.end());
    const auto record = ReadRecord<DealCards>(deal->body);
    ASSERT_TRUE(record);
    EXPECT_EQ(std::count(std::begin(record->cbHandCards[1]), std::begin(record->cbHandCards[1]) + HAND_CARDS, 0), 0) << "the person's own cards";
    const auto end = ReadRecord<GameEndRecord>(seen.back().body);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->lGameScore[0] + end->lGameScore[1] + end->lGameScore[2], 0);

    // The score reached the person's record; it sits again, and the bots wait for it alone.
    transport.take(1);
    EXPECT_EQ(sessions.user(ann)->lScore, end->lGameScore[1]);
    EXPECT_EQ(sessions.user(ann)->cbUserStatus, USER_STATUS_SIT);
    EXPECT_TRUE(table().engine().ready(0) && table().engine().ready(2) && !table().engine().ready(1));
    ready(1);
    EXPECT_TRUE(table().isPlaying());
    EXPECT_TRUE(playToEnd(1, 1));
}

TEST_F(EngineBehindSessions, ALookerWithoutPermissionNeverGetsThePlayersCards)
{
    logOn(1, "ann");
    sit(1, 0);
    logOn(2, "lou");
    sessions.onBytes(2, encodeRecord(MDM_HOST_USER, SUB_USER_LOOKON, LookonRequest{0, 0}));
    ready(1);

    std::vector<Frame> seen;
    auto checkBlind = [&](const std::vector<Frame>& frames) {
        for (const Frame& f : frames) {
            if (isGame(f, SUB_S_DEAL_CARDS)) {
                const auto deal = ReadRecord<DealCards>(f.body);
                ASSERT_TRUE(deal);
                const uint16_t shownChair = deal->wShownCardPos / HAND_CARDS;
                const int visible = static_cast<int>(std::count_if(std::begin(deal->cbHandCards[0]), std::end(deal->cbHandCards[0]),
                                                                   [](uint8_t card) { return card != 0; }));
                EXPECT_EQ(visible, shownChair == 0 ? 1 : 0) << "only the face-up card of the watched hand";
            }
            if (f.main == MDM_HOST_TABLE) {
                const auto snapshot = readSnapshot(f.body);
                ASSERT_TRUE(snapshot);
                const auto play = ReadRecord<StatusPlay>(snapshot->scene);
                const auto score = ReadRecord<StatusScore>(snapshot->scene);
                const uint8_t* row = nullptr;
                if (snapshot->head.cbGameStatus == GS_PLAYING && play)
                    row = play->cbHandCards[0];
                if (snapshot->head.cbGameStatus == GS_BIDDING && score)
                    row = score->cbHandCards[0];
                if (row) {
                    EXPECT_TRUE(std::all_of(row, row + MAX_HAND, [](uint8_t card) { return card == 0; }))
                        << "snapshot state " << int(snapshot->head.cbGameStatus);
                }
            }
        }
    };
    bool ended = false;
    bool kitCame = false;
    for (int tick = 0; tick < 20000 && !ended; ++tick) {
        sessions.advance(100);
        table().advance(100);
        // A second looker arrives mid-game, while the landlord plays: it gets a snapshot.
        if (table().engine().phase() == Phase::Playing && !kitCame) {
            kitCame = true;
            logOn(3, "kit");
            sessions.onBytes(3, encodeRecord(MDM_HOST_USER, SUB_USER_LOOKON, LookonRequest{0, 0}));
        }
        const auto frames = transport.take(2);
        checkBlind(frames);
        checkBlind(transport.take(3));
        ended = std::any_of(frames.begin(), frames.end(), [](const Frame& f) { return isGame(f, SUB_S_GAME_END); });
    }
    EXPECT_TRUE(ended) << "the person left alone is played for by the server";

    // Allowed, the looker gets the cards in the next game's deal.
    sessions.onBytes(1, encodeRecord(MDM_HOST_USER, SUB_USER_ALLOW_LOOKON, AllowLookon{0, 1, {}}));
    transport.take(2);
    ready(1);
    const auto frames = transport.take(2);
    const auto deal = std::find_if(frames.begin(), frames.end(), [](const Frame& f) { return isGame(f, SUB_S_DEAL_CARDS); });
    ASSERT_NE(deal, frames.end());
    EXPECT_NE(ReadRecord<DealCards>(deal->body)->cbHandCards[0][0], 0);
}

TEST_F(EngineBehindSessions, BotsLeaveWithTheLastPersonAndGiveTheirChairToANewcomer)
{
    logOn(1, "ann");
    sit(1, 0);
    ready(1);
    ASSERT_TRUE(playToEnd(1, 0));
    // Between games a person takes a bot's chair; the bot's ready does not carry over.
    logOn(2, "bob");
    sit(2, 2);
    EXPECT_FALSE(table().hasBot(2));
    EXPECT_FALSE(table().engine().ready(2));
    EXPECT_TRUE(table().hasBot(1));

    sessions.onBytes(1, encodeFrame(MDM_HOST_USER, SUB_USER_STAND));
    EXPECT_TRUE(table().hasBot(1)) << "bob is still there";
    sessions.onBytes(2, encodeFrame(MDM_HOST_USER, SUB_USER_STAND));
    EXPECT_FALSE(table().hasBot(0) || table().hasBot(1) || table().hasBot(2));
    EXPECT_FALSE(table().engine().present(1));
    for (int tick = 0; tick < 100; ++tick)
        table().advance(100);
    EXPECT_FALSE(table().isPlaying()) << "an empty table does not play by itself";
}

TEST_F(EngineBehindSessions, APlayerLostMidGameIsPlayedForAndComesBackToItsOwnHand)
{
    const uint32_t ann = logOn(1, "ann");
    const uint32_t key = lastKey;
    sit(1, 1);
    ready(1);
    const TableEngine& engine = table().engine();
    const auto cardsOut = [&] {
        const PlayerView view = engine.view(1);
        return 54 - view.cardCount[0] - view.cardCount[1] - view.cardCount[2];
    };
    // Lost once the play has begun and a few cards lie on the table.
    ASSERT_FALSE(playToEnd(1, 1, nullptr, [&] { return engine.phase() == Phase::Playing && cardsOut() >= 6; }));
    sessions.onDisconnect(1);
    ASSERT_EQ(sessions.playerAt(0, 1), ann) << "the seat is kept";

    // The server plays for the absent player: its hand shrinks without a message from it.
    const uint8_t heldWhenLost = engine.view(1).cardCount[1];
    for (int tick = 0; tick < 2000 && engine.phase() == Phase::Playing && engine.view(1).cardCount[1] == heldWhenLost; ++tick) {
        sessions.advance(100);
        table().advance(100);
    }
    ASSERT_EQ(engine.phase(), Phase::Playing) << "seed 11 leaves the game running after the absent player's move";
    ASSERT_LT(engine.view(1).cardCount[1], heldWhenLost);

    // Back with its key: the same user, and a snapshot of the running game with its own hand.
    ASSERT_EQ(logOn(2, "ann", ann, key), ann);
    const auto frames = transport.take(2);
    const auto snapshotFrame = std::find_if(frames.begin(), frames.end(),
                                            [](const Frame& f) { return f.main == MDM_HOST_TABLE && f.sub == SUB_TABLE_SNAPSHOT; });
    ASSERT_NE(snapshotFrame, frames.end());
    const auto snapshot = readSnapshot(snapshotFrame->body);
    ASSERT_TRUE(snapshot);
    ASSERT_EQ(snapshot->head.cbGameStatus, GS_PLAYING);
    const auto play = ReadRecord<StatusPlay>(snapshot->scene);
    ASSERT_TRUE(play);
    const PlayerView view = engine.view(1);
    ASSERT_EQ(play->cbCardCount[1], view.hand.size());
    std::multiset<uint8_t> snapshotHand(play->cbHandCards[1], play->cbHandCards[1] + play->cbCardCount[1]);
    EXPECT_EQ(snapshotHand, std::multiset<uint8_t>(view.hand.begin(), view.hand.end()));
    EXPECT_EQ(play->wCurrentUser, view.current);
    EXPECT_EQ(play->cbCardCount[0], view.cardCount[0]);
    EXPECT_EQ(play->cbCardCount[2], view.cardCount[2]);

    // It plays the game out on the new connection and the result is its own.
    std::vector<Frame> seen;
    ASSERT_TRUE(playToEnd(2, 1, &seen));
    const auto end = ReadRecord<GameEndRecord>(seen.back().body);
    ASSERT_TRUE(end);
    EXPECT_EQ(sessions.user(ann)->lScore, end->lGameScore[1]);
    EXPECT_TRUE(transport.take(1).empty()) << "nothing goes to the lost connection";
}
