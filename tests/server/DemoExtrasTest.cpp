// The demo extras at a table of bots, hooked to the engine as the server's and the local tables
// hook them: what they send passes the client's bounds check, the games are the same games as
// without them, the match and the tasks follow the games, and the requests get their answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "server/BotSeats.h"
#include "server/DemoExtras.h"
#include "server/TableEngine.h"

using namespace server;

namespace {

constexpr uint32_t kUser = 77;

// A table of three bots whose chair 0 is a person's as far as the extras know.
class ExtrasTable : public TableSink {
public:
    explicit ExtrasTable(uint32_t seed, bool extras = true) : engine(TableConfig{}, seed, *this)
    {
        if (extras) {
            demo.emplace(seed, engine.config().cellScore);
            demo->personSeated(0, kUser, 0);
        }
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            bots.seat(chair, BotKind::Basic, 0);
            engine.setPresent(chair, true);
        }
    }

    void sendGame(uint16_t chair, uint16_t sub, std::span<const uint8_t> body) override
    {
        take(ExtraMessage{chair, sub, {body.begin(), body.end()}});
        if (demo) {
            for (ExtraMessage& extra : demo->afterMessage(chair, sub, engine))
                take(std::move(extra));
        }
    }
    void markGameEnd(GameEndRecord& end) override
    {
        if (demo)
            demo->markGameEnd(end, engine);
    }
    void gameEnded(const GameEndRecord& end) override { ends.push_back(end); }

    void take(ExtraMessage message)
    {
        if (CheckGameMessage(message.sub, message.body) != MessageCheck::Accept)
            ++refusedByClient;
        sent.push_back(std::move(message));
    }

    // Plays one whole game; false when it does not end.
    bool playGame()
    {
        const std::size_t before = ends.size();
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair)
            engine.setReady(chair);
        for (int tick = 0; tick < 10000 && ends.size() == before; ++tick) {
            engine.advance(100);
            bots.act(engine);
        }
        return ends.size() > before;
    }

    std::vector<ExtraMessage> to(uint16_t chair, uint16_t sub) const
    {
        std::vector<ExtraMessage> found;
        std::copy_if(sent.begin(), sent.end(), std::back_inserter(found), [&](const ExtraMessage& m) { return m.chair == chair && m.sub == sub; });
        return found;
    }
    // The subs chair 0 got from the first message `from` on.
    std::vector<uint16_t> subsAfter(uint16_t from, std::size_t start = 0) const
    {
        std::vector<uint16_t> subs;
        bool on = false;
        for (std::size_t at = start; at < sent.size(); ++at) {
            on = on || (sent[at].sub == from && sent[at].chair == 0);
            if (on && sent[at].chair == 0)
                subs.push_back(sent[at].sub);
        }
        return subs;
    }

    std::optional<DemoExtras> demo;
    TableEngine engine;
    BotSeats bots;
    std::vector<ExtraMessage> sent;
    std::vector<GameEndRecord> ends;
    int refusedByClient = 0;
};

template <typename Record>
Record read(const ExtraMessage& message)
{
    const auto record = ReadRecord<Record>(message.body);
    EXPECT_TRUE(record) << "sub " << message.sub << " size " << message.body.size();
    return record.value_or(Record{});
}

uint8_t taskDone(const ExtraMessage& record)
{
    return record.body.at(708);
}

std::vector<uint8_t> request(uint32_t first, uint32_t second)
{
    return WriteRecord(ScoreChangeRequest{first, second});
}

}  // namespace

