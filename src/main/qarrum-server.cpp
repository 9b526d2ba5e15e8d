// The table server: hosts tables for clients over TCP, one Sessions for all of them, each table
// played by the engine and, with --bots, completed with bots.
//
//   qarrum-server --port P [--host ADDRESS] [--bots basic|standard] [--seed S] [--cell-score N]
//                 [--tables N] [--think MS]
//
// --port 0 picks a free port; the line printed once listening names it.
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "server/EngineTable.h"
#include "server/Sessions.h"

namespace {

constexpr int kTickMs = 100;
// A client that reads nothing while the server writes would hold the server's memory without end;
// past this much unwritten output it is cut off. A whole game is a few kilobytes.
constexpr qint64 kMaxUnwritten = 1 << 20;

// Each accepted socket is one connection of the sessions. Ids are never reused, so a late signal
// of a closed socket cannot reach a newer connection.
class SocketTransport : public server::SessionTransport {
public:
    void attach(server::Sessions& sessions) { m_sessions = &sessions; }

    void accept(QTcpSocket* socket)
    {
        const server::ConnectionId id = m_nextId++;
        m_sockets[id] = socket;
        // Game frames are a few dozen bytes; holding them back to fill a segment would cost more
        // than the rest of a round trip.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, id] { read(id); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, id] { lost(id); });
        m_sessions->onConnect(id);
        read(id);
    }

    void send(server::ConnectionId id, std::span<const uint8_t> bytes) override
    {
        const auto found = m_sockets.find(id);
        if (found == m_sockets.end())
            return;
        QTcpSocket* socket = found->second;
        if (socket->bytesToWrite() > kMaxUnwritten) {
            // Not from here: the sessions may be in the middle of a loop over their connections.
            QTimer::singleShot(0, socket, [this, id] { cutOff(id); });
            return;
        }
        socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        // Written now rather than from the next turn of the event loop: a frame leaves at once,
        // and the socket's write notifier is not switched on and off for each one.
        socket->flush();
    }

    void close(server::ConnectionId id) override
    {
        const auto found = m_sockets.find(id);
        if (found == m_sockets.end())
            return;
        QTcpSocket* socket = found->second;
        m_sockets.erase(found);
        // The sessions have forgotten the connection: what they sent last is flushed, then the
        // socket goes. It may be the socket being read right now, so it is deleted later.
        socket->disconnect();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    }

    std::size_t count() const { return m_sockets.size(); }

private:
    void read(server::ConnectionId id)
    {
        char slice[4096];
        for (;;) {
            const auto found = m_sockets.find(id);
            if (found == m_sockets.end() || found->second->bytesAvailable() <= 0)
                return;
            const qint64 got = found->second->read(slice, sizeof(slice));
            if (got <= 0)
                return;
            m_sessions->onBytes(id, std::span(reinterpret_cast<const uint8_t*>(slice), static_cast<std::size_t>(got)));
        }
    }

    void lost(server::ConnectionId id)
    {
        const auto found = m_sockets.find(id);
        if (found == m_sockets.end())
            return;
        found->second->deleteLater();
        m_sockets.erase(found);
        m_sessions->onDisconnect(id);
    }

    void cutOff(server::ConnectionId id)
    {
        const auto found = m_sockets.find(id);
        if (found == m_sockets.end())
            return;
        QTcpSocket* socket = found->second;
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
        m_sockets.erase(found);
        m_sessions->onDisconnect(id);
    }

