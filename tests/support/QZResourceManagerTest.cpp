#include "support/Logger.h"
#include "support/QZResourceManager.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace fs = std::filesystem;

namespace {

ResourceBytes FromHex(std::string_view hex)
{
    ResourceBytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

std::string AsText(const ResourceBytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

ResourceBytes AsBytes(std::string_view text)
{
    return ResourceBytes(text.begin(), text.end());
}

ResourceBytes Counting(size_t n)
{
    ResourceBytes bytes(n);
    std::iota(bytes.begin(), bytes.end(), uint8_t{7});
    return bytes;
}

// NIST SP 800-38A, F.3.17 and F.3.18: CFB128-AES256.
TEST(ResourceCipher, MatchesThePublishedAes256Cfb128Vectors)
{
    ResourceKey key{};
    const ResourceBytes keyBytes = FromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    std::copy(keyBytes.begin(), keyBytes.end(), key.begin());
    ResourceIv iv{};
    const ResourceBytes ivBytes = FromHex("000102030405060708090a0b0c0d0e0f");
    std::copy(ivBytes.begin(), ivBytes.end(), iv.begin());
    const ResourceBytes plain = FromHex(
        "6bc1bee22e409f96e93d7e117393172a" "ae2d8a571e03ac9c9eb76fac45af8e51"
        "30c81c46a35ce411e5fbc1191a0a52ef" "f69f2445df4f9b17ad2b417be66c3710");
    const ResourceBytes cipher = FromHex(
        "dc7e84bfda79164b7ecd8486985d3860" "39ffed143b28b1c832113c6331e5407b"
        "df10132415e54b92a13ed0a8267ae2f9" "75a385741ab9cef82031623d55b1e471");

    ResourceBytes out(plain.size());
    Aes256CfbDecrypt(key, iv, cipher, out);
    EXPECT_EQ(out, plain);
    Aes256CfbEncrypt(key, iv, plain, out);
    EXPECT_EQ(out, cipher);

    // No padding: a cut ciphertext decrypts to the same cut of the plain text, in place too.
    ResourceBytes part(cipher.begin(), cipher.begin() + 37);
    Aes256CfbDecrypt(key, iv, part, part);
    EXPECT_EQ(part, ResourceBytes(plain.begin(), plain.begin() + 37));
}

TEST(ResourceCipher, KeysAreTheKeyStringsPaddedWithZeros)
{
    const auto printable = [](uint8_t c) { return c >= 0x20 && c <= 0x7E; };
    for (const std::string_view name : QZResourceManager::kCategoryNames) {
        const ResourceKey key = QZResourceManager::Key(name);
        EXPECT_TRUE(std::all_of(key.begin(), key.begin() + 27, printable)) << name;
        EXPECT_TRUE(std::all_of(key.begin() + 27, key.end(), [](uint8_t c) { return c == 0; })) << name;
    }
    EXPECT_EQ(QZResourceManager::Key("family1"), QZResourceManager::Key("family4"));
    EXPECT_NE(QZResourceManager::Key("general"), QZResourceManager::Key("family1"));
    EXPECT_NE(QZResourceManager::Key("family2"), QZResourceManager::Key("family3"));

    const ResourceKey fallback = QZResourceManager::Key("no such category");
    EXPECT_TRUE(std::all_of(fallback.begin(), fallback.begin() + 21, printable));
    EXPECT_TRUE(std::all_of(fallback.begin() + 21, fallback.end(), [](uint8_t c) { return c == 0; }));
    EXPECT_EQ(QZResourceManager::Key(""), fallback);
    EXPECT_EQ(QZResourceManager::Key("General"), fallback);
}

TEST(ResourceCipher, EveryCategoryRoundTripsAtEveryLength)
{
    std::vector<std::string_view> names(QZResourceManager::kCategoryNames.begin(), QZResourceManager::kCategoryNames.end());
    names.push_back("unknown");
    for (const std::string_view name : names) {
        for (const size_t n : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{1000}}) {
            const ResourceBytes plain = Counting(n);
            const ResourceBytes cipher = QZResourceManager::Encrypt(name, plain);
            ASSERT_EQ(cipher.size(), n);
            if (n > 0) {
                EXPECT_NE(cipher, plain);
            }
            EXPECT_EQ(QZResourceManager::Decrypt(name, cipher), plain) << name << ' ' << n;
        }
    }
    const ResourceBytes cipher = QZResourceManager::Encrypt("general", Counting(64));
    EXPECT_NE(QZResourceManager::Decrypt("family2", cipher), Counting(64));
}

TEST(ResourceContainer, PlainFilesComeBackUnchanged)
{
    const std::string magic(kContainerMagic);
    // Too short to hold anything after the header, even with the magic.
    EXPECT_EQ(DecodeContainer(AsBytes(magic + std::string("\0\0", 2))), AsBytes(magic + std::string("\0\0", 2)));
    EXPECT_EQ(DecodeContainer(AsBytes("QZENCRYPT")), AsBytes("QZENCRYPT"));
    EXPECT_EQ(DecodeContainer({}), ResourceBytes{});
    // Byte 13 not zero: not a container, whatever follows.
    const ResourceBytes marked = AsBytes(magic + std::string("\0\1", 2) + "payload");
    EXPECT_EQ(DecodeContainer(marked), marked);
    const ResourceBytes other = AsBytes("qzencryption\0\0payload");
    EXPECT_EQ(DecodeContainer(other), other);
}

TEST(ResourceContainer, ACategoryContainerYieldsItsPlainBytes)
{
    const ResourceBytes plain = AsBytes("<qzgame><a>1</a></qzgame>");
    for (int category = 0; category < kResourceCategories; ++category) {
        const ResourceBytes file = EncodeContainer(category, plain);
        ASSERT_EQ(file.size(), kContainerHeaderBytes + plain.size());
        EXPECT_EQ(file[12], category);
        EXPECT_EQ(DecodeContainer(file), plain);
    }
    // The two categories of one family share a key, so either selector reads the other's file.
    ResourceBytes file = EncodeContainer(1, plain);
    file[12] = 4;
    EXPECT_EQ(DecodeContainer(file), plain);
    // One byte of ciphertext is one byte of plain text.
    EXPECT_EQ(DecodeContainer(EncodeContainer(2, AsBytes("x"))), AsBytes("x"));
}

TEST(ResourceContainer, AnUnknownSelectorIsRefused)
{
    for (const uint8_t selector : {uint8_t{5}, uint8_t{0x80}, uint8_t{0xFF}}) {
        ResourceBytes file = EncodeContainer(0, AsBytes("secret"));
        file[12] = selector;
        EXPECT_FALSE(DecodeContainer(file).has_value()) << int(selector);
    }
}

class ResourceFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_logger.Open((m_folder.Path() / "log.txt").string()));
        g_pLogger = &m_logger;
    }
    void TearDown() override { g_pLogger = nullptr; }

    fs::path Write(const std::string& name, const ResourceBytes& bytes)
    {
        const fs::path file = m_folder.Path() / name;
        WriteBytes(file, AsText(bytes));
        return file;
    }
    std::string Log() const { return ReadBytes(m_folder.Path() / "log.txt"); }

    TempFolder m_folder;
    Logger m_logger;
};

