#include "server/Sessions.h"

#include <algorithm>

namespace server {

using namespace protocol;

namespace {

constexpr uint32_t kFloodWindowMs = 1000;

bool isPlayer(const UserInfo& info)
{
    return info.wTableID != INVALID_TABLE && !info.cbLookon;
}

bool isLooker(const UserInfo& info)
{
    return info.wTableID != INVALID_TABLE && info.cbLookon;
}

// The bots as their tables see them: a name (GBK), the voices they speak with. Each table's three
// chairs get three different ones.
struct BotPersona {
    const char* name;
    uint8_t gender;
    uint8_t dialect;
};
constexpr BotPersona kBotPersonas[] = {
    {"\xb0\xa2\xb8\xa3", 0, 1},  // 阿福
    {"\xd0\xa1\xc3\xb7", 1, 1},  // 小梅
    {"\xc0\xcf\xd6\xdc", 0, 2},  // 老周
    {"\xb0\xa2\xd5\xe4", 1, 2},  // 阿珍
    {"\xb4\xf3\xc1\xf5", 0, 1},  // 大刘
    {"\xd0\xa1\xd1\xe0", 1, 1},  // 小燕
};
constexpr const char* kBotRegion = "\xb5\xe7\xc4\xd4\xcd\xe6\xbc\xd2";  // 电脑玩家

}  // namespace

Sessions::Sessions(SessionLimits limits, SessionTransport& transport, GameFactory factory)
    : m_limits(limits), m_transport(transport), m_factory(std::move(factory)), m_tables(std::min<uint16_t>(limits.tableCount, MAX_TABLES)),
      m_keys(limits.seed)
{
}

Sessions::~Sessions() = default;

void Sessions::onConnect(ConnectionId id)
{
    if (m_connections.size() >= m_limits.maxConnections) {
        Refusal refusal{};
        refusal.dwCode = static_cast<uint32_t>(RefusalCode::ServerFull);
        setText(refusal.szReason, "server full");
        m_transport.send(id, encodeRecord(MDM_HOST_SYSTEM, SUB_SYSTEM_CLOSE, refusal));
        m_transport.close(id);
        return;
    }
    m_connections.try_emplace(id);
}

void Sessions::onBytes(ConnectionId id, std::span<const uint8_t> bytes)
{
    const auto found = m_connections.find(id);
    if (found == m_connections.end())
        return;
    Connection& connection = found->second;
    connection.decoder.feedAll(bytes, [&](Frame frame) {
        if (++connection.framesInWindow > m_limits.maxFramesPerSecond)
            return closeWith(id, connection, RefusalCode::Flood, "too many messages");
        return handleFrame(id, connection, frame);
    });
    // A broken stream has no boundary left to resync on; it gets no notice, only the close.
    if (connection.decoder.failed() || connection.closing)
        dropConnection(id);
}

void Sessions::onDisconnect(ConnectionId id)
{
    if (m_connections.count(id) == 0)
        return;
    // The peer is gone: nothing more is sent, and the transport already closed it.
    Connection& connection = m_connections[id];
    const uint32_t userId = connection.userId;
    m_connections.erase(id);
    if (User* user = userById(userId)) {
        user->connection.reset();
        Table* table = tableOf(*user);
        if (isPlayer(user->info) && table && gameOf(user->info.wTableID).isPlaying()) {
            // The seat is kept for a reconnect; the server plays for the player meanwhile.
            user->statusBeforeOffline = user->info.cbUserStatus;
            user->info.cbUserStatus = USER_STATUS_OFFLINE;
            gameOf(user->info.wTableID).setPresent(user->info.wChairID, false);
            broadcastNotice(SUB_USER_STATUS, *user, false);
            return;
        }
        standUp(*user, true);
        forgetUser(userId);
    }
}

void Sessions::dropConnection(ConnectionId id)
{
    onDisconnect(id);
    m_transport.close(id);
}

void Sessions::advance(uint32_t ms)
{
    m_windowMs += ms;
    if (m_windowMs < kFloodWindowMs)
        return;
    m_windowMs %= kFloodWindowMs;
    for (auto& [id, connection] : m_connections)
        connection.framesInWindow = 0;
}

bool Sessions::closeWith(ConnectionId id, Connection& connection, RefusalCode code, const char* reason)
{
    Refusal refusal{};
    refusal.dwCode = static_cast<uint32_t>(code);
    setText(refusal.szReason, reason);
    m_transport.send(id, encodeRecord(MDM_HOST_SYSTEM, SUB_SYSTEM_CLOSE, refusal));
    connection.closing = true;
    return false;
}

bool Sessions::handleFrame(ConnectionId id, Connection& connection, const Frame& frame)
{
    if (!isWellFormed(Direction::ToServer, frame.main, frame.sub, frame.body))
        return closeWith(id, connection, RefusalCode::Malformed, "malformed message");
    if (frame.main == MDM_HOST_SYSTEM) {
        if (const auto ping = readBody<Ping>(frame.body))
            m_transport.send(id, encodeRecord(MDM_HOST_SYSTEM, SUB_SYSTEM_PONG, *ping));
        return true;
    }
    if (frame.main == MDM_HOST_LOGON) {
        if (frame.sub == SUB_LOGON_HELLO) {
            if (connection.hello)
                return closeWith(id, connection, RefusalCode::OutOfPlace, "hello twice");
            const auto hello = readBody<ClientHello>(frame.body);
            const bool accepted = hello->dwProtocolVersion == HOST_PROTOCOL_VERSION;
            m_transport.send(id, encodeRecord(MDM_HOST_LOGON, SUB_LOGON_HELLO_ANSWER,
                                              ServerHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, static_cast<uint8_t>(accepted), {}}));
            if (!accepted)
                return closeWith(id, connection, RefusalCode::Version, "protocol version not served");
            connection.hello = true;
            return true;
        }
        if (!connection.hello || connection.userId != 0)
            return closeWith(id, connection, RefusalCode::OutOfPlace, "log-on out of place");
        return handleLogon(id, connection, *readBody<LogonRequest>(frame.body));
    }
    User* user = userById(connection.userId);
    if (!user)
        return closeWith(id, connection, RefusalCode::OutOfPlace, "not logged on");
    if (frame.main == MDM_HOST_USER)
        handleUserFrame(*user, frame);
    else
        handleGameFrame(*user, frame);
    return true;
}

