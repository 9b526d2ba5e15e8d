#include "platform/host/HostLinkDispatch.h"

#include <cstring>

#include "platform/host/GameFrame.h"
#include "support/TextCodec.h"

using namespace protocol;

namespace {


template <std::size_t N>
void CopyUtf8(char (&field)[N], std::string_view gbk)
{
    const std::string utf8 = GbkToUtf8(gbk);
    const std::string_view cut = CutUtf8(utf8, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
}

std::string ReasonOf(const Refusal& refusal)
{
    return GbkToUtf8(textOf(refusal.szReason));
}

}  // namespace

const char* LinkStateName(LinkState state)
{
    switch (state) {
    case LinkState::Idle: return "idle";
    case LinkState::Connecting: return "connecting";
    case LinkState::LoggingOn: return "logging-on";
    case LinkState::Seating: return "seating";
    case LinkState::Seated: return "seated";
    case LinkState::Standing: return "standing";
    case LinkState::Refused: return "refused";
    case LinkState::Lost: return "lost";
    }
    return "?";
}

CHostLinkDispatch::CHostLinkDispatch(CGameFrameDlg* pFrame, tagLogonInfo info, FrameWriter writer)
    : m_pFrame(pFrame), m_info(std::move(info)), m_writer(std::move(writer))
{
}

void CHostLinkDispatch::SetState(LinkState state, const std::string& text)
{
    m_state = state;
    m_stateText = text;
    if (m_stateSink)
        m_stateSink(state, text);
}

bool CHostLinkDispatch::LoggedOn() const
{
    return m_state == LinkState::Seating || m_state == LinkState::Seated || m_state == LinkState::Standing;
}

void CHostLinkDispatch::Write(std::vector<uint8_t> bytes)
{
    if (!bytes.empty() && m_writer)
        m_writer(std::move(bytes));
}

void CHostLinkDispatch::OnConnected()
{
    Write(encodeRecord(MDM_HOST_LOGON, SUB_LOGON_HELLO, ClientHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1}));
    LogonRequest logon{};
    setText(logon.szName, Utf8ToGbk(m_info.strName));
    logon.cbGender = m_info.cbGender > 1 ? 1 : m_info.cbGender;
    logon.cbDialect = m_info.cbDialect > 2 ? 1 : m_info.cbDialect;
    logon.dwUserID = m_dwUserID;
    logon.dwResumeKey = m_dwResumeKey;
    Write(encodeRecord(MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon));
    SetState(LinkState::LoggingOn);
}

void CHostLinkDispatch::OnConnectionLost(std::string_view reason)
{
    // A refusal already told the player why; the loss that follows it adds nothing.
    if (m_state == LinkState::Refused || m_state == LinkState::Lost)
        return;
    const std::string text(reason);
    if (m_pFrame)
        m_pFrame->InsertSystemString(text);
    SetState(LinkState::Lost, text);
}

bool CHostLinkDispatch::Refused(const std::string& what, std::span<const uint8_t> body)
{
    std::string text = what;
    const auto refusal = readBody<Refusal>(body);
    if (refusal && refusal->szReason[0] != '\0')
        text += "：" + ReasonOf(*refusal);
    if (m_pFrame)
        m_pFrame->InsertSystemString(text);
    SetState(LinkState::Refused, text);
    return false;
}

bool CHostLinkDispatch::OnFrame(const Frame& frame)
{
    if (!isWellFormed(Direction::ToClient, frame.main, frame.sub, frame.body)) {
        ++m_nDropped;
        return true;
    }
    switch (frame.main) {
    case MDM_HOST_LOGON:
        return OnLogonFrame(frame);
    case MDM_HOST_USER:
        if (LoggedOn())
            OnUserFrame(frame);
        else
            ++m_nDropped;
        return true;
    case MDM_HOST_TABLE: {
        const auto snapshot = readSnapshot(frame.body);
        if (!snapshot || !AtTable() || !m_pFrame) {
            ++m_nDropped;
            return true;
        }
        m_pFrame->DeliverSceneMessage(snapshot->head.cbGameStatus, snapshot->head.cbLookon != 0, snapshot->scene.data(),
                                      static_cast<WORD>(snapshot->scene.size()));
        return true;
    }
    case MDM_GAME:
        // A game message for a table we are not at would reach a game that has no table.
        if (!AtTable() || !m_pFrame) {
            ++m_nDropped;
            return true;
        }
        m_pFrame->DeliverGameMessage(frame.sub, frame.body.data(), static_cast<WORD>(frame.body.size()));
        return true;
    case MDM_HOST_SYSTEM:
        if (frame.sub == SUB_SYSTEM_CLOSE) {
            return Refused("服务器断开了连接", frame.body);
        }
        return true;  // a pong
    default:
        ++m_nDropped;
        return true;
    }
}

