// The table server: hosts tables for clients over TCP, one Sessions for all of them, each table
// played by the engine and, with --bots, completed with bots.
//
//   qarrum-server --port P [--host ADDRESS] [--bots basic|standard] [--seed S] [--cell-score N]
//                 [--tables N] [--think MS] [--demo-extras]
//
// --port 0 picks a free port; the line printed once listening names it.
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "main/EpollTransport.h"
#include "server/EngineTable.h"
#include "server/Sessions.h"

namespace {

constexpr int kTickMs = 100;

// The listening socket is Qt's; each accepted descriptor goes to the epoll transport as it is.
class Listener : public QTcpServer {
public:
    explicit Listener(EpollTransport& transport) : m_transport(transport) {}

protected:
    void incomingConnection(qintptr descriptor) override { m_transport.accept(static_cast<int>(descriptor)); }

private:
    EpollTransport& m_transport;
};

constexpr const char* kUsage =
    "usage: qarrum-server --port P [--host ADDRESS] [--bots basic|standard] [--seed S] [--cell-score N] [--tables N] [--think MS] [--demo-extras]\n";

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
    std::cerr << "qarrum-server: " << why << "\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.contains("--version")) {
        std::cout << "qarrum-server " << QARRUM_VERSION << '\n';
        return 0;
    }
    if (args.contains("--help") || args.contains("-h")) {
        std::cout << kUsage << "--port 0 picks a free port; one line names the address once listening. --version prints the version.\n";
        return 0;
    }
    std::map<QString, QString> options;
    bool demoExtras = false;
    for (qsizetype at = 1; at < args.size(); at += 2) {
        if (args[at] == "--demo-extras") {
            demoExtras = true;
            --at;  // a flag without a value
            continue;
        }
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

    EpollTransport transport;
    if (!transport.valid()) {
        std::cerr << "qarrum-server: cannot create an epoll set\n";
        return 1;
    }
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
        tableOptions.demoExtras = demoExtras;
        auto game = std::make_unique<server::EngineTable>(*sessionsRef, table, tableOptions);
        engineTables.push_back(game.get());
        return game;
    });
    sessionsRef = &sessions;
    transport.attach(sessions);

    raiseDescriptorLimit();
    Listener listener(transport);
    // Many clients connect at once when a room opens; the default queue of 50 drops the rest's
    // handshakes, which then wait a second to try again.
    listener.setListenBacklogSize(1024);
    QSocketNotifier activity(transport.activity(), QSocketNotifier::Read);
    QObject::connect(&activity, &QSocketNotifier::activated, &activity, [&] { transport.process(); });
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
        transport.tick(static_cast<uint64_t>(now));
    });
    ticker.start(kTickMs);

    std::cout << "qarrum-server listening on " << host.toString().toStdString() << ':' << listener.serverPort() << " (" << *tables
              << " tables, " << (bots ? std::string("bots ") + server::botKindName(*bots) : std::string("no bots"))
              << (demoExtras ? ", demo extras" : "") << ")" << std::endl;
    return QCoreApplication::exec();
}
