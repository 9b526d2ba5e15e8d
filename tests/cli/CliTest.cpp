// The card commands of qarrum-cli, run as a user or a script runs them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the CLI through the shell with the given arguments and standard input.
CliRun Cli(const std::string& args, const std::string& input = "")
{
    // CTest runs the tests of this program in parallel processes: each run gets its own files.
    static int runs = 0;
    const std::string stem = testing::TempDir() + "cli_" + std::to_string(getpid()) + '_' + std::to_string(++runs);
    const std::string errFile = stem + "_err.txt";
    const std::string inFile = stem + "_in.txt";
    if (FILE* f = std::fopen(inFile.c_str(), "wb")) {
        std::fwrite(input.data(), 1, input.size(), f);
        std::fclose(f);
    }
    const std::string command = std::string(QARRUM_CLI) + " " + args + " <" + inFile + " 2>" + errFile;
    CliRun run{};
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* f = std::fopen(errFile.c_str(), "rb")) {
        while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0)
            run.err.append(buffer.data(), n);
        std::fclose(f);
    }
    std::remove(errFile.c_str());
    std::remove(inFile.c_str());
    return run;
}

TEST(CliCards, JudgeSortAndCompareAnswerInTheirFormats)
{
    EXPECT_EQ(Cli("judge 4F 4E").out, "12 PLAY_ROCKET\n");
    EXPECT_EQ(Cli("judge '4E 4F'").out, "0 PLAY_INVALID\n") << "judge does not sort";
    EXPECT_EQ(Cli("judge 35 25 15 05 07 08").out, "9 PLAY_FOUR_PLUS_TWO\n");
    EXPECT_EQ(Cli("sort rank 03 23 4E 01 4F").out, "4F 4E 01 23 03\n");
    EXPECT_EQ(Cli("sort count 05 25 0c 15 2C 33").out, "25 15 05 2C 0C 33\n");
    EXPECT_EQ(Cli("compare --prev '13 03' --cur '14 04'").out, "1\n");
    EXPECT_EQ(Cli("compare --prev 13 03 --cur 33 23").out, "0\n");
}

TEST(CliCards, BeatAndBeatWith)
{
    EXPECT_EQ(Cli("beat --hand '07 17 27 37 06 03' --prev 05").out, "06\n");
    EXPECT_EQ(Cli("beat --hand '4F 4E' --prev ''").out, "4E\n");
    EXPECT_EQ(Cli("beat --hand '03 04' --prev '4F 4E'").out, "none\n");
    EXPECT_EQ(Cli("beat-with --hand '07 17 27 37 06 03' --prev 05 --card 27").out, "37 27 17 07\n");
    EXPECT_EQ(Cli("beat-with --hand '07 17 27 37 06 03' --prev 05 --card 03").out, "none\n");
}

TEST(CliCards, BatchModesReportBadLinesAndGoOn)
{
    const CliRun judged = Cli("judge --batch", "4F 4E\nzz\n\n03 13\n0F\n");
    EXPECT_EQ(judged.status, 0);
    EXPECT_EQ(judged.out, "12\nerror not a hex card byte: 'zz'\n0\n2\nerror not a card: 0F\n");
    const CliRun beaten = Cli("beat --batch", "07 17 27 37 06 03 | 05\n4F 4E |\nno bar\n03 | 4F 4E\n");
    EXPECT_EQ(beaten.out, "06\n4E\nerror expected 'HAND | PREV'\nnone\n");
}

TEST(CliCards, MalformedInputIsAOneLineErrorWithStatusTwo)
{
    for (const char* args : {"judge 4G", "judge 50", "judge 123", "frobnicate",
                             "judge 03 04 05 06 07 08 09 0A 0B 0C 0D 01 13 14 15 16 17 18 19 1A 1B",
                             "sort upward 03", "compare --prev 03", "beat --prev 03", "beat-with --hand 03 --card '03 04'"}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        ASSERT_FALSE(run.err.empty()) << args;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << args << ": " << run.err;
    }
}

TEST(CliCards, DemoIsRepeatableForASeed)
{
    const CliRun first = Cli("demo --seed 9");
    EXPECT_EQ(first.status, 0);
    EXPECT_NE(first.out.find("chair 0: "), std::string::npos);
    EXPECT_NE(first.out.find("answers of chair 0"), std::string::npos);
    EXPECT_EQ(Cli("demo --seed 9").out, first.out);
}

}  // namespace