bool Sessions::handleLogon(ConnectionId id, Connection& connection, const LogonRequest& request)
{
    User* user = request.dwUserID != 0 ? userById(request.dwUserID) : nullptr;
    // A wrong key is a new log-on: it must not take anyone's seat.
    if (user && (request.dwResumeKey == 0 || request.dwResumeKey != user->resumeKey))
        user = nullptr;
    if (user && user->connection) {
        const ConnectionId old = *user->connection;
        if (auto found = m_connections.find(old); found != m_connections.end()) {
            closeWith(old, found->second, RefusalCode::Replaced, "logged on elsewhere");
            found->second.userId = 0;  // the user moves over; dropping the old connection leaves it be
            dropConnection(old);
        }
    }
    const bool resumed = user != nullptr;
    if (!user) {
        const uint32_t userId = m_nextUserId++;
        user = &m_users[userId];
        user->info.dwUserID = userId;
        std::memcpy(user->info.szName, request.szName, sizeof(request.szName));
        user->info.cbGender = request.cbGender;
        user->info.cbDialect = request.cbDialect;
        user->info.cbUserStatus = USER_STATUS_FREE;
        user->info.wTableID = INVALID_TABLE;
        user->info.wChairID = INVALID_CHAIR;
    }
    do
        user->resumeKey = static_cast<uint32_t>(m_keys());
    while (user->resumeKey == 0);
    user->connection = id;
    connection.userId = user->info.dwUserID;
    m_transport.send(id, encodeRecord(MDM_HOST_LOGON, SUB_LOGON_SUCCESS,
                                      LogonSuccess{user->info.dwUserID, user->resumeKey, static_cast<uint16_t>(m_tables.size()), 0}));
    if (resumed)
        resume(*user);
    return true;
}

void Sessions::resume(User& user)
{
    if (user.info.wTableID == INVALID_TABLE)
        return;
    if (user.info.cbUserStatus == USER_STATUS_OFFLINE) {
        user.info.cbUserStatus = user.statusBeforeOffline;
        gameOf(user.info.wTableID).setPresent(user.info.wChairID, true);
        broadcastNotice(SUB_USER_STATUS, user, false);
    }
    sendTable(user);
}

