// qarrum-server as people meet it: started on a free port, a client logs on, sits and is dealt
// its cards by a table the bots complete, and the server stops when told to.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>

#include <algorithm>

#include "protocol/GameRecords.h"
#include "protocol/HostProtocol.h"

using namespace protocol;

namespace {

class ServerProcess {
public:
    explicit ServerProcess(const QStringList& args)
    {
        m_process.setProgram(QStringLiteral(QARRUM_SERVER));
        m_process.setArguments(args);
        m_process.start();
    }
    ~ServerProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    // The port of the line printed once listening; 0 when it did not come.
    quint16 waitListening()
    {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && !m_process.canReadLine())
            m_process.waitForReadyRead(100);
        const QString line = QString::fromUtf8(m_process.readLine());
        const auto match = QRegularExpression(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)")).match(line);
        return match.hasMatch() ? match.captured(1).toUShort() : 0;
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

class Client {
public:
    bool connect(quint16 port)
    {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return m_socket.waitForConnected(5000);
    }
    template <typename Record>
    void send(uint16_t main, uint16_t sub, const Record& record)
    {
        write(encodeRecord(main, sub, record));
    }
    void write(const std::vector<uint8_t>& bytes)
    {
        m_socket.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        m_socket.flush();
    }
    // Reads frames until one matches or the time is up.
    template <typename Match>
    std::optional<Frame> waitFor(Match&& match, int ms = 5000)
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            while (!m_frames.empty()) {
                Frame next = std::move(m_frames.front());
                m_frames.erase(m_frames.begin());
                if (match(next))
                    return next;
            }
            if (!m_socket.waitForReadyRead(100) && m_socket.state() != QAbstractSocket::ConnectedState)
                return std::nullopt;
            const QByteArray bytes = m_socket.readAll();
            m_decoder.feedAll(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<std::size_t>(bytes.size())),
                              [&](Frame f) { return m_frames.push_back(std::move(f)), true; });
        }
        return std::nullopt;
    }
    QTcpSocket& socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    FrameDecoder m_decoder;
    std::vector<Frame> m_frames;
};

}  // namespace

TEST(ServerProgram, DealsAPersonItsCardsAtATableOfBotsAndStopsCleanly)
{
    int argc = 0;
    QCoreApplication application(argc, nullptr);
    ServerProcess server({"--port", "0", "--host", "127.0.0.1", "--bots", "basic", "--seed", "5", "--tables", "2", "--think", "0"});
    const quint16 port = server.waitListening();
    ASSERT_NE(port, 0) << server.process().readAllStandardError().toStdString();

    Client ann;
    ASSERT_TRUE(ann.connect(port));
    ann.send(MDM_HOST_LOGON, SUB_LOGON_HELLO, ClientHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1});
    LogonRequest logon{};
    setText(logon.szName, "ann");
    logon.cbDialect = 1;
    ann.send(MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon);
    ASSERT_TRUE(ann.waitFor([](const Frame& f) { return f.main == MDM_HOST_LOGON && f.sub == SUB_LOGON_SUCCESS; }));
    ann.send(MDM_HOST_USER, SUB_USER_SIT, SitRequest{INVALID_TABLE, INVALID_CHAIR});
    const auto me = ann.waitFor([](const Frame& f) { return f.main == MDM_HOST_USER && f.sub == SUB_USER_ENTER; });
    ASSERT_TRUE(me);
    const uint16_t chair = readBody<UserInfo>(me->body)->wChairID;
    ASSERT_TRUE(IsChair(chair));
    ann.write(encodeFrame(MDM_HOST_USER, SUB_USER_READY));

    const auto deal = ann.waitFor([](const Frame& f) { return f.main == MDM_GAME && f.sub == SUB_S_DEAL_CARDS; });
    ASSERT_TRUE(deal) << "the bots fill the table and the game is dealt";
    const auto cards = ReadRecord<DealCards>(deal->body);
    ASSERT_TRUE(cards);
    EXPECT_EQ(std::count(cards->cbHandCards[chair], cards->cbHandCards[chair] + HAND_CARDS, 0), 0);
    // The bots play on while the person waits; the server keeps talking to it.
    EXPECT_TRUE(ann.waitFor([](const Frame& f) { return f.main == MDM_GAME && f.sub == SUB_S_BID_RESULT; }, 40000));

    // Garbage closes only the connection that sent it.
    Client bad;
    ASSERT_TRUE(bad.connect(port));
    bad.write(std::vector<uint8_t>(64, 0xEE));
    EXPECT_FALSE(bad.waitFor([](const Frame&) { return false; }, 3000));
    EXPECT_NE(bad.socket().state(), QAbstractSocket::ConnectedState);
    ann.write(encodeRecord(MDM_HOST_SYSTEM, SUB_SYSTEM_PING, Ping{7, 0}));
    EXPECT_TRUE(ann.waitFor([](const Frame& f) { return f.main == MDM_HOST_SYSTEM && f.sub == SUB_SYSTEM_PONG; }));

    server.process().terminate();
    EXPECT_TRUE(server.process().waitForFinished(5000));
}

