// The host protocol: frames survive any cutting of the byte stream, broken streams stay broken,
// and every record refuses the fields that would take a reader out of bounds.
#include <gtest/gtest.h>

#include <random>

#include "protocol/HostProtocol.h"

using namespace protocol;

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

// Three frames of different sizes, one of them empty, back to back.
std::vector<uint8_t> sampleStream(std::vector<Frame>& frames)
{
    frames = {{MDM_GAME, SUB_C_OUT_CARD, bytesOf({2, 0x4E, 0x4F})},
              {MDM_HOST_USER, SUB_USER_STAND, {}},
              {MDM_HOST_TABLE, SUB_TABLE_SNAPSHOT, std::vector<uint8_t>(700, 0xAB)}};
    std::vector<uint8_t> stream;
    for (const auto& frame : frames)
        EXPECT_TRUE(appendFrame(stream, frame.main, frame.sub, frame.body));
    return stream;
}

std::vector<Frame> decodeInChunks(const std::vector<uint8_t>& stream, std::mt19937& rng, std::size_t maxChunk)
{
    FrameDecoder decoder;
    std::vector<Frame> out;
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t chunk = std::min<std::size_t>(1 + rng() % maxChunk, stream.size() - at);
        EXPECT_TRUE(decoder.feedAll(std::span(stream).subspan(at, chunk), [&](Frame frame) {
            out.push_back(std::move(frame));
            return true;
        }));
        EXPECT_LE(decoder.buffered(), FRAME_HEADER_SIZE + MAX_FRAME_BODY);
        at += chunk;
    }
    EXPECT_EQ(decoder.buffered(), 0u);
    return out;
}

void expectSameFrames(const std::vector<Frame>& got, const std::vector<Frame>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].main, want[i].main);
        EXPECT_EQ(got[i].sub, want[i].sub);
        EXPECT_EQ(got[i].body, want[i].body);
    }
}

template <typename Record>
std::optional<Record> throughWire(uint16_t main, uint16_t sub, const Record& record)
{
    FrameDecoder decoder;
    const auto wire = encodeRecord(main, sub, record);
    EXPECT_EQ(decoder.feed(wire), wire.size());
    auto frame = decoder.pop();
    if (!frame || frame->main != main || frame->sub != sub)
        return std::nullopt;
    return readBody<Record>(frame->body);
}

UserInfo seatedUser()
{
    UserInfo user{};
    user.dwUserID = 77;
    setText(user.szName, "\xD5\xC5\xC8\xFD");  // 张三
    user.cbGender = 1;
    user.cbDialect = 2;
    user.cbUserStatus = USER_STATUS_READY;
    user.lScore = -120;
    user.lResultCount[0] = 5;
    user.lResultCount[3] = 9;
    user.lGold = 3000;
    user.lLottery = 12;
    user.dwLevel = 40u << 16 | 7u;
    setText(user.szRegion[0], "Shenzhen");
    setText(user.szRegion[1], "Guangdong");
    user.wTableID = 12;
    user.wChairID = 2;
    return user;
}

}  // namespace

// ---- The frame decoder ----------------------------------------------------------------------------

TEST(FrameDecoder, FramesSurviveAnyCuttingOfTheStream)
{
    std::vector<Frame> frames;
    const auto stream = sampleStream(frames);
    ASSERT_EQ(stream.size(), 3 * FRAME_HEADER_SIZE + 3 + 700);
    EXPECT_EQ(stream[0], 3);  // length counts the body alone, little-endian
    EXPECT_EQ(stream[4], 100);
    EXPECT_EQ(stream[6], 2);

    std::mt19937 rng(7);
    expectSameFrames(decodeInChunks(stream, rng, 1), frames);  // byte by byte
    for (int round = 0; round < 50; ++round)
        expectSameFrames(decodeInChunks(stream, rng, 40), frames);
    expectSameFrames(decodeInChunks(stream, rng, stream.size()), frames);  // all merged in one read
}