void Sessions::handleUserFrame(User& user, const Frame& frame)
{
    switch (frame.sub) {
    case SUB_USER_SIT:
        sit(user, *readBody<SitRequest>(frame.body));
        return;
    case SUB_USER_LOOKON:
        lookOn(user, *readBody<LookonRequest>(frame.body));
        return;
    case SUB_USER_STAND:
        if (user.info.wTableID == INVALID_TABLE)
            refuse(user, frame.main, frame.sub, RefusalCode::OutOfPlace, "not at a table");
        else
            standUp(user, false);
        return;
    case SUB_USER_ALLOW_LOOKON:
        if (!isPlayer(user.info))
            refuse(user, frame.main, frame.sub, RefusalCode::OutOfPlace, "not a player");
        else
            setAllow(user, *readBody<AllowLookon>(frame.body));
        return;
    case SUB_USER_READY:
        if (!isPlayer(user.info) || gameOf(user.info.wTableID).isPlaying()) {
            refuse(user, frame.main, frame.sub, RefusalCode::OutOfPlace, "not waiting for a game");
            return;
        }
        user.info.cbUserStatus = USER_STATUS_READY;
        broadcastNotice(SUB_USER_STATUS, user, true);
        // Last, as the third ready starts the game, which sends its own notices.
        gameOf(user.info.wTableID).setReady(user.info.wChairID);
        return;
    case SUB_USER_CHAT: {
        if (user.info.wTableID == INVALID_TABLE) {
            refuse(user, frame.main, frame.sub, RefusalCode::OutOfPlace, "not at a table");
            return;
        }
        auto chat = *readBody<ChatMessage>(frame.body);
        chat.dwSenderID = user.info.dwUserID;
        std::memcpy(chat.szSenderName, user.info.szName, sizeof(chat.szSenderName));
        const auto bytes = encodeRecord(MDM_HOST_USER, SUB_USER_CHAT, chat);
        Table& table = m_tables[user.info.wTableID];
        for (uint32_t id : table.players)
            if (const User* to = userById(id))
                sendTo(*to, bytes);
        for (uint32_t id : table.lookers)
            if (const User* to = userById(id))
                sendTo(*to, bytes);
        return;
    }
    default:
        return;
    }
}

void Sessions::handleGameFrame(User& user, const Frame& frame)
{
    if (!isPlayer(user.info)) {
        if (user.info.wTableID == INVALID_TABLE)
            refuse(user, frame.main, frame.sub, RefusalCode::OutOfPlace, "not at a table");
        return;  // a looker's game frames change nothing
    }
    // A refused request leaves the client's table behind the server's; a fresh snapshot fixes it.
    if (!gameOf(user.info.wTableID).onClientMessage(user.info.wChairID, frame.main, frame.sub, frame.body))
        sendSnapshot(user);
}

void Sessions::sit(User& user, const SitRequest& request)
{
    if (user.info.wTableID != INVALID_TABLE) {
        refuse(user, MDM_HOST_USER, SUB_USER_SIT, RefusalCode::OutOfPlace, "already at a table");
        return;
    }
    // A bot's chair is free: the person takes it over.
    auto freeChair = [&](const Table& table) -> uint16_t {
        for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
            const User* player = userById(table.players[chair]);
            if ((request.wChairID == INVALID_CHAIR || request.wChairID == chair) && (!player || player->bot))
                return chair;
        }
        return INVALID_CHAIR;
    };
    uint16_t tableId = request.wTableID;
    uint16_t chair = INVALID_CHAIR;
    if (tableId == INVALID_TABLE) {
        for (uint16_t t = 0; t < m_tables.size() && chair == INVALID_CHAIR; ++t) {
            if ((chair = freeChair(m_tables[t])) != INVALID_CHAIR)
                tableId = t;
        }
        if (chair == INVALID_CHAIR) {
            refuse(user, MDM_HOST_USER, SUB_USER_SIT, RefusalCode::ServerFull, "no free chair");
            return;
        }
    } else {
        if (tableId >= m_tables.size()) {
            refuse(user, MDM_HOST_USER, SUB_USER_SIT, RefusalCode::NoSuchTable, "no such table");
            return;
        }
        chair = freeChair(m_tables[tableId]);
        if (chair == INVALID_CHAIR) {
            const bool oneChair = request.wChairID != INVALID_CHAIR;
            refuse(user, MDM_HOST_USER, SUB_USER_SIT, oneChair ? RefusalCode::ChairTaken : RefusalCode::TableFull,
                   oneChair ? "chair taken" : "table full");
            return;
        }
    }
    replaceBot(m_tables[tableId], chair);
    m_tables[tableId].players[chair] = user.info.dwUserID;
    user.info.wTableID = tableId;
    user.info.wChairID = chair;
    user.info.cbLookon = 0;
    // Only a bot's chair can be taken during a game, and the person plays its hand on.
    user.info.cbUserStatus = gameOf(tableId).isPlaying() ? USER_STATUS_PLAY : USER_STATUS_SIT;
    user.allowAll = false;
    user.allowFor.clear();
    gameOf(tableId).setPresent(chair, true);
    sendTable(user);
    broadcastNotice(SUB_USER_ENTER, user, false);
}

