#include "support/DataPaths.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

using DataPaths = DataFoldersTest;

TEST_F(DataPaths, ReadsMatchEveryComponentWithoutRegardToCase)
{
    WriteBytes(Installed() / "Telvo" / "img" / "Card.png", "x");
    const auto found = ResolveForReading("telvo\\IMG\\card.PNG");
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, Installed() / "Telvo" / "img" / "Card.png");
    EXPECT_EQ(ResolveForReading("Telvo/img//./Card.png"), found);
    EXPECT_FALSE(ResolveForReading("Telvo\\img\\Missing.png"));
}

TEST_F(DataPaths, ReadsPreferTheUserFolderFileByFile)
{
    WriteBytes(Installed() / "Hubra" / "GameSetting.ini", "installed");
    WriteBytes(Installed() / "Telvo" / "TurnRound.ini", "installed");
    WriteBytes(User() / "hubra" / "gamesetting.ini", "user");
    EXPECT_EQ(ReadBytes(*ResolveForReading("Hubra\\GameSetting.ini")), "user");
    // A user folder that has "Telvo" but not the file still falls back to the installed one.
    fs::create_directories(User() / "Telvo");
    EXPECT_EQ(ReadBytes(*ResolveForReading("Telvo\\TurnRound.ini")), "installed");
}

TEST_F(DataPaths, WritesGoToTheUserFolderAndReuseFoldersThatDifferInCase)
{
    WriteBytes(Installed() / "Telvo" / "video" / "a.vid", "x");
    const auto fresh = ResolveForWriting("Telvo\\video\\b.vid");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(*fresh, User() / "Telvo" / "video" / "b.vid");
    EXPECT_TRUE(fs::is_directory(User() / "Telvo" / "video"));

    fs::create_directories(User() / "hubra");
    WriteBytes(User() / "hubra" / "gamesetting.ini", "x");
    EXPECT_EQ(*ResolveForWriting("Hubra\\GameSetting.ini"), User() / "hubra" / "gamesetting.ini");
    EXPECT_EQ(*ResolveForWriting("HUBRA\\Other.ini"), User() / "hubra" / "Other.ini");
    EXPECT_FALSE(fs::exists(User() / "Hubra"));
    EXPECT_FALSE(fs::exists(User() / "HUBRA"));
}

TEST_F(DataPaths, AFileInThePlaceOfAFolderIsNotWrittenThrough)
{
    WriteBytes(User() / "Telvo", "not a folder");
    EXPECT_FALSE(ResolveForWriting("Telvo\\x.log"));
}

TEST_F(DataPaths, NamesThatLeaveTheirFolderAreRefused)
{
    WriteBytes(Root() / "secret.txt", "x");
    WriteBytes(Installed() / "a" / "b.txt", "x");
    for (const std::string& name : std::initializer_list<std::string> {"..\\secret.txt", "a\\..\\..\\secret.txt", "a/../b.txt", "/etc/passwd",
             "\\secret.txt", "C:\\secret.txt", "c:secret.txt", "", ".", "\\\\", std::string("a\0b", 3)}) {
        EXPECT_FALSE(ResolveForReading(name)) << name;
        EXPECT_FALSE(ResolveForWriting(name)) << name;
    }
    EXPECT_FALSE(fs::exists(User() / "a"));
}

TEST(DataFolders, EnvironmentAndExecutableChooseTheFolders)
{
    ClearDataFolders();
    ::setenv("QARRUM_HOME", "/tmp/qarrum-home-test", 1);
    ::setenv("QARRUM_DATA", "/tmp/qarrum-data-test", 1);
    EXPECT_EQ(UserDataFolder(), fs::path("/tmp/qarrum-home-test"));
    EXPECT_EQ(InstalledDataFolder(), fs::path("/tmp/qarrum-data-test"));
    ::unsetenv("QARRUM_HOME");
    ::unsetenv("QARRUM_DATA");
    // The test program lives in the build's bin folder, beside its data folder.
    EXPECT_EQ(fs::weakly_canonical(InstalledDataFolder()), fs::weakly_canonical(fs::path(QARRUM_BINARY_DIR) / "data"));
    EXPECT_FALSE(UserDataFolder().empty());
}

TEST(SafeFileName, NamesFromTheNetworkBecomeOneHarmlessComponent)
{
    EXPECT_EQ(SafeFileNameComponent("张三"), "张三");
    EXPECT_EQ(SafeFileNameComponent("../../etc/passwd"), "___.._etc_passwd");
    EXPECT_EQ(SafeFileNameComponent("..\\x"), "___x");
    EXPECT_EQ(SafeFileNameComponent(".hidden"), "_hidden");
    EXPECT_EQ(SafeFileNameComponent("a\tb\nc\x7F"), "a_b_c_");
    EXPECT_EQ(SafeFileNameComponent(""), "unnamed");
    EXPECT_EQ(SafeFileNameComponent(std::string(100, 'a')).size(), 64u);
    // Cut on a character boundary: 21 three-byte characters fit in 64 bytes, not 22.
    std::string chinese;
    for (int i = 0; i < 30; ++i)
        chinese += "地";
    EXPECT_EQ(SafeFileNameComponent(chinese).size(), 63u);
}

} // namespace
