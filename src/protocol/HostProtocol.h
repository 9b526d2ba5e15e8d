#pragma once

// The host protocol: what travels between a client's host and the table server over TCP.
//
// A frame is [u32 length][u16 main][u16 sub][body], little-endian, where length counts the body
// alone. The body of a host frame is one packed record below; the body of a game frame (main 100)
// is one of the game records of GameRecords.h exactly as the game reads it. docs/protocol.md
// lists every frame with its fields and the order in which they are sent.
//
// Nothing read from a peer is trusted: a frame is bounded before it is buffered (FrameDecoder),
// and each record is checked (sizes, chairs, tables, flags, NUL-terminated text) before use.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "protocol/GameRecords.h"

namespace protocol {

inline constexpr uint32_t HOST_PROTOCOL_MAGIC = 0x504D5251;  // "QRMP" as it travels
inline constexpr uint32_t HOST_PROTOCOL_VERSION = 1;

inline constexpr std::size_t FRAME_HEADER_SIZE = 8;
// Large enough for every host record and game body with room to grow; small enough that a peer
// cannot make us buffer much before its frame is refused.
inline constexpr std::size_t MAX_FRAME_BODY = 16384;

inline constexpr uint16_t INVALID_TABLE = 0xFFFF;
inline constexpr uint16_t MAX_TABLES = 4096;

// Main commands. 2 and 14 carry the client's own host-level requests and 100 the game; the
// others are the host's.
inline constexpr uint16_t MDM_HOST_LOGON = 1;
inline constexpr uint16_t MDM_HOST_USER = 3;
inline constexpr uint16_t MDM_HOST_TABLE = 4;
inline constexpr uint16_t MDM_HOST_SYSTEM = 5;
inline constexpr uint16_t MDM_GAME = 100;

// MDM_HOST_LOGON
inline constexpr uint16_t SUB_LOGON_HELLO = 1;          // C→S ClientHello
inline constexpr uint16_t SUB_LOGON_HELLO_ANSWER = 2;   // S→C ServerHello
inline constexpr uint16_t SUB_LOGON_REQUEST = 3;        // C→S LogonRequest
inline constexpr uint16_t SUB_LOGON_SUCCESS = 4;        // S→C LogonSuccess
inline constexpr uint16_t SUB_LOGON_FAILURE = 5;        // S→C Refusal

// MDM_HOST_USER
inline constexpr uint16_t SUB_USER_SIT = 1;             // C→S SitRequest
inline constexpr uint16_t SUB_USER_STAND = 2;           // C→S, no body
inline constexpr uint16_t SUB_USER_LOOKON = 3;          // C→S LookonRequest
inline constexpr uint16_t SUB_USER_ALLOW_LOOKON = 4;    // C→S AllowLookon
inline constexpr uint16_t SUB_USER_READY = 5;           // C→S, the game's ready data (may be empty)
inline constexpr uint16_t SUB_USER_CHAT = 6;            // both ChatMessage
inline constexpr uint16_t SUB_USER_ENTER = 10;          // S→C UserInfo
inline constexpr uint16_t SUB_USER_LEAVE = 11;          // S→C UserInfo
inline constexpr uint16_t SUB_USER_STATUS = 12;         // S→C UserInfo
inline constexpr uint16_t SUB_USER_SCORE = 13;          // S→C UserInfo
inline constexpr uint16_t SUB_USER_REFUSED = 14;        // S→C Refusal (a sit, look-on or stand refused)
inline constexpr uint16_t SUB_USER_LOOKON_STATE = 15;   // S→C LookonState

// MDM_HOST_TABLE
inline constexpr uint16_t SUB_TABLE_SNAPSHOT = 1;       // S→C SnapshotHead + scene record

// MDM_HOST_SYSTEM
inline constexpr uint16_t SUB_SYSTEM_CLOSE = 1;         // S→C Refusal, just before the server closes
inline constexpr uint16_t SUB_SYSTEM_PING = 2;          // C→S Ping
inline constexpr uint16_t SUB_SYSTEM_PONG = 3;          // S→C Ping, echoed

// User states of UserInfo::cbUserStatus (US_READY is also the host's).
inline constexpr uint8_t USER_STATUS_NONE = 0;
inline constexpr uint8_t USER_STATUS_FREE = 1;     // logged on, at no table
inline constexpr uint8_t USER_STATUS_SIT = 2;
inline constexpr uint8_t USER_STATUS_READY = 3;
inline constexpr uint8_t USER_STATUS_LOOKON = 4;
inline constexpr uint8_t USER_STATUS_PLAY = 5;
inline constexpr uint8_t USER_STATUS_OFFLINE = 6;  // seated in a game, connection lost

// Codes of a Refusal.
enum class RefusalCode : uint32_t {
    None = 0,
    Version = 1,        // protocol version not served
    BadName = 2,
    TableFull = 3,
    ChairTaken = 4,
    NoSuchTable = 5,
    LookonDenied = 6,
    OutOfPlace = 7,     // the frame makes no sense in the sender's state
    Malformed = 8,
    Flood = 9,
    Replaced = 10,      // the same user logged on again elsewhere
    ServerFull = 11,
    InGame = 12,        // cannot stand up while the game runs
};

#pragma pack(push, 1)

struct ClientHello {
    uint32_t dwMagic;
    uint32_t dwProtocolVersion;
    uint32_t dwClientVersion;
};

struct ServerHello {
    uint32_t dwMagic;
    uint32_t dwProtocolVersion;
    uint8_t cbAccepted;
    uint8_t cbPad[3];
};

struct LogonRequest {
    char szName[32];  // GBK
    uint8_t cbGender;
    uint8_t cbDialect;
    uint8_t cbPad[2];
    // A reconnect names the user and the key its last log-on was given; 0 and 0 for a new user.
    uint32_t dwUserID;
    uint32_t dwResumeKey;
};

struct LogonSuccess {
    uint32_t dwUserID;
    uint32_t dwResumeKey;
    uint16_t wTableCount;
    uint16_t wReserved;
};

struct Refusal {
    uint16_t wMainCmdID;  // the request refused (0 when none)
    uint16_t wSubCmdID;
    uint32_t dwCode;      // RefusalCode
    char szReason[128];   // GBK, for people
};

struct SitRequest {
    uint16_t wTableID;  // INVALID_TABLE: any table with a free chair
    uint16_t wChairID;  // INVALID_CHAIR: any free chair
};

struct LookonRequest {
    uint16_t wTableID;
    uint16_t wChairID;
};

struct AllowLookon {
    uint32_t dwUserID;  // 0: every looker at the table
    uint8_t cbAllow;
    uint8_t cbPad[3];
};

struct LookonState {
    uint8_t cbLookon;       // the receiver looks on
    uint8_t cbAllowLookon;  // the watched player lets it see the cards
    uint8_t cbPad[2];
};

struct ChatMessage {
    uint32_t dwSenderID;    // 0: the server itself; the server stamps it on relaying
    uint32_t dwColour;      // 0x00BBGGRR
    char szSenderName[32];  // GBK, stamped by the server
    char szText[256];       // GBK
};

struct UserInfo {
    uint32_t dwUserID;
    char szName[32];  // GBK
    uint8_t cbGender;
    uint8_t cbDialect;
    uint8_t cbUserStatus;
    uint8_t cbLookon;
    int32_t lScore;
    int32_t lResultCount[4];
    int32_t lGold;
    int32_t lLottery;
    uint32_t dwLevel;
    char szRegion[2][32];  // GBK
    uint16_t wTableID;
    uint16_t wChairID;
};

struct SnapshotHead {
    uint8_t cbGameStatus;
    uint8_t cbLookon;
    uint8_t cbPad[2];
};

struct Ping {
    uint32_t dwToken;
    uint32_t dwSentMs;
};

#pragma pack(pop)

static_assert(sizeof(ClientHello) == 12 && offsetof(ClientHello, dwProtocolVersion) == 4 && offsetof(ClientHello, dwClientVersion) == 8);
static_assert(sizeof(ServerHello) == 12 && offsetof(ServerHello, dwProtocolVersion) == 4 && offsetof(ServerHello, cbAccepted) == 8);
static_assert(sizeof(LogonRequest) == 44 && offsetof(LogonRequest, cbGender) == 32 && offsetof(LogonRequest, cbDialect) == 33 &&
              offsetof(LogonRequest, dwUserID) == 36 && offsetof(LogonRequest, dwResumeKey) == 40);
static_assert(sizeof(LogonSuccess) == 12 && offsetof(LogonSuccess, dwResumeKey) == 4 && offsetof(LogonSuccess, wTableCount) == 8);
static_assert(sizeof(Refusal) == 136 && offsetof(Refusal, wSubCmdID) == 2 && offsetof(Refusal, dwCode) == 4 &&
              offsetof(Refusal, szReason) == 8);
static_assert(sizeof(SitRequest) == 4 && offsetof(SitRequest, wChairID) == 2);
static_assert(sizeof(LookonRequest) == 4 && offsetof(LookonRequest, wChairID) == 2);
static_assert(sizeof(AllowLookon) == 8 && offsetof(AllowLookon, cbAllow) == 4);
static_assert(sizeof(LookonState) == 4 && offsetof(LookonState, cbAllowLookon) == 1);
static_assert(sizeof(ChatMessage) == 296 && offsetof(ChatMessage, dwColour) == 4 && offsetof(ChatMessage, szSenderName) == 8 &&
              offsetof(ChatMessage, szText) == 40);
static_assert(sizeof(UserInfo) == 140 && offsetof(UserInfo, szName) == 4 && offsetof(UserInfo, cbGender) == 36 &&
              offsetof(UserInfo, cbDialect) == 37 && offsetof(UserInfo, cbUserStatus) == 38 && offsetof(UserInfo, cbLookon) == 39 &&
              offsetof(UserInfo, lScore) == 40 && offsetof(UserInfo, lResultCount) == 44 && offsetof(UserInfo, lGold) == 60 &&
              offsetof(UserInfo, lLottery) == 64 && offsetof(UserInfo, dwLevel) == 68 && offsetof(UserInfo, szRegion) == 72 &&
              offsetof(UserInfo, wTableID) == 136 && offsetof(UserInfo, wChairID) == 138);
static_assert(sizeof(SnapshotHead) == 4 && offsetof(SnapshotHead, cbLookon) == 1);
static_assert(sizeof(Ping) == 8 && offsetof(Ping, dwSentMs) == 4);

// ---- Frames ---------------------------------------------------------------------------------------

struct Frame {
    uint16_t main = 0;
    uint16_t sub = 0;
    std::vector<uint8_t> body;
};

// Appends one frame to `out`. A body above MAX_FRAME_BODY is not written (false).
bool appendFrame(std::vector<uint8_t>& out, uint16_t main, uint16_t sub, std::span<const uint8_t> body);
// One frame on its own; empty when the body is too large.
std::vector<uint8_t> encodeFrame(uint16_t main, uint16_t sub, std::span<const uint8_t> body = {});

template <typename Record>
std::vector<uint8_t> encodeRecord(uint16_t main, uint16_t sub, const Record& record)
{
    static_assert(sizeof(Record) <= MAX_FRAME_BODY);
    std::array<uint8_t, sizeof(Record)> bytes;
    std::memcpy(bytes.data(), &record, sizeof(Record));
    return encodeFrame(main, sub, bytes);
}

// Cuts a byte stream into frames. It holds at most one frame's bytes at a time: feed() stops
// taking bytes once a whole frame waits to be popped, so the caller's loop, not the peer, decides
// how much is buffered. A length above the maximum breaks the stream for good; the connection is
// to be closed then, as nothing after it can be trusted to be a frame boundary.
class FrameDecoder {
public:
    explicit FrameDecoder(std::size_t maxBody = MAX_FRAME_BODY);

