// The client's end of the host protocol: the log-on and seat sequence, what each server frame does
// to the host, what is refused, reconnecting, and the same over a real local socket.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/TimerHost.h"
#include "platform/host/GameFrame.h"
#include "platform/host/HostLinkDispatch.h"
#include "platform/host/TcpServerLink.h"
#include "protocol/HostProtocol.h"

using namespace protocol;

namespace {

class WatchedFrame : public CGameFrameDlg {
public:
    WatchedFrame() : CGameFrameDlg(&m_view) {}

    bool HandleGameMessage(WORD wSubCmdID, const void*, WORD wDataSize) override
    {
        seen.push_back("game " + std::to_string(wSubCmdID) + ' ' + std::to_string(wDataSize));
        return true;
    }
    bool HandleSceneMessage(BYTE cbGameStatus, bool bLookon, const void*, WORD wDataSize) override
    {
        seen.push_back("scene " + std::to_string(cbGameStatus) + ' ' + std::to_string(bLookon) + ' ' + std::to_string(wDataSize));
        return true;
    }
    void OnUserLeft(const tagUserData* pUserData, WORD wChairID, bool) override
    {
        seen.push_back("left " + std::string(pUserData->szName) + '@' + std::to_string(wChairID));
    }

    CGameFrameView m_view{true, 24, nullptr};
    std::vector<std::string> seen;
};

UserInfo makeUser(DWORD id, const char* gbkName, WORD table, WORD chair, uint8_t lookon = 0)
{
    UserInfo user{};
    user.dwUserID = id;
    setText(user.szName, gbkName);
    user.cbDialect = 1;
    user.cbUserStatus = lookon ? USER_STATUS_LOOKON : USER_STATUS_SIT;
    user.cbLookon = lookon;
    user.lScore = 250;
    user.wTableID = table;
    user.wChairID = chair;
    return user;
}

Frame toFrame(const std::vector<uint8_t>& bytes)
{
    FrameDecoder decoder;
    decoder.feed(bytes);
    auto frame = decoder.pop();
    EXPECT_TRUE(frame);
    return frame ? *frame : Frame{};
}

template <typename Record>
Frame recordFrame(uint16_t main, uint16_t sub, const Record& record)
{
    return toFrame(encodeRecord(main, sub, record));
}

Refusal refusal(RefusalCode code, const char* gbkReason)
{
    Refusal r{};
    r.dwCode = static_cast<uint32_t>(code);
    setText(r.szReason, gbkReason);
    return r;
}

const uint32_t kMe = 501;

class HostLink : public testing::Test {
protected:
    void SetUp() override
    {
        frame.SetEventSink([this](const std::string& line) { events.push_back(line); });
        dispatch.SetStateSink([this](LinkState state, const std::string&) { states.push_back(LinkStateName(state)); });
    }

    // Connected and logged on; the seat request is the last frame written.
    void logOn()
    {
        dispatch.OnConnected();
        ASSERT_TRUE(dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_HELLO_ANSWER,
                                                 ServerHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1, {}})));
        ASSERT_TRUE(dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{kMe, 0xBEEF, 10, 0})));
    }

    void sitAt(WORD table, WORD chair)
    {
        logOn();
        dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(kMe, "me", table, chair)));
    }

    std::vector<Frame> written() const
    {
        std::vector<Frame> frames;
        FrameDecoder decoder;
        for (const auto& bytes : writes) {
            EXPECT_TRUE(decoder.feedAll(bytes, [&](Frame f) { return frames.push_back(std::move(f)), true; }));
            EXPECT_EQ(decoder.buffered(), 0u) << "each write is whole frames";
        }
        return frames;
    }

    VirtualTimerHost clock;
    ScopedTimerHost scoped{clock};
    WatchedFrame frame;
    std::vector<std::vector<uint8_t>> writes;
    tagLogonInfo info{"张三", 1, 2};
    CHostLinkDispatch dispatch{&frame, info, [this](std::vector<uint8_t> bytes) { writes.push_back(std::move(bytes)); }};
    std::vector<std::string> events;
    std::vector<std::string> states;
};

}  // namespace

