#include "main/EpollTransport.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

// A client that reads nothing while the server writes would hold the server's memory without end;
// past this much unwritten output it is cut off. A whole game is a few kilobytes.
constexpr std::size_t kMaxUnwritten = 1 << 20;
// How long the last words of a closed connection may wait for their peer to read them.
constexpr uint64_t kClosingGraceMs = 10'000;
constexpr int kEventBatch = 256;

}  // namespace

EpollTransport::EpollTransport() : m_epoll(::epoll_create1(EPOLL_CLOEXEC)) {}

EpollTransport::~EpollTransport()
{
    for (auto& [id, peer] : m_peers)
        ::close(peer.fd);
    if (m_epoll >= 0)
        ::close(m_epoll);
}

void EpollTransport::accept(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    const int on = 1;
    // Game frames are a few dozen bytes; holding them back to fill a segment would cost more than
    // the rest of a round trip.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const server::ConnectionId id = m_nextId++;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = id;
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 || ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event) != 0) {
        ::close(fd);
        return;
    }
    m_peers[id].fd = fd;
    m_sessions->onConnect(id);
    read(id);
    reportLost();
}

void EpollTransport::process()
{
    epoll_event events[kEventBatch];
    // A few batches per call, so the timers of the event loop get their turn under load.
    for (int round = 0; round < 4; ++round) {
        const int ready = ::epoll_wait(m_epoll, events, kEventBatch, 0);
        for (int at = 0; at < ready; ++at) {
            const server::ConnectionId id = events[at].data.u64;
            const uint32_t what = events[at].events;
            auto found = m_peers.find(id);
            if (found == m_peers.end() || found->second.lost)
                continue;
            Peer& peer = found->second;
            if (what & EPOLLOUT) {
                if (!write(id, peer))
                    continue;
                if (peer.unwritten.empty()) {
                    if (peer.closing) {
                        drop(id);
                        continue;
                    }
                    watchWrite(id, peer, false);
                }
            }
            if (peer.closing && (what & (EPOLLHUP | EPOLLERR)))
                drop(id);
            else if (what & (EPOLLIN | EPOLLHUP | EPOLLERR))
                read(id);
        }
        reportLost();
        if (ready < kEventBatch)
            break;
    }
}

void EpollTransport::read(server::ConnectionId id)
{
    uint8_t slice[16384];
    // A few slices per wake-up, so one busy connection does not hold the others up; the rest is
    // still there the next time round.
    for (int round = 0; round < 8; ++round) {
        // The sessions may close this connection while reading it.
        const auto found = m_peers.find(id);
        if (found == m_peers.end() || found->second.closing || found->second.lost)
            return;
        const ssize_t got = ::recv(found->second.fd, slice, sizeof slice, 0);
        if (got > 0) {
            m_gathering = true;
            m_sessions->onBytes(id, std::span(slice, static_cast<std::size_t>(got)));
            m_gathering = false;
            writeQueued();
            if (static_cast<std::size_t>(got) < sizeof slice)
                return;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        found->second.lost = true;
        m_lost.push_back(id);
        return;
    }
}

bool EpollTransport::write(server::ConnectionId id, Peer& peer)
{
    std::size_t written = 0;
    while (written < peer.unwritten.size()) {
        const ssize_t n = ::send(peer.fd, peer.unwritten.data() + written, peer.unwritten.size() - written, MSG_NOSIGNAL);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            peer.lost = true;
            m_lost.push_back(id);
            return false;
        }
    }
    peer.unwritten.erase(peer.unwritten.begin(), peer.unwritten.begin() + static_cast<std::ptrdiff_t>(written));
    return true;
}

void EpollTransport::send(server::ConnectionId id, std::span<const uint8_t> bytes)
{
    const auto found = m_peers.find(id);
    if (found == m_peers.end() || found->second.closing || found->second.lost || bytes.empty())
        return;
    Peer& peer = found->second;
    if (peer.unwritten.size() + bytes.size() > kMaxUnwritten) {
        peer.lost = true;
        m_lost.push_back(id);
        return;
    }
    peer.unwritten.insert(peer.unwritten.end(), bytes.begin(), bytes.end());
    if (peer.wantWrite)
        return;  // the socket is full; the rest goes when it can take more
    if (m_gathering) {
        if (!peer.queued)
            m_queued.push_back(id);
        peer.queued = true;
        return;
    }
    if (write(id, peer) && !peer.unwritten.empty())
        watchWrite(id, peer, true);
}

void EpollTransport::writeQueued()
{
    for (const server::ConnectionId id : std::exchange(m_queued, {})) {
        const auto found = m_peers.find(id);
        if (found == m_peers.end())
            continue;
        Peer& peer = found->second;
        peer.queued = false;
        // A closed or full connection is written when epoll says it can take more.
        if (peer.lost || peer.wantWrite)
            continue;
        if (write(id, peer) && !peer.unwritten.empty())
            watchWrite(id, peer, true);
    }
}

void EpollTransport::close(server::ConnectionId id)
{
    const auto found = m_peers.find(id);
    if (found == m_peers.end())
        return;
    Peer& peer = found->second;
    peer.closing = true;
    if (peer.lost)
        return;
    if (peer.unwritten.empty()) {
        drop(id);
        return;
    }
    // What the sessions sent last (the reason for closing) is written first.
    // Its input is no longer read: only the chance to write is watched (forced, as the write
    // interest may already be on with the input).
    peer.closingSinceMs = m_nowMs;
    peer.wantWrite = false;
    watchWrite(id, peer, true);
}

void EpollTransport::watchWrite(server::ConnectionId id, Peer& peer, bool on)
{
    if (peer.wantWrite == on)
        return;
    peer.wantWrite = on;
    epoll_event event{};
    event.events = (peer.closing ? 0u : static_cast<uint32_t>(EPOLLIN)) | (on ? static_cast<uint32_t>(EPOLLOUT) : 0u);
    event.data.u64 = id;
    ::epoll_ctl(m_epoll, EPOLL_CTL_MOD, peer.fd, &event);
}

void EpollTransport::drop(server::ConnectionId id)
{
    const auto found = m_peers.find(id);
    if (found == m_peers.end())
        return;
    ::shutdown(found->second.fd, SHUT_WR);
    ::close(found->second.fd);
    m_peers.erase(found);
}

void EpollTransport::reportLost()
{
    // Reporting a loss may make the sessions write to others, which may be lost in turn.
    while (!m_lost.empty()) {
        const auto lost = std::exchange(m_lost, {});
        for (const server::ConnectionId id : lost) {
            drop(id);
            m_sessions->onDisconnect(id);
        }
    }
}

void EpollTransport::tick(uint64_t nowMs)
{
    m_nowMs = nowMs;
    std::vector<server::ConnectionId> late;
    for (const auto& [id, peer] : m_peers) {
        if (peer.closing && nowMs - peer.closingSinceMs > kClosingGraceMs)
            late.push_back(id);
    }
    for (const server::ConnectionId id : late)
        drop(id);
    reportLost();
}