TEST(DemoExtras, EveryMessagePassesTheClientsCheckAndTheGamesStayTheSame)
{
    ExtrasTable with(5);
    ExtrasTable without(5, false);
    for (int game = 0; game < 6; ++game) {
        ASSERT_TRUE(with.playGame());
        ASSERT_TRUE(without.playGame());
    }
    const auto snapshot = with.demo->afterSnapshot(1, with.engine.nowMs());
    for (const ExtraMessage& extra : snapshot)
        with.take(extra);
    EXPECT_EQ(with.refusedByClient, 0);
    const auto items = ReadPropList(snapshot.front().body);
    ASSERT_TRUE(items) << "the item list is the first thing after a snapshot";
    EXPECT_EQ(items->size(), 5u);

    // The extras only follow the engine: same deals, same plays, same scores.
    ASSERT_EQ(with.ends.size(), without.ends.size());
    for (std::size_t game = 0; game < with.ends.size(); ++game) {
        const GameEndRecord& a = with.ends[game];
        const GameEndRecord& b = without.ends[game];
        EXPECT_TRUE(std::equal(std::begin(a.lGameScore), std::end(a.lGameScore), std::begin(b.lGameScore))) << "game " << game;
        EXPECT_EQ(0, std::memcmp(a.cbCardData, b.cbCardData, sizeof(a.cbCardData)));
        EXPECT_EQ(a.lSpring, b.lSpring);
    }
    auto gameMessages = [](const ExtrasTable& table) {
        std::vector<std::pair<uint16_t, std::vector<uint8_t>>> game;
        for (const ExtraMessage& m : table.sent) {
            if (m.sub >= SUB_S_DEAL_CARDS && m.sub < SUB_S_GAME_END)
                game.emplace_back(m.sub, m.body);
        }
        return game;
    };
    EXPECT_EQ(gameMessages(with), gameMessages(without));

    // Repeatable under the seed.
    ExtrasTable again(5);
    for (int game = 0; game < 6; ++game)
        ASSERT_TRUE(again.playGame());
    ASSERT_EQ(again.sent.size(), with.sent.size() - snapshot.size());
    EXPECT_TRUE(std::equal(again.sent.begin(), again.sent.end(), with.sent.begin(),
                           [](const ExtraMessage& a, const ExtraMessage& b) { return a.sub == b.sub && a.body == b.body; }));
}

TEST(DemoExtras, TheMatchFollowsTheGamesAndIsToldAfterTheDealAndTheEnd)
{
    ExtrasTable table(9);
    ASSERT_TRUE(table.playGame());
    // After the deal (the last chair's copy): round 1 of the preliminary stage, in the prize mode.
    const auto afterDeal = table.subsAfter(SUB_S_DEAL_CARDS);
    EXPECT_NE(std::find(afterDeal.begin(), afterDeal.end(), SUB_S_MATCH_PROGRESS), afterDeal.end());
    const auto progress = read<MatchProgress>(table.to(0, SUB_S_MATCH_PROGRESS).front());
    EXPECT_EQ(progress.cbMatchMode, 4);
    EXPECT_EQ(progress.dwStage, 0u);
    EXPECT_EQ(progress.dwRound, 1u);
    EXPECT_EQ(progress.dwRoundCount, 3u);

    // After the end: each chair's points moved by ten per cell of its score, in the record, the
    // seats' values and the person's match score notice; the rank follows the points.
    const GameEndRecord& end = table.ends.back();
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        EXPECT_EQ(table.demo->points(chair), DemoExtras::kStartPoints + end.lGameScore[chair] * 10);
        EXPECT_EQ(end.lUserExtra[chair], table.demo->points(chair));
        EXPECT_EQ(end.cbUserFlag[chair], table.demo->rankOf(chair) <= 10 ? 1 : 0);
    }
    const auto ranks = read<matchRank>(table.to(0, SUB_S_MATCH_RANK).back());
    EXPECT_EQ(ranks.dwUserValue[1], static_cast<uint32_t>(table.demo->points(1)));
    const auto scores = table.to(0, SUB_S_MATCH_SCORE);
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(read<MatchScoreNotice>(scores[0]).dwUserID, kUser);
    EXPECT_TRUE(table.to(1, SUB_S_MATCH_SCORE).empty()) << "a bot's chair has no user to name";
    const auto best = std::max_element(std::begin(end.lGameScore), std::end(end.lGameScore)) - std::begin(end.lGameScore);
    const auto worst = std::min_element(std::begin(end.lGameScore), std::end(end.lGameScore)) - std::begin(end.lGameScore);
    EXPECT_LT(table.demo->rankOf(static_cast<uint16_t>(best)), table.demo->rankOf(static_cast<uint16_t>(worst)));

    // Every second game adds to the prize pool, and the raised prize follows the notice.
    const uint32_t prize = table.demo->prize();
    ASSERT_TRUE(table.playGame());
    const auto pool = table.to(0, SUB_S_PRIZE_POOL);
    ASSERT_EQ(pool.size(), 1u);
    EXPECT_EQ(table.demo->prize(), prize + static_cast<uint32_t>(read<PrizePoolNotice>(pool[0]).lAddedPrize));
    EXPECT_EQ(read<MatchRankInfo>(table.to(0, SUB_S_MATCH_RANK_INFO).back()).dwPrize, table.demo->prize());
    EXPECT_EQ(read<MatchProgress>(table.to(0, SUB_S_MATCH_PROGRESS).back()).dwRound, 2u);
    EXPECT_EQ(read<MatchProgress>(table.to(0, SUB_S_MATCH_PROGRESS).back()).cbMatchMode, 3);
}

