#include "support/CoOperatingConfig.h"
#include "support/ErrorMessage.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kLoadMain = "载入XML文件Hubra2011\\qzgame.xml时出错。";

class CoOperatingConfigTest : public DataFoldersTest {
protected:
    void SetUp() override
    {
        DataFoldersTest::SetUp();
        SetErrorMessageHook([this](const std::string& caption, const std::string& text) {
            EXPECT_EQ(caption, "CoOperatingConfig");
            m_messages.push_back(text);
        });
    }
    void TearDown() override
    {
        SetErrorMessageHook({});
        DataFoldersTest::TearDown();
    }

    void Installed(const std::string& path, const std::string& text) { WriteBytes(DataFoldersTest::Installed() / path, text); }
    void UserFile(const std::string& path, const std::string& text) { WriteBytes(User() / path, text); }
    void Encrypted(const fs::path& file, const std::string& text, std::string_view category = "general")
    {
        const ResourceBytes cipher = QZResourceManager::Encrypt(category, ResourceBytes(text.begin(), text.end()));
        WriteBytes(file, std::string(cipher.begin(), cipher.end()));
    }

    std::vector<std::string> m_messages;
};

std::string Entries(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\n<qzgame>" + body + "</qzgame>\n";
}

TEST_F(CoOperatingConfigTest, ThePointerFileNamesTheMainFile)
{
    Installed("Hubra2011/CoOpConfig.xml", "<config>Hubra2011\\brand\\main.xml</config>");
    Installed("Hubra2011/brand/main.xml", Entries("<customerServiceURL>https://a.example/</customerServiceURL>"));
    Installed("Hubra2011/qzgame.xml", Entries("<customerServiceURL>https://default.example/</customerServiceURL>"));
    const CoOperatingConfig config;
    EXPECT_EQ(config.GetValue("customerServiceURL"), "https://a.example/");
    EXPECT_EQ(config.Values().size(), 1u);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CoOperatingConfigTest, TheExtraFileOverridesTheMainFile)
{
    Installed("Hubra2011/CoOpConfig.xml",
        "<config>Hubra2011\\qzgame.xml</config>\n<extraConfig>hubra2011/extra.xml</extraConfig>");
    Installed("Hubra2011/qzgame.xml", Entries("<a>main</a><b>main</b><a>main again</a>"));
    Installed("Hubra2011/extra.xml", Entries("<b>extra</b><c>extra</c>"));
    const CoOperatingConfig config;
    EXPECT_EQ(config.GetValue("a"), "main again");
    EXPECT_EQ(config.GetValue("b"), "extra");
    EXPECT_EQ(config.GetValue("c"), "extra");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CoOperatingConfigTest, AnEncryptedVariantTakesThePlainFilesPlace)
{
    Installed("Hubra2011/qzgame.xml", Entries("<a>plain</a>"));
    Encrypted(DataFoldersTest::Installed() / "Hubra2011/qzgame.xml.qz", Entries("<a>encrypted</a>"));
    const CoOperatingConfig config;
    EXPECT_EQ(config.GetValue("a"), "encrypted");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CoOperatingConfigTest, TheUsersFilesComeBeforeTheInstalledOnes)
{
    Installed("Hubra2011/CoOpConfig.xml", "<config>Hubra2011\\qzgame.xml</config>");
    Installed("Hubra2011/qzgame.xml", Entries("<a>installed</a>"));
    UserFile("Hubra2011/CoOpConfig.xml", "<config>Hubra2011\\mine.xml</config>");
    UserFile("Hubra2011/mine.xml", Entries("<a>mine</a>"));
    EXPECT_EQ(CoOperatingConfig().GetValue("a"), "mine");
}

