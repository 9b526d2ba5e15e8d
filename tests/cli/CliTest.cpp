// The commands of qarrum-cli, run as a user or a script runs them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
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

// A replay file of a head, the players (chair 2 named in GBK, chair 1 empty) and two packets.
std::string ReplayBytes(uint32_t version, const std::string& packets)
{
    std::string bytes;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>(v >> (8 * i));
    };
    u32(version);
    u32(100);
    bytes.resize(136);
    bytes += std::string("\x64\x00\x03\x02", 4);
    bytes += std::string("abc").append(29, '\0') + std::string(32, '\0') + std::string("\xD5\xC5\xC8\xFD").append(28, '\0');
    u32(11);
    u32(0);
    u32(12);
    bytes += std::string("\x01\x00\x02\x00\x00\x01\x00\x00", 8);
    return bytes + packets;
}

std::string WriteReplay(const std::string& name, const std::string& bytes)
{
    const std::string path = testing::TempDir() + "cli_" + std::to_string(getpid()) + '_' + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(CliSelfPlay, HeadlessClientsReportGamesAsBotsDo)
{
    // One line a game, then the summary, in the format of bots-only self-play. The windows keep
    // their settings in the test's own folder.
    setenv("QARRUM_HOME", testing::TempDir().c_str(), 1);
    const CliRun run = Cli("selfplay --games 3 --seed 7 --clients headless");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::regex game(R"(game [1-3] lord=[0-2] bid=1 multiple=[0-9]+ spring=[0-2] scores=-?[0-9]+,-?[0-9]+,-?[0-9]+)");
    const std::regex summary(R"(summary games=3 lord_wins=[0-3] farmer_wins=[0-3] mean_multiple=[0-9]+\.[0-9]{2} total=-?[0-9]+,-?[0-9]+,-?[0-9]+)");
    std::istringstream lines(run.out);
    std::vector<std::string> seen;
    for (std::string line; std::getline(lines, line);)
        seen.push_back(line);
    ASSERT_EQ(seen.size(), 4u) << run.out;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(std::regex_match(seen[i], game)) << seen[i];
    EXPECT_TRUE(std::regex_match(seen[3], summary)) << seen[3];
    EXPECT_EQ(run.err.find("does not support"), std::string::npos) << "the off-screen platform's stacking notes are left out";

    EXPECT_EQ(Cli("selfplay --games 3 --seed 7 --clients some").status, 2);
}

TEST(CliVid, DumpShowsTheHeaderAndEveryPacket)
{
    const std::string packets = std::string("\x65\x00\x03\x00\x01\x4F\xAB", 7) + std::string("\x68\x00\x00\x00", 4);
    const std::string file = WriteReplay("game.vid", ReplayBytes(20120223, packets));
    const std::string expected = "head version=20120223 kind=100\n"
                                 "players kind=100 count=3 me=2\n"
                                 "player 0 name=abc id=11 dialect=1 gender=0\n"
                                 "player 1 name=- id=0 dialect=0 gender=0\n"
                                 "player 2 name=张三 id=12 dialect=2 gender=1\n"
                                 "101 3 01 4F AB\n"
                                 "104 0\n";
    const CliRun run = Cli("vid dump " + file);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);

    // The client would stop at a cut packet or an impossible size, and would refuse a newer head.
    const std::string cut = WriteReplay("cut.vid", ReplayBytes(20120223, packets + "\x65"));
    EXPECT_EQ(Cli("vid dump " + cut).out, expected + "truncated after 2 packets\n");
    const std::string big = WriteReplay("big.vid", ReplayBytes(20120223, packets + std::string("\x65\x00\x00\x04", 4)));
    EXPECT_EQ(Cli("vid dump " + big).out, expected + "oversized after 2 packets size=1024\n");
    const std::string newer = WriteReplay("newer.vid", ReplayBytes(20120224, ""));
    const CliRun refused = Cli("vid dump " + newer);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out.substr(0, 31), "head version=20120224 kind=100\n");
    EXPECT_EQ(refused.err, "文件:" + newer + "无法由当前程序打开.错误原因:Version错误\n");

    const std::string shortFile = WriteReplay("short.vid", ReplayBytes(20120223, "").substr(0, 255));
    for (const std::string& args : {"vid dump " + shortFile, std::string("vid dump /no/such.vid"), "vid show " + file, std::string("vid")}) {
        const CliRun failed = Cli(args);
        EXPECT_EQ(failed.status, 2) << args;
        EXPECT_TRUE(failed.out.empty()) << args;
        EXPECT_EQ(failed.err.find('\n'), failed.err.size() - 1) << args << ": " << failed.err;
    }
    for (const std::string& path : {file, cut, big, newer, shortFile})
        std::remove(path.c_str());
}

