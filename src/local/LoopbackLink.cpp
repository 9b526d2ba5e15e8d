#include "local/LoopbackLink.h"

#include "platform/TimerHost.h"

CLoopbackLink::CLoopbackLink(CGameFrameDlg& frame, server::TableEngine& engine, uint16_t chair)
    : m_frame(frame), m_engine(engine), m_wChair(chair)
{
    m_frame.SetServerLink(this);
    m_frame.SetMeChairID(chair);
}

CLoopbackLink::~CLoopbackLink()
{
    m_frame.SetServerLink(nullptr);
}

void CLoopbackLink::Queue(uint16_t subCmd, std::span<const uint8_t> body)
{
    m_pending.push_back(Pending{false, subCmd, std::vector<uint8_t>(body.begin(), body.end())});
    ScheduleDelivery();
}

void CLoopbackLink::SendSnapshot()
{
    auto [state, body] = m_engine.snapshot(m_wChair, false);
    if (m_snapshotMarker)
        m_snapshotMarker(state, body);
    m_pending.push_back(Pending{true, state, std::move(body)});
    ScheduleDelivery();
    if (m_snapshotHook)
        m_snapshotHook();
}

void CLoopbackLink::ScheduleDelivery()
{
    if (m_bDeliveryPosted)
        return;
    m_bDeliveryPosted = true;
    GetTimerHost().post(&m_guard, [this] { Deliver(); });
}

void CLoopbackLink::Deliver()
{
    m_bDeliveryPosted = false;
    while (!m_pending.empty()) {
        const Pending next = std::move(m_pending.front());
        m_pending.pop_front();
        const WORD size = static_cast<WORD>(next.body.size());
        const bool bHandled = next.bScene ? m_frame.DeliverSceneMessage(static_cast<BYTE>(next.wCode), false, next.body.data(), size)
                                          : m_frame.DeliverGameMessage(next.wCode, next.body.data(), size);
        if (m_observer)
            m_observer(next.wCode, next.bScene, bHandled);
    }
}

void CLoopbackLink::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), pData ? wDataSize : 0);
    if (wMainCmdID != MDM_GF_GAME) {
        if (m_requestHandler)
            m_requestHandler(wMainCmdID, wSubCmdID, body);
        return;
    }
    if (!m_engine.onClientMessage(m_wChair, wSubCmdID, body)) {
        // The window's picture of the table is no longer the engine's: it gets the table again.
        ++m_nRefused;
        m_wLastRefused = wSubCmdID;
        SendSnapshot();
    }
}

void CLoopbackLink::SendUserReady(const void*, WORD)
{
    m_engine.setReady(m_wChair);
}
