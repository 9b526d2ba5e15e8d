// Recording every game as it is shown, saving it to a replay file, and playing a file back
// through the same handlers that showed it live.
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "platform/Services.h"
#include "support/DataPaths.h"
#include "support/LocalTime.h"
#include "support/TextCodec.h"
#include "support/TraceFile.h"

namespace {

constexpr UINT_PTR kTimerPlayback = 220;
constexpr UINT kPlaybackFirstMs = 1000;
constexpr UINT kAfterDealMs = 5000;
constexpr UINT kAfterLordMs = 6000;
constexpr UINT kAfterOtherMs = 1000;
constexpr const char* kVideoFolder = "Telvo\\video";

// A snapshot packet of another size than its record fills what it has and leaves the rest zero.
template <typename Record>
Record SnapshotFrom(const tagVideoPacket& packet)
{
    Record record{};
    std::memcpy(&record, packet.cbData, std::min<std::size_t>(packet.wDataSize, sizeof(Record)));
    return record;
}

}  // namespace

// ---- Recording ---------------------------------------------------------------------------------------

void CGameClientDlg::StartRecordingHead()
{
    m_VideoHead = tagVideoHead{};
    m_VideoHead.dwVersion = VIDEO_VERSION;
    m_VideoHead.dwKindID = VIDEO_KIND_ID;
    FillVideoUserInfo();
}

void CGameClientDlg::FillVideoUserInfo()
{
    // The voice bytes of an empty chair keep what the block held before.
    std::memset(m_VideoUserInfo.szUserName, 0, sizeof(m_VideoUserInfo.szUserName));
    std::memset(m_VideoUserInfo.dwUserID, 0, sizeof(m_VideoUserInfo.dwUserID));
    m_VideoUserInfo.wBlockKind = 100;
    m_VideoUserInfo.cbPlayerCount = PLAYER_COUNT;
    m_VideoUserInfo.cbMeChairID = static_cast<BYTE>(GetMeChairID());
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        const tagUserData* user = GetUserData(chair);
        if (!user)
            continue;
        m_VideoUserInfo.dwUserID[chair] = user->dwUserID;
        // Names are GBK in the file, like every text that leaves the program.
        const std::string name = Utf8ToGbk(std::string_view(user->szName, strnlen(user->szName, sizeof(user->szName))));
        const std::string_view cut = CutGbk(name, sizeof(m_VideoUserInfo.szUserName[chair]) - 1);
        std::memcpy(m_VideoUserInfo.szUserName[chair], cut.data(), cut.size());
        m_VideoUserInfo.cbDialect[chair] = user->cbDialect;
        m_VideoUserInfo.cbGender[chair] = user->cbGender;
    }
}

void CGameClientDlg::RecordPacket(WORD wKind, std::span<const uint8_t> body)
{
    // Only a live game is saved, and a body a packet cannot hold is left out rather than cut.
    if (!IsLiveGame() || body.size() > VIDEO_MAX_DATA)
        return;
    tagVideoPacket& packet = m_VideoPacketList.emplace_back();
    packet.wKind = wKind;
    packet.wDataSize = static_cast<WORD>(body.size());
    std::memset(packet.cbData, 0, sizeof(packet.cbData));
    if (!body.empty())
        std::memcpy(packet.cbData, body.data(), body.size());
}

void CGameClientDlg::ClearRecording()
{
    m_VideoPacketList.clear();
}

void CGameClientDlg::SaveVideo()
{
    if (IsLiveGame() && !m_VideoPacketList.empty()) {
        const auto folder = ResolveForWriting(kVideoFolder);
        std::error_code error;
        if (!folder || std::filesystem::exists(*folder, error) || !std::filesystem::create_directories(*folder, error))
            WriteTraceData(this, "The function CreateDirectory return FALSE...  Please check out [%s]...", kVideoFolder);
        const tagUserData* me = IsChair(GetMeChairID()) ? GetUserData(GetMeChairID()) : nullptr;
        const std::string name = SafeFileNameComponent(me ? std::string(me->szName, strnlen(me->szName, sizeof(me->szName))) : std::string());
        const LocalDateTime now = CurrentLocalTime();
        char stamp[32];
        std::snprintf(stamp, sizeof(stamp), "%04d%02d%02d%02d%02d%02d", now.year, now.month, now.day, now.hour, now.minute, now.second);
        const std::string path = std::string(kVideoFolder) + "\\" + name + "_" + stamp + ".vid";
        // The player pressed save and waits to hear where the game went, or that it did not.
        if (m_VideoFile.Open(VIDEO_MODE_WRITE, path.c_str())) {
            m_VideoFile.WriteHead(m_VideoHead);
            m_VideoFile.WriteUserInfo(m_VideoUserInfo);
            for (const tagVideoPacket& packet : m_VideoPacketList)
                m_VideoFile.WritePacket(packet);
            m_VideoFile.Close();
            m_strLastSavedVideo = path;
            InsertSystemString("录像已保存: " + path);
        } else {
            InsertSystemString("录像保存失败: " + path);
        }
    }
    DisableSaveVideoButton();
    ClearRecording();
}

