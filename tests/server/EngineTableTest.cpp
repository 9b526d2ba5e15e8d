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
            // What follows the game end in the same step (scores, statuses) is seen too.
            bool ended = false;
            for (Frame& f : transport.take(id)) {
                ended = ended || isGame(f, SUB_S_GAME_END);
                if (seenByPerson)
                    seenByPerson->push_back(std::move(f));
            }
            if (ended)
                return true;
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
    bool demoExtras = false;
    Sessions sessions{SessionLimits{2, 200, 100, 3}, transport, [this](uint16_t id) {
                          EngineTableOptions options;
                          options.seed = 11;
                          options.bots = BotKind::Basic;
                          options.botThinkMs = 0;
                          options.demoExtras = demoExtras;
                          auto game = std::make_unique<EngineTable>(sessions, id, options);
                          tables[id] = game.get();
                          return game;
                      }};
};

// The user records the notices of one kind carry.
std::vector<UserInfo> notices(const std::vector<Frame>& frames, uint16_t sub)
{
    std::vector<UserInfo> found;
    for (const Frame& f : frames) {
        if (f.main == MDM_HOST_USER && f.sub == sub)
            found.push_back(*readBody<UserInfo>(f.body));
    }
    return found;
}

bool hasNotice(const std::vector<Frame>& frames, uint16_t sub, uint32_t userId, uint8_t status)
{
    const auto found = notices(frames, sub);
    return std::any_of(found.begin(), found.end(), [&](const UserInfo& u) { return u.dwUserID == userId && u.cbUserStatus == status; });
}

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
    const auto endFrame = std::find_if(seen.begin(), seen.end(), [](const Frame& f) { return isGame(f, SUB_S_GAME_END); });
    ASSERT_NE(endFrame, seen.end());
    const auto end = ReadRecord<GameEndRecord>(endFrame->body);
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
    const auto endFrame = std::find_if(seen.begin(), seen.end(), [](const Frame& f) { return isGame(f, SUB_S_GAME_END); });
    ASSERT_NE(endFrame, seen.end());
    const auto end = ReadRecord<GameEndRecord>(endFrame->body);
    ASSERT_TRUE(end);
    EXPECT_EQ(sessions.user(ann)->lScore, end->lGameScore[1]);
    EXPECT_TRUE(transport.take(1).empty()) << "nothing goes to the lost connection";
}

TEST_F(EngineBehindSessions, BotsAreUsersThatThePeopleAtTheTableSeeComePlayAndGo)
{
    const uint32_t ann = logOn(1, "ann");
    sit(1, 1);
    transport.take(1);
    ready(1);
    const uint32_t bot0 = sessions.playerAt(0, 0);
    const uint32_t bot2 = sessions.playerAt(0, 2);
    ASSERT_NE(bot0, 0u);
    ASSERT_NE(bot2, 0u);
    const auto names = [&](uint32_t id) { return std::string(sessions.user(id)->szName); };
    EXPECT_EQ(names(bot0), "\xb0\xa2\xb8\xa3");  // 阿福
    EXPECT_EQ(names(bot2), "\xc0\xcf\xd6\xdc");  // 老周
    auto frames = transport.take(1);
    EXPECT_TRUE(hasNotice(frames, SUB_USER_ENTER, bot0, USER_STATUS_READY));
    EXPECT_TRUE(hasNotice(frames, SUB_USER_ENTER, bot2, USER_STATUS_READY));
    EXPECT_TRUE(hasNotice(frames, SUB_USER_STATUS, bot0, USER_STATUS_PLAY));
    EXPECT_TRUE(hasNotice(frames, SUB_USER_STATUS, ann, USER_STATUS_PLAY));

    // A looker of a bot's chair is shown the whole table, bots included.
    const uint32_t bob = logOn(2, "bob");
    sessions.onBytes(2, encodeRecord(MDM_HOST_USER, SUB_USER_LOOKON, LookonRequest{0, 0}));
    frames = transport.take(2);
    for (uint32_t id : {bob, ann, bot0, bot2})
        EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [&](const Frame& f) {
                      return f.sub == SUB_USER_ENTER && readBody<UserInfo>(f.body)->dwUserID == id;
                  }),
                  1)
            << id;

    // Scores after the game, and the bots ready at once for the next.
    std::vector<Frame> seen;
    ASSERT_TRUE(playToEnd(1, 1, &seen));
    const auto scores = notices(seen, SUB_USER_SCORE);
    EXPECT_EQ(scores.size(), 3u);
    for (const UserInfo& score : scores)
        EXPECT_EQ(score.lScore, sessions.user(score.dwUserID)->lScore);
    EXPECT_EQ(sessions.user(bot0)->lScore + sessions.user(bot2)->lScore + sessions.user(ann)->lScore, 0);
    EXPECT_TRUE(hasNotice(seen, SUB_USER_STATUS, bot0, USER_STATUS_READY));
    EXPECT_TRUE(hasNotice(seen, SUB_USER_STATUS, ann, USER_STATUS_SIT));

    // The last person leaves: so do the bots, and their lookers with them.
    transport.take(2);
    sessions.onBytes(1, encodeFrame(MDM_HOST_USER, SUB_USER_STAND));
    frames = transport.take(2);
    const auto left = notices(frames, SUB_USER_LEAVE);
    EXPECT_TRUE(std::any_of(left.begin(), left.end(), [&](const UserInfo& u) { return u.dwUserID == bot0; }));
    EXPECT_TRUE(std::any_of(left.begin(), left.end(), [&](const UserInfo& u) { return u.dwUserID == bob; }));
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
        EXPECT_EQ(sessions.playerAt(0, chair), 0u);
    EXPECT_EQ(sessions.userCount(), 2u) << "the bots' records are gone";
}

