#include "cli/LoadCommand.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <queue>
#include <random>

#include "server/ProtocolPlayer.h"

namespace cli {

namespace {

using server::ProtocolPlayer;

// Players still logging on or sitting at once: a burst of a thousand connects would overflow
// the server's accept queue and cost a second per dropped handshake.
constexpr std::size_t kMaxOpening = 64;
constexpr uint64_t kSetupLimitUs = 60'000'000;
// A connection whose server reads nothing while it writes is cut off past this much.
constexpr std::size_t kMaxUnwritten = 1 << 20;
constexpr std::size_t kMaxFailuresShown = 5;

uint64_t nowUs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

bool parseNumber(const std::string& text, uint32_t& value, uint32_t low, uint32_t high)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

// Round trips in 10 µs steps up to a second; what lies beyond counts in the last step and in max.
class Histogram {
public:
    void add(uint64_t micros)
    {
        ++m_buckets[std::min<uint64_t>(micros / kStepUs, m_buckets.size() - 1)];
        ++m_count;
        m_maxUs = std::max(m_maxUs, micros);
    }
    void clear() { *this = Histogram{}; }
    uint64_t count() const { return m_count; }
    // The upper edge of the step holding the p-th share of the samples, in ms.
    double percentileMs(double p) const
    {
        if (m_count == 0)
            return 0;
        const auto rank = static_cast<uint64_t>(std::ceil(p * static_cast<double>(m_count)));
        uint64_t seen = 0;
        for (std::size_t at = 0; at < m_buckets.size(); ++at) {
            seen += m_buckets[at];
            if (seen >= std::max<uint64_t>(rank, 1))
                return static_cast<double>(std::min<uint64_t>((at + 1) * kStepUs, m_maxUs)) / 1000.0;
        }
        return maxMs();
    }
    double maxMs() const { return static_cast<double>(m_maxUs) / 1000.0; }

private:
    static constexpr uint64_t kStepUs = 10;
    std::vector<uint64_t> m_buckets = std::vector<uint64_t>(100'000);
    uint64_t m_count = 0;
    uint64_t m_maxUs = 0;
};

struct Options {
    std::string host;
    std::string port;
    uint32_t connections = 0;
    uint32_t seconds = 0;
    uint32_t seed = 1;
    uint32_t thinkMs = 10;
    uint32_t pingMs = 1000;
};

struct Connection {
    int fd = -1;
    std::unique_ptr<ProtocolPlayer> player;
    bool connecting = true;
    bool wantWrite = false;
    bool seated = false;   // reached a seat at some point
    bool failed = false;
    std::string failure;
    std::vector<uint8_t> out;
    uint64_t nextPingUs = 0;
};

class LoadRun {
public:
    LoadRun(const Options& options, const addrinfo& address) : m_options(options), m_address(address), m_rng(options.seed) {}
    ~LoadRun()
    {
        for (Connection& c : m_connections) {
            if (c.fd >= 0)
                ::close(c.fd);
        }
        if (m_epoll >= 0)
            ::close(m_epoll);
    }

    bool run(std::ostream& err);
    void report(std::ostream& out, std::ostream& err) const;
    bool clean() const;

private:
    bool open(uint32_t index);
    void onEvent(uint32_t index, uint32_t events, uint64_t now);
    void read(Connection& c, uint64_t now);
    void flush(Connection& c);
    void fail(Connection& c, std::string why);
    void schedule(uint32_t index);
    void onTimer(uint32_t index, uint64_t now);
    std::size_t opening() const;
    uint32_t gamesFinished() const;
    uint64_t movesSent() const;