// A folder of the test's own, removed with everything in it.
struct ScratchFolder {
    ScratchFolder()
    {
        std::string pattern = testing::TempDir() + "cli-XXXXXX";
        path = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name, const std::string& bytes = "") const
    {
        const std::string file = path + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    std::string path;
};

std::string Contents(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CliQz, FilesMadeByEachFormReadBack)
{
    const ScratchFolder dir;
    const std::string plain = dir.File("plain.xml", "<qzgame><a>一</a></qzgame>");
    ASSERT_EQ(Cli("qz encrypt --category 0 " + plain + " " + dir.path + "/whole.qz").status, 0);
    const std::string whole = Contents(dir.path + "/whole.qz");
    EXPECT_EQ(whole.size(), Contents(plain).size());
    EXPECT_NE(whole, Contents(plain));
    EXPECT_EQ(Cli("qz read " + dir.path + "/whole.qz -").out, Contents(plain));
    EXPECT_EQ(Cli("qz decrypt --category 0 " + dir.path + "/whole.qz -").out, Contents(plain));
    EXPECT_NE(Cli("qz decrypt --category 2 " + dir.path + "/whole.qz -").out, Contents(plain));

    ASSERT_EQ(Cli("qz pack --category 2 " + plain + " " + dir.path + "/box").status, 0);
    const std::string box = Contents(dir.path + "/box");
    EXPECT_EQ(box.substr(0, 14), std::string("QZENCRYPTION\x02\0", 14));
    EXPECT_EQ(box.size(), 14 + Contents(plain).size());
    EXPECT_EQ(Cli("qz read " + dir.path + "/box " + dir.path + "/out").status, 0);
    EXPECT_EQ(Contents(dir.path + "/out"), Contents(plain));
    // The category's key alone decrypts the container's ciphertext.
    const std::string cipher = dir.File("cipher", box.substr(14));
    EXPECT_EQ(Cli("qz decrypt --category 2 " + cipher + " -").out, Contents(plain));
}

TEST(CliQz, ContainerEdgesAndErrors)
{
    const ScratchFolder dir;
    // A short container and one whose byte 13 is set come back unchanged.
    const std::string header = std::string("QZENCRYPTION\x01\0", 14);
    EXPECT_EQ(Cli("qz read " + dir.File("short", header) + " -").out, header);
    const std::string marked = std::string("QZENCRYPTION\x01\x01payload", 21);
    EXPECT_EQ(Cli("qz read " + dir.File("marked", marked) + " -").out, marked);

    const CliRun unknown = Cli("qz read " + dir.File("unknown", std::string("QZENCRYPTION\x07\0payload", 21)) + " -");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.err.find("category 7"), std::string::npos) << unknown.err;

    const std::string in = dir.File("in", "x");
    for (const std::string& args : {std::string("qz"), "qz shred " + in + " -", "qz encrypt " + in, "qz pack --category 5 " + in + " -",
             "qz read --category 1 " + in + " -", "qz encrypt --category " + in + " -"}) {
        const CliRun failed = Cli(args);
        EXPECT_EQ(failed.status, 2) << args;
        EXPECT_TRUE(failed.out.empty()) << args;
    }
    EXPECT_EQ(Cli("qz read " + dir.path + "/missing -").status, 2);
    EXPECT_EQ(Cli("qz read " + in + " " + dir.path + "/no/such/folder/out").status, 2);
}

TEST(CliConfig, AnOperatorsEncryptedFileIsReadAsTheClientReadsIt)
{
    const ScratchFolder home;
    setenv("QARRUM_HOME", home.path.c_str(), 1);
    const CliRun shipped = Cli("config get customerServiceURL");
    EXPECT_EQ(shipped.status, 0) << shipped.err;
    EXPECT_EQ(shipped.out.rfind("https://", 0), 0u) << shipped.out;

    // The operator encrypts its own main file into the user's data folder, beside nothing else.
    const std::string mine = home.File("mine.xml", "<qzgame><customerServiceURL>https://op.example/客服</customerServiceURL></qzgame>");
    ASSERT_EQ(Cli("qz encrypt --category 0 " + mine + " " + home.File("Hubra2011/qzgame.xml.qz")).status, 0);
    EXPECT_EQ(Cli("config get customerServiceURL").out, "https://op.example/客服\n");

    const CliRun missing = Cli("config get noSuchKey");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_EQ(missing.err, "错误：联运设置XML文件中没有键为noSuchKey的项。请从Hubra2011/CoOpConfig.xml检查起。\n");

    home.File("Hubra2011/qzgame.xml.qz", "not encrypted XML");
    const CliRun broken = Cli("config get customerServiceURL");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err.substr(0, broken.err.find('\n')), "载入XML文件Hubra2011\\qzgame.xml时出错。");
    EXPECT_EQ(Cli("config list").status, 2);
    unsetenv("QARRUM_HOME");
}

}  // namespace

TEST(CliLoad, ReportsConnectionsThatFailAndRefusesBadOptions)
{
    // Nothing listens on port 1: every connection fails, which is a failed run, said on one line.
    const CliRun refused = Cli("load --server 127.0.0.1:1 --connections 3 --seconds 5");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out.rfind("load connections=3 connected=0 failed=3 ", 0), 0u) << refused.out;
    EXPECT_NE(refused.err.find("connection 1: connect:"), std::string::npos) << refused.err;

    for (const char* args : {"load --server 127.0.0.1 --connections 3 --seconds 1", "load --server 127.0.0.1:7000 --seconds 1",
                             "load --server 127.0.0.1:7000 --connections 3 --seconds 1 --think x"}) {
        const CliRun bad = Cli(args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_TRUE(bad.out.empty()) << args;
    }
}
