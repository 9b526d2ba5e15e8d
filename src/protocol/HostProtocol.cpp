#include "protocol/HostProtocol.h"

#include <algorithm>

namespace protocol {

namespace {

uint32_t readU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t readU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void putU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void putU16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

bool isFlag(uint8_t value)
{
    return value <= 1;
}

bool isTable(uint16_t wTableID)
{
    return wTableID < MAX_TABLES;
}

bool isGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

template <typename Record>
bool readable(std::span<const uint8_t> body)
{
    return readBody<Record>(body).has_value();
}

}  // namespace

// ---- Frames ---------------------------------------------------------------------------------------

bool appendFrame(std::vector<uint8_t>& out, uint16_t main, uint16_t sub, std::span<const uint8_t> body)
{
    if (body.size() > MAX_FRAME_BODY)
        return false;
    out.reserve(out.size() + FRAME_HEADER_SIZE + body.size());
    putU32(out, static_cast<uint32_t>(body.size()));
    putU16(out, main);
    putU16(out, sub);
    out.insert(out.end(), body.begin(), body.end());
    return true;
}

std::vector<uint8_t> encodeFrame(uint16_t main, uint16_t sub, std::span<const uint8_t> body)
{
    std::vector<uint8_t> out;
    appendFrame(out, main, sub, body);
    return out;
}

FrameDecoder::FrameDecoder(std::size_t maxBody) : m_maxBody(std::min(maxBody, MAX_FRAME_BODY)) {}

std::size_t FrameDecoder::feed(std::span<const uint8_t> bytes)
{
    std::size_t used = 0;
    while (!m_failed && !m_complete && used < bytes.size()) {
        const std::size_t take = std::min(bytes.size() - used, m_needed - m_buffer.size());
        m_buffer.insert(m_buffer.end(), bytes.begin() + static_cast<std::ptrdiff_t>(used),
                        bytes.begin() + static_cast<std::ptrdiff_t>(used + take));
        used += take;
        if (m_buffer.size() < m_needed)
            break;
        if (m_haveHeader) {
            m_complete = true;
            break;
        }
        const uint32_t length = readU32(m_buffer.data());
        if (length > m_maxBody) {
            m_failed = true;
            m_buffer.clear();
            m_buffer.shrink_to_fit();
            break;
        }
        m_haveHeader = true;
        m_needed = FRAME_HEADER_SIZE + length;
        m_complete = length == 0;
    }
    return used;
}

std::optional<Frame> FrameDecoder::pop()
{
    if (!m_complete)
        return std::nullopt;
    Frame frame;
    frame.main = readU16(m_buffer.data() + 4);
    frame.sub = readU16(m_buffer.data() + 6);
    frame.body.assign(m_buffer.begin() + FRAME_HEADER_SIZE, m_buffer.end());
    m_buffer.clear();
    m_needed = FRAME_HEADER_SIZE;
    m_haveHeader = false;
    m_complete = false;
    return frame;
}

void FrameDecoder::reset()
{
    m_buffer.clear();
    m_needed = FRAME_HEADER_SIZE;
    m_haveHeader = false;
    m_complete = false;
    m_failed = false;
}

// ---- Records --------------------------------------------------------------------------------------

std::string_view cutGbkText(std::string_view gbk, std::size_t maxBytes)
{
    std::size_t end = 0;
    while (end < gbk.size()) {
        const std::size_t width = isGbkLead(static_cast<unsigned char>(gbk[end])) && end + 1 < gbk.size() ? 2 : 1;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    return gbk.substr(0, end);
}

bool isValid(const ClientHello& record)
{
    return record.dwMagic == HOST_PROTOCOL_MAGIC;
}

bool isValid(const ServerHello& record)
{
    return record.dwMagic == HOST_PROTOCOL_MAGIC && isFlag(record.cbAccepted);
}

bool isValid(const LogonRequest& record)
{
    // A user must have a name: it is all that tells players apart at the table.
    return textFits(record.szName) && record.szName[0] != '\0' && isFlag(record.cbGender) && record.cbDialect <= 2;
}

bool isValid(const LogonSuccess& record)
{
    return record.dwUserID != 0 && record.wTableCount <= MAX_TABLES;
}

bool isValid(const Refusal& record)
{
    return textFits(record.szReason);
}

bool isValid(const SitRequest& record)
{
    return (isTable(record.wTableID) || record.wTableID == INVALID_TABLE) &&
           (IsChair(record.wChairID) || record.wChairID == INVALID_CHAIR);
}

bool isValid(const LookonRequest& record)
{
    return isTable(record.wTableID) && IsChair(record.wChairID);
}

bool isValid(const AllowLookon& record)
{
    return isFlag(record.cbAllow);
}

bool isValid(const LookonState& record)
{
    return isFlag(record.cbLookon) && isFlag(record.cbAllowLookon);
}

bool isValid(const ChatMessage& record)
{
    return textFits(record.szSenderName) && textFits(record.szText);
}

bool isValid(const UserInfo& record)
{
    if (record.dwUserID == 0 || !textFits(record.szName) || !textFits(record.szRegion[0]) || !textFits(record.szRegion[1]))
        return false;
    if (!isFlag(record.cbGender) || record.cbDialect > 2 || record.cbUserStatus > USER_STATUS_OFFLINE || !isFlag(record.cbLookon))
        return false;
    // Either at no table at all, or on a real chair of a real table.
    const bool nowhere = record.wTableID == INVALID_TABLE && record.wChairID == INVALID_CHAIR;
    return nowhere || (isTable(record.wTableID) && IsChair(record.wChairID));
}

bool isValid(const SnapshotHead& record)
{
    return isFlag(record.cbLookon);
}

bool isValid(const Ping&)
{
    return true;
}

std::optional<Snapshot> readSnapshot(std::span<const uint8_t> body)
{
    if (body.size() < sizeof(SnapshotHead))
        return std::nullopt;
    const auto head = readBody<SnapshotHead>(body.first(sizeof(SnapshotHead)));
    const auto scene = body.subspan(sizeof(SnapshotHead));
    if (!head || !isMessageBody(scene))
        return std::nullopt;
    return Snapshot{*head, scene};
}

std::vector<uint8_t> encodeSnapshot(uint8_t cbGameStatus, bool lookon, std::span<const uint8_t> scene)
{
    if (!isMessageBody(scene))
        return {};
    std::vector<uint8_t> body(sizeof(SnapshotHead) + scene.size(), 0);
    body[0] = cbGameStatus;
    body[1] = lookon ? 1 : 0;
    std::copy(scene.begin(), scene.end(), body.begin() + sizeof(SnapshotHead));
    return encodeFrame(MDM_HOST_TABLE, SUB_TABLE_SNAPSHOT, body);
}

bool isMessageBody(std::span<const uint8_t> body)
{
    return body.size() <= MAX_MESSAGE_BODY;
}

bool isWellFormed(Direction direction, uint16_t main, uint16_t sub, std::span<const uint8_t> body)
{
    const bool toServer = direction == Direction::ToServer;
    switch (main) {
    case MDM_HOST_LOGON:
        switch (sub) {
        case SUB_LOGON_HELLO: return toServer && readable<ClientHello>(body);
        case SUB_LOGON_REQUEST: return toServer && readable<LogonRequest>(body);
        case SUB_LOGON_HELLO_ANSWER: return !toServer && readable<ServerHello>(body);
        case SUB_LOGON_SUCCESS: return !toServer && readable<LogonSuccess>(body);
        case SUB_LOGON_FAILURE: return !toServer && readable<Refusal>(body);
        default: return false;
        }
    case MDM_HOST_USER:
        switch (sub) {
        case SUB_USER_SIT: return toServer && readable<SitRequest>(body);
        case SUB_USER_STAND: return toServer && body.empty();
        case SUB_USER_LOOKON: return toServer && readable<LookonRequest>(body);
        case SUB_USER_ALLOW_LOOKON: return toServer && readable<AllowLookon>(body);
        case SUB_USER_READY: return toServer && isMessageBody(body);
        case SUB_USER_CHAT: return readable<ChatMessage>(body);
        case SUB_USER_ENTER:
        case SUB_USER_LEAVE:
        case SUB_USER_STATUS:
        case SUB_USER_SCORE: return !toServer && readable<UserInfo>(body);
        case SUB_USER_REFUSED: return !toServer && readable<Refusal>(body);
        case SUB_USER_LOOKON_STATE: return !toServer && readable<LookonState>(body);
        default: return false;
        }
    case MDM_HOST_TABLE:
        return !toServer && sub == SUB_TABLE_SNAPSHOT && readSnapshot(body).has_value();
    case MDM_HOST_SYSTEM:
        switch (sub) {
        case SUB_SYSTEM_CLOSE: return !toServer && readable<Refusal>(body);
        case SUB_SYSTEM_PING: return toServer && readable<Ping>(body);
        case SUB_SYSTEM_PONG: return !toServer && readable<Ping>(body);
        default: return false;
        }
    case MDM_FRAME:
        return toServer && (sub == SUB_FRAME_CUSTOMER || sub == SUB_FRAME_MISSION) && isMessageBody(body);
    case MDM_SCORE_CHANGE:
        return toServer && sub == SUB_SCORE_CHANGE_REQUEST && isMessageBody(body);
    case MDM_GAME:
        // Sub-commands are the game's to judge; the host only bounds the size.
        return isMessageBody(body);
    default:
        return false;
    }
}

}  // namespace protocol