void Sessions::lookOn(User& user, const LookonRequest& request)
{
    if (user.info.wTableID != INVALID_TABLE) {
        refuse(user, MDM_HOST_USER, SUB_USER_LOOKON, RefusalCode::OutOfPlace, "already at a table");
        return;
    }
    if (request.wTableID >= m_tables.size()) {
        refuse(user, MDM_HOST_USER, SUB_USER_LOOKON, RefusalCode::NoSuchTable, "no such table");
        return;
    }
    Table& table = m_tables[request.wTableID];
    if (table.players[request.wChairID] == 0) {
        refuse(user, MDM_HOST_USER, SUB_USER_LOOKON, RefusalCode::LookonDenied, "nobody to watch");
        return;
    }
    table.lookers.push_back(user.info.dwUserID);
    user.info.wTableID = request.wTableID;
    user.info.wChairID = request.wChairID;
    user.info.cbLookon = 1;
    user.info.cbUserStatus = USER_STATUS_LOOKON;
    sendTable(user);
    broadcastNotice(SUB_USER_ENTER, user, false);
}

void Sessions::standUp(User& user, bool force)
{
    Table* table = tableOf(user);
    if (!table)
        return;
    const uint16_t tableId = user.info.wTableID;
    const uint16_t chair = user.info.wChairID;
    if (isPlayer(user.info)) {
        if (!force && gameOf(tableId).isPlaying()) {
            refuse(user, MDM_HOST_USER, SUB_USER_STAND, RefusalCode::InGame, "the game is not over");
            return;
        }
        broadcastNotice(SUB_USER_LEAVE, user, true);
        table->players[chair] = 0;
        // A bot is taken off by its table, which knows already.
        if (!user.bot)
            gameOf(tableId).setPresent(chair, false);
        // Lookers of an empty chair have nothing to watch.
        const std::vector<uint32_t> lookers = table->lookers;
        for (uint32_t id : lookers) {
            User* looker = userById(id);
            if (looker && looker->info.wChairID == chair)
                standUp(*looker, true);
        }
    } else {
        broadcastNotice(SUB_USER_LEAVE, user, true);
        std::erase(table->lookers, user.info.dwUserID);
    }
    user.info.wTableID = INVALID_TABLE;
    user.info.wChairID = INVALID_CHAIR;
    user.info.cbLookon = 0;
    user.info.cbUserStatus = USER_STATUS_FREE;
}

void Sessions::setAllow(User& player, const AllowLookon& allow)
{
    if (allow.dwUserID == 0) {
        player.allowAll = allow.cbAllow != 0;
        player.allowFor.clear();
    } else {
        player.allowFor[allow.dwUserID] = allow.cbAllow != 0;
    }
    for (uint32_t id : m_tables[player.info.wTableID].lookers) {
        const User* looker = userById(id);
        if (!looker || looker->info.wChairID != player.info.wChairID || (allow.dwUserID != 0 && allow.dwUserID != id))
            continue;
        sendTo(*looker, encodeRecord(MDM_HOST_USER, SUB_USER_LOOKON_STATE, LookonState{1, lookerAllowed(*looker), {}}));
        sendSnapshot(*looker);
    }
}

bool Sessions::lookerAllowed(const User& looker) const
{
    if (!isLooker(looker.info))
        return false;
    const uint32_t playerId = m_tables[looker.info.wTableID].players[looker.info.wChairID];
    const auto found = m_users.find(playerId);
    if (found == m_users.end())
        return false;
    const User& player = found->second;
    const auto answer = player.allowFor.find(looker.info.dwUserID);
    return answer != player.allowFor.end() ? answer->second : player.allowAll;
}

