#pragma once

// The server's sockets: accepted descriptors watched by one epoll set, read into the sessions and
// written straight from them. Qt's own sockets cost a poll over every descriptor at each turn of
// its event loop, which was half the server's time at 1,000 connections; here the event loop
// watches only the epoll descriptor (activity()), and each turn costs what is ready.
//
// Ids are never reused, so nothing late can reach a newer connection. Nothing is called back into
// the sessions from inside send or close: a connection lost while the sessions write to it is
// reported from process() or tick().

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "server/Sessions.h"

class EpollTransport : public server::SessionTransport {
public:
    EpollTransport();
    ~EpollTransport() override;
    EpollTransport(const EpollTransport&) = delete;
    EpollTransport& operator=(const EpollTransport&) = delete;

    bool valid() const { return m_epoll >= 0; }
    // Readable whenever a connection has something for process().
    int activity() const { return m_epoll; }
    void attach(server::Sessions& sessions) { m_sessions = &sessions; }

    // Takes an accepted descriptor over (it is closed on failure).
    void accept(int fd);
    // Reads, writes and closes what is ready, without waiting.
    void process();
    // Closes connections whose last words their peer did not read in time.
    void tick(uint64_t nowMs);

    void send(server::ConnectionId id, std::span<const uint8_t> bytes) override;
    void close(server::ConnectionId id) override;

    std::size_t count() const { return m_peers.size(); }

private:
    struct Peer {
        int fd = -1;
        std::vector<uint8_t> unwritten;
        bool wantWrite = false;
        bool closing = false;   // the sessions are done with it; it goes once written
        bool lost = false;      // to be reported to the sessions, then dropped
        bool queued = false;    // written once the frame being read is handled
        uint64_t closingSinceMs = 0;
    };

    void read(server::ConnectionId id);
    // Writes what it can; false when the connection is lost.
    bool write(server::ConnectionId id, Peer& peer);
    void watchWrite(server::ConnectionId id, Peer& peer, bool on);
    void drop(server::ConnectionId id);
    void reportLost();
    void writeQueued();

    int m_epoll = -1;
    server::Sessions* m_sessions = nullptr;
    std::unordered_map<server::ConnectionId, Peer> m_peers;
    std::vector<server::ConnectionId> m_lost;
    // While the sessions handle what one connection sent, what they send is gathered per
    // connection and written after: a game's end is seven frames to each player, one write each.
    bool m_gathering = false;
    std::vector<server::ConnectionId> m_queued;
    server::ConnectionId m_nextId = 1;
    uint64_t m_nowMs = 0;
};