// ---- Playback ------------------------------------------------------------------------------------------

LRESULT CGameClientDlg::OnOpenReplayCommand(WPARAM, LPARAM)
{
    if (!g_bReplayMode)
        return 0;
    const QString currentDir = QDir::currentPath();
    const bool bFolder = ResolveForReading(kVideoFolder).has_value();
    const QString initial = bFolder ? QStringLiteral("Telvo\\video\\*.vid") : QStringLiteral("*.vid");
    const QString chosen = GetDialogService().GetOpenFileName(GetSafeHwnd(), QStringLiteral("Video Files (*.vid)|*.vid||"), initial);
    const std::string path = chosen.toStdString();
    if (path.size() >= 6 && OpenReplayFile(path)) {
        StartReplay();
    }
    QDir::setCurrent(currentDir);
    return 0;
}

bool CGameClientDlg::OpenReplayFile(const std::string& path)
{
    if (!m_VideoFile.Open(VIDEO_MODE_READ, path.c_str()))
        return false;
    const VideoHeadCheck check = CheckVideoHead(m_VideoFile.m_Head);
    if (check != VideoHeadCheck::Accepted) {
        const std::string fileName = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
        GetDialogService().MessageBox(GetSafeHwnd(), QString::fromStdString(VideoHeadMessage(check, fileName)));
        return false;
    }
    return true;
}

void CGameClientDlg::StartReplay()
{
    CGameClientView& view = m_GameClientView;
    KillTimer(kTimerPlayback);
    m_bPlaybackRunning = false;
    ResetTableState();
    for (WORD seat = 0; seat < PLAYER_COUNT; ++seat) {
        view.m_UserCardControl[seat].SetCards(nullptr, 0);
        view.m_HandCardControl[seat].SetCards(nullptr, 0);
    }
    for (UINT_PTR id = 200; id <= 216; ++id)
        KillTimer(id);
    view.KillViewTimers();
    m_VideoHead = m_VideoFile.m_Head;
    m_VideoUserInfo = m_VideoFile.m_UserInfo;
    m_bReplayLoaded = true;
    std::memset(view.m_szReplayName, 0, sizeof(view.m_szReplayName));
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (const WORD seat = SwitchViewChair(chair); seat < PLAYER_COUNT) {
            // The view draws these; they stay GBK as the file holds them, cut inside the field.
            std::memcpy(view.m_szReplayName[seat], m_VideoUserInfo.szUserName[chair], sizeof(view.m_szReplayName[seat]) - 1);
        }
    }
    SetTimer(kTimerPlayback, kPlaybackFirstMs);
    m_bPlaybackRunning = true;
    view.m_bReplayNames = 1;
}

void CGameClientDlg::OnPlaybackTimer()
{
    KillTimer(kTimerPlayback);
    tagVideoPacket packet{};
    if (!m_VideoFile.ReadPacket(packet)) {
        m_bPlaybackRunning = false;
        return;
    }
    switch (packet.wKind) {
    case kVideoKindFree:
        ReplaySceneFree(SnapshotFrom<StatusFree>(packet));
        break;
    case kVideoKindScore:
        ReplaySceneScore(SnapshotFrom<StatusScore>(packet));
        break;
    case kVideoKindPlay:
        ReplayScenePlay(SnapshotFrom<StatusPlay>(packet));
        break;
    default:
        HandleGameMessage(packet.wKind, packet.cbData, packet.wDataSize);
        break;
    }
    const UINT next = packet.wKind == SUB_S_DEAL_CARDS ? kAfterDealMs : packet.wKind == SUB_S_LORD_INFO ? kAfterLordMs : kAfterOtherMs;
    SetTimer(kTimerPlayback, next);
}

bool CGameClientDlg::IsReplaying() const
{
    return g_bReplayMode && m_bReplayLoaded;
}