void Sessions::sendTable(const User& user)
{
    sendNotice(user, SUB_USER_ENTER, user);
    for (uint32_t id : m_tables[user.info.wTableID].players) {
        const User* player = userById(id);
        if (player && id != user.info.dwUserID)
            sendNotice(user, SUB_USER_ENTER, *player);
    }
    const bool allow = isLooker(user.info) ? lookerAllowed(user) : user.allowAll;
    sendTo(user, encodeRecord(MDM_HOST_USER, SUB_USER_LOOKON_STATE, LookonState{user.info.cbLookon, allow, {}}));
    sendSnapshot(user);
}

void Sessions::sendSnapshot(const User& user)
{
    if (user.info.wTableID == INVALID_TABLE)
        return;
    const bool lookon = user.info.cbLookon != 0;
    TableGame& game = gameOf(user.info.wTableID);
    const auto [state, scene] = game.snapshot(user.info.wChairID, lookon, !lookon || lookerAllowed(user));
    sendTo(user, encodeSnapshot(state, lookon, scene));
    for (const ExtraMessage& extra : game.afterSnapshot(user.info.wChairID)) {
        if (isMessageBody(extra.body))
            sendTo(user, encodeFrame(MDM_GAME, extra.sub, extra.body));
    }
}

void Sessions::sendGame(uint16_t table, uint16_t chair, uint16_t sub, std::span<const uint8_t> body)
{
    if (table >= m_tables.size() || !IsChair(chair) || !isMessageBody(body))
        return;
    const auto bytes = encodeFrame(MDM_GAME, sub, body);
    if (const User* player = userById(m_tables[table].players[chair]))
        sendTo(*player, bytes);
    for (uint32_t id : m_tables[table].lookers) {
        const User* looker = userById(id);
        if (looker && looker->info.wChairID == chair && lookerAllowed(*looker))
            sendTo(*looker, bytes);
    }
}

void Sessions::sendGameToBlindLookers(uint16_t table, uint16_t chair, uint16_t sub, std::span<const uint8_t> body)
{
    if (table >= m_tables.size() || !IsChair(chair) || !isMessageBody(body))
        return;
    const auto bytes = encodeFrame(MDM_GAME, sub, body);
    for (uint32_t id : m_tables[table].lookers) {
        const User* looker = userById(id);
        if (looker && looker->info.wChairID == chair && !lookerAllowed(*looker))
            sendTo(*looker, bytes);
    }
}

void Sessions::gameStarted(uint16_t table)
{
    if (table >= m_tables.size())
        return;
    for (uint32_t id : m_tables[table].players) {
        if (User* player = userById(id); player && player->info.cbUserStatus != USER_STATUS_OFFLINE) {
            player->info.cbUserStatus = USER_STATUS_PLAY;
            broadcastNotice(SUB_USER_STATUS, *player, true);
        }
    }
}

void Sessions::gameEnded(uint16_t table, const std::array<int32_t, 3>& scoreChange)
{
    if (table >= m_tables.size())
        return;
    const auto players = m_tables[table].players;
    for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
        User* player = userById(players[chair]);
        if (!player)
            continue;
        player->info.lScore += scoreChange[chair];
        player->info.lResultCount[scoreChange[chair] > 0 ? 0 : scoreChange[chair] < 0 ? 1 : 2] += 1;
        broadcastNotice(SUB_USER_SCORE, *player, true);
        if (player->info.cbUserStatus == USER_STATUS_OFFLINE) {
            // Nobody to come back to the next game: the seat is freed.
            const uint32_t id = player->info.dwUserID;
            standUp(*player, true);
            forgetUser(id);
            continue;
        }
        // Bots are ready for the next game at once.
        player->info.cbUserStatus = player->bot ? USER_STATUS_READY : USER_STATUS_SIT;
        broadcastNotice(SUB_USER_STATUS, *player, true);
    }
}

void Sessions::setPlayerScore(uint16_t table, uint16_t chair, int32_t score, int32_t gold)
{
    User* player = userById(playerAt(table, chair));
    if (!player)
        return;
    player->info.lScore = score;
    player->info.lGold = gold;
    broadcastNotice(SUB_USER_SCORE, *player, true);
}