bool CHostLinkDispatch::OnLogonFrame(const Frame& frame)
{
    switch (frame.sub) {
    case SUB_LOGON_HELLO_ANSWER: {
        const auto hello = readBody<ServerHello>(frame.body);
        if (hello && hello->cbAccepted)
            return true;
        return Refused("服务器不支持本程序的版本", {});
    }
    case SUB_LOGON_SUCCESS: {
        const auto success = readBody<LogonSuccess>(frame.body);
        if (m_state != LinkState::LoggingOn || !success) {
            ++m_nDropped;
            return true;
        }
        // A different user id means the server did not resume the old seat: the table we knew is gone.
        if (m_dwUserID != 0 && success->dwUserID != m_dwUserID)
            ClearTable();
        m_dwUserID = success->dwUserID;
        m_dwResumeKey = success->dwResumeKey;
        if (AtTable()) {
            // A reconnect: the server puts us back and sends the table as it is now.
            SetState(LinkState::Seating);
            return true;
        }
        SendSeatRequest();
        return true;
    }
    case SUB_LOGON_FAILURE: {
        return Refused("登录失败", frame.body);
    }
    default:
        ++m_nDropped;
        return true;
    }
}

void CHostLinkDispatch::SendSeatRequest()
{
    if (m_info.bLookon)
        Write(encodeRecord(MDM_HOST_USER, SUB_USER_LOOKON, LookonRequest{m_info.wTableID, m_info.wChairID}));
    else
        Write(encodeRecord(MDM_HOST_USER, SUB_USER_SIT, SitRequest{m_info.wTableID, m_info.wChairID}));
    SetState(LinkState::Seating);
}

void CHostLinkDispatch::OnUserFrame(const Frame& frame)
{
    switch (frame.sub) {
    case SUB_USER_ENTER:
    case SUB_USER_LEAVE:
    case SUB_USER_STATUS:
    case SUB_USER_SCORE:
        if (const auto info = readBody<UserInfo>(frame.body))
            OnUserNotice(frame.sub, *info);
        return;
    case SUB_USER_LOOKON_STATE:
        if (const auto state = readBody<LookonState>(frame.body); state && m_pFrame)
            m_pFrame->SetLookonState(state->cbLookon != 0, state->cbAllowLookon != 0);
        return;
    case SUB_USER_CHAT:
        if (const auto chat = readBody<ChatMessage>(frame.body); chat && m_pFrame) {
            const std::string text = GbkToUtf8(textOf(chat->szText));
            if (chat->dwSenderID == 0)
                m_pFrame->InsertSystemString(text);
            else
                m_pFrame->InsertSystemString(GbkToUtf8(textOf(chat->szSenderName)) + "：" + text);
        }
        return;
    case SUB_USER_REFUSED:
        if (const auto refusal = readBody<Refusal>(frame.body)) {
            const std::string text = ReasonOf(*refusal);
            if (m_pFrame && !text.empty())
                m_pFrame->InsertSystemString(text);
            if (m_state == LinkState::Seating)
                SetState(LinkState::Standing, text);
        }
        return;
    default:
        ++m_nDropped;
        return;
    }
}

void CHostLinkDispatch::OnUserNotice(uint16_t sub, const UserInfo& info)
{
    if (info.dwUserID == m_dwUserID) {
        OnOwnNotice(sub, info);
        return;
    }
    // The host shows only the players of its own table; lookers sit on no chair.
    if (!AtTable() || info.wTableID != m_wTableID || info.cbLookon || !IsChair(info.wChairID) || !m_pFrame)
        return;
    const WORD chair = info.wChairID;
    if (sub == SUB_USER_LEAVE) {
        if (m_chairUser[chair] == info.dwUserID) {
            m_chairUser[chair] = 0;
            m_pFrame->SetUserData(chair, nullptr);
        }
        return;
    }
    PlaceUser(info);
}

