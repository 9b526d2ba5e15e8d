// Replay files come from the user's disk and from other players. Whatever bytes a file holds, the
// reader must stay inside its packet, return exactly the bytes the file holds, and stop at the
// first packet it cannot take whole; writing back what it read must give the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "replay/VideoDiyFile.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// One folder for the whole run. The files are opened by absolute path: finding a game name in the
// data folders is not what is fuzzed here, and it would cost more than the reading.
class Folder {
public:
    Folder()
    {
        // Every input is a new file, which a memory folder makes many times cheaper than a disk.
        std::string pattern = "/dev/shm/qarrum-fuzz-replay-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            pattern = (std::filesystem::temp_directory_path() / "qarrum-fuzz-replay-XXXXXX").string();
            Check(mkdtemp(pattern.data()) != nullptr);
        }
        m_path = pattern;
        m_in = (m_path / "in.vid").string();
        m_out = (m_path / "out.vid").string();
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const char* In() const { return m_in.c_str(); }
    const char* Out() const { return m_out.c_str(); }

private:
    std::filesystem::path m_path;
    std::string m_in;
    std::string m_out;
};

std::vector<uint8_t> ReadAll(const char* path)
{
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path, "rb")) {
        uint8_t buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Folder folder;
    if (size > 64 * 1024)
        return 0;
    {
        std::FILE* f = std::fopen(folder.In(), "wb");
        Check(f != nullptr);
        Check(size == 0 || std::fwrite(data, 1, size, f) == size);
        std::fclose(f);
    }

    CVideoDiyFile reader;
    if (!reader.Open(VIDEO_MODE_READ, folder.In())) {
        Check(size < VIDEO_HEAD_SIZE);
        return 0;
    }
    Check(size >= VIDEO_HEAD_SIZE);
    CVideoDiyFile writer;
    Check(writer.Open(VIDEO_MODE_WRITE, folder.Out()));
    Check(writer.WriteHead(reader.m_Head) && writer.WriteUserInfo(reader.m_UserInfo));

    tagVideoPacket packet;
    std::size_t offset = VIDEO_HEAD_SIZE;
    // Every packet takes at least four bytes, so the loop ends by itself; the bound is a guard.
    for (std::size_t n = 0; n <= size / 4; ++n) {
        std::memset(&packet, 0xA5, sizeof packet);
        if (!reader.ReadPacket(packet))
            break;
        Check(packet.wDataSize <= VIDEO_MAX_DATA);
        Check(offset + 4 + packet.wDataSize <= size);
        Check(packet.wKind == (data[offset] | data[offset + 1] << 8));
        Check(std::memcmp(packet.cbData, data + offset + 4, packet.wDataSize) == 0);
        for (std::size_t i = packet.wDataSize; i < sizeof packet.cbData; ++i)
            Check(packet.cbData[i] == 0);
        offset += 4 + packet.wDataSize;
        Check(reader.m_dwPacketBytes == offset - VIDEO_HEAD_SIZE);
        Check(writer.WritePacket(packet));
    }
    // What stopped the reader is the end, a cut packet or a size no packet can hold.
    if (offset + 4 <= size)
        Check(offset + 4 + (data[offset + 2] | data[offset + 3] << 8) > size || data[offset + 3] >= 4);
    writer.Close();

    const std::vector<uint8_t> written = ReadAll(folder.Out());
    Check(written.size() == offset && std::memcmp(written.data(), data, offset) == 0);

    const VideoHeadCheck check = CheckVideoHead(reader.m_Head);
    Check((check == VideoHeadCheck::Accepted) == VideoHeadMessage(check, "in.vid").empty());
    return 0;
}
