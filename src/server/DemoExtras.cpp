#include "server/DemoExtras.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "logic/MissionRules.h"
#include "server/TableEngine.h"

namespace server {

namespace {

using namespace mission;

// A match of two stages (preliminary, final) of three rounds; a round is one game. It starts
// again every three hours of the table's clock.
constexpr uint32_t kStageCount = 2;
constexpr uint32_t kRoundCount = 3;
constexpr uint32_t kMatchSeconds = 3 * 3600;
// The match modes the tables go through game by game, so that each panel is seen: the prize
// panel with its digits, the ranking columns, the stage lines.
constexpr uint8_t kMatchModes[] = {4, 3, 6};
constexpr uint32_t kTopBadgeRank = 10;
// A game's score in match points, per cell score.
constexpr int32_t kPointsPerCell = 10;

struct Prop {
    int32_t kind;
    int32_t target;  // the score it raises to
    int32_t price;
    const char* name;  // GBK
};
constexpr Prop kProps[] = {
    {1, 0, 100, "\xc7\xe5\xc1\xe3"},                      // 清零
    {2, 10, 200, "\xc9\xfd\xd6\xc1" "10" "\xb7\xd6"},      // 升至10分
    {3, 20, 300, "\xc9\xfd\xd6\xc1" "20" "\xb7\xd6"},      // 升至20分
    {5, 40, 500, "\xc9\xfd\xd6\xc1" "40" "\xb7\xd6"},      // 升至40分
    {6, 60, 800, "\xc9\xfd\xd6\xc1" "60" "\xb7\xd6"},      // 升至60分
};
constexpr uint32_t kChangeSuccess = 0, kChangeNoCoins = 1, kChangeError = 2, kChangeNoItem = 3;

// The two tasks of every chair: kind 1 the challenge (win as landlord), kind 2 the daily task
// (play games). Texts are GBK.
struct TaskKind {
    uint8_t difficulty;
    uint8_t total;
    uint32_t seconds;
    int32_t gold, lottery, props;
    const char* theme;
    const char* describe;
    const char* method;
    const char* finished;
};
constexpr TaskKind kTasks[] = {
    {4, 2, 1800, 0, 500, 1, "\xb5\xd8\xd6\xf7\xd6\xae\xcd\xf5",                                  // 地主之王
     "\xd2\xd4\xb5\xd8\xd6\xf7\xc9\xed\xb7\xdd\xd3\xae\xcf\xc2\xc1\xbd\xbe\xd6",                 // 以地主身份赢下两局
     "\xb5\xb1\xb5\xd8\xd6\xf7\xb2\xa2\xbb\xf1\xca\xa4\xc1\xbd\xbe\xd6",                         // 当地主并获胜两局
     "\xcc\xf4\xd5\xbd\xcd\xea\xb3\xc9, \xbd\xb1\xc8\xaf\xd2\xd1\xb7\xa2\xb7\xc5"},              // 挑战完成, 奖券已发放
    {0, 3, 7200, 300, 100, 0, "\xc3\xbf\xc8\xd5\xb6\xd4\xbe\xd6",                                // 每日对局
     "\xb1\xbe\xc8\xd5\xc4\xda\xcd\xea\xb3\xc9\xc8\xfd\xbe\xd6\xd3\xce\xcf\xb7",                 // 本日内完成三局游戏
     "\xcd\xea\xb3\xc9\xc8\xce\xd2\xe2\xc8\xfd\xbe\xd6\xd3\xce\xcf\xb7\xbc\xb4\xbf\xc9",         // 完成任意三局游戏即可
     "\xbd\xf1\xc8\xd5\xc8\xce\xce\xf1\xcd\xea\xb3\xc9, \xbd\xb1\xc0\xf8\xd2\xd1\xb7\xa2\xb7\xc5"},  // 今日任务完成, 奖励已发放
};
constexpr uint8_t kTaskFlagPaid = 4;

// The task window's request to its host: the user, then the kind of the task page shown.
struct TaskRequest {
    uint32_t dwUserID;
    uint32_t dwTaskKind;
};
static_assert(sizeof(TaskRequest) == 8);

void putText(std::vector<uint8_t>& bytes, std::size_t at, std::size_t size, std::string_view text)
{
    std::memcpy(bytes.data() + at, text.data(), std::min(text.size(), size - 1));
}

void putI32(std::vector<uint8_t>& bytes, std::size_t at, int32_t value)
{
    std::memcpy(bytes.data() + at, &value, sizeof(value));
}

template <typename Record>
ExtraMessage message(uint16_t chair, uint16_t sub, const Record& record)
{
    return ExtraMessage{chair, sub, WriteRecord(record)};
}

std::vector<uint8_t> propList()
{
    const PropListHead head{MDM_SCORE_CHANGE, 1, static_cast<uint16_t>(sizeof(PropItem) * std::size(kProps))};
    std::vector<uint8_t> bytes = WriteRecord(head);
    for (const Prop& prop : kProps) {
        PropItem item{};
        item.nPropKindID = prop.kind;
        item.nPropPrice = prop.price;
        std::strncpy(item.szPropKindDesc, prop.name, sizeof(item.szPropKindDesc) - 1);
        const std::vector<uint8_t> itemBytes = WriteRecord(item);
        bytes.insert(bytes.end(), itemBytes.begin(), itemBytes.end());
    }
    return bytes;
}

}  // namespace

DemoExtras::DemoExtras(uint32_t seed, int32_t cellScore)
    : m_rng(seed), m_cellScore(std::max(cellScore, 1)), m_rankTotal(48 + m_rng() % 96), m_prize(10000 + m_rng() % 50000)
{
    for (Seat& seat : m_seats) {
        for (Task& task : seat.tasks)
            task.state = kStateOffered;
    }
}

void DemoExtras::personSeated(uint16_t chair, uint32_t userId, uint64_t nowMs)
{
    if (!IsChair(chair) || m_seats[chair].userId == userId)
        return;
    Seat& seat = m_seats[chair];
    seat = Seat{};
    seat.userId = userId;
    // The challenge waits to be accepted; the daily task runs from the person's arrival, so that
    // its clock is seen at once.
    seat.tasks[0].state = kStateOffered;
    startTask(seat.tasks[1], 2, nowMs);
}

void DemoExtras::startTask(Task& task, uint8_t kind, uint64_t nowMs)
{
    task.state = kStateRunning;
    task.done = 0;
    task.endsAtMs = nowMs + uint64_t{kTasks[kind - 1].seconds} * 1000;
}

void DemoExtras::expireTasks(uint64_t nowMs)
{
    for (Seat& seat : m_seats) {
        for (std::size_t kind = 0; kind < seat.tasks.size(); ++kind) {
            Task& task = seat.tasks[kind];
            if (task.state == kStateRunning && nowMs >= task.endsAtMs) {
                task.state = kStateFailed;
                seat.changed[kind] = true;
            }
        }
    }
}

uint8_t DemoExtras::matchMode() const
{
    return kMatchModes[(m_games == 0 ? 0 : m_games - 1) % std::size(kMatchModes)];
}

uint32_t DemoExtras::secondsLeft(uint64_t nowMs) const
{
    return kMatchSeconds - static_cast<uint32_t>(nowMs / 1000 % kMatchSeconds);
}

uint32_t DemoExtras::rankOf(uint16_t chair) const
{
    // The other players of the match are imagined at the start points; every 20 points gained
    // pass one of them.
    const int64_t rank = int64_t{m_rankTotal} / 2 - (int64_t{m_seats[chair].points} - kStartPoints) / 20;
    return static_cast<uint32_t>(std::clamp<int64_t>(rank, 1, m_rankTotal));
}

ExtraMessage DemoExtras::rankInfo(uint16_t chair, uint64_t nowMs) const
{
    return message(chair, SUB_S_MATCH_RANK_INFO, MatchRankInfo{m_prize, m_rankTotal, rankOf(chair), secondsLeft(nowMs)});
}

ExtraMessage DemoExtras::progress(uint16_t chair) const
{
    const uint32_t played = m_games == 0 ? 0 : m_games - 1;
    MatchProgress record{};
    record.cbMatchMode = matchMode();
    record.dwStage = played / kRoundCount % kStageCount;
    record.dwStageCount = kStageCount;
    record.dwRound = played % kRoundCount + 1;
    record.dwRoundCount = kRoundCount;
    return message(chair, SUB_S_MATCH_PROGRESS, record);
}

ExtraMessage DemoExtras::status(uint16_t chair, uint64_t nowMs) const
{
    const uint32_t left = secondsLeft(nowMs);
    MatchStatus record{};
    record.cbMatchMode = matchMode();
    record.dwRank = rankOf(chair);
    record.dwRankTotal = m_rankTotal;
    record.wHours = static_cast<uint16_t>(left / 3600);
    record.wMinutes = static_cast<uint16_t>(left / 60 % 60);
    record.wSeconds = static_cast<uint16_t>(left % 60);
    return message(chair, SUB_S_MATCH_STATUS, record);
}

ExtraMessage DemoExtras::seatPoints(uint16_t chair) const
{
    matchRank record{};
    for (uint16_t c = 0; c < PLAYER_COUNT; ++c)
        record.dwUserValue[c] = static_cast<uint32_t>(std::max(m_seats[c].points, 0));
    return message(chair, SUB_S_MATCH_RANK, record);
}

ExtraMessage DemoExtras::taskRecord(uint16_t chair, uint8_t kind, uint64_t nowMs) const
{
    const TaskKind& info = kTasks[kind - 1];
    const Task& task = m_seats[chair].tasks[kind - 1];
    TaskRecord record{};
    record.cbTaskKind = kind;
    record.cbTaskState = task.state;
    // The client counts a running task down from lTimeLimit, so a record sent again later carries
    // what is left rather than the full time.
    const int32_t full = static_cast<int32_t>(info.seconds);
    const int32_t left = task.state == kStateRunning && task.endsAtMs > nowMs ? static_cast<int32_t>((task.endsAtMs - nowMs + 999) / 1000) : 0;
    record.lTimeLeft = task.state == kStateRunning ? left : 0;
    record.lTimeLimit = task.state == kStateRunning ? left : full;
    std::vector<uint8_t> bytes = WriteRecord(record);
    bytes[kAtDifficulty] = info.difficulty;
    putI32(bytes, kAtGold, info.gold);
    putI32(bytes, kAtLottery, info.lottery);
    putI32(bytes, kAtProps, info.props);
    putText(bytes, kAtTheme, kThemeSize, info.theme);
    putText(bytes, kAtDescribe, kDescribeSize, info.describe);
    putText(bytes, kAtMethod, kMethodSize, info.method);
    putText(bytes, kAtFinished, kFinishedSize, info.finished);
    bytes[kAtDoneCount] = task.done;
    bytes[kAtTotalCount] = info.total;
    return ExtraMessage{chair, SUB_S_TASK_RECORD, std::move(bytes)};
}

void DemoExtras::markSnapshot(uint16_t chair, uint8_t state, std::vector<uint8_t>& scene) const
{
    if (!IsChair(chair))
        return;
    std::size_t at = 0;
    if (state == GS_FREE && scene.size() == sizeof(StatusFree))
        at = offsetof(StatusFree, dwHasMission);
    else if (state == GS_BIDDING && scene.size() == sizeof(StatusScore))
        at = offsetof(StatusScore, dwHasMission);
    else if (state == GS_PLAYING && scene.size() == sizeof(StatusPlay))
        at = offsetof(StatusPlay, dwHasMission);
    else
        return;
    const auto& tasks = m_seats[chair].tasks;
    const uint32_t running = std::any_of(tasks.begin(), tasks.end(), [](const Task& t) { return t.state == kStateRunning; }) ? 1 : 0;
    std::memcpy(scene.data() + at, &running, sizeof(running));
}

std::vector<ExtraMessage> DemoExtras::afterSnapshot(uint16_t chair, uint64_t nowMs)
{
    if (!IsChair(chair))
        return {};
    expireTasks(nowMs);
    // The prize sets the prize panel's mode; the progress that follows puts this game's mode back.
    std::vector<ExtraMessage> out;
    out.push_back(ExtraMessage{chair, SUB_S_PROP_LIST, propList()});
    out.push_back(rankInfo(chair, nowMs));
    out.push_back(progress(chair));
    out.push_back(status(chair, nowMs));
    out.push_back(seatPoints(chair));
    for (uint8_t kind = 1; kind <= 2; ++kind)
        out.push_back(taskRecord(chair, kind, nowMs));
    return out;
}

std::vector<ExtraMessage> DemoExtras::afterMessage(uint16_t chair, uint16_t sub, const TableEngine& engine)
{
    // Once every chair has its cards (the engine deals chair by chair) or its result.
    if (chair != PLAYER_COUNT - 1)
        return {};
    const uint64_t now = engine.nowMs();
    std::vector<ExtraMessage> out;
    if (sub == SUB_S_DEAL_CARDS && engine.dealsThisGame() <= 1) {
        ++m_games;
        expireTasks(now);
        std::optional<int32_t> added;
        if (m_games % 2 == 0) {
            added = static_cast<int32_t>(500 + m_rng() % 1500);
            m_prize += static_cast<uint32_t>(*added);
        }
        for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
            if (added)
                out.push_back(message(c, SUB_S_PRIZE_POOL, PrizePoolNotice{*added}));
            out.push_back(rankInfo(c, now));
            out.push_back(progress(c));
            out.push_back(status(c, now));
            out.push_back(seatPoints(c));
            Seat& seat = m_seats[c];
            for (uint8_t kind = 1; kind <= 2; ++kind) {
                Task& task = seat.tasks[kind - 1];
                // A task finished last game reads completed for one game, then is offered again,
                // so that the client shows each of its states.
                if (task.state == kStateCompleted) {
                    task = Task{kStateOffered, 0, 0};
                    seat.changed[kind - 1] = true;
                } else if (task.state == kStateDone) {
                    task.state = kStateCompleted;
                    seat.changed[kind - 1] = true;
                }
                if (std::exchange(seat.changed[kind - 1], false))
                    out.push_back(taskRecord(c, kind, now));
            }
        }
        return out;
    }
    if (sub == SUB_S_GAME_END) {
        for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
            Seat& seat = m_seats[c];
            out.push_back(seatPoints(c));
            out.push_back(rankInfo(c, now));
            out.push_back(status(c, now));
            if (seat.userId != 0)
                out.push_back(message(c, SUB_S_MATCH_SCORE, MatchScoreNotice{seat.userId, seat.points}));
            for (uint8_t kind = 1; kind <= 2; ++kind) {
                if (std::exchange(seat.changed[kind - 1], false))
                    out.push_back(taskRecord(c, kind, now));
            }
            if (seat.award > 0)
                out.push_back(message(c, SUB_S_TASK_AWARD, TaskAward{c, 1, 0, seat.award}));
            // Every game says whether a reward was paid, so the last one is not shown again.
            TaskResult result{};
            result.cbResult = seat.award > 0 ? 1 : 0;
            out.push_back(message(c, SUB_S_TASK_RESULT, result));
            seat.award = 0;
        }
    }
    return out;
}

