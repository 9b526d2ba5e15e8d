#pragma once

// One game window linked to one chair of a table engine in the same program. What the window
// sends goes straight to the engine; what the engine says to the chair reaches the window one
// step later (posted through the timer host), never from inside the window's own call into the
// link, so the window is never re-entered while it handles a command. A table of the engine may
// have a link at any of its chairs; the table's owner passes each chair's messages to its link.

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <vector>

#include <QObject>

#include "platform/host/GameFrame.h"
#include "server/TableEngine.h"

class CLoopbackLink final : public IServerLink {
public:
    // Links `frame` at `chair` of `engine`; both must outlive the link.
    CLoopbackLink(CGameFrameDlg& frame, server::TableEngine& engine, uint16_t chair);
    ~CLoopbackLink() override;
    CLoopbackLink(const CLoopbackLink&) = delete;
    CLoopbackLink& operator=(const CLoopbackLink&) = delete;

    uint16_t Chair() const { return m_wChair; }
    // A game message of the engine for this chair.
    void Queue(uint16_t subCmd, std::span<const uint8_t> body);
    // The table as the engine sees it now, for a window that joins or whose move was refused.
    void SendSnapshot();
    // Messages still on their way to the window.
    std::size_t PendingCount() const { return m_pending.size(); }
    // Game messages or requests of the window that the engine refused, and the last one's code.
    int RefusedCount() const { return m_nRefused; }
    uint16_t LastRefused() const { return m_wLastRefused; }

    // Called after the window handled each message, with the window's answer (false: it refused
    // the message). Self-play checks the window against the engine here.
    using DeliveryObserver = std::function<void(uint16_t subCmd, bool bScene, bool bHandled)>;
    void SetDeliveryObserver(DeliveryObserver observer) { m_observer = std::move(observer); }
    // The window's host-level requests (any main command but the game's); without a handler they
    // are dropped, as a table without the optional features does.
    using RequestHandler = std::function<void(uint16_t wMainCmdID, uint16_t wSubCmdID, std::span<const uint8_t> body)>;
    void SetRequestHandler(RequestHandler handler) { m_requestHandler = std::move(handler); }
    // Called after each snapshot is queued (the first, and after a refused move), so that what a
    // table sends after a snapshot follows every one.
    void SetSnapshotHook(std::function<void()> hook) { m_snapshotHook = std::move(hook); }
    // Called with each snapshot before it is queued, so that the table may mark it.
    using SnapshotMarker = std::function<void(uint8_t cbState, std::vector<uint8_t>& scene)>;
    void SetSnapshotMarker(SnapshotMarker marker) { m_snapshotMarker = std::move(marker); }

    // IServerLink: what the window sends.
    void SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize) override;
    void SendUserReady(const void* pData, WORD wDataSize) override;

private:
    void ScheduleDelivery();
    void Deliver();

    struct Pending {
        bool bScene = false;
        uint16_t wCode = 0;
        std::vector<uint8_t> body;
    };

    CGameFrameDlg& m_frame;
    server::TableEngine& m_engine;
    uint16_t m_wChair;
    std::deque<Pending> m_pending;
    bool m_bDeliveryPosted = false;
    int m_nRefused = 0;
    uint16_t m_wLastRefused = 0;
    DeliveryObserver m_observer;
    RequestHandler m_requestHandler;
    std::function<void()> m_snapshotHook;
    SnapshotMarker m_snapshotMarker;
    QObject m_guard;
};
