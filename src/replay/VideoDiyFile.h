#pragma once

// A replay file: one recorded stretch of play as the stream of messages the controller handled.
// The file is a 136-byte head, a 120-byte player block and then packets back to back up to the end
// of the file, with no count and no end marker. All numbers are little-endian and text is GBK.
//
// The class knows nothing of what the packets mean; the controller records and plays them. It owns
// one file at a time and is used on the user-interface thread only.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

inline constexpr uint32_t VIDEO_VERSION = 20120223;
inline constexpr uint32_t VIDEO_KIND_ID = 100;
inline constexpr int VIDEO_MODE_READ = 1;
inline constexpr int VIDEO_MODE_WRITE = 2;
// The head and the player block together; the first packet starts here.
inline constexpr uint32_t VIDEO_HEAD_SIZE = 256;
// The largest packet body; a stored size above it is refused, never trusted.
inline constexpr uint16_t VIDEO_MAX_DATA = 1023;

#pragma pack(push, 1)

struct tagVideoHead {
    uint32_t dwVersion;
    uint32_t dwKindID;
    uint8_t cbReserved[128];
};

// Indexed by chair 0-2.
struct tagVideoUserInfo {
    uint16_t wBlockKind;
    uint8_t cbPlayerCount;
    uint8_t cbMeChairID;
    char szUserName[3][32];  // GBK, NUL-terminated
    uint32_t dwUserID[3];
    uint8_t cbDialect[3];    // 1 standard voices, 2 regional voices
    uint8_t cbGender[3];     // 0 male voices, else female
    uint8_t cbReserved[2];
};

// On disk a packet takes 4 + wDataSize bytes; in memory the body array is always 1024 bytes and
// the bytes beyond wDataSize are zero.
struct tagVideoPacket {
    uint16_t wKind;
    uint16_t wDataSize;
    uint8_t cbData[1024];
};

#pragma pack(pop)

static_assert(sizeof(tagVideoHead) == 136 && offsetof(tagVideoHead, dwKindID) == 4 &&
              offsetof(tagVideoHead, cbReserved) == 8);
static_assert(sizeof(tagVideoUserInfo) == 120 && offsetof(tagVideoUserInfo, cbPlayerCount) == 2 &&
              offsetof(tagVideoUserInfo, cbMeChairID) == 3 && offsetof(tagVideoUserInfo, szUserName) == 4 &&
              offsetof(tagVideoUserInfo, dwUserID) == 100 && offsetof(tagVideoUserInfo, cbDialect) == 112 &&
              offsetof(tagVideoUserInfo, cbGender) == 115 && offsetof(tagVideoUserInfo, cbReserved) == 118);
static_assert(sizeof(tagVideoPacket) == 1028 && offsetof(tagVideoPacket, wDataSize) == 2 &&
              offsetof(tagVideoPacket, cbData) == 4);
static_assert(sizeof(tagVideoHead) + sizeof(tagVideoUserInfo) == VIDEO_HEAD_SIZE);
static_assert(VIDEO_MAX_DATA < sizeof(tagVideoPacket::cbData));

class CVideoDiyFile {
public:
    CVideoDiyFile() = default;
    ~CVideoDiyFile() = default;
    CVideoDiyFile(const CVideoDiyFile&) = delete;
    CVideoDiyFile& operator=(const CVideoDiyFile&) = delete;

    // pszFileName is a path as the game writes it ("Telvo\video\abc_20120223140509.vid"): relative,
    // '\'-separated and resolved in the data folders (reading: the user data folder, then the
    // installed one; writing: the user data folder). An absolute path, as a file dialog gives it,
    // is used as it is. Mode 1 opens for reading and reads the head and the player block; mode 2
    // creates the file, truncating one that exists. A mode other than these or a name of fewer than
    // five characters is refused before anything changes; otherwise the open file is let go of, and
    // the mode and the name are kept even when the open fails (every read and write then fails
    // until the next successful Open).
    bool Open(int nMode, const char* pszFileName);

    // Writing, mode 2 only.
    bool WriteHead(const tagVideoHead& head);
    bool WriteUserInfo(const tagVideoUserInfo& userInfo);
    // Refuses a body of more than VIDEO_MAX_DATA bytes.
    bool WritePacket(const tagVideoPacket& packet);

    // Reading, mode 1 only. ReadPacket is false at the end of the file, in a truncated last packet
    // and at a stored size the in-memory packet cannot hold; the packet is then left untouched.
    bool ReadPacket(tagVideoPacket& packet);
    bool ReadHead();

    // Forgets the mode, the name and the counters; neither closes the file nor clears the header
    // copies.
    void Reset();
    void Close();

    // The head and player block last written or read; zero until then.
    tagVideoHead m_Head{};
    tagVideoUserInfo m_UserInfo{};

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_File;

    bool Ready(int nMode) const;
    bool WriteAt(uint64_t offset, const uint8_t* bytes, std::size_t size);
    bool ReadAt(uint64_t offset, uint8_t* bytes, std::size_t size);

public:
    int m_nMode = 0;
    std::string m_strFileName;
    // Packets and packet bytes read or written since the last open; the next packet starts at
    // VIDEO_HEAD_SIZE + m_dwPacketBytes.
    uint32_t m_dwPacketCount = 0;
    uint32_t m_dwPacketBytes = 0;
};

// The checks a reader applies to the head before it plays a file, in this order.
enum class VideoHeadCheck { Accepted, KindMismatch, VersionTooNew };
VideoHeadCheck CheckVideoHead(const tagVideoHead& head);

// The player's messages for a refused file; %s stands for the file's name.
inline constexpr const char* VIDEO_KIND_MISMATCH_TEXT = "文件:%s无法由当前程序打开.错误原因:KindID不匹配";
inline constexpr const char* VIDEO_VERSION_ERROR_TEXT = "文件:%s无法由当前程序打开.错误原因:Version错误";

// The message for a check with the file's name in place of %s; empty for an accepted head.
std::string VideoHeadMessage(VideoHeadCheck check, std::string_view fileName);