TEST(DemoExtras, TheDailyTaskIsPaidOnTheGameThatFinishesItThenCompletedThenOfferedAgain)
{
    ExtrasTable table(3);
    const auto first = table.demo->afterSnapshot(0, 0);
    const auto daily = std::find_if(first.begin(), first.end(), [](const ExtraMessage& m) { return m.sub == SUB_S_TASK_RECORD && m.body[0] == 2; });
    ASSERT_NE(daily, first.end());
    EXPECT_EQ(read<TaskRecord>(*daily).cbTaskState, 2) << "the daily task runs from the person's arrival";
    EXPECT_EQ(read<TaskRecord>(*daily).lTimeLimit, 7200);
    EXPECT_EQ(table.demo->taskState(0, 1), 1) << "the challenge waits to be accepted";
    // A snapshot between games says whether one of the chair's tasks runs.
    auto running = [&](uint16_t chair) {
        auto [state, scene] = table.engine.snapshot(chair, false);
        table.demo->markSnapshot(chair, state, scene);
        StatusFree free{};
        std::memcpy(&free, scene.data(), std::min(scene.size(), sizeof(free)));
        return state == GS_FREE ? free.dwHasMission : 0xFFFFFFFFu;
    };
    EXPECT_EQ(running(0), 1u) << "the daily task runs";

    for (int game = 1; game <= 3; ++game) {
        const std::size_t start = table.sent.size();
        ASSERT_TRUE(table.playGame());
        const auto after = table.subsAfter(SUB_S_GAME_END, start);
        const auto result = std::find(after.begin(), after.end(), SUB_S_TASK_RESULT);
        ASSERT_NE(result, after.end()) << "every game end says whether a task was paid";
        const auto paid = read<TaskResult>(table.to(0, SUB_S_TASK_RESULT).back()).cbResult;
        const auto record = table.to(0, SUB_S_TASK_RECORD).back();
        EXPECT_EQ(taskDone(record), game);
        if (game < 3) {
            EXPECT_EQ(paid, 0);
            EXPECT_EQ(table.ends.back().cbTaskFlag[0], 0);
            continue;
        }
        EXPECT_EQ(paid, 1);
        EXPECT_EQ(read<TaskRecord>(record).cbTaskState, 4);
        EXPECT_EQ(table.ends.back().cbTaskFlag[0], 4);
        // The award comes before the result, which tells the result window what was won.
        EXPECT_LT(std::find(after.begin(), after.end(), SUB_S_TASK_AWARD), result);
        const auto award = read<TaskAward>(table.to(0, SUB_S_TASK_AWARD).back());
        EXPECT_EQ(award.wChairID, 0);
        EXPECT_EQ(award.lAward, 100);
    }
    EXPECT_EQ(running(0), 0u) << "the daily task is done and the challenge was never accepted";
    ASSERT_TRUE(table.playGame());
    EXPECT_EQ(read<TaskResult>(table.to(0, SUB_S_TASK_RESULT).back()).cbResult, 0) << "paid once";
    EXPECT_EQ(table.demo->taskState(0, 2), 5) << "completed from the next deal on";
    EXPECT_EQ(read<TaskRecord>(table.to(0, SUB_S_TASK_RECORD).back()).cbTaskState, 5);
    ASSERT_TRUE(table.playGame());
    EXPECT_EQ(table.demo->taskState(0, 2), 1) << "offered again a deal later";
    EXPECT_EQ(read<TaskRecord>(table.to(0, SUB_S_TASK_RECORD).back()).cbTaskState, 1);
}

