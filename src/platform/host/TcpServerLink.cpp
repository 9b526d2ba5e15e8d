#include "platform/host/TcpServerLink.h"

#include <QByteArray>
#include <QTcpSocket>

namespace {

const char* const kConnectionLost = "与服务器的连接已断开";
const char* const kServerGarbled = "服务器发来的数据有误，连接已断开";

}  // namespace

CTcpServerLink::CTcpServerLink(CGameFrameDlg* pFrame, tagLogonInfo info)
    : m_socket(std::make_unique<QTcpSocket>()),
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
    // The socket's signals call into this object; they must not outlive it.
    m_socket->disconnect();
    m_socket->abort();
}

void CTcpServerLink::Connect(const QString& host, quint16 port)
{
    m_bClosing = false;
    m_socket->abort();
    m_dispatch.SetState(LinkState::Connecting, (host + ':' + QString::number(port)).toStdString());
    m_socket->connectToHost(host, port);
}

void CTcpServerLink::Close()
{
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
}

void CTcpServerLink::OnDisconnected()
{
    if (!m_bClosing)
        m_dispatch.OnConnectionLost(kConnectionLost);
    m_bClosing = false;
}
