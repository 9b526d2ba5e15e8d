#include "support/IniFile.h"
#include "support/Profile.h"
#include "support/TextCodec.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>

namespace fs = std::filesystem;

namespace {

const std::string kSample = "; shared settings\r\n"
                            "[Qarrum]\r\n"
                            "  GameBgIndex = 2  \r\n"
                            "Quoted=\"  spaced  \"\r\n"
                            "Half='x\r\n"
                            ";Commented=1\r\n"
                            "\r\n"
                            "[Other]\r\n"
                            "Broken=\xFF\x81 bytes\r\n"
                            "GameBgIndex=9\r\n"
                            "[qarrum]\r\n"
                            "Late=1\r\n";

TEST(IniRead, SectionsAndKeysMatchWithoutRegardToCaseAndBlanks)
{
    const IniDocument doc = IniDocument::Parse(kSample);
    EXPECT_EQ(doc.Value("qarrum", "gamebgindex", 100), "2");
    EXPECT_EQ(doc.Value("OTHER", "GameBgIndex", 100), "9");
    EXPECT_EQ(doc.Value("Qarrum", "Quoted", 100), "  spaced  ");
    EXPECT_EQ(doc.Value("Qarrum", "Half", 100), "'x");
    // Comments are no keys, and the first of two sections with one name is the one read.
    EXPECT_FALSE(doc.Value("Qarrum", "Commented", 100));
    EXPECT_FALSE(doc.Value("Qarrum", "Late", 100));
    EXPECT_FALSE(doc.Value("Missing", "GameBgIndex", 100));
}

TEST(IniRead, ValuesAreCutToTheCallersBuffer)
{
    const std::string longValue(150, '7');
    const IniDocument doc = IniDocument::Parse("[S]\nK=" + longValue + "\nC=" + Utf8ToGbk("地地地") + "\n");
    EXPECT_EQ(doc.Value("S", "K", 100), std::string(99, '7'));
    EXPECT_EQ(doc.Value("S", "K", 1), "");
    EXPECT_EQ(doc.Value("S", "K", 0), "");
    // Five bytes hold two double-byte characters, never half of the third.
    EXPECT_EQ(doc.Value("S", "C", 6), "地地");
}

TEST(IniRead, GbkNamesAndValuesAreReadAsUtf8)
{
    // The second byte of 癩 is ']', which must not end the section name.
    const IniDocument doc = IniDocument::Parse(Utf8ToGbk("[癩地]\n名字=张三\n"));
    EXPECT_EQ(doc.Value("癩地", "名字", 100), "张三");
}

TEST(IniRead, MissingUnreadableOrOversizedFilesGiveTheDefault)
{
    TempFolder tmp;
    EXPECT_EQ(ReadIniString(tmp.Path() / "none.ini", "Round", "TurnRound3", "0"), "0");
    EXPECT_EQ(ReadIniString(tmp.Path(), "Round", "TurnRound3", "0"), "0");
    EXPECT_EQ(ReadIniString(tmp.Path() / "none.ini", "S", "K", std::string(120, 'd')), std::string(99, 'd'));

    const fs::path big = tmp.Path() / "big.ini";
    WriteBytes(big, "[Round]\nTurnRound3=5\n" + std::string(kIniMaxFileBytes, ';'));
    EXPECT_EQ(ReadIniString(big, "Round", "TurnRound3", "0"), "0");
    EXPECT_FALSE(WriteIniString(big, "Round", "TurnRound3", "6"));
    EXPECT_EQ(fs::file_size(big), kIniMaxFileBytes + 21);
}

TEST(IniWrite, ChangingOneValueKeepsEveryOtherByte)
{
    TempFolder tmp;
    const fs::path file = tmp.Path() / "GameSetting.ini";
    WriteBytes(file, kSample);

    ASSERT_TRUE(WriteIniString(file, "QARRUM", "gamebgindex", "3"));
    std::string expected = kSample;
    expected.replace(expected.find("  GameBgIndex = 2  "), 19, "  GameBgIndex=3");
    EXPECT_EQ(ReadBytes(file), expected);

    // A new key goes after the section's last line, before the blank line that separates it.
    ASSERT_TRUE(WriteIniString(file, "Qarrum", "Added", "张三"));
    expected.insert(expected.find("\r\n\r\n[Other]") + 2, "Added=" + Utf8ToGbk("张三") + "\r\n");
    EXPECT_EQ(ReadBytes(file), expected);
    EXPECT_EQ(ReadIniString(file, "Qarrum", "Added", ""), "张三");

    ASSERT_TRUE(WriteIniString(file, "New", "Key", "1"));
    EXPECT_EQ(ReadBytes(file), expected + "[New]\r\nKey=1\r\n");
}

TEST(IniWrite, MissingFilesAreCreatedAndLineEndingsFollowTheFile)
{
    TempFolder tmp;
    const fs::path created = tmp.Path() / "created.ini";
    ASSERT_TRUE(WriteIniString(created, "Qarrum", "GameBgIndex", "0"));
    EXPECT_EQ(ReadBytes(created), "[Qarrum]\r\nGameBgIndex=0\r\n");

    const fs::path unix = tmp.Path() / "unix.ini";
    WriteBytes(unix, "[A]\nx=1");
    ASSERT_TRUE(WriteIniString(unix, "A", "y", "2"));
    ASSERT_TRUE(WriteIniString(unix, "B", "z", "3"));
    EXPECT_EQ(ReadBytes(unix), "[A]\nx=1\ny=2\n[B]\nz=3\n");
}

TEST(IniWrite, TextThatWouldChangeTheFilesStructureIsRefused)
{
    TempFolder tmp;
    const fs::path file = tmp.Path() / "s.ini";
    WriteBytes(file, "[A]\nx=1\n");
    EXPECT_FALSE(WriteIniString(file, "A", "x", "1\n[B]"));
    EXPECT_FALSE(WriteIniString(file, "A", "k=v", "1"));
    EXPECT_FALSE(WriteIniString(file, "A]x", "k", "1"));
    EXPECT_FALSE(WriteIniString(file, "A", "", "1"));
    // Names GBK cannot hold would land under another name ("A?") and never read back.
    EXPECT_FALSE(WriteIniString(file, "A\x8F", "x", "1"));
    EXPECT_FALSE(WriteIniString(file, "A", "x\xF0\x9F\x98\x80", "1"));
    EXPECT_EQ(ReadBytes(file), "[A]\nx=1\n");
}

using IniDataFiles = DataFoldersTest;

TEST_F(IniDataFiles, RelativeNamesReadBothFoldersAndWriteTheUserFolder)
{
    WriteBytes(Installed() / "Telvo" / "TurnRound.ini", "[Round]\r\nTurnRound3=5\r\n");
    EXPECT_EQ(AtoiLike(GetPrivateProfileString("Round", "TurnRound3", "0", 100, "telvo\\turnround.ini")), 5);
    EXPECT_EQ(GetPrivateProfileString("Round", "TurnRound4", "0", 100, "Telvo\\TurnRound.ini"), "0");

    ASSERT_TRUE(WritePrivateProfileString("Qarrum", "GameBgIndex", "1", "Hubra\\GameSetting.ini"));
    EXPECT_TRUE(fs::exists(User() / "Hubra" / "GameSetting.ini"));
    EXPECT_EQ(GetPrivateProfileString("Qarrum", "GameBgIndex", "0", 100, "hubra\\gamesetting.ini"), "1");
    EXPECT_FALSE(WritePrivateProfileString("Qarrum", "GameBgIndex", "1", "..\\GameSetting.ini"));
}

TEST(Atoi, BehavesLikeTheCFunction)
{
    EXPECT_EQ(AtoiLike(" \t12abc"), 12);
    EXPECT_EQ(AtoiLike("-7"), -7);
    EXPECT_EQ(AtoiLike("+5"), 5);
    EXPECT_EQ(AtoiLike("abc"), 0);
    EXPECT_EQ(AtoiLike(""), 0);
    EXPECT_EQ(AtoiLike("- 5"), 0);
    EXPECT_EQ(AtoiLike("99999999999999999999"), INT_MAX);
    EXPECT_EQ(AtoiLike("-2147483648"), INT_MIN);
}

TEST(Profile, MissingOrDamagedValuesGiveTheDefault)
{
    TempFolder tmp;
    ProfileStore profile(tmp.Path() / "config" / "qarrum.ini");
    EXPECT_EQ(profile.GetProfileInt("GameOption", "CardSpace", 16), 16);

    WriteBytes(profile.File(), "[GameOption]\nCardSpace=abc\nDeasilOrder=\nAllowLookon=12x\nOrderSortCard=99999999999\n");
    EXPECT_EQ(profile.GetProfileInt("GameOption", "CardSpace", 16), 16);
    EXPECT_EQ(profile.GetProfileInt("GameOption", "DeasilOrder", 0), 0);
    EXPECT_EQ(profile.GetProfileInt("GameOption", "AllowLookon", 0), 0);
    EXPECT_EQ(profile.GetProfileInt("GameOption", "OrderSortCard", 1), 1);
}

TEST(Profile, ValuesRoundTripBesideEachOther)
{
    TempFolder tmp;
    ProfileStore profile(tmp.Path() / "config" / "qarrum.ini");
    ASSERT_TRUE(profile.WriteProfileInt("GameOption", "CardSpace", 18));
    ASSERT_TRUE(profile.WriteProfileInt("GameOption", "DeasilOrder", -1));
    ASSERT_TRUE(profile.WriteProfileInt("GameOption", "cardspace", 22));
    EXPECT_EQ(profile.GetProfileInt("gameoption", "CardSpace", 16), 22);
    EXPECT_EQ(profile.GetProfileInt("GameOption", "DeasilOrder", 0), -1);
    EXPECT_EQ(ReadBytes(profile.File()), "[GameOption]\r\nCardSpace=22\r\nDeasilOrder=-1\r\n");
    EXPECT_FALSE(ProfileStore::DefaultProfileFile().empty());
}

} // namespace