    server::Sessions* m_sessions = nullptr;
    std::map<server::ConnectionId, QTcpSocket*> m_sockets;
    server::ConnectionId m_nextId = 1;
};

// Each connection is a descriptor; the soft limit (often 1024) would cap the server well below
// what it can hold, and the hard limit is ours to take.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int usage(const char* why)
{
    std::cerr << "qarrum-server: " << why << "\n"
              << "usage: qarrum-server --port P [--host ADDRESS] [--bots basic|standard] [--seed S] [--cell-score N] [--tables N] [--think MS]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // Qt's GLib event loop keeps its socket notifiers in a list that each write's notifier walks
    // through; with a thousand connections that was a quarter of the server's time. The plain Unix
    // loop keeps them in a hash.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    std::map<QString, QString> options;
    for (qsizetype at = 1; at < args.size(); at += 2) {
        static const QStringList known = {"--port", "--host", "--bots", "--seed", "--cell-score", "--tables", "--think"};
        if (!known.contains(args[at]))
            return usage(("unknown option " + args[at].toStdString()).c_str());
        if (at + 1 >= args.size())
            return usage((args[at].toStdString() + " needs a value").c_str());
        options[args[at]] = args[at + 1];
    }
    auto number = [&](const char* name, uint32_t fallback, uint32_t low, uint32_t high) -> std::optional<uint32_t> {
        const auto found = options.find(name);
        if (found == options.end())
            return fallback;
        bool ok = false;
        const uint32_t value = found->second.toUInt(&ok);
        if (!ok || value < low || value > high)
            return std::nullopt;
        return value;
    };

    if (!options.count("--port"))
        return usage("--port is required");
    const auto port = number("--port", 0, 0, 65535);
    const auto seed = number("--seed", static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()), 0, UINT32_MAX);
    const auto cellScore = number("--cell-score", 1, 1, 1000000);
    const auto tables = number("--tables", 100, 1, protocol::MAX_TABLES);
    const auto think = number("--think", 900, 0, 10000);
    if (!port || !seed || !cellScore || !tables || !think)
        return usage("a number is out of range");
    std::optional<server::BotKind> bots;
    if (options.count("--bots")) {
        bots = server::parseBotKind(options["--bots"].toStdString());
        if (!bots)
            return usage("--bots takes basic or standard");
    }
    QHostAddress host(QHostAddress::Any);
    if (options.count("--host") && !host.setAddress(options["--host"]))
        return usage("--host takes an IP address");

    SocketTransport transport;
    std::vector<server::EngineTable*> engineTables;
    server::SessionLimits limits;
    limits.tableCount = static_cast<uint16_t>(*tables);
    limits.seed = *seed;
    server::Sessions* sessionsRef = nullptr;
    server::Sessions sessions(limits, transport, [&](uint16_t table) {
        server::EngineTableOptions tableOptions;
        tableOptions.config.cellScore = static_cast<int32_t>(*cellScore);
        tableOptions.seed = *seed + table;
        tableOptions.bots = bots;
        tableOptions.botThinkMs = *think;
        auto game = std::make_unique<server::EngineTable>(*sessionsRef, table, tableOptions);
        engineTables.push_back(game.get());
        return game;
    });
    sessionsRef = &sessions;
    transport.attach(sessions);

    raiseDescriptorLimit();
    QTcpServer listener;
    // Many clients connect at once when a room opens; the default queue of 50 drops the rest's
    // handshakes, which then wait a second to try again.
    listener.setListenBacklogSize(1024);
    QObject::connect(&listener, &QTcpServer::newConnection, &listener, [&] {
        while (QTcpSocket* socket = listener.nextPendingConnection())
            transport.accept(socket);
    });
    if (!listener.listen(host, static_cast<quint16>(*port))) {
        std::cerr << "qarrum-server: cannot listen on " << host.toString().toStdString() << ':' << *port << ": "
                  << listener.errorString().toStdString() << "\n";
        return 1;
    }

    // Time moves by what the wall clock says has passed, so a late tick does not slow the games.
    QElapsedTimer clock;
    clock.start();
    qint64 lastMs = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        const qint64 now = clock.elapsed();
        const auto step = static_cast<uint32_t>(std::min<qint64>(now - lastMs, 10 * kTickMs));
        lastMs = now;
        sessions.advance(step);
        // A table created during a tick is ticked from the next one on.
        const std::size_t known = engineTables.size();
        for (std::size_t at = 0; at < known; ++at)
            engineTables[at]->advance(step);
    });
    ticker.start(kTickMs);

    std::cout << "qarrum-server listening on " << host.toString().toStdString() << ':' << listener.serverPort() << " (" << *tables
              << " tables, " << (bots ? std::string("bots ") + server::botKindName(*bots) : std::string("no bots")) << ")" << std::endl;
    return QCoreApplication::exec();
}