TEST(FrameDecoder, FeedTakesNoMoreThanOneWholeFrame)
{
    std::vector<Frame> frames;
    const auto stream = sampleStream(frames);
    FrameDecoder decoder;
    EXPECT_EQ(decoder.feed(stream), FRAME_HEADER_SIZE + 3);
    // Until the frame is popped, nothing more is buffered.
    EXPECT_EQ(decoder.feed(std::span(stream).subspan(FRAME_HEADER_SIZE + 3)), 0u);
    ASSERT_TRUE(decoder.pop());
    EXPECT_FALSE(decoder.pop());
    EXPECT_EQ(decoder.feed(std::span(stream).subspan(FRAME_HEADER_SIZE + 3)), FRAME_HEADER_SIZE);
    const auto empty = decoder.pop();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->sub, SUB_USER_STAND);
    EXPECT_TRUE(empty->body.empty());
}

TEST(FrameDecoder, OversizedLengthBreaksTheStreamForGood)
{
    FrameDecoder decoder;
    std::vector<uint8_t> stream = encodeFrame(MDM_GAME, 1, bytesOf({1}));
    // A length of MAX_FRAME_BODY + 1 after one good frame: the good one still comes out.
    const uint32_t tooLong = MAX_FRAME_BODY + 1;
    stream.insert(stream.end(), {static_cast<uint8_t>(tooLong), static_cast<uint8_t>(tooLong >> 8), 0, 0, 100, 0, 1, 0});
    const auto good = encodeFrame(MDM_GAME, 2, bytesOf({2}));
    stream.insert(stream.end(), good.begin(), good.end());

    int seen = 0;
    EXPECT_FALSE(decoder.feedAll(stream, [&](Frame) { return ++seen, true; }));
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(decoder.failed());
    EXPECT_EQ(decoder.buffered(), 0u);
    // What follows is not read as frames, even a well-formed one.
    EXPECT_EQ(decoder.feed(good), 0u);
    EXPECT_FALSE(decoder.pop());

    // A body of exactly the maximum is still a frame, and a smaller maximum is honoured.
    FrameDecoder largest;
    const auto full = encodeFrame(MDM_GAME, 3, std::vector<uint8_t>(MAX_FRAME_BODY, 1));
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(largest.feed(full), full.size());
    EXPECT_TRUE(largest.pop());
    FrameDecoder strict(1024);
    strict.feed(encodeFrame(MDM_GAME, 3, std::vector<uint8_t>(1025, 1)));
    EXPECT_TRUE(strict.failed());

    EXPECT_TRUE(encodeFrame(MDM_GAME, 3, std::vector<uint8_t>(MAX_FRAME_BODY + 1, 1)).empty());
}

TEST(FrameDecoder, GarbageNeverGrowsTheBufferPastOneFrame)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        FrameDecoder decoder;
        std::vector<uint8_t> garbage(1 + rng() % 4000);
        for (auto& b : garbage)
            b = static_cast<uint8_t>(rng());
        // Small lengths make some garbage read as frames; the bound must hold either way.
        if (round % 2 == 0)
            garbage[2] = garbage[3] = 0;
        decoder.feedAll(garbage, [](Frame frame) { return frame.body.size() <= MAX_FRAME_BODY; });
        EXPECT_LE(decoder.buffered(), FRAME_HEADER_SIZE + MAX_FRAME_BODY);
    }
}

TEST(FrameDecoder, StopsWhenTheReceiverDoes)
{
    std::vector<Frame> frames;
    const auto stream = sampleStream(frames);
    FrameDecoder decoder;
    int seen = 0;
    EXPECT_FALSE(decoder.feedAll(stream, [&](Frame) { return ++seen < 2; }));
    EXPECT_EQ(seen, 2);
    EXPECT_FALSE(decoder.failed());
}