    Options m_options;
    const addrinfo& m_address;
    std::mt19937 m_rng;
    int m_epoll = -1;
    std::vector<Connection> m_connections;
    // When each connection next has a ping or a move to send; stale entries are skipped.
    std::priority_queue<std::pair<uint64_t, uint32_t>, std::vector<std::pair<uint64_t, uint32_t>>, std::greater<>> m_timers;
    Histogram m_ping, m_move;
    bool m_measuring = false;
    uint64_t m_windowUs = 0;
    uint32_t m_gamesAtStart = 0;
    uint32_t m_gamesAtEnd = 0;
    uint64_t m_movesAtStart = 0;
    uint64_t m_movesAtEnd = 0;
    std::size_t m_failedCount = 0;
};

bool LoadRun::open(uint32_t index)
{
    Connection& c = m_connections[index];
    char name[32];
    std::snprintf(name, sizeof name, "load%04u", index + 1);
    server::ProtocolPlayerOptions playerOptions;
    playerOptions.name = name;
    playerOptions.thinkUs = m_options.thinkMs * 1000;
    c.player = std::make_unique<ProtocolPlayer>(playerOptions, [this](ProtocolPlayer::Sample kind, uint64_t micros) {
        if (m_measuring)
            (kind == ProtocolPlayer::Sample::Ping ? m_ping : m_move).add(micros);
    });
    c.fd = ::socket(m_address.ai_family, m_address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, m_address.ai_protocol);
    if (c.fd < 0) {
        fail(c, std::string("socket: ") + std::strerror(errno));
        return false;
    }
    // Small frames both ways: waiting to fill a segment would be the largest part of a round trip.
    const int on = 1;
    ::setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(c.fd, m_address.ai_addr, m_address.ai_addrlen) != 0 && errno != EINPROGRESS) {
        fail(c, std::string("connect: ") + std::strerror(errno));
        return false;
    }
    epoll_event event{};
    event.events = EPOLLIN | EPOLLOUT;
    event.data.u32 = index;
    c.wantWrite = true;
    if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, c.fd, &event) != 0) {
        fail(c, std::string("epoll: ") + std::strerror(errno));
        return false;
    }
    return true;
}

void LoadRun::fail(Connection& c, std::string why)
{
    if (c.failed)
        return;
    c.failed = true;
    c.failure = std::move(why);
    ++m_failedCount;
    if (c.fd >= 0) {
        ::close(c.fd);  // also leaves the epoll set
        c.fd = -1;
    }
}

void LoadRun::flush(Connection& c)
{
    std::size_t written = 0;
    while (written < c.out.size()) {
        const ssize_t n = ::send(c.fd, c.out.data() + written, c.out.size() - written, MSG_NOSIGNAL);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        fail(c, std::string("send: ") + std::strerror(errno));
        return;
    }
    c.out.erase(c.out.begin(), c.out.begin() + static_cast<std::ptrdiff_t>(written));
    if (c.out.size() > kMaxUnwritten) {
        fail(c, "the server reads nothing");
        return;
    }
    const bool wantWrite = !c.out.empty();
    if (wantWrite != c.wantWrite) {
        epoll_event event{};
        event.events = EPOLLIN | (wantWrite ? EPOLLOUT : 0u);
        event.data.u32 = static_cast<uint32_t>(&c - m_connections.data());
        ::epoll_ctl(m_epoll, EPOLL_CTL_MOD, c.fd, &event);
        c.wantWrite = wantWrite;
    }
}

void LoadRun::read(Connection& c, uint64_t now)
{
    uint8_t buffer[16384];
    // A few reads per wake-up, so one busy connection does not hold the others up.
    for (int round = 0; round < 8 && !c.failed; ++round) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n == 0) {
            fail(c, "the server closed the connection");
            return;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                fail(c, std::string("recv: ") + std::strerror(errno));
            return;
        }
        if (!c.player->onBytes(std::span(buffer, static_cast<std::size_t>(n)), now, c.out)) {
            fail(c, c.player->failure());
            return;
        }
        c.seated |= c.player->state() == ProtocolPlayer::State::Seated;
        if (static_cast<std::size_t>(n) < sizeof buffer)
            return;
    }
}

void LoadRun::onEvent(uint32_t index, uint32_t events, uint64_t now)
{
    Connection& c = m_connections[index];
    if (c.failed)
        return;
    if (c.connecting) {
        if (!(events & (EPOLLOUT | EPOLLERR | EPOLLHUP)))
            return;
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(c.fd, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) {
            fail(c, std::string("connect: ") + std::strerror(error));
            return;
        }
        c.connecting = false;
        c.player->start(c.out);
        c.nextPingUs = now + std::uniform_int_distribution<uint64_t>(0, m_options.pingMs * 1000ull)(m_rng);
        m_timers.emplace(c.nextPingUs, index);
    }
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR))
        read(c, now);
    if (!c.failed)
        flush(c);
    schedule(index);
}

