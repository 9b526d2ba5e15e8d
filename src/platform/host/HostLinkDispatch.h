#pragma once

// What the client's host does with each frame of the host protocol, and which frames it sends,
// without any socket: the TCP link (TcpServerLink.h) feeds it the frames it reads and writes the
// bytes it is handed. Tests drive it with frames alone.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WinDefs.h"
#include "protocol/HostProtocol.h"

class CGameFrameDlg;
struct tagUserData;

// Who the local player is and where it wants to sit.
struct tagLogonInfo {
    std::string strName;  // UTF-8
    BYTE cbGender = 0;
    BYTE cbDialect = 1;
    WORD wTableID = protocol::INVALID_TABLE;  // any table
    WORD wChairID = 0xFFFF;                   // any chair
    bool bLookon = false;                     // look on wTableID/wChairID instead of sitting
};

enum class LinkState {
    Idle,        // not connected yet
    Connecting,
    LoggingOn,   // connected, hello and log-on sent
    Seating,     // logged on, the sit or look-on request sent
    Seated,      // at a table (as a player or a looker)
    Standing,    // logged on, at no table (a request was refused, or the player stood up)
    Refused,     // the server refused the log-on or closed the connection with a reason
    Lost,        // the connection went without a reason from the server
};

const char* LinkStateName(LinkState state);

class CHostLinkDispatch {
public:
    // Receives whole frames (header and body) to write to the server.
    using FrameWriter = std::function<void(std::vector<uint8_t> bytes)>;
    using StateSink = std::function<void(LinkState state, const std::string& text)>;

    CHostLinkDispatch(CGameFrameDlg* pFrame, tagLogonInfo info, FrameWriter writer);

    void SetStateSink(StateSink sink) { m_stateSink = std::move(sink); }
    void SetState(LinkState state, const std::string& text = {});

    // The connection is up: hello and log-on go out. After a loss this is a reconnect, which names
    // the user and the resume key the last log-on was given.
    void OnConnected();
    // One frame from the server. False when the connection is to be closed (the server refused the
    // log-on or said it closes); a malformed frame is dropped and the connection kept.
    bool OnFrame(const protocol::Frame& frame);
    // The connection went; the table stays as it was, for a reconnect to bring up to date.
    void OnConnectionLost(std::string_view reason);

    // The host's sends. Nothing goes out before the log-on succeeded, nor a body above the
    // game's maximum (the server would close the connection for it).
    bool SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize);
    bool SendUserReady(const void* pData, WORD wDataSize);
    bool SendChat(std::string_view utf8Text, DWORD dwColour);
    bool SendStandUp();
    bool SendAllowLookon(DWORD dwUserID, bool bAllow);

    LinkState GetState() const { return m_state; }
    const std::string& GetStateText() const { return m_stateText; }
    DWORD GetUserID() const { return m_dwUserID; }
    WORD GetTableID() const { return m_wTableID; }
    WORD GetChairID() const { return m_wChairID; }
    bool IsLookon() const { return m_bLookon; }
    // Frames the dispatch dropped as malformed or out of place.
    int GetDroppedFrames() const { return m_nDropped; }

    // The host's form of a user notice: GBK names become UTF-8 cut to whole characters.
    static tagUserData ToUserData(const protocol::UserInfo& info);

private:
    bool LoggedOn() const;
    bool AtTable() const { return m_wTableID != protocol::INVALID_TABLE; }
    void Write(std::vector<uint8_t> bytes);
    bool OnLogonFrame(const protocol::Frame& frame);
    // The server refused or closed the link: the reason it gave (if any) after `what`, in the
    // chat and as the link's state. Always false (the connection ends).
    bool Refused(const std::string& what, std::span<const uint8_t> body);
    void OnUserFrame(const protocol::Frame& frame);
    void OnUserNotice(uint16_t sub, const protocol::UserInfo& info);
    void OnOwnNotice(uint16_t sub, const protocol::UserInfo& info);
    // Puts a player of our table on its chair (m_pFrame is set).
    void PlaceUser(const protocol::UserInfo& info);
    void ClearTable();
    void SendSeatRequest();

    CGameFrameDlg* m_pFrame;
    tagLogonInfo m_info;
    FrameWriter m_writer;
    StateSink m_stateSink;

    LinkState m_state = LinkState::Idle;
    std::string m_stateText;
    DWORD m_dwUserID = 0;
    DWORD m_dwResumeKey = 0;
    WORD m_wTableID = protocol::INVALID_TABLE;
    WORD m_wChairID = 0xFFFF;
    bool m_bLookon = false;
    // The user ids the host holds per chair, so that a leave empties only its own chair.
    DWORD m_chairUser[3] = {};
    int m_nDropped = 0;
};