TEST_F(EngineBehindSessions, APersonTakesABotsChairMidGameWithItsRecordsPlace)
{
    const uint32_t ann = logOn(1, "ann");
    sit(1, 0);
    ready(1);
    const uint32_t bot = sessions.playerAt(0, 2);
    ASSERT_TRUE(table().isPlaying());
    transport.take(1);

    const uint32_t cy = logOn(3, "cy");
    sit(3, 2);
    EXPECT_FALSE(table().hasBot(2));
    EXPECT_EQ(sessions.playerAt(0, 2), cy);
    EXPECT_FALSE(sessions.user(bot)) << "the bot's record is handed over, not kept";
    // The table sees the bot go and the person come, already playing.
    const auto annSaw = transport.take(1);
    const auto leave = std::find_if(annSaw.begin(), annSaw.end(), [&](const Frame& f) { return f.sub == SUB_USER_LEAVE; });
    const auto enter = std::find_if(annSaw.begin(), annSaw.end(), [&](const Frame& f) { return f.sub == SUB_USER_ENTER; });
    ASSERT_NE(leave, annSaw.end());
    ASSERT_NE(enter, annSaw.end());
    EXPECT_LT(leave, enter);
    EXPECT_EQ(readBody<UserInfo>(leave->body)->dwUserID, bot);
    EXPECT_TRUE(hasNotice(annSaw, SUB_USER_ENTER, cy, USER_STATUS_PLAY));
    // The newcomer gets itself, ann and the other bot, and the game with the bot's hand.
    const auto cySaw = transport.take(3);
    EXPECT_TRUE(hasNotice(cySaw, SUB_USER_ENTER, cy, USER_STATUS_PLAY));
    EXPECT_TRUE(hasNotice(cySaw, SUB_USER_ENTER, ann, USER_STATUS_PLAY));
    EXPECT_TRUE(hasNotice(cySaw, SUB_USER_ENTER, sessions.playerAt(0, 1), USER_STATUS_PLAY));
    const auto snapshot = std::find_if(cySaw.begin(), cySaw.end(), [](const Frame& f) { return f.main == MDM_HOST_TABLE; });
    ASSERT_NE(snapshot, cySaw.end());
    EXPECT_NE(readSnapshot(snapshot->body)->head.cbGameStatus, GS_FREE);
}

TEST_F(EngineBehindSessions, DemoExtrasFollowTheSnapshotAnswerRequestsAndNameThePerson)
{
    demoExtras = true;
    const uint32_t ann = logOn(1, "ann");
    sit(1, 1);
    auto frames = transport.take(1);
    const auto snapshot = std::find_if(frames.begin(), frames.end(), [](const Frame& f) { return f.main == MDM_HOST_TABLE; });
    ASSERT_NE(snapshot, frames.end());
    std::vector<uint16_t> after;
    for (auto it = snapshot + 1; it != frames.end(); ++it) {
        EXPECT_EQ(it->main, MDM_GAME);
        EXPECT_EQ(CheckGameMessage(it->sub, it->body), MessageCheck::Accept) << it->sub;
        after.push_back(it->sub);
    }
    EXPECT_EQ(after, (std::vector<uint16_t>{SUB_S_PROP_LIST, SUB_S_MATCH_RANK_INFO, SUB_S_MATCH_PROGRESS, SUB_S_MATCH_STATUS,
                                            SUB_S_MATCH_RANK, SUB_S_TASK_RECORD, SUB_S_TASK_RECORD}));

    // A score change bought: the answer, and the new score told to the table; no snapshot.
    sessions.onBytes(1, encodeRecord(MDM_SCORE_CHANGE, SUB_SCORE_CHANGE_REQUEST, ScoreChangeRequest{3, ann}));
    frames = transport.take(1);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(hasNotice(frames, SUB_USER_SCORE, ann, USER_STATUS_SIT));
    EXPECT_EQ(sessions.user(ann)->lScore, 20);
    EXPECT_EQ(sessions.user(ann)->lGold, DemoExtras::kStartCoins - 300);
    EXPECT_TRUE(isGame(frames[1], SUB_S_CHANGE_SCORE_RESULT));
    EXPECT_EQ(ReadRecord<ChangeScoreResult>(frames[1].body)->dwResult, 0u);
    // The continue request has nothing to answer and is taken.
    sessions.onBytes(1, encodeFrame(MDM_FRAME, SUB_FRAME_CUSTOMER));
    EXPECT_TRUE(transport.take(1).empty());

    ready(1);
    std::vector<Frame> seen;
    ASSERT_TRUE(playToEnd(1, 1, &seen));
    const auto score = std::find_if(seen.begin(), seen.end(), [](const Frame& f) { return isGame(f, SUB_S_MATCH_SCORE); });
    ASSERT_NE(score, seen.end());
    EXPECT_EQ(ReadRecord<MatchScoreNotice>(score->body)->dwUserID, ann);
}