void LoadRun::schedule(uint32_t index)
{
    const Connection& c = m_connections[index];
    if (c.failed)
        return;
    if (const auto due = c.player->moveDueUs())
        m_timers.emplace(*due, index);
}

void LoadRun::onTimer(uint32_t index, uint64_t now)
{
    Connection& c = m_connections[index];
    if (c.failed || c.connecting)
        return;
    c.player->poll(now, c.out);
    if (now >= c.nextPingUs) {
        c.player->ping(now, c.out);
        c.nextPingUs += m_options.pingMs * 1000ull;
        // A run that fell behind does not send a burst of late pings.
        c.nextPingUs = std::max(c.nextPingUs, now + 1);
        m_timers.emplace(c.nextPingUs, index);
    }
    flush(c);
    schedule(index);
}

std::size_t LoadRun::opening() const
{
    return static_cast<std::size_t>(std::count_if(m_connections.begin(), m_connections.end(), [](const Connection& c) {
        return c.player && !c.failed && !c.seated;
    }));
}

uint64_t LoadRun::movesSent() const
{
    uint64_t moves = 0;
    for (const Connection& c : m_connections)
        moves += c.player ? c.player->movesSent() : 0;
    return moves;
}

uint32_t LoadRun::gamesFinished() const
{
    uint32_t games = 0;
    for (const Connection& c : m_connections)
        games += c.player ? c.player->gamesFinished() : 0;
    // Each game is finished by its three players.
    return games / 3;
}

bool LoadRun::run(std::ostream& err)
{
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (m_epoll < 0) {
        err << "qarrum-cli load: epoll: " << std::strerror(errno) << '\n';
        return false;
    }
    m_connections.resize(m_options.connections);
    uint32_t opened = 0;
    const uint64_t start = nowUs();
    uint64_t windowStart = 0;
    std::vector<epoll_event> events(256);
    for (;;) {
        uint64_t now = nowUs();
        if (!m_measuring) {
            std::size_t pending = opening();
            while (opened < m_connections.size() && pending < kMaxOpening) {
                open(opened++);
                ++pending;
            }
            // Measuring starts once every connection has its seat (or has failed).
            if (opened == m_connections.size() && pending == 0) {
                m_measuring = true;
                windowStart = now;
                m_gamesAtStart = gamesFinished();
                m_movesAtStart = movesSent();
            } else if (now - start > kSetupLimitUs) {
                err << "qarrum-cli load: connections still not seated after " << kSetupLimitUs / 1'000'000 << " s\n";
                for (Connection& c : m_connections) {
                    if (c.player && !c.seated)
                        fail(c, "not seated in time");
                }
                m_windowUs = 0;
                return true;
            }
        } else if (now - windowStart >= m_options.seconds * 1'000'000ull || m_failedCount == m_connections.size()) {
            m_windowUs = now - windowStart;
            m_gamesAtEnd = gamesFinished();
            m_movesAtEnd = movesSent();
            return true;
        }
        int timeoutMs = m_measuring ? 100 : 10;
        while (!m_timers.empty() && m_timers.top().first <= now) {
            const uint32_t index = m_timers.top().second;
            m_timers.pop();
            onTimer(index, now);
        }
        if (!m_timers.empty())
            timeoutMs = static_cast<int>(std::min<uint64_t>(timeoutMs, (m_timers.top().first - now + 999) / 1000));
        const int ready = ::epoll_wait(m_epoll, events.data(), static_cast<int>(events.size()), timeoutMs);
        if (ready < 0 && errno != EINTR) {
            err << "qarrum-cli load: epoll_wait: " << std::strerror(errno) << '\n';
            return false;
        }
        now = nowUs();
        for (int at = 0; at < ready; ++at)
            onEvent(events[static_cast<std::size_t>(at)].data.u32, events[static_cast<std::size_t>(at)].events, now);
    }
}

bool LoadRun::clean() const
{
    for (const Connection& c : m_connections) {
        if (c.failed || !c.seated || c.player->refused() > 0)
            return false;
    }
    return m_gamesAtEnd > m_gamesAtStart;
}

