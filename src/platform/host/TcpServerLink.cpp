#include "platform/host/TcpServerLink.h"

#include <algorithm>
#include <string>

#include <QByteArray>
#include <QTcpSocket>

#include "platform/TimerHost.h"

namespace {

const char* const kConnectionLost = "与服务器的连接已断开";
const char* const kServerGarbled = "服务器发来的数据有误，连接已断开";
const char* const kReconnecting = "正在尝试重新连接服务器……";
constexpr std::uintptr_t kReconnectTimer = 1;

}  // namespace

CTcpServerLink::CTcpServerLink(CGameFrameDlg* pFrame, tagLogonInfo info)
    : m_pFrame(pFrame),
      m_socket(std::make_unique<QTcpSocket>()),
      m_dispatch(pFrame, std::move(info), [this](std::vector<uint8_t> bytes) { WriteBytes(std::move(bytes)); })
{
    QTcpSocket* socket = m_socket.get();
    QObject::connect(socket, &QTcpSocket::connected, socket, [this] {
        m_decoder.reset();
        m_dispatch.OnConnected();
    });
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this] { OnReadyRead(); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { OnDisconnected(); });
    // A refused or failed connection never reaches "connected", so it has no "disconnected" either.
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [this](QAbstractSocket::SocketError) {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            OnDisconnected();
    });
}

CTcpServerLink::~CTcpServerLink()
{
    // The socket's signals and the reconnect timer call into this object; they must not outlive it.
    GetTimerHost().stopTimers(this);
    m_socket->disconnect();
    m_socket->abort();
}

unsigned CTcpServerLink::ReconnectDelayMs(unsigned attempt)
{
    return std::min(1000u << std::min(attempt, 5u), 30000u);
}

void CTcpServerLink::Connect(const QString& host, quint16 port)
{
    GetTimerHost().stopTimer(this, kReconnectTimer);
    m_strHost = host;
    m_wPort = port;
    m_bClosing = false;
    m_socket->abort();
    m_dispatch.SetState(LinkState::Connecting, (host + ':' + QString::number(port)).toStdString());
    m_socket->connectToHost(host, port);
}

void CTcpServerLink::Close()
{
    GetTimerHost().stopTimer(this, kReconnectTimer);
    m_bClosing = true;
    m_socket->disconnectFromHost();
}

void CTcpServerLink::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    m_dispatch.SendData(wMainCmdID, wSubCmdID, pData, wDataSize);
}

void CTcpServerLink::SendUserReady(const void* pData, WORD wDataSize)
{
    m_dispatch.SendUserReady(pData, wDataSize);
}

void CTcpServerLink::WriteBytes(std::vector<uint8_t> bytes)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

void CTcpServerLink::OnReadyRead()
{
    // Read in slices: a fast server cannot make us hold more than a slice and one frame.
    char slice[4096];
    while (!m_bClosing && m_socket->bytesAvailable() > 0) {
        const qint64 got = m_socket->read(slice, sizeof(slice));
        if (got <= 0)
            break;
        const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(slice), static_cast<std::size_t>(got));
        const bool keep = m_decoder.feedAll(bytes, [this](protocol::Frame frame) { return m_dispatch.OnFrame(frame); });
        if (m_decoder.failed()) {
            m_dispatch.OnConnectionLost(kServerGarbled);
            Close();
        } else if (!keep) {
            Close();
        }
    }
    const LinkState state = m_dispatch.GetState();
    if (state == LinkState::Seating || state == LinkState::Seated || state == LinkState::Standing)
        m_nRetries = 0;
}

void CTcpServerLink::OnDisconnected()
{
    // A dropped connection may report itself twice (its error and its end); the first one counts.
    if (GetTimerHost().isTimerRunning(this, kReconnectTimer))
        return;
    if (!m_bClosing) {
        // The player heard of the loss once; a failed attempt to come back adds nothing to the chat.
        if (m_nRetries == 0)
            m_dispatch.OnConnectionLost(kConnectionLost);
        else
            m_dispatch.SetState(LinkState::Lost, kConnectionLost);
    }
    m_bClosing = false;
    if (m_dispatch.GetState() == LinkState::Lost)
        ScheduleReconnect();
}

void CTcpServerLink::ScheduleReconnect()
{
    if (m_wPort == 0)
        return;
    if (m_nRetries == 0 && m_pFrame)
        m_pFrame->InsertSystemString(kReconnecting);
    const unsigned delay = ReconnectDelayMs(m_nRetries++);
    m_dispatch.SetState(LinkState::Lost, std::string(kConnectionLost) + "，" + std::to_string(delay / 1000) + " 秒后重新连接");
    GetTimerHost().startTimer(this, kReconnectTimer, delay, [this] {
        GetTimerHost().stopTimer(this, kReconnectTimer);
        Connect(m_strHost, m_wPort);
    });
}