TEST(ServerProgram, DemoExtrasFollowTheSnapshotAndBotsArriveAsUsers)
{
    int argc = 0;
    QCoreApplication application(argc, nullptr);
    ServerProcess server({"--port", "0", "--host", "127.0.0.1", "--demo-extras", "--bots", "basic", "--seed", "5", "--think", "0"});
    const quint16 port = server.waitListening();
    ASSERT_NE(port, 0) << server.process().readAllStandardError().toStdString();

    Client ann;
    ASSERT_TRUE(ann.connect(port));
    ann.send(MDM_HOST_LOGON, SUB_LOGON_HELLO, ClientHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1});
    LogonRequest logon{};
    setText(logon.szName, "ann");
    ann.send(MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon);
    ann.send(MDM_HOST_USER, SUB_USER_SIT, SitRequest{INVALID_TABLE, INVALID_CHAIR});
    ASSERT_TRUE(ann.waitFor([](const Frame& f) { return f.main == MDM_HOST_TABLE; }));
    const auto items = ann.waitFor([](const Frame& f) { return f.main == MDM_GAME; });
    ASSERT_TRUE(items);
    EXPECT_EQ(items->sub, SUB_S_PROP_LIST) << "the item list comes right after the snapshot";
    EXPECT_TRUE(ReadPropList(items->body));

    ann.write(encodeFrame(MDM_HOST_USER, SUB_USER_READY));
    const auto bot = ann.waitFor([](const Frame& f) { return f.main == MDM_HOST_USER && f.sub == SUB_USER_ENTER; });
    ASSERT_TRUE(bot) << "a bot comes to the table as a user";
    EXPECT_EQ(readBody<UserInfo>(bot->body)->cbUserStatus, USER_STATUS_READY);
    EXPECT_TRUE(ann.waitFor([](const Frame& f) { return f.main == MDM_GAME && f.sub == SUB_S_MATCH_PROGRESS; }))
        << "the new round follows the deal";
}

TEST(ServerProgram, AFloodIsToldWhyBeforeItsConnectionCloses)
{
    int argc = 0;
    QCoreApplication application(argc, nullptr);
    ServerProcess server({"--port", "0", "--host", "127.0.0.1", "--tables", "1"});
    const quint16 port = server.waitListening();
    ASSERT_NE(port, 0) << server.process().readAllStandardError().toStdString();

    // More pings in one write than any client sends in a second: the server answers the first
    // ones, then says why it closes, and only then closes.
    Client flood;
    ASSERT_TRUE(flood.connect(port));
    std::vector<uint8_t> pings;
    for (uint32_t token = 1; token <= 400; ++token) {
        const auto ping = encodeRecord(MDM_HOST_SYSTEM, SUB_SYSTEM_PING, Ping{token, 0});
        pings.insert(pings.end(), ping.begin(), ping.end());
    }
    flood.write(pings);
    const auto closing = flood.waitFor([](const Frame& f) { return f.main == MDM_HOST_SYSTEM && f.sub == SUB_SYSTEM_CLOSE; });
    ASSERT_TRUE(closing);
    EXPECT_EQ(readBody<Refusal>(closing->body)->dwCode, static_cast<uint32_t>(RefusalCode::Flood));
    EXPECT_FALSE(flood.waitFor([](const Frame&) { return false; }, 3000));
    EXPECT_NE(flood.socket().state(), QAbstractSocket::ConnectedState);
}