void CHostLinkDispatch::PlaceUser(const UserInfo& info)
{
    const WORD chair = info.wChairID;
    // A user seen on another chair has moved, and one found on this chair under another id has
    // gone: the game hears of both leaving before the new user is put down.
    for (WORD other = 0; other < PLAYER_COUNT; ++other) {
        const bool moved = other != chair && m_chairUser[other] == info.dwUserID;
        const bool replaced = other == chair && m_chairUser[other] != 0 && m_chairUser[other] != info.dwUserID;
        if (moved || replaced) {
            m_chairUser[other] = 0;
            m_pFrame->SetUserData(other, nullptr);
        }
    }
    const tagUserData data = ToUserData(info);
    m_chairUser[chair] = info.dwUserID;
    m_pFrame->SetUserData(chair, &data);
}

void CHostLinkDispatch::OnOwnNotice(uint16_t sub, const UserInfo& info)
{
    const bool seated = sub != SUB_USER_LEAVE && info.wTableID != INVALID_TABLE;
    if (!seated) {
        ClearTable();
        if (m_pFrame)
            m_pFrame->SetLookonState(false, false);
        SetState(LinkState::Standing);
        return;
    }
    if (info.wTableID != m_wTableID || (info.cbLookon != 0) != m_bLookon)
        ClearTable();
    m_wTableID = info.wTableID;
    m_wChairID = info.wChairID;
    m_bLookon = info.cbLookon != 0;
    if (m_pFrame) {
        // A looker sees the table from the chair it watches.
        m_pFrame->SetMeChairID(info.wChairID);
        if (!m_bLookon)
            PlaceUser(info);
    }
    if (m_state != LinkState::Seated)
        SetState(LinkState::Seated);
}

void CHostLinkDispatch::ClearTable()
{
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (m_chairUser[chair] != 0 && m_pFrame)
            m_pFrame->SetUserData(chair, nullptr);
        m_chairUser[chair] = 0;
    }
    m_wTableID = INVALID_TABLE;
    m_wChairID = INVALID_CHAIR;
    m_bLookon = false;
}

tagUserData CHostLinkDispatch::ToUserData(const UserInfo& info)
{
    tagUserData data;
    data.dwUserID = info.dwUserID;
    CopyUtf8(data.szName, textOf(info.szName));
    data.cbGender = info.cbGender;
    data.cbDialect = info.cbDialect;
    data.cbUserStatus = info.cbUserStatus;
    data.lScore = info.lScore;
    for (int i = 0; i < 4; ++i)
        data.lResultCount[i] = info.lResultCount[i];
    data.lGold = info.lGold;
    data.lLottery = info.lLottery;
    data.dwLevel = info.dwLevel;
    CopyUtf8(data.szRegion[0], textOf(info.szRegion[0]));
    CopyUtf8(data.szRegion[1], textOf(info.szRegion[1]));
    data.wChairID = info.wChairID;
    data.bLookon = info.cbLookon != 0;
    return data;
}

// ---- Sending ----------------------------------------------------------------------------------------

bool CHostLinkDispatch::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    if (!pData)
        wDataSize = 0;
    if (!LoggedOn() || wDataSize > MAX_MESSAGE_BODY)
        return false;
    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), wDataSize);
    if (!isWellFormed(Direction::ToServer, wMainCmdID, wSubCmdID, body))
        return false;
    Write(encodeFrame(wMainCmdID, wSubCmdID, body));
    return true;
}

bool CHostLinkDispatch::SendUserReady(const void* pData, WORD wDataSize)
{
    return SendData(MDM_HOST_USER, SUB_USER_READY, pData, wDataSize);
}

bool CHostLinkDispatch::SendChat(std::string_view utf8Text, DWORD dwColour)
{
    if (!LoggedOn() || utf8Text.empty())
        return false;
    ChatMessage chat{};
    chat.dwColour = dwColour;
    setText(chat.szText, Utf8ToGbk(utf8Text));
    Write(encodeRecord(MDM_HOST_USER, SUB_USER_CHAT, chat));
    return true;
}

bool CHostLinkDispatch::SendStandUp()
{
    return SendData(MDM_HOST_USER, SUB_USER_STAND, nullptr, 0);
}

bool CHostLinkDispatch::SendAllowLookon(DWORD dwUserID, bool bAllow)
{
    if (!LoggedOn())
        return false;
    AllowLookon allow{};
    allow.dwUserID = dwUserID;
    allow.cbAllow = bAllow ? 1 : 0;
    Write(encodeRecord(MDM_HOST_USER, SUB_USER_ALLOW_LOOKON, allow));
    return true;
}
