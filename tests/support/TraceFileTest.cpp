#include "support/LocalTime.h"
#include "support/TextCodec.h"
#include "support/TraceFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;

namespace {

class FakeWindow : public TraceUserSource {
public:
    explicit FakeWindow(std::string gbkName, uint16_t chair = 1)
        : m_name(std::move(gbkName))
        , m_chair(chair)
    {
    }
    uint16_t GetMeChairID() const override { return m_chair; }
    const char* GetUserName(uint16_t chair) const override
    {
        return chair == m_chair && !m_empty ? m_name.c_str() : nullptr;
    }
    void EmptySeat() { m_empty = true; }

private:
    std::string m_name;
    uint16_t m_chair;
    bool m_empty = false;
};

class TraceFile : public DataFoldersTest {
protected:
    void SetUp() override
    {
        DataFoldersTest::SetUp();
        SetLocalTimeSource([] {
            LocalDateTime t;
            t.month = 3;
            t.day = 7;
            t.hour = 9;
            t.minute = 5;
            t.second = 7;
            return t;
        });
    }
    void TearDown() override
    {
        SetLocalTimeSource({});
        DataFoldersTest::TearDown();
    }
    fs::path TraceOf(const std::string& utf8Name) const { return User() / "Telvo" / ("TraceData_" + utf8Name + ".log"); }
};

TEST_F(TraceFile, EntriesAreStampedGbkLinesAppendedToTheFile)
{
    const FakeWindow window(Utf8ToGbk("张三"));
    WriteTraceData(&window, "结算失败 %d", 3);
    WriteTraceData(&window, "second");
    EXPECT_EQ(ReadBytes(TraceOf("张三")), Utf8ToGbk("【03-07-09:05:07】结算失败 3\r\n【03-07-09:05:07】second\r\n"));
}

TEST_F(TraceFile, AFileBeyondTheLimitIsBegunAgainButOneAtTheLimitGrows)
{
    const FakeWindow window("bob");
    const std::string entry = Utf8ToGbk("【03-07-09:05:07】x\r\n");

    WriteBytes(TraceOf("bob"), std::string(kTraceFileLimit + 1, 'o'));
    WriteTraceData(&window, "x");
    EXPECT_EQ(ReadBytes(TraceOf("bob")), entry);

    WriteBytes(TraceOf("bob"), std::string(kTraceFileLimit, 'o'));
    WriteTraceData(&window, "x");
    EXPECT_EQ(ReadBytes(TraceOf("bob")), std::string(kTraceFileLimit, 'o') + entry);
}

TEST_F(TraceFile, NothingIsWrittenWithoutALocalUser)
{
    FakeWindow noChair("bob", 0xFFFF);
    WriteTraceData(&noChair, "x");
    FakeWindow emptySeat("bob");
    emptySeat.EmptySeat();
    WriteTraceData(&emptySeat, "x");
    WriteTraceData(nullptr, "x");
    EXPECT_FALSE(fs::exists(User() / "Telvo"));
}

TEST_F(TraceFile, EachPlayerHasAFileAndUnsafeNamesStayInTheFolder)
{
    const FakeWindow alice("alice");
    const FakeWindow bob("bob");
    WriteTraceData(&alice, "a");
    WriteTraceData(&bob, "b");
    EXPECT_TRUE(fs::exists(TraceOf("alice")));
    EXPECT_TRUE(fs::exists(TraceOf("bob")));

    for (const char* name : {"../../escaped", "..", "a/b\\c", "\x01\n", ""}) {
        const FakeWindow evil(name);
        WriteTraceData(&evil, "x");
    }
    // Names are read only up to the 32 bytes of the user record.
    const FakeWindow longName(std::string(40, 'n'));
    WriteTraceData(&longName, "x");

    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(Root()))
        files.insert(fs::relative(entry.path(), Root()).string());
    const std::set<std::string> expected {"home", "home/Telvo", "home/Telvo/TraceData_alice.log",
        "home/Telvo/TraceData_bob.log", "home/Telvo/TraceData____.._escaped.log", "home/Telvo/TraceData___.log",
        "home/Telvo/TraceData_a_b_c.log", "home/Telvo/TraceData_unnamed.log",
        "home/Telvo/TraceData_" + std::string(32, 'n') + ".log"};
    EXPECT_EQ(files, expected);
}

TEST_F(TraceFile, LongTextIsCutWithoutSplittingACharacterAndFoldersAreReused)
{
    fs::create_directories(User() / "telvo");
    const FakeWindow window("bob");
    std::string text(998, 'x');
    text += "地地";
    WriteTraceData(&window, "%s", text.c_str());
    const std::string bytes = ReadBytes(User() / "telvo" / "TraceData_bob.log");
    EXPECT_EQ(bytes, Utf8ToGbk("【03-07-09:05:07】") + std::string(998, 'x') + "\r\n");
    EXPECT_FALSE(fs::exists(User() / "Telvo"));
}

} // namespace
