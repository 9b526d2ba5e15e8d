#include "replay/VideoDiyFile.h"

#include "support/DataPaths.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

constexpr std::size_t kPacketHeadBytes = 4;
// A shorter name cannot even hold "x.vid".
constexpr std::size_t kMinNameCharacters = 5;

// The fields are laid out byte by byte so that the file is little-endian whatever the host is.
class ByteWriter {
public:
    explicit ByteWriter(uint8_t* out) : m_out(out) {}
    void U8(uint8_t value) { *m_out++ = value; }
    void U16(uint16_t value)
    {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value)
    {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void Bytes(const void* bytes, std::size_t size)
    {
        std::memcpy(m_out, bytes, size);
        m_out += size;
    }

private:
    uint8_t* m_out;
};

class ByteReader {
public:
    explicit ByteReader(const uint8_t* in) : m_in(in) {}
    uint8_t U8() { return *m_in++; }
    uint16_t U16()
    {
        const uint16_t low = U8();
        return static_cast<uint16_t>(low | U8() << 8);
    }
    uint32_t U32()
    {
        const uint32_t low = U16();
        return low | static_cast<uint32_t>(U16()) << 16;
    }
    void Bytes(void* bytes, std::size_t size)
    {
        std::memcpy(bytes, m_in, size);
        m_in += size;
    }

private:
    const uint8_t* m_in;
};

void EncodeHead(const tagVideoHead& head, uint8_t (&out)[sizeof(tagVideoHead)])
{
    ByteWriter w(out);
    w.U32(head.dwVersion);
    w.U32(head.dwKindID);
    w.Bytes(head.cbReserved, sizeof head.cbReserved);
}

tagVideoHead DecodeHead(const uint8_t (&in)[sizeof(tagVideoHead)])
{
    tagVideoHead head{};
    ByteReader r(in);
    head.dwVersion = r.U32();
    head.dwKindID = r.U32();
    r.Bytes(head.cbReserved, sizeof head.cbReserved);
    return head;
}

void EncodeUserInfo(const tagVideoUserInfo& info, uint8_t (&out)[sizeof(tagVideoUserInfo)])
{
    ByteWriter w(out);
    w.U16(info.wBlockKind);
    w.U8(info.cbPlayerCount);
    w.U8(info.cbMeChairID);
    w.Bytes(info.szUserName, sizeof info.szUserName);
    for (const uint32_t id : info.dwUserID)
        w.U32(id);
    w.Bytes(info.cbDialect, sizeof info.cbDialect);
    w.Bytes(info.cbGender, sizeof info.cbGender);
    w.Bytes(info.cbReserved, sizeof info.cbReserved);
}

tagVideoUserInfo DecodeUserInfo(const uint8_t (&in)[sizeof(tagVideoUserInfo)])
{
    tagVideoUserInfo info{};
    ByteReader r(in);
    info.wBlockKind = r.U16();
    info.cbPlayerCount = r.U8();
    info.cbMeChairID = r.U8();
    r.Bytes(info.szUserName, sizeof info.szUserName);
    for (uint32_t& id : info.dwUserID)
        id = r.U32();
    r.Bytes(info.cbDialect, sizeof info.cbDialect);
    r.Bytes(info.cbGender, sizeof info.cbGender);
    r.Bytes(info.cbReserved, sizeof info.cbReserved);
    return info;
}

std::size_t Utf8Characters(const char* text)
{
    std::size_t count = 0;
    for (; *text != '\0'; ++text) {
        if ((static_cast<unsigned char>(*text) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

// A name the game writes is relative and lives in the data folders; a path from a file dialog is
// absolute and names the file itself (the resolver refuses absolute names on purpose).
std::optional<std::filesystem::path> FilePath(int nMode, const std::string& name)
{
    const std::filesystem::path native(name);
    if (native.is_absolute())
        return native;
    return nMode == VIDEO_MODE_READ ? ResolveForReading(name) : ResolveForWriting(name);
}

// The running byte count is 32 bits wide, as in the object's interface; a file that would carry
// it past that is refused rather than wrapped onto its own head.
bool FitsCount(uint32_t bytes, std::size_t more)
{
    return more <= UINT32_MAX - bytes;
}

} // namespace

bool CVideoDiyFile::Open(int nMode, const char* pszFileName)
{
    if (nMode != VIDEO_MODE_READ && nMode != VIDEO_MODE_WRITE)
        return false;
    if (pszFileName == nullptr || Utf8Characters(pszFileName) < kMinNameCharacters)
        return false;
    Reset();
    Close();
    m_nMode = nMode;
    m_strFileName = pszFileName;

    const auto path = FilePath(nMode, m_strFileName);
    if (!path)
        return false;
    m_File.reset(std::fopen(path->c_str(), nMode == VIDEO_MODE_READ ? "rb" : "wb"));
    if (!m_File)
        return false;
    if (nMode == VIDEO_MODE_WRITE)
        return true;
    if (ReadHead())
        return true;
    // A file without a whole header must not yield packets either.
    Close();
    return false;
}

bool CVideoDiyFile::WriteHead(const tagVideoHead& head)
{
    if (!Ready(VIDEO_MODE_WRITE))
        return false;
    uint8_t bytes[sizeof(tagVideoHead)];
    EncodeHead(head, bytes);
    if (!WriteAt(0, bytes, sizeof bytes))
        return false;
    m_Head = head;
    return true;
}

bool CVideoDiyFile::WriteUserInfo(const tagVideoUserInfo& userInfo)
{
    if (!Ready(VIDEO_MODE_WRITE))
        return false;
    uint8_t bytes[sizeof(tagVideoUserInfo)];
    EncodeUserInfo(userInfo, bytes);
    // Before a head is written this leaves zeros in its place: writing past the end of a file
    // fills the gap with zeros.
    if (!WriteAt(sizeof(tagVideoHead), bytes, sizeof bytes))
        return false;
    m_UserInfo = userInfo;
    return true;
}

bool CVideoDiyFile::WritePacket(const tagVideoPacket& packet)
{
    if (!Ready(VIDEO_MODE_WRITE) || packet.wDataSize > VIDEO_MAX_DATA)
        return false;
    const std::size_t size = kPacketHeadBytes + packet.wDataSize;
    if (!FitsCount(m_dwPacketBytes, size))
        return false;
    uint8_t bytes[sizeof(tagVideoPacket)];
    ByteWriter w(bytes);
    w.U16(packet.wKind);
    w.U16(packet.wDataSize);
    w.Bytes(packet.cbData, packet.wDataSize);
    if (!WriteAt(uint64_t{VIDEO_HEAD_SIZE} + m_dwPacketBytes, bytes, size))
        return false;
    ++m_dwPacketCount;
    m_dwPacketBytes += static_cast<uint32_t>(size);
    return true;
}

bool CVideoDiyFile::ReadPacket(tagVideoPacket& packet)
{
    if (!Ready(VIDEO_MODE_READ))
        return false;
    const uint64_t offset = uint64_t{VIDEO_HEAD_SIZE} + m_dwPacketBytes;
    uint8_t head[kPacketHeadBytes];
    if (!ReadAt(offset, head, sizeof head))
        return false;
    tagVideoPacket read{};
    ByteReader r(head);
    read.wKind = r.U16();
    read.wDataSize = r.U16();
    // A size the packet cannot hold is as unreadable as a cut one; nothing after it can be found.
    if (read.wDataSize > VIDEO_MAX_DATA)
        return false;
    const std::size_t size = kPacketHeadBytes + read.wDataSize;
    if (!FitsCount(m_dwPacketBytes, size))
        return false;
    if (!ReadAt(offset + kPacketHeadBytes, read.cbData, read.wDataSize))
        return false;
    packet = read;
    ++m_dwPacketCount;
    m_dwPacketBytes += static_cast<uint32_t>(size);
    return true;
}

bool CVideoDiyFile::ReadHead()
{
    if (!Ready(VIDEO_MODE_READ))
        return false;
    uint8_t head[sizeof(tagVideoHead)];
    uint8_t userInfo[sizeof(tagVideoUserInfo)];
    if (!ReadAt(0, head, sizeof head) || !ReadAt(sizeof head, userInfo, sizeof userInfo))
        return false;
    m_Head = DecodeHead(head);
    m_UserInfo = DecodeUserInfo(userInfo);
    return true;
}

void CVideoDiyFile::Reset()
{
    m_nMode = 0;
    m_strFileName.clear();
    m_dwPacketCount = 0;
    m_dwPacketBytes = 0;
}

void CVideoDiyFile::Close()
{
    m_File.reset();
}

bool CVideoDiyFile::Ready(int nMode) const
{
    return m_nMode == nMode && m_File != nullptr;
}

bool CVideoDiyFile::WriteAt(uint64_t offset, const uint8_t* bytes, std::size_t size)
{
    if (offset > static_cast<uint64_t>(LONG_MAX) || std::fseek(m_File.get(), static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    // Flushed at once, so that a failure shows here and a reader sees every packet written.
    return std::fwrite(bytes, 1, size, m_File.get()) == size && std::fflush(m_File.get()) == 0;
}

bool CVideoDiyFile::ReadAt(uint64_t offset, uint8_t* bytes, std::size_t size)
{
    if (offset > static_cast<uint64_t>(LONG_MAX) || std::fseek(m_File.get(), static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(bytes, 1, size, m_File.get()) == size;
}

VideoHeadCheck CheckVideoHead(const tagVideoHead& head)
{
    if (head.dwKindID != VIDEO_KIND_ID)
        return VideoHeadCheck::KindMismatch;
    if (head.dwVersion > VIDEO_VERSION)
        return VideoHeadCheck::VersionTooNew;
    return VideoHeadCheck::Accepted;
}

std::string VideoHeadMessage(VideoHeadCheck check, std::string_view fileName)
{
    std::string_view text;
    switch (check) {
    case VideoHeadCheck::Accepted:
        return {};
    case VideoHeadCheck::KindMismatch:
        text = VIDEO_KIND_MISMATCH_TEXT;
        break;
    case VideoHeadCheck::VersionTooNew:
        text = VIDEO_VERSION_ERROR_TEXT;
        break;
    }
    std::string message(text);
    const auto slot = message.find("%s");
    if (slot != std::string::npos)
        message.replace(slot, 2, fileName);
    return message;
}