TEST_F(HostLink, LogsOnAsksForAnyChairAndSeatsTheTable)
{
    logOn();
    const auto sent = written();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].sub, SUB_LOGON_HELLO);
    const auto logon = readBody<LogonRequest>(sent[1].body);
    ASSERT_TRUE(logon);
    EXPECT_EQ(textOf(logon->szName), "\xD5\xC5\xC8\xFD") << "the name travels in GBK";
    EXPECT_EQ(logon->cbGender, 1);
    EXPECT_EQ(logon->cbDialect, 2);
    EXPECT_EQ(logon->dwUserID, 0u);
    const auto sit = readBody<SitRequest>(sent[2].body);
    ASSERT_TRUE(sit);
    EXPECT_EQ(sit->wTableID, INVALID_TABLE);
    EXPECT_EQ(sit->wChairID, INVALID_CHAIR);

    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(kMe, "\xD5\xC5\xC8\xFD", 3, 1)));
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(600, "left", 3, 0)));
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(601, "right", 3, 2)));
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(602, "looker", 3, 0, 1)));
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(603, "elsewhere", 4, 0)));
    EXPECT_EQ(frame.GetMeChairID(), 1);
    ASSERT_TRUE(frame.GetUserData(1));
    EXPECT_STREQ(frame.GetUserData(1)->szName, "张三");
    EXPECT_EQ(frame.GetUserData(1)->lScore, 250);
    ASSERT_TRUE(frame.GetUserData(0));
    EXPECT_STREQ(frame.GetUserData(0)->szName, "left") << "lookers and other tables take no chair";
    EXPECT_STREQ(frame.GetUserData(2)->szName, "right");
    EXPECT_EQ(dispatch.GetState(), LinkState::Seated);
    EXPECT_EQ(states, (std::vector<std::string>{"logging-on", "seating", "seated"}));

    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_LOOKON_STATE, LookonState{0, 1, {}}));
    EXPECT_TRUE(frame.IsAllowLookon());
    const std::vector<uint8_t> scene(sizeof(StatusFree), 0);
    dispatch.OnFrame(toFrame(encodeSnapshot(GS_FREE, false, scene)));
    dispatch.OnFrame(toFrame(encodeFrame(MDM_GAME, SUB_S_PLAYED_CARDS, std::vector<uint8_t>(8, 0))));
    EXPECT_EQ(frame.seen, (std::vector<std::string>{"scene 0 0 48", "game 103 8"}));

    ChatMessage chat{};
    chat.dwSenderID = 600;
    setText(chat.szSenderName, "left");
    setText(chat.szText, "\xC4\xE3\xBA\xC3");
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_CHAT, chat));
    EXPECT_EQ(events.back(), "chat left：你好");
}

TEST_F(HostLink, LeavesEmptyOnlyTheirOwnChairAndOurOwnLeaveEmptiesTheTable)
{
    sitAt(2, 0);
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(700, "a", 2, 1)));
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(701, "b", 2, 2)));
    // A stale leave naming another user must not empty the chair its successor sits on.
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_LEAVE, makeUser(799, "stale", 2, 1)));
    EXPECT_TRUE(frame.GetUserData(1));
    // A user that appears on another chair has left its old one, and displaced whoever sat there.
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_STATUS, makeUser(700, "a", 2, 2)));
    EXPECT_FALSE(frame.GetUserData(1));
    EXPECT_STREQ(frame.GetUserData(2)->szName, "a");
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_LEAVE, makeUser(kMe, "me", 2, 0)));
    for (WORD chair = 0; chair < 3; ++chair)
        EXPECT_FALSE(frame.GetUserData(chair));
    EXPECT_EQ(dispatch.GetState(), LinkState::Standing);
    // With no table, game messages have nowhere to go.
    dispatch.OnFrame(toFrame(encodeFrame(MDM_GAME, SUB_S_PASS_CARDS, std::vector<uint8_t>(6, 0))));
    EXPECT_EQ(frame.seen, (std::vector<std::string>{"left a@1", "left b@2", "left me@0", "left a@2"}));
}

TEST_F(HostLink, ALookerWatchesFromTheChairItLooksAt)
{
    info.bLookon = true;
    info.wTableID = 8;
    info.wChairID = 2;
    CHostLinkDispatch looker(&frame, info, [this](std::vector<uint8_t> bytes) { writes.push_back(std::move(bytes)); });
    looker.OnConnected();
    looker.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{kMe, 1, 10, 0}));
    const auto request = readBody<LookonRequest>(written().back().body);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->wTableID, 8);
    EXPECT_EQ(request->wChairID, 2);

    looker.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(kMe, "me", 8, 2, 1)));
    looker.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(900, "watched", 8, 2)));
    looker.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_LOOKON_STATE, LookonState{1, 0, {}}));
    EXPECT_EQ(frame.GetMeChairID(), 2);
    EXPECT_STREQ(frame.GetUserData(2)->szName, "watched");
    EXPECT_TRUE(frame.IsLookonMode());
    EXPECT_FALSE(frame.IsAllowLookon());
}