void DemoExtras::markGameEnd(GameEndRecord& end, const TableEngine& engine)
{
    const uint64_t now = engine.nowMs();
    expireTasks(now);
    for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
        Seat& seat = m_seats[c];
        seat.points += end.lGameScore[c] * kPointsPerCell / m_cellScore;
        const bool wonAsLord = c == engine.lordChair() && end.lGameScore[c] > 0;
        for (uint8_t kind = 1; kind <= 2; ++kind) {
            Task& task = seat.tasks[kind - 1];
            if (task.state != kStateRunning || (kind == 1 && !wonAsLord))
                continue;
            ++task.done;
            seat.changed[kind - 1] = true;
            if (task.done >= kTasks[kind - 1].total) {
                task.state = kStateDone;
                seat.award += kTasks[kind - 1].lottery;
            }
        }
    }
    for (uint16_t c = 0; c < PLAYER_COUNT; ++c) {
        end.cbUserFlag[c] = rankOf(c) <= kTopBadgeRank ? 1 : 0;
        end.lUserExtra[c] = m_seats[c].points;
        end.cbTaskFlag[c] = m_seats[c].award > 0 ? kTaskFlagPaid : 0;
    }
}

RequestAnswer DemoExtras::answerRequest(uint16_t chair, uint16_t main, uint16_t sub, std::span<const uint8_t> body, uint32_t userId,
                                        int32_t score, uint64_t nowMs)
{
    if (!IsChair(chair))
        return {};
    if (main == MDM_SCORE_CHANGE && sub == SUB_SCORE_CHANGE_REQUEST) {
        const auto request = ReadRecord<ScoreChangeRequest>(body);
        if (!request)
            return {};
        return changeScore(chair, *request, userId, score);
    }
    if (main == MDM_FRAME && sub == SUB_FRAME_MISSION) {
        const auto request = ReadRecord<TaskRequest>(body);
        const uint32_t kind = request ? request->dwTaskKind : 0;
        if (!request || request->dwUserID != userId || (kind != 1 && kind != 2))
            return {};
        expireTasks(nowMs);
        Task& task = m_seats[chair].tasks[kind - 1];
        // Accepting an offered task, or trying a failed one again; anything else is answered
        // with the task as it stands.
        if (task.state == kStateOffered || task.state == kStateFailed)
            startTask(task, static_cast<uint8_t>(kind), nowMs);
        m_seats[chair].changed[kind - 1] = false;
        RequestAnswer answer;
        answer.messages.push_back(taskRecord(chair, static_cast<uint8_t>(kind), nowMs));
        answer.coins = m_seats[chair].coins;
        return answer;
    }
    return {};
}

RequestAnswer DemoExtras::changeScore(uint16_t chair, const ScoreChangeRequest& request, uint32_t userId, int32_t score)
{
    Seat& seat = m_seats[chair];
    RequestAnswer answer;
    answer.coins = seat.coins;
    const Prop* prop = std::find_if(std::begin(kProps), std::end(kProps),
                                    [&](const Prop& p) { return p.kind == static_cast<int32_t>(request.dwItemKind); });
    ChangeScoreResult result{};
    if (prop == std::end(kProps))
        result.dwResult = kChangeNoItem;
    else if (request.dwUserID != userId || score >= prop->target)
        result.dwResult = kChangeError;
    else if (seat.coins < prop->price)
        result.dwResult = kChangeNoCoins;
    else {
        result.dwResult = kChangeSuccess;
        seat.coins -= prop->price;
        answer.coins = seat.coins;
        answer.newScore = prop->target;
    }
    answer.messages.push_back(message(chair, SUB_S_CHANGE_SCORE_RESULT, result));
    return answer;
}

}  // namespace server