    // Takes bytes until a frame is complete or the input ends; returns how many it took.
    std::size_t feed(std::span<const uint8_t> bytes);
    // The complete frame, once; nullopt while it is still partial.
    std::optional<Frame> pop();
    // Feeds everything, handing each complete frame to onFrame in order. Stops early when onFrame
    // returns false or the stream breaks; returns false in both cases.
    template <typename OnFrame>
    bool feedAll(std::span<const uint8_t> bytes, OnFrame&& onFrame)
    {
        while (!m_failed) {
            const std::size_t used = feed(bytes);
            bytes = bytes.subspan(used);
            auto frame = pop();
            if (!frame)
                break;  // the input ended inside a frame
            if (!onFrame(std::move(*frame)))
                return false;
        }
        return !m_failed;
    }

    bool failed() const { return m_failed; }
    // Bytes held of the frame in progress.
    std::size_t buffered() const { return m_buffer.size(); }
    void reset();

private:
    std::size_t m_maxBody;
    std::vector<uint8_t> m_buffer;
    std::size_t m_needed = FRAME_HEADER_SIZE;
    bool m_haveHeader = false;
    bool m_complete = false;
    bool m_failed = false;
};

// ---- Records --------------------------------------------------------------------------------------

// Fixed text fields travel NUL-terminated within their size; anything else is refused.
template <std::size_t N>
bool textFits(const char (&field)[N])
{
    return std::memchr(field, '\0', N) != nullptr;
}

// The text of a field up to its NUL (the whole field when there is none, which readers refuse).
template <std::size_t N>
std::string_view textOf(const char (&field)[N])
{
    const void* end = std::memchr(field, '\0', N);
    return std::string_view(field, end ? static_cast<const char*>(end) - field : N);
}

// The longest prefix of GBK text within maxBytes that does not split a double-byte character.
std::string_view cutGbkText(std::string_view gbk, std::size_t maxBytes);

// Writes GBK text into a field, cut to leave room for its NUL; the rest of the field is zeroed
// so that no stale bytes travel.
template <std::size_t N>
void setText(char (&field)[N], std::string_view gbk)
{
    const std::string_view cut = cutGbkText(gbk, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
}

// The bounds of each record. Chairs are < 3, or INVALID_CHAIR only where the record allows it;
// tables are < MAX_TABLES, or INVALID_TABLE where allowed; flags are 0 or 1.
bool isValid(const ClientHello& record);
bool isValid(const ServerHello& record);
bool isValid(const LogonRequest& record);
bool isValid(const LogonSuccess& record);
bool isValid(const Refusal& record);
bool isValid(const SitRequest& record);
bool isValid(const LookonRequest& record);
bool isValid(const AllowLookon& record);
bool isValid(const LookonState& record);
bool isValid(const ChatMessage& record);
bool isValid(const UserInfo& record);
bool isValid(const SnapshotHead& record);
bool isValid(const Ping& record);

// A record read from a body of exactly its size that passes its bounds, or nullopt.
template <typename Record>
std::optional<Record> readBody(std::span<const uint8_t> body)
{
    if (body.size() != sizeof(Record))
        return std::nullopt;
    Record record;
    std::memcpy(&record, body.data(), sizeof(Record));
    if (!isValid(record))
        return std::nullopt;
    return record;
}

struct Snapshot {
    SnapshotHead head;
    std::span<const uint8_t> scene;  // points into the frame's body
};

// The head and scene of a snapshot body; the scene is at most MAX_MESSAGE_BODY bytes. Its meaning
// is the game's (CheckSceneMessage).
std::optional<Snapshot> readSnapshot(std::span<const uint8_t> body);
std::vector<uint8_t> encodeSnapshot(uint8_t cbGameStatus, bool lookon, std::span<const uint8_t> scene);

// Game frames, the ready data and the client's host-level requests carry bodies the host does
// not read; only their size is bounded here.
bool isMessageBody(std::span<const uint8_t> body);

// Who sends a frame.
enum class Direction { ToServer, ToClient };

// Whether a frame is one that `direction` may carry, with a body its reader accepts. The server
// closes a connection that sends anything else; the client drops such a frame.
bool isWellFormed(Direction direction, uint16_t main, uint16_t sub, std::span<const uint8_t> body);

}  // namespace protocol
