#include "replay/VideoDiyFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kName = "Telvo\\video\\abc_20120223140509.vid";

tagVideoPacket MakePacket(uint16_t kind, uint16_t size, uint8_t first = 1)
{
    tagVideoPacket packet{};
    packet.wKind = kind;
    packet.wDataSize = size;
    for (uint16_t i = 0; i < size && i < sizeof packet.cbData; ++i)
        packet.cbData[i] = static_cast<uint8_t>(first + i);
    return packet;
}

tagVideoHead MakeHead(uint32_t version = VIDEO_VERSION, uint32_t kind = VIDEO_KIND_ID)
{
    tagVideoHead head{};
    head.dwVersion = version;
    head.dwKindID = kind;
    return head;
}

template <typename T>
bool Same(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

class VideoFile : public DataFoldersTest {
protected:
    fs::path OnDisk() const { return User() / "Telvo" / "video" / "abc_20120223140509.vid"; }

    // A header of zeros followed by the given packet bytes.
    void WriteRaw(const std::string& packets, std::size_t headBytes = VIDEO_HEAD_SIZE)
    {
        WriteBytes(OnDisk(), std::string(headBytes, '\0') + packets);
    }
};

TEST_F(VideoFile, AGameIsWrittenLittleEndianAndReadsBackPacketForPacket)
{
    tagVideoUserInfo players{};
    players.wBlockKind = 100;
    players.cbPlayerCount = 3;
    players.cbMeChairID = 2;
    std::strcpy(players.szUserName[2], "\xD5\xC5\xC8\xFD");
    players.dwUserID[0] = 0x01020304;
    players.cbDialect[2] = 2;
    players.cbGender[2] = 1;
    const tagVideoPacket packets[] = {MakePacket(100, 10), MakePacket(104, 0), MakePacket(99, 164, 0xF0)};

    CVideoDiyFile file;
    ASSERT_TRUE(file.Open(VIDEO_MODE_WRITE, kName));
    ASSERT_TRUE(file.WriteHead(MakeHead()));
    ASSERT_TRUE(file.WriteUserInfo(players));
    for (const auto& packet : packets)
        ASSERT_TRUE(file.WritePacket(packet));
    file.Close();

    const std::string bytes = ReadBytes(OnDisk());
    ASSERT_EQ(bytes.size(), 256u + 14 + 4 + 168);
    EXPECT_EQ(bytes.substr(0, 8), Bytes({0x9F, 0x02, 0x33, 0x01, 100, 0, 0, 0}));
    EXPECT_EQ(bytes.substr(136, 4), Bytes({100, 0, 3, 2}));
    EXPECT_EQ(bytes.substr(204, 4), "\xD5\xC5\xC8\xFD");
    EXPECT_EQ(bytes.substr(236, 20), Bytes({4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 1, 0, 0}));
    EXPECT_EQ(bytes.substr(256, 6), Bytes({100, 0, 10, 0, 1, 2}));
    EXPECT_EQ(bytes.substr(270, 6), Bytes({104, 0, 0, 0, 99, 0}));

    // The same object reads, as the controller uses one for both.
    ASSERT_TRUE(file.Open(VIDEO_MODE_READ, kName));
    EXPECT_TRUE(Same(file.m_Head, MakeHead()));
    EXPECT_TRUE(Same(file.m_UserInfo, players));
    for (const auto& written : packets) {
        tagVideoPacket read = MakePacket(1, 1000, 0x55);  // stale bytes must not survive a read
        ASSERT_TRUE(file.ReadPacket(read));
        EXPECT_TRUE(Same(read, written)) << "kind " << written.wKind;
    }
    tagVideoPacket after{};
    EXPECT_FALSE(file.ReadPacket(after));
    EXPECT_EQ(file.m_dwPacketCount, 3u);
}

TEST_F(VideoFile, ReadingStopsAtTheFirstPacketItCannotTakeWhole)
{
    WriteRaw("", 255);
    CVideoDiyFile file;
    EXPECT_FALSE(file.Open(VIDEO_MODE_READ, kName));
    EXPECT_EQ(file.m_strFileName, kName) << "kept after a failed open";
    tagVideoPacket packet{};
    EXPECT_FALSE(file.ReadPacket(packet));

    const std::string whole = Bytes({100, 0, 2, 0, 7, 8}) + Bytes({104, 0, 0, 0});
    const std::string tails[] = {"", Bytes({103, 0}), Bytes({103, 0, 3, 0, 9, 9}), Bytes({105, 0, 0, 4}) + std::string(1024, 'x'),
                                 Bytes({105, 0, 0xFF, 0xFF}) + std::string(0xFFFF, 'x')};
    for (const std::string& tail : tails) {
        WriteRaw(whole + tail);
        ASSERT_TRUE(file.Open(VIDEO_MODE_READ, kName));
        ASSERT_TRUE(file.ReadPacket(packet));
        EXPECT_TRUE(Same(packet, MakePacket(100, 2, 7)));
        ASSERT_TRUE(file.ReadPacket(packet));
        EXPECT_TRUE(Same(packet, MakePacket(104, 0)));
        EXPECT_FALSE(file.ReadPacket(packet)) << tail.size() << " bytes after the whole packets";
        EXPECT_TRUE(Same(packet, MakePacket(104, 0))) << "a failed read leaves the packet alone";
        EXPECT_EQ(file.m_dwPacketBytes, 10u);
    }

    // The largest body that fits still reads.
    WriteRaw(Bytes({105, 0, 0xFF, 0x03}) + std::string(1023, '\x22'));
    ASSERT_TRUE(file.Open(VIDEO_MODE_READ, kName));
    ASSERT_TRUE(file.ReadPacket(packet));
    EXPECT_EQ(packet.cbData[1022], 0x22);
}

TEST_F(VideoFile, WritingStartsAfreshAndRefusesWhatAPacketCannotHold)
{
    WriteRaw(std::string(500, 'x'));
    CVideoDiyFile file;
    ASSERT_TRUE(file.Open(VIDEO_MODE_WRITE, kName));
    EXPECT_EQ(fs::file_size(OnDisk()), 0u);
    ASSERT_TRUE(file.WriteHead(MakeHead()));
    EXPECT_FALSE(file.WritePacket(MakePacket(103, 1024)));
    EXPECT_FALSE(file.WritePacket(MakePacket(103, 0xFFFF)));
    EXPECT_EQ(fs::file_size(OnDisk()), 136u) << "a refused packet leaves the file alone";
    EXPECT_TRUE(file.WritePacket(MakePacket(103, 1023)));
    file.Close();
    EXPECT_EQ(fs::file_size(OnDisk()), 256u + 4 + 1023);
}

TEST_F(VideoFile, EachOperationWorksOnlyInItsMode)
{
    WriteRaw(Bytes({100, 0, 0, 0}));
    CVideoDiyFile file;
    tagVideoPacket packet = MakePacket(100, 1);
    EXPECT_FALSE(file.ReadPacket(packet));
    EXPECT_FALSE(file.WritePacket(packet));

    ASSERT_TRUE(file.Open(VIDEO_MODE_READ, kName));
    EXPECT_FALSE(file.WriteHead(MakeHead()));
    EXPECT_FALSE(file.WriteUserInfo(tagVideoUserInfo{}));
    EXPECT_FALSE(file.WritePacket(packet));
    EXPECT_EQ(fs::file_size(OnDisk()), 260u);

    ASSERT_TRUE(file.Open(VIDEO_MODE_WRITE, "Telvo\\video\\other.vid"));
    EXPECT_FALSE(file.ReadHead());
    EXPECT_FALSE(file.ReadPacket(packet));
    file.Close();
    EXPECT_FALSE(file.WritePacket(packet)) << "closed";
}

TEST_F(VideoFile, OpenResolvesGameNamesAndTakesDialogPathsAsTheyAre)
{
    WriteRaw(Bytes({100, 0, 0, 0}));
    CVideoDiyFile file;
    ASSERT_TRUE(file.Open(VIDEO_MODE_READ, "TELVO\\Video\\ABC_20120223140509.VID"));
    // Refused before anything is let go of: the open file still reads.
    EXPECT_FALSE(file.Open(3, kName));
    EXPECT_FALSE(file.Open(VIDEO_MODE_READ, nullptr));
    EXPECT_FALSE(file.Open(VIDEO_MODE_WRITE, "a.vi"));
    EXPECT_FALSE(file.Open(VIDEO_MODE_WRITE, "录像文件"));  // four characters in twelve bytes
    tagVideoPacket packet{};
    EXPECT_TRUE(file.ReadPacket(packet));
    // Five characters are attempted.
    EXPECT_TRUE(file.Open(VIDEO_MODE_WRITE, "x.vid"));
    EXPECT_TRUE(fs::exists(User() / "x.vid"));

    WriteBytes(Installed() / "telvo" / "video" / "demo.vid", std::string(256, '\0'));
    ASSERT_TRUE(file.Open(VIDEO_MODE_READ, "Telvo\\video\\Demo.vid")) << "the installed folder is read too";
    EXPECT_FALSE(file.ReadPacket(packet)) << "a bare header holds no packet";
    EXPECT_TRUE(file.Open(VIDEO_MODE_READ, OnDisk().c_str()));
    EXPECT_TRUE(file.Open(VIDEO_MODE_WRITE, (Root() / "chosen.vid").c_str()));
    EXPECT_TRUE(fs::exists(Root() / "chosen.vid"));
    EXPECT_FALSE(file.Open(VIDEO_MODE_WRITE, "..\\escaped.vid"));
    EXPECT_FALSE(fs::exists(Root() / "escaped.vid"));
}

TEST(VideoHead, KindIsCheckedBeforeVersion)
{
    EXPECT_EQ(CheckVideoHead(MakeHead(VIDEO_VERSION, 100)), VideoHeadCheck::Accepted);
    EXPECT_EQ(CheckVideoHead(MakeHead(0, 100)), VideoHeadCheck::Accepted);
    EXPECT_EQ(CheckVideoHead(MakeHead(20120224, 100)), VideoHeadCheck::VersionTooNew);
    EXPECT_EQ(CheckVideoHead(MakeHead(20120224, 99)), VideoHeadCheck::KindMismatch);
    EXPECT_EQ(VideoHeadMessage(VideoHeadCheck::KindMismatch, "a.vid"), "文件:a.vid无法由当前程序打开.错误原因:KindID不匹配");
    EXPECT_EQ(VideoHeadMessage(VideoHeadCheck::VersionTooNew, "%s.vid"), "文件:%s.vid无法由当前程序打开.错误原因:Version错误");
}

}  // namespace