TEST_F(ResourceFiles, TheWholeFileFormDecryptsWithTheManagersCategory)
{
    const ResourceBytes plain = Counting(5000);
    const fs::path file = Write("a.qz", QZResourceManager::Encrypt("general", plain));

    QZResourceManager manager;
    EXPECT_EQ(manager.ReadFileData(file), QZResourceManager::Encrypt("general", plain));
    EXPECT_FALSE(manager.SetCategory("general").has_value());
    EXPECT_EQ(manager.ReadFileData(file), plain);
    EXPECT_EQ(manager.SetCategory(std::nullopt), "general");

    manager.SetCategory("general");
    EXPECT_EQ(manager.ReadFileData(Write("empty", {})), ResourceBytes{});
    EXPECT_EQ(Log(), "");
}

TEST_F(ResourceFiles, ContainerFilesFollowTheContainerRules)
{
    const QZResourceManager manager;
    EXPECT_EQ(manager.ReadContainerFile(Write("c", EncodeContainer(3, AsBytes("hello")))), AsBytes("hello"));
    const ResourceBytes header = AsBytes(std::string(kContainerMagic) + std::string("\0\0", 2));
    EXPECT_EQ(manager.ReadContainerFile(Write("h", header)), header);

    ResourceBytes unknown = EncodeContainer(0, AsBytes("hello"));
    unknown[12] = 9;
    const fs::path file = Write("u", unknown);
    EXPECT_FALSE(manager.ReadContainerFile(file).has_value());
    EXPECT_NE(Log().find("] unknown resource category 9: " + file.string() + "\n"), std::string::npos) << Log();
}

TEST_F(ResourceFiles, UnreadableFilesGiveNothingAndOneLogLine)
{
    QZResourceManager manager;
    manager.SetCategory("general");
    const fs::path missing = m_folder.Path() / "missing.qz";
    EXPECT_FALSE(manager.ReadFileData(missing).has_value());
    EXPECT_FALSE(manager.ReadContainerFile(m_folder.Path()).has_value());
    const fs::path big = Write("big", Counting(100));
    EXPECT_FALSE(manager.ReadFileData(big, 99).has_value());
    EXPECT_TRUE(manager.ReadFileData(big, 100).has_value());

    const std::string log = Log();
    EXPECT_NE(log.find("] 无法打开文件: " + missing.string() + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find("] 无法打开文件: " + m_folder.Path().string() + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find("] 无法打开文件: " + big.string() + "\n"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

} // namespace