void Sessions::seatBot(uint16_t table, uint16_t chair)
{
    if (table >= m_tables.size() || !IsChair(chair) || m_tables[table].players[chair] != 0)
        return;
    const BotPersona& persona = kBotPersonas[(table * PLAYER_COUNT + chair) % std::size(kBotPersonas)];
    const uint32_t userId = m_nextUserId++;
    User& bot = m_users[userId];
    bot.bot = true;
    bot.info.dwUserID = userId;
    setText(bot.info.szName, persona.name);
    setText(bot.info.szRegion[0], kBotRegion);
    bot.info.cbGender = persona.gender;
    bot.info.cbDialect = persona.dialect;
    // Bots sit down ready: they are seated when a person is ready to start.
    bot.info.cbUserStatus = USER_STATUS_READY;
    bot.info.wTableID = table;
    bot.info.wChairID = chair;
    m_tables[table].players[chair] = userId;
    broadcastNotice(SUB_USER_ENTER, bot, false);
}

void Sessions::unseatBot(uint16_t table, uint16_t chair)
{
    User* bot = userById(playerAt(table, chair));
    if (!bot || !bot->bot)
        return;
    const uint32_t userId = bot->info.dwUserID;
    standUp(*bot, true);
    forgetUser(userId);
}

void Sessions::replaceBot(Table& table, uint16_t chair)
{
    User* bot = userById(table.players[chair]);
    if (!bot || !bot->bot)
        return;
    // The lookers of the chair stay: they watch the person from now on.
    broadcastNotice(SUB_USER_LEAVE, *bot, false);
    table.players[chair] = 0;
    forgetUser(bot->info.dwUserID);
}

void Sessions::sendTo(const User& user, std::span<const uint8_t> bytes)
{
    if (user.connection && !bytes.empty())
        m_transport.send(*user.connection, bytes);
}

void Sessions::sendNotice(const User& to, uint16_t sub, const User& about)
{
    sendTo(to, encodeRecord(MDM_HOST_USER, sub, about.info));
}

void Sessions::broadcastNotice(uint16_t sub, const User& about, bool includeSelf)
{
    if (about.info.wTableID == INVALID_TABLE) {
        if (includeSelf)
            sendNotice(about, sub, about);
        return;
    }
    const auto bytes = encodeRecord(MDM_HOST_USER, sub, about.info);
    const Table& table = m_tables[about.info.wTableID];
    for (uint32_t id : table.players)
        if (const User* to = userById(id); to && (includeSelf || id != about.info.dwUserID))
            sendTo(*to, bytes);
    for (uint32_t id : table.lookers)
        if (const User* to = userById(id); to && (includeSelf || id != about.info.dwUserID))
            sendTo(*to, bytes);
}

void Sessions::refuse(const User& user, uint16_t main, uint16_t sub, RefusalCode code, const char* reason)
{
    Refusal refusal{};
    refusal.wMainCmdID = main;
    refusal.wSubCmdID = sub;
    refusal.dwCode = static_cast<uint32_t>(code);
    setText(refusal.szReason, reason);
    sendTo(user, encodeRecord(MDM_HOST_USER, SUB_USER_REFUSED, refusal));
}

Sessions::Table* Sessions::tableOf(const User& user)
{
    return user.info.wTableID < m_tables.size() ? &m_tables[user.info.wTableID] : nullptr;
}

TableGame& Sessions::gameOf(uint16_t table)
{
    Table& t = m_tables[table];
    if (!t.game)
        t.game = m_factory(table);
    return *t.game;
}

Sessions::User* Sessions::userById(uint32_t userId)
{
    if (userId == 0)
        return nullptr;
    const auto found = m_users.find(userId);
    return found == m_users.end() ? nullptr : &found->second;
}

void Sessions::forgetUser(uint32_t userId)
{
    m_users.erase(userId);
}

uint32_t Sessions::playerAt(uint16_t table, uint16_t chair) const
{
    return table < m_tables.size() && IsChair(chair) ? m_tables[table].players[chair] : 0;
}

std::optional<UserInfo> Sessions::user(uint32_t userId) const
{
    const auto found = m_users.find(userId);
    if (found == m_users.end())
        return std::nullopt;
    return found->second.info;
}

}  // namespace server