void LoadRun::report(std::ostream& out, std::ostream& err) const
{
    uint32_t connected = 0, failed = 0, refused = 0;
    std::size_t shown = 0;
    for (std::size_t at = 0; at < m_connections.size(); ++at) {
        const Connection& c = m_connections[at];
        connected += c.seated;
        failed += c.failed;
        refused += c.player ? c.player->refused() : 0;
        if (c.failed && shown++ < kMaxFailuresShown)
            err << "qarrum-cli load: connection " << at + 1 << ": " << c.failure << '\n';
    }
    if (shown > kMaxFailuresShown)
        err << "qarrum-cli load: " << shown - kMaxFailuresShown << " more connections failed\n";
    const double seconds = static_cast<double>(m_windowUs) / 1e6;
    // The load's own processor time: on a shared machine it says whether the load or the server
    // was the limit.
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const uint32_t games = m_gamesAtEnd - m_gamesAtStart;
    char line[512];
    std::snprintf(line, sizeof line,
                  "load connections=%u connected=%u failed=%u seconds=%.1f games=%u games_per_s=%.1f moves=%llu refused=%u "
                  "pings=%llu ping_p50=%.3f ping_p90=%.3f ping_p99=%.3f ping_max=%.3f "
                  "move_p50=%.3f move_p90=%.3f move_p99=%.3f move_max=%.3f cpu_s=%.2f",
                  static_cast<unsigned>(m_connections.size()), connected, failed, seconds, games,
                  seconds > 0 ? games / seconds : 0.0, static_cast<unsigned long long>(m_movesAtEnd - m_movesAtStart), refused,
                  static_cast<unsigned long long>(m_ping.count()), m_ping.percentileMs(0.50), m_ping.percentileMs(0.90),
                  m_ping.percentileMs(0.99), m_ping.maxMs(), m_move.percentileMs(0.50), m_move.percentileMs(0.90),
                  m_move.percentileMs(0.99), m_move.maxMs(), cpu);
    out << line << std::endl;
}

// A program holding many connections needs as many descriptors; the hard limit is ours to use.
rlim_t raiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur;
}

int usage(std::ostream& err, const std::string& why)
{
    err << "qarrum-cli load: " << why << "\n"
        << "usage: qarrum-cli load --server HOST:PORT --connections N --seconds S [--seed X] [--think MS] [--ping-ms MS]\n";
    return 2;
}

}  // namespace

int RunLoadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Options options;
    std::string server;
    for (std::size_t i = 1; i < args.size(); i += 2) {
        const std::string& flag = args[i];
        if (i + 1 >= args.size())
            return usage(err, flag + " needs a value");
        const std::string& value = args[i + 1];
        bool good = true;
        if (flag == "--server")
            server = value;
        else if (flag == "--connections")
            good = parseNumber(value, options.connections, 1, 60000);
        else if (flag == "--seconds")
            good = parseNumber(value, options.seconds, 1, 86400);
        else if (flag == "--seed")
            good = parseNumber(value, options.seed, 0, UINT32_MAX);
        else if (flag == "--think")
            good = parseNumber(value, options.thinkMs, 0, 60000);
        else if (flag == "--ping-ms")
            good = parseNumber(value, options.pingMs, 1, 60000);
        else
            return usage(err, "unknown option '" + flag + "'");
        if (!good)
            return usage(err, "bad value '" + value + "' for " + flag);
    }
    if (server.empty() || options.connections == 0 || options.seconds == 0)
        return usage(err, "--server, --connections and --seconds are required");
    const std::size_t colon = server.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == server.size())
        return usage(err, "--server takes HOST:PORT");
    options.host = server.substr(0, colon);
    options.port = server.substr(colon + 1);
    if (options.host.size() > 2 && options.host.front() == '[' && options.host.back() == ']')
        options.host = options.host.substr(1, options.host.size() - 2);

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(options.host.c_str(), options.port.c_str(), &hints, &found); rc != 0 || !found) {
        err << "qarrum-cli load: cannot resolve " << server << ": " << ::gai_strerror(rc) << '\n';
        return 2;
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> address(found, &::freeaddrinfo);

    const rlim_t descriptors = raiseDescriptorLimit();
    if (descriptors != 0 && descriptors != RLIM_INFINITY && options.connections + 16u > descriptors) {
        err << "qarrum-cli load: " << options.connections << " connections need more descriptors than the limit of " << descriptors << '\n';
        return 2;
    }

    LoadRun run(options, *address);
    if (!run.run(err))
        return 1;
    run.report(out, err);
    return run.clean() ? 0 : 1;
}

}  // namespace cli
