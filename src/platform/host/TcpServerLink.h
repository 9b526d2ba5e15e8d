#pragma once

// The link to a table server over TCP: connects, logs on, asks for a seat and hands what arrives
// to the game window through CHostLinkDispatch. It reads frames as they come and never blocks.
// A connection that is lost (not refused, not closed by us) is tried again after a growing pause,
// and the log-on then names the user, so a player in a game gets its seat and hand back.

#include <memory>
#include <string>
#include <string_view>

#include <QString>

#include "platform/host/GameFrame.h"
#include "platform/host/HostLinkDispatch.h"
#include "protocol/HostProtocol.h"

class QTcpSocket;

class CTcpServerLink : public IServerLink {
public:
    CTcpServerLink(CGameFrameDlg* pFrame, tagLogonInfo info);
    ~CTcpServerLink() override;
    CTcpServerLink(const CTcpServerLink&) = delete;
    CTcpServerLink& operator=(const CTcpServerLink&) = delete;

    // Connects (or reconnects after a loss: the log-on then names the last user and its resume
    // key, so the server can give the seat back).
    void Connect(const QString& host, quint16 port);
    // Closes after what has been written is flushed; no loss is reported for it and no reconnect
    // follows.
    void Close();

    // The pause before the attempt-th reconnect (0 = the first after a loss): 1 s, doubling to 30 s.
    static unsigned ReconnectDelayMs(unsigned attempt);

    void SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize) override;
    void SendUserReady(const void* pData, WORD wDataSize) override;
    bool SendChat(std::string_view utf8Text, DWORD dwColour = 0xFFFFFF) { return m_dispatch.SendChat(utf8Text, dwColour); }
    bool SendStandUp() { return m_dispatch.SendStandUp(); }
    bool SendAllowLookon(DWORD dwUserID, bool bAllow) { return m_dispatch.SendAllowLookon(dwUserID, bAllow); }

    // The state the window can show, and a sink told of every change with a text for people.
    LinkState GetState() const { return m_dispatch.GetState(); }
    const std::string& GetStateText() const { return m_dispatch.GetStateText(); }
    void SetStateSink(CHostLinkDispatch::StateSink sink) { m_dispatch.SetStateSink(std::move(sink)); }
    const CHostLinkDispatch& GetDispatch() const { return m_dispatch; }

private:
    void OnReadyRead();
    void OnDisconnected();
    void ScheduleReconnect();
    void WriteBytes(std::vector<uint8_t> bytes);

    CGameFrameDlg* m_pFrame;
    std::unique_ptr<QTcpSocket> m_socket;
    protocol::FrameDecoder m_decoder;
    CHostLinkDispatch m_dispatch;
    bool m_bClosing = false;
    QString m_strHost;
    quint16 m_wPort = 0;
    // Reconnect attempts since the last log-on that got through.
    unsigned m_nRetries = 0;
};