TEST_F(CoOperatingConfigTest, AnUnusablePointerFileFallsBackToTheDefaultSilently)
{
    Installed("Hubra2011/qzgame.xml", Entries("<a>default</a>"));
    for (const char* pointer : {"<config>unclosed", "<other>x.xml</other>", "<extraConfig>x.xml</extraConfig>", "\xFF\xFE<\0"}) {
        Installed("Hubra2011/CoOpConfig.xml", pointer);
        EXPECT_EQ(CoOperatingConfig().GetValue("a"), "default") << pointer;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CoOperatingConfigTest, AFileThatCannotBeLoadedIsReportedAndTheRestKept)
{
    // Without any file: the default main file is missing.
    {
        const CoOperatingConfig config;
        EXPECT_TRUE(config.Values().empty());
        EXPECT_EQ(m_messages, std::vector<std::string>{kLoadMain});
    }
    m_messages.clear();
    Installed("Hubra2011/CoOpConfig.xml", "<config>Hubra2011\\qzgame.xml</config><extraConfig>Hubra2011\\gone.xml</extraConfig>");
    Installed("Hubra2011/qzgame.xml", Entries("<a>main</a>"));
    {
        const CoOperatingConfig config;
        EXPECT_EQ(config.GetValue("a"), "main");
        EXPECT_EQ(m_messages, std::vector<std::string>{"载入XML文件Hubra2011\\gone.xml时出错。"});
    }

    // Bad contents report the same way: malformed, too deep, not text, a root without entries
    // is fine but a document without a root is not, and an encrypted file made with another key.
    Installed("Hubra2011/CoOpConfig.xml", "<config>Hubra2011\\qzgame.xml</config>");
    const std::string deep = std::string(100000, '<') + "a>";
    for (const std::string& bad : {std::string("<qzgame><a>1</a>"), deep, std::string("<qzgame><a>\xFF</a></qzgame>"),
             std::string("<!-- nothing -->")}) {
        m_messages.clear();
        Installed("Hubra2011/qzgame.xml", bad);
        EXPECT_TRUE(CoOperatingConfig().Values().empty());
        EXPECT_EQ(m_messages, std::vector<std::string>{kLoadMain});
    }
    m_messages.clear();
    Encrypted(DataFoldersTest::Installed() / "Hubra2011/qzgame.xml.qz", Entries("<a>1</a>"), "family2");
    EXPECT_TRUE(CoOperatingConfig().Values().empty());
    EXPECT_EQ(m_messages, std::vector<std::string>{kLoadMain});
}

TEST_F(CoOperatingConfigTest, AMissingKeyIsReportedOnEveryLookup)
{
    Installed("Hubra2011/qzgame.xml", Entries("<a>1</a>"));
    const CoOperatingConfig config;
    const std::string missing = "错误：联运设置XML文件中没有键为customerServiceURL的项。请从Hubra2011/CoOpConfig.xml检查起。";
    EXPECT_EQ(config.GetValue("customerServiceURL"), "");
    EXPECT_EQ(config.GetValue("customerServiceURL"), "");
    EXPECT_EQ(m_messages, (std::vector<std::string>{missing, missing}));
}

TEST_F(CoOperatingConfigTest, OperatorPathsNeedTheOperatorsFile)
{
    Installed("Hubra2011/qzgame.xml", Entries("<swfPrefix>op/</swfPrefix>"));
    Installed("Telvo/img/op/panel.png", "png");
    Installed("Telvo/img/op/locked.swf.qz", "cipher");
    const CoOperatingConfig config;
    EXPECT_EQ(config.GetSwfPath("Telvo\\img\\", "panel.png"), "Telvo\\img\\op/panel.png");
    EXPECT_EQ(config.GetSwfPath("Telvo\\img\\", "locked.swf"), "Telvo\\img\\op/locked.swf");
    EXPECT_EQ(config.GetSwfPath("Telvo\\img\\", "other.png"), "Telvo\\img\\other.png");
    EXPECT_TRUE(m_messages.empty());

    // Without a prefix the path is head + tail either way, after the missing-key message.
    Installed("Hubra2011/qzgame.xml", Entries("<a>1</a>"));
    EXPECT_EQ(CoOperatingConfig().GetSwfPath("Telvo\\img\\", "panel.png"), "Telvo\\img\\panel.png");
    EXPECT_EQ(m_messages.size(), 1u);
}

TEST_F(CoOperatingConfigTest, TheShippedFilesHoldTheClientsKeys)
{
    SetDataFolders(User(), fs::path(QARRUM_SOURCE_DIR) / "tools" / "data");
    const CoOperatingConfig config;
    EXPECT_EQ(config.GetValue("customerServiceURL").rfind("https://", 0), 0u);
    EXPECT_EQ(config.GetValue("swfPrefix"), "");
    EXPECT_TRUE(m_messages.empty());
}

} // namespace