TEST_F(HostLink, RefusalsAndLossesAreToldOnceAndCloseTheLink)
{
    dispatch.OnConnected();
    Refusal failure = refusal(RefusalCode::BadName, "\xC3\xFB\xD7\xD6");  // 名字
    EXPECT_FALSE(dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_FAILURE, failure)));
    EXPECT_EQ(dispatch.GetState(), LinkState::Refused);
    EXPECT_EQ(events.back(), "chat 登录失败：名字");
    dispatch.OnConnectionLost("lost");
    EXPECT_EQ(events.size(), 1u) << "the refusal already said why";

    dispatch.OnConnected();
    EXPECT_FALSE(dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_HELLO_ANSWER, ServerHello{HOST_PROTOCOL_MAGIC, 9, 0, {}})));
    EXPECT_EQ(dispatch.GetState(), LinkState::Refused);

    sitAt(1, 1);
    EXPECT_FALSE(dispatch.OnFrame(recordFrame(MDM_HOST_SYSTEM, SUB_SYSTEM_CLOSE, refusal(RefusalCode::Flood, "flood"))));
    EXPECT_EQ(events.back(), "chat 服务器断开了连接：flood");

    sitAt(1, 1);
    dispatch.OnConnectionLost("与服务器的连接已断开");
    EXPECT_EQ(dispatch.GetState(), LinkState::Lost);
    EXPECT_EQ(events.back(), "chat 与服务器的连接已断开");
    dispatch.OnConnectionLost("again");
    EXPECT_EQ(events.back(), "chat 与服务器的连接已断开");
}

TEST_F(HostLink, MalformedAndOutOfPlaceFramesAreDroppedAndNothingIsSentEarly)
{
    dispatch.OnConnected();
    EXPECT_FALSE(dispatch.SendUserReady(nullptr, 0)) << "not logged on yet";
    // A user notice before log-on, a game message before a table.
    EXPECT_TRUE(dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(1, "x", 0, 0))));
    EXPECT_FALSE(frame.GetUserData(0));
    ASSERT_TRUE(dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{kMe, 1, 10, 0})));
    dispatch.OnFrame(toFrame(encodeFrame(MDM_GAME, SUB_S_PASS_CARDS, std::vector<uint8_t>(6, 0))));

    UserInfo badChair = makeUser(5, "x", 0, 0);
    badChair.wChairID = 3;
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, badChair));
    Frame clientOnly = recordFrame(MDM_HOST_USER, SUB_USER_SIT, SitRequest{0, 0});
    dispatch.OnFrame(clientOnly);
    EXPECT_EQ(dispatch.GetDroppedFrames(), 4);
    EXPECT_TRUE(frame.seen.empty());

    std::vector<uint8_t> big(MAX_MESSAGE_BODY + 1, 0);
    EXPECT_FALSE(dispatch.SendData(MDM_GAME, SUB_C_OUT_CARD, big.data(), static_cast<WORD>(big.size())));
    EXPECT_FALSE(dispatch.SendData(6, 1, nullptr, 0)) << "a main command the server would close us for";
    EXPECT_TRUE(dispatch.SendUserReady(nullptr, 0));
    EXPECT_EQ(written().back().sub, SUB_USER_READY);
}

TEST_F(HostLink, AReconnectNamesTheUserAndTakesTheTableBack)
{
    sitAt(6, 2);
    dispatch.OnFrame(recordFrame(MDM_HOST_USER, SUB_USER_ENTER, makeUser(700, "a", 6, 0)));
    dispatch.OnConnectionLost("lost");
    writes.clear();

    dispatch.OnConnected();
    const auto logon = readBody<LogonRequest>(written().back().body);
    ASSERT_TRUE(logon);
    EXPECT_EQ(logon->dwUserID, kMe);
    EXPECT_EQ(logon->dwResumeKey, 0xBEEFu);
    dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{kMe, 0xCAFE, 10, 0}));
    EXPECT_EQ(written().size(), 2u) << "no new seat request: the server gives the seat back";
    EXPECT_STREQ(frame.GetUserData(0)->szName, "a");

    // A server that does not know us any more: a new user, a new seat.
    dispatch.OnConnectionLost("lost");
    dispatch.OnConnected();
    dispatch.OnFrame(recordFrame(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{kMe + 1, 1, 10, 0}));
    EXPECT_FALSE(frame.GetUserData(0));
    EXPECT_EQ(written().back().sub, SUB_USER_SIT);
}

