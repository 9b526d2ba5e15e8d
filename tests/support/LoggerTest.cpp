#include "support/ErrorMessage.h"
#include "support/LocalTime.h"
#include "support/Logger.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class LoggerTest : public DataFoldersTest {
protected:
    void SetUp() override
    {
        DataFoldersTest::SetUp();
        SetLocalTimeSource([] {
            LocalDateTime t;
            t.hour = 9;
            t.minute = 5;
            t.second = 3;
            return t;
        });
    }
    void TearDown() override
    {
        SetLocalTimeSource({});
        DataFoldersTest::TearDown();
    }
};

TEST_F(LoggerTest, LinesCarryTheLocalTimeAndEndTheLine)
{
    Logger logger;
    ASSERT_TRUE(logger.Open("Pellix\\Pellix.log"));
    logger.Write("无法打开文件: %s", "a.dat");
    logger.Write("%d", 42);
    // Flushed line by line: readable while the logger is still open.
    EXPECT_EQ(ReadBytes(User() / "Pellix" / "Pellix.log"), "[09:05:03] 无法打开文件: a.dat\n[09:05:03] 42\n");
}

TEST_F(LoggerTest, EachOpenStartsAnEmptyFile)
{
    {
        Logger logger;
        ASSERT_TRUE(logger.Open("Pellix\\Pellix.log"));
        logger.Write("first run");
    }
    Logger logger;
    ASSERT_TRUE(logger.Open("pellix\\pellix.log"));
    EXPECT_EQ(ReadBytes(User() / "Pellix" / "Pellix.log"), "");
    logger.Write("second run");
    EXPECT_EQ(ReadBytes(User() / "Pellix" / "Pellix.log"), "[09:05:03] second run\n");
}

TEST_F(LoggerTest, AClosedLoggerDropsEverythingAndAFailedOpenWarnsOnce)
{
    Logger logger;
    logger.Write("before open");
    EXPECT_FALSE(logger.IsOpen());

    fs::create_directories(User() / "Pellix" / "Pellix.log"); // a folder cannot be opened as the log
    testing::internal::CaptureStdout();
    EXPECT_FALSE(logger.Open("Pellix\\Pellix.log"));
    logger.Write("after failed open");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning: error while opening Pellix\\Pellix.log for writing.\n");
    EXPECT_FALSE(logger.IsOpen());
    EXPECT_TRUE(fs::is_empty(User() / "Pellix" / "Pellix.log"));
}

TEST_F(LoggerTest, LongTextIsCutAtTheBufferAndEchoCopiesLines)
{
    Logger logger;
    ASSERT_TRUE(logger.Open((Root() / "abs.log").string()));
    logger.Write("%s", std::string(2000, 'x').c_str());
    EXPECT_EQ(ReadBytes(Root() / "abs.log"), "[09:05:03] " + std::string(1023, 'x') + "\n");

    logger.SetEcho(true);
    testing::internal::CaptureStdout();
    logger.Write("echoed");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[09:05:03] echoed\n");
}

TEST_F(LoggerTest, FatalLogsShowsTheMessageAndExitsWithOne)
{
    const fs::path log = Root() / "fatal.log";
    EXPECT_EXIT(
        {
            Logger logger;
            logger.Open(log.string());
            logger.Fatal("no cards");
        },
        testing::ExitedWithCode(1), "Error: no cards");
    EXPECT_EQ(ReadBytes(log), "[09:05:03] Error: no cards\n");

    EXPECT_EXIT(
        {
            SetErrorMessageHook([](const std::string& caption, const std::string& text) {
                std::fprintf(stderr, "box %s/%s\n", caption.c_str(), text.c_str());
            });
            Logger().Fatal("gone");
        },
        testing::ExitedWithCode(1), "box Error/gone");
}

} // namespace