// ---- Records --------------------------------------------------------------------------------------

TEST(HostRecords, RoundTripThroughTheWire)
{
    const UserInfo user = seatedUser();
    const auto back = throughWire(MDM_HOST_USER, SUB_USER_ENTER, user);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::memcmp(&*back, &user, sizeof(user)), 0);
    EXPECT_EQ(textOf(back->szName), "\xD5\xC5\xC8\xFD");

    LogonRequest logon{};
    setText(logon.szName, "bob");
    logon.cbGender = 1;
    logon.cbDialect = 1;
    const auto logonBack = throughWire(MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon);
    ASSERT_TRUE(logonBack);
    EXPECT_EQ(textOf(logonBack->szName), "bob");

    const std::vector<uint8_t> scene(sizeof(StatusFree), 5);
    FrameDecoder decoder;
    decoder.feed(encodeSnapshot(GS_PLAYING, true, scene));
    const auto frame = decoder.pop();
    ASSERT_TRUE(frame);
    const auto snapshot = readSnapshot(frame->body);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->head.cbGameStatus, GS_PLAYING);
    EXPECT_EQ(snapshot->head.cbLookon, 1);
    EXPECT_TRUE(std::equal(snapshot->scene.begin(), snapshot->scene.end(), scene.begin(), scene.end()));
}

TEST(HostRecords, TextMustEndInsideItsField)
{
    UserInfo user = seatedUser();
    std::memset(user.szName, 'x', sizeof(user.szName));
    EXPECT_FALSE(isValid(user));
    user = seatedUser();
    std::memset(user.szRegion[1], 'x', sizeof(user.szRegion[1]));
    EXPECT_FALSE(isValid(user));

    ChatMessage chat{};
    std::memset(chat.szText, 'a', sizeof(chat.szText));
    EXPECT_FALSE(isValid(chat));
    chat.szText[255] = '\0';
    EXPECT_TRUE(isValid(chat));

    LogonRequest nameless{};
    nameless.cbDialect = 1;
    EXPECT_FALSE(isValid(nameless));
}

TEST(HostRecords, SettingTextCutsWholeCharactersAndZeroesTheRest)
{
    char field[6];
    std::memset(field, 'z', sizeof(field));
    // Five bytes fit; the third double-byte character would need bytes 5 and 6.
    setText(field, "\xD5\xC5\xC8\xFD\xCB\xC4");
    EXPECT_EQ(textOf(field), "\xD5\xC5\xC8\xFD");
    EXPECT_EQ(field[4], '\0');
    EXPECT_EQ(field[5], '\0');
    setText(field, "abcdefgh");
    EXPECT_EQ(textOf(field), "abcde");
    EXPECT_EQ(cutGbkText("a\xD5", 5), "a\xD5");  // a stray lead byte at the end is one byte
}

TEST(HostRecords, ChairsAndTablesAreBounded)
{
    EXPECT_TRUE(isValid(SitRequest{INVALID_TABLE, INVALID_CHAIR}));
    EXPECT_TRUE(isValid(SitRequest{MAX_TABLES - 1, 2}));
    EXPECT_FALSE(isValid(SitRequest{MAX_TABLES, 0}));
    EXPECT_FALSE(isValid(SitRequest{0, 3}));

    // Looking on needs a real chair to look at.
    EXPECT_TRUE(isValid(LookonRequest{5, 0}));
    EXPECT_FALSE(isValid(LookonRequest{5, INVALID_CHAIR}));
    EXPECT_FALSE(isValid(LookonRequest{INVALID_TABLE, 1}));

    UserInfo user = seatedUser();
    user.wChairID = 3;
    EXPECT_FALSE(isValid(user));
    user.wChairID = INVALID_CHAIR;  // a chair of no table, but still at a table
    EXPECT_FALSE(isValid(user));
    user.wTableID = INVALID_TABLE;
    EXPECT_TRUE(isValid(user));
    user = seatedUser();
    user.cbUserStatus = USER_STATUS_OFFLINE + 1;
    EXPECT_FALSE(isValid(user));
    user = seatedUser();
    user.cbLookon = 2;
    EXPECT_FALSE(isValid(user));
}