TEST(DemoExtras, RequestsAreAnsweredToTheirChair)
{
    DemoExtras demo(1, 1);
    demo.personSeated(1, kUser, 0);
    auto change = [&](uint32_t kind, uint32_t user, int32_t score) {
        return demo.answerRequest(1, MDM_SCORE_CHANGE, SUB_SCORE_CHANGE_REQUEST, request(kind, user), kUser, score, 0);
    };
    auto resultOf = [](const RequestAnswer& answer) {
        EXPECT_EQ(answer.messages.size(), 1u);
        EXPECT_EQ(answer.messages.at(0).chair, 1);
        return read<ChangeScoreResult>(answer.messages.at(0)).dwResult;
    };

    // Raised to 60 for 800 of the 1000 coins; then 500 more are not there.
    const RequestAnswer bought = change(6, kUser, 15);
    EXPECT_EQ(resultOf(bought), 0u);
    EXPECT_EQ(bought.newScore, 60);
    EXPECT_EQ(bought.coins, 200);
    const RequestAnswer poor = change(5, kUser, 15);
    EXPECT_EQ(resultOf(poor), 1u);
    EXPECT_FALSE(poor.newScore);
    // Already above the target, someone else's id, an item that is not sold.
    EXPECT_EQ(resultOf(change(2, kUser, 10)), 2u);
    EXPECT_EQ(resultOf(change(1, kUser + 1, -5)), 2u);
    EXPECT_EQ(resultOf(change(4, kUser, -5)), 3u);
    EXPECT_TRUE(demo.answerRequest(1, MDM_SCORE_CHANGE, SUB_SCORE_CHANGE_REQUEST, std::vector<uint8_t>(7), kUser, 0, 0).messages.empty());

    // A task request accepts the offered challenge; a stranger's or a short one gets nothing.
    auto task = [&](std::span<const uint8_t> body) { return demo.answerRequest(1, MDM_FRAME, SUB_FRAME_MISSION, body, kUser, 0, 5000); };
    EXPECT_TRUE(task(request(kUser + 1, 1)).messages.empty());
    EXPECT_TRUE(task(std::vector<uint8_t>(4)).messages.empty());
    const RequestAnswer accepted = task(request(kUser, 1));
    ASSERT_EQ(accepted.messages.size(), 1u);
    const TaskRecord record = read<TaskRecord>(accepted.messages[0]);
    EXPECT_EQ(record.cbTaskKind, 1);
    EXPECT_EQ(record.cbTaskState, 2);
    EXPECT_EQ(record.lTimeLimit, 1800);
    EXPECT_TRUE(demo.answerRequest(1, MDM_FRAME, SUB_FRAME_CUSTOMER, {}, kUser, 0, 0).messages.empty());

    // A running task that runs out has failed, and may be tried again.
    const auto later = demo.afterSnapshot(1, 5000 + 1800 * 1000);
    EXPECT_EQ(demo.taskState(1, 1), 3);
    EXPECT_EQ(read<TaskRecord>(later[later.size() - 2]).cbTaskState, 3);
    EXPECT_EQ(read<TaskRecord>(task(request(kUser, 1)).messages.at(0)).cbTaskState, 2);

    // The same person back keeps its coins; a new one starts afresh.
    demo.personSeated(1, kUser, 0);
    EXPECT_EQ(demo.coins(1), 200);
    demo.personSeated(1, kUser + 5, 0);
    EXPECT_EQ(demo.coins(1), DemoExtras::kStartCoins);
}
