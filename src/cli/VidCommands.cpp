#include "cli/VidCommands.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/host/GameFrame.h"
#include "replay/VideoDiyFile.h"
#include "support/TextCodec.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// A name as one readable word: GBK turned into UTF-8, control bytes shown as '?', "-" for none.
std::string NameText(const char (&field)[32])
{
    std::string name = GbkToUtf8(std::string_view(field, strnlen(field, sizeof field)));
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return name.empty() ? "-" : name;
}

// Why the reader stopped before the end of the file: it found a cut packet or a stored size no
// packet can hold. Nothing is printed when the packets fill the file exactly.
void PrintTail(const fs::path& path, const CVideoDiyFile& file, std::ostream& out)
{
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    const uintmax_t next = uintmax_t{VIDEO_HEAD_SIZE} + file.m_dwPacketBytes;
    if (ec || size <= next)
        return;
    uint8_t head[4] = {};
    if (size - next >= sizeof head) {
        std::ifstream in(path, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(next));
        in.read(reinterpret_cast<char*>(head), sizeof head);
        const unsigned stored = head[2] | head[3] << 8;
        if (in && stored > VIDEO_MAX_DATA) {
            out << "oversized after " << file.m_dwPacketCount << " packets size=" << stored << '\n';
            return;
        }
    }
    out << "truncated after " << file.m_dwPacketCount << " packets\n";
}

int Dump(const std::string& name, std::ostream& out, std::ostream& err)
{
    // The shell's paths are relative to its own folder, not to the game's data folders.
    std::error_code ec;
    const fs::path path = fs::absolute(name, ec);
    CVideoDiyFile file;
    if (ec || !fs::is_regular_file(path, ec) || !file.Open(VIDEO_MODE_READ, path.c_str())) {
        err << "qarrum-cli vid: cannot open '" << name << "' as a replay (missing, unreadable, or shorter than its "
            << VIDEO_HEAD_SIZE << "-byte header)\n";
        return 2;
    }

    const tagVideoHead& head = file.m_Head;
    const tagVideoUserInfo& players = file.m_UserInfo;
    out << "head version=" << head.dwVersion << " kind=" << head.dwKindID << '\n';
    out << "players kind=" << players.wBlockKind << " count=" << int(players.cbPlayerCount)
        << " me=" << int(players.cbMeChairID) << '\n';
    for (int chair = 0; chair < 3; ++chair) {
        out << "player " << chair << " name=" << NameText(players.szUserName[chair]) << " id=" << players.dwUserID[chair]
            << " dialect=" << int(players.cbDialect[chair]) << " gender=" << int(players.cbGender[chair]) << '\n';
    }
    tagVideoPacket packet{};
    while (file.ReadPacket(packet)) {
        out << packet.wKind << ' ' << packet.wDataSize;
        if (packet.wDataSize > 0)
            out << ' ' << HexBytes(packet.cbData, packet.wDataSize);
        out << '\n';
    }
    PrintTail(path, file, out);

    const VideoHeadCheck check = CheckVideoHead(head);
    if (check == VideoHeadCheck::Accepted)
        return 0;
    out.flush();
    err << VideoHeadMessage(check, name) << '\n';
    return 1;
}

}  // namespace

int RunVidCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 3 || args[1] != "dump") {
        err << "qarrum-cli vid: expected 'vid dump FILE'\n";
        return 2;
    }
    return Dump(args[2], out, err);
}

}  // namespace cli