TEST(HostRecords, SnapshotsAndGameBodiesAreBoundedByTheGameSize)
{
    std::vector<uint8_t> body(sizeof(SnapshotHead) + MAX_MESSAGE_BODY, 0);
    EXPECT_TRUE(readSnapshot(body));
    body.push_back(0);
    EXPECT_FALSE(readSnapshot(body));
    EXPECT_FALSE(readSnapshot(bytesOf({0, 0, 0})));
    EXPECT_FALSE(readSnapshot(bytesOf({0, 2, 0, 0})));  // look-on flag
    EXPECT_TRUE(encodeSnapshot(0, false, std::vector<uint8_t>(MAX_MESSAGE_BODY + 1)).empty());

    EXPECT_TRUE(isWellFormed(Direction::ToServer, MDM_GAME, SUB_C_OUT_CARD, std::vector<uint8_t>(MAX_MESSAGE_BODY)));
    EXPECT_FALSE(isWellFormed(Direction::ToServer, MDM_GAME, SUB_C_OUT_CARD, std::vector<uint8_t>(MAX_MESSAGE_BODY + 1)));
}

TEST(HostRecords, EachSideSendsOnlyItsOwnFrames)
{
    const auto user = encodeRecord(MDM_HOST_USER, SUB_USER_ENTER, seatedUser());
    const std::span<const uint8_t> userBody = std::span(user).subspan(FRAME_HEADER_SIZE);
    EXPECT_TRUE(isWellFormed(Direction::ToClient, MDM_HOST_USER, SUB_USER_ENTER, userBody));
    // A client cannot announce users, nor a server ask to sit.
    EXPECT_FALSE(isWellFormed(Direction::ToServer, MDM_HOST_USER, SUB_USER_ENTER, userBody));
    SitRequest sit{1, 1};
    const std::span<const uint8_t> sitBody(reinterpret_cast<const uint8_t*>(&sit), sizeof(sit));
    EXPECT_TRUE(isWellFormed(Direction::ToServer, MDM_HOST_USER, SUB_USER_SIT, sitBody));
    EXPECT_FALSE(isWellFormed(Direction::ToClient, MDM_HOST_USER, SUB_USER_SIT, sitBody));

    EXPECT_TRUE(isWellFormed(Direction::ToServer, MDM_HOST_USER, SUB_USER_STAND, {}));
    EXPECT_FALSE(isWellFormed(Direction::ToServer, MDM_HOST_USER, SUB_USER_STAND, bytesOf({0})));
    EXPECT_TRUE(isWellFormed(Direction::ToServer, MDM_FRAME, SUB_FRAME_MISSION, bytesOf({1, 2})));
    EXPECT_FALSE(isWellFormed(Direction::ToServer, MDM_FRAME, 13, {}));
    EXPECT_TRUE(isWellFormed(Direction::ToServer, MDM_SCORE_CHANGE, SUB_SCORE_CHANGE_REQUEST, std::vector<uint8_t>(8)));
    EXPECT_FALSE(isWellFormed(Direction::ToServer, 6, 1, {}));

    ClientHello hello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 1};
    const std::span<const uint8_t> helloBody(reinterpret_cast<const uint8_t*>(&hello), sizeof(hello));
    EXPECT_TRUE(isWellFormed(Direction::ToServer, MDM_HOST_LOGON, SUB_LOGON_HELLO, helloBody));
    hello.dwMagic = 0x48545450;  // someone speaking HTTP at us
    EXPECT_FALSE(isWellFormed(Direction::ToServer, MDM_HOST_LOGON, SUB_LOGON_HELLO, helloBody));
}