// The same link over a real socket: bytes cut by TCP as it likes, and the server's close reported.
TEST(TcpServerLink, TalksToAServerAndReportsItsClose)
{
    VirtualTimerHost clock;
    ScopedTimerHost scoped{clock};
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    WatchedFrame frame;
    std::vector<std::string> events;
    frame.SetEventSink([&](const std::string& line) { events.push_back(line); });
    CTcpServerLink link(&frame, tagLogonInfo{"p1", 0, 1});
    frame.SetServerLink(&link);

    auto waitFor = [](auto&& done, int ms = 10000) {
        const QDeadlineTimer deadline(ms);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    };
    link.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
    ASSERT_TRUE(waitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    FrameDecoder decoder;
    std::vector<Frame> received;
    auto readPeer = [&] {
        const QByteArray bytes = peer->readAll();
        decoder.feedAll(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<std::size_t>(bytes.size())),
                        [&](Frame f) { return received.push_back(std::move(f)), true; });
        return received.size();
    };
    ASSERT_TRUE(waitFor([&] { return readPeer() >= 2; }));
    EXPECT_EQ(received[1].sub, SUB_LOGON_REQUEST);

    std::vector<uint8_t> answer = encodeRecord(MDM_HOST_LOGON, SUB_LOGON_HELLO_ANSWER, ServerHello{HOST_PROTOCOL_MAGIC, 1, 1, {}});
    for (const auto& next : {encodeRecord(MDM_HOST_LOGON, SUB_LOGON_SUCCESS, LogonSuccess{kMe, 1, 1, 0}),
                             encodeRecord(MDM_HOST_USER, SUB_USER_ENTER, makeUser(kMe, "p1", 0, 2)),
                             encodeSnapshot(GS_FREE, false, std::vector<uint8_t>(sizeof(StatusFree), 0))})
        answer.insert(answer.end(), next.begin(), next.end());
    peer->write(reinterpret_cast<const char*>(answer.data()), static_cast<qint64>(answer.size()));
    ASSERT_TRUE(waitFor([&] { return !frame.seen.empty(); }));
    EXPECT_EQ(frame.seen.front(), "scene 0 0 48");
    EXPECT_EQ(frame.GetMeChairID(), 2);
    EXPECT_EQ(link.GetState(), LinkState::Seated);

    // The host's sends reach the server as frames.
    frame.SendUserReady(nullptr, 0);
    const uint8_t bid = 3;
    frame.SendData(SUB_C_BID_SCORE, &bid, 1);
    ASSERT_TRUE(waitFor([&] { return readPeer() >= 5; }));
    EXPECT_EQ(received[3].sub, SUB_USER_READY);
    EXPECT_EQ(received[4].main, MDM_GAME);
    EXPECT_EQ(received[4].body, std::vector<uint8_t>{3});

    // A lost connection is tried again after a pause, naming the user and its key.
    peer->disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return link.GetState() == LinkState::Lost; }));
    const std::vector<std::string> lossLines(events.end() - 2, events.end());
    EXPECT_EQ(lossLines, (std::vector<std::string>{"chat 与服务器的连接已断开", "chat 正在尝试重新连接服务器……"}));
    const auto acceptAfter = [&](int64_t ms) -> QTcpSocket* {
        clock.advance(ms - 1);
        if (waitFor([&] { return server.hasPendingConnections(); }, 200))
            return nullptr;  // too early
        clock.advance(1);
        return waitFor([&] { return server.hasPendingConnections(); }) ? server.nextPendingConnection() : nullptr;
    };
    peer = acceptAfter(CTcpServerLink::ReconnectDelayMs(0));
    ASSERT_TRUE(peer);
    received.clear();
    decoder.reset();
    ASSERT_TRUE(waitFor([&] { return readPeer() >= 2; }));
    const auto logon = readBody<LogonRequest>(received[1].body);
    ASSERT_TRUE(logon);
    EXPECT_EQ(logon->dwUserID, kMe);
    EXPECT_EQ(logon->dwResumeKey, 1u);

    // An attempt that fails says nothing new and waits longer; a refusal ends the attempts.
    const std::size_t linesBefore = events.size();
    peer->abort();
    ASSERT_TRUE(waitFor([&] { return link.GetState() == LinkState::Lost; }));
    EXPECT_EQ(events.size(), linesBefore);
    peer = acceptAfter(CTcpServerLink::ReconnectDelayMs(1));
    ASSERT_TRUE(peer);
    ASSERT_TRUE(waitFor([&] { return peer->bytesAvailable() > 0; }));
    const auto refusal = encodeRecord(MDM_HOST_LOGON, SUB_LOGON_FAILURE, Refusal{MDM_HOST_LOGON, SUB_LOGON_REQUEST, static_cast<uint32_t>(RefusalCode::ServerFull), "full"});
    peer->write(reinterpret_cast<const char*>(refusal.data()), static_cast<qint64>(refusal.size()));
    ASSERT_TRUE(waitFor([&] { return link.GetState() == LinkState::Refused; }));
    clock.advance(60000);
    EXPECT_FALSE(waitFor([&] { return server.hasPendingConnections(); }, 200));
    EXPECT_EQ(link.GetState(), LinkState::Refused);
}
