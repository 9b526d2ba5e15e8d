// Size rules, field bounds and the seat mapping of the records exchanged with the server.
#include <gtest/gtest.h>

#include <vector>

#include "protocol/GameRecords.h"

namespace {

std::vector<uint8_t> Body(std::size_t size, uint8_t fill = 0)
{
    return std::vector<uint8_t>(size, fill);
}

template <typename Record>
std::vector<uint8_t> Bytes(const Record& record)
{
    return WriteRecord(record);
}

MessageCheck Check(uint16_t sub, const std::vector<uint8_t>& body)
{
    return CheckGameMessage(sub, body);
}

std::vector<uint8_t> Played(uint8_t count, std::size_t bodySize, uint16_t outUser = 1, uint16_t current = 2)
{
    std::vector<uint8_t> body(bodySize, 0x03);
    if (bodySize > 0)
        body[0] = count;
    if (bodySize >= 6) {
        body[2] = static_cast<uint8_t>(current);
        body[3] = static_cast<uint8_t>(current >> 8);
        body[4] = static_cast<uint8_t>(outUser);
        body[5] = static_cast<uint8_t>(outUser >> 8);
    }
    return body;
}

TEST(MessageSize, FixedSizeMessagesAcceptOnlyTheirSize)
{
    const struct {
        uint16_t sub;
        std::size_t size;
    } fixed[] = {{4, 4},    {6, 16},  {7, 8},   {18, 712}, {100, 100}, {101, 6},   {102, 46},  {104, 6},  {105, 136},
                 {106, 20}, {107, 20}, {108, 2}, {111, 4},  {112, 40},  {113, 8},   {114, 12},  {121, 260}, {122, 4}, {123, 8}};
    for (const auto& f : fixed) {
        // Zero chairs are valid chairs, and a zero shown-card position is in range.
        EXPECT_EQ(Check(f.sub, Body(f.size)), MessageCheck::Accept) << f.sub;
        EXPECT_EQ(Check(f.sub, Body(f.size - 1)), MessageCheck::Reject) << f.sub;
        EXPECT_EQ(Check(f.sub, Body(f.size + 1)), MessageCheck::Reject) << f.sub;
        EXPECT_EQ(Check(f.sub, {}), MessageCheck::Reject) << f.sub;
    }
}

TEST(MessageSize, BodilessAndUnknownSubCommands)
{
    EXPECT_EQ(Check(2, Body(0)), MessageCheck::Accept);
    EXPECT_EQ(Check(2, Body(300)), MessageCheck::Accept);
    EXPECT_EQ(Check(110, Body(7)), MessageCheck::Accept);
    EXPECT_EQ(Check(109, Body(3)), MessageCheck::Ignore);
    EXPECT_EQ(Check(200, Body(0)), MessageCheck::Ignore);
}

TEST(PlayedCardsRecord, BodyMustHoldExactlyTheCountedCards)
{
    EXPECT_EQ(Check(103, Played(3, 9)), MessageCheck::Accept);
    EXPECT_EQ(Check(103, Played(3, 8)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(3, 10)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(0, 5)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(20, 26)), MessageCheck::Accept);

    const auto record = ReadPlayedCards(Played(2, 8, 1, INVALID_CHAIR));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->cbCardCount, 2);
    EXPECT_EQ(record->wOutCardUser, 1);
    EXPECT_EQ(record->wCurrentUser, INVALID_CHAIR);
    EXPECT_EQ(record->cbCardData[1], 0x03);
    EXPECT_EQ(record->cbCardData[2], 0) << "cards beyond the count are zero";
}

TEST(PlayedCardsRecord, CountsAndChairsOutsideTheTableAreRejected)
{
    EXPECT_EQ(Check(103, Played(0, 6)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(21, 27)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(250, 256)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(1, 7, 3, 0)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(1, 7, INVALID_CHAIR, 0)), MessageCheck::Reject);
    EXPECT_EQ(Check(103, Played(1, 7, 0, 3)), MessageCheck::Reject);
}

TEST(ChairBounds, ChairFieldsOfThreeOrMoreAreRejected)
{
    UserTrustee trustee{3, 1, 0};
    EXPECT_EQ(Check(4, Bytes(trustee)), MessageCheck::Reject);
    trustee.wChairID = 2;
    EXPECT_EQ(Check(4, Bytes(trustee)), MessageCheck::Accept);

    BidResult bid{0, INVALID_CHAIR, 3, 3};
    EXPECT_EQ(Check(101, Bytes(bid)), MessageCheck::Accept) << "bidding over";
    bid.wCurrentUser = 5;
    EXPECT_EQ(Check(101, Bytes(bid)), MessageCheck::Reject);
    bid = {INVALID_CHAIR, 1, 1, 1};
    EXPECT_EQ(Check(101, Bytes(bid)), MessageCheck::Reject);

    EXPECT_EQ(Check(108, Bytes(BangNotice{3})), MessageCheck::Reject);
    EXPECT_EQ(Check(111, Bytes(ClockRestart{7, 101})), MessageCheck::Reject);
    EXPECT_EQ(Check(111, Bytes(ClockRestart{1, 102})), MessageCheck::Accept) << "unknown clock kinds are the handler's to ignore";
    EXPECT_EQ(Check(7, Bytes(OfflineMark{0xFFFF, 1, {}})), MessageCheck::Reject);
    EXPECT_EQ(Check(104, Bytes(PassCards{1, 0, 2, 3})), MessageCheck::Reject);

    LordInfo lord{};
    lord.wLordUser = 3;
    EXPECT_EQ(Check(102, Bytes(lord)), MessageCheck::Reject);
}

TEST(DealCardsRecord, ShownCardMustLieInADealtHand)
{
    DealCards deal{};
    deal.wShownCardPos = 50;
    EXPECT_EQ(Check(100, Bytes(deal)), MessageCheck::Accept);
    deal.wShownCardPos = 51;
    EXPECT_EQ(Check(100, Bytes(deal)), MessageCheck::Reject);
    deal.wShownCardPos = 0;
    deal.wCurrentUser = INVALID_CHAIR;
    EXPECT_EQ(Check(100, Bytes(deal)), MessageCheck::Reject);
}

TEST(GameEnd, CardListsThatDoNotFitAreNeverReadButTheGameIsStillSettled)
{
    GameEndRecord end{};
    end.cbCardCount[0] = 20;
    end.cbCardCount[1] = 17;
    end.cbCardCount[2] = 17;
    end.cbCardData[20] = 0x4F;
    end.cbCardData[53] = 0x03;
    EXPECT_EQ(Check(105, Bytes(end)), MessageCheck::Accept);
    EXPECT_EQ(GameEndCards(end, 1).size(), 17u);
    EXPECT_EQ(GameEndCards(end, 1).front(), 0x4F);
    EXPECT_EQ(GameEndCards(end, 2).back(), 0x03);

    end.cbCardCount[2] = 18;
    EXPECT_EQ(Check(105, Bytes(end)), MessageCheck::Accept);
    EXPECT_TRUE(GameEndCards(end, 2).empty());
    end.cbCardCount[2] = 0;
    end.cbCardCount[0] = 21;
    EXPECT_EQ(Check(105, Bytes(end)), MessageCheck::Accept);
    EXPECT_TRUE(GameEndCards(end, 0).empty());
}

std::vector<uint8_t> PropBody(uint16_t mainKind, uint16_t subKind, uint16_t itemBytes, std::size_t items)
{
    std::vector<uint8_t> body(6 + items * sizeof(PropItem), 'x');
    const PropListHead head{mainKind, subKind, itemBytes};
    std::memcpy(body.data(), &head, sizeof(head));
    for (std::size_t i = 0; i < items; ++i) {
        PropItem item{};
        item.nPropKindID = static_cast<int32_t>(i + 1);
        item.nPropPrice = 100 * static_cast<int32_t>(i + 1);
        std::memset(item.szPropKindDesc, 'y', sizeof(item.szPropKindDesc));  // no terminator sent
        std::memcpy(body.data() + 6 + i * sizeof(PropItem), &item, sizeof(item));
    }
    return body;
}

TEST(PropListRecord, WellFormedListsAreReadAndOthersIgnored)
{
    const auto items = ReadPropList(PropBody(14, 1, 2 * 68, 2));
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[1].nPropKindID, 2);
    EXPECT_EQ((*items)[1].nPropPrice, 200);
    EXPECT_EQ(std::strlen((*items)[1].szPropKindDesc), 59u);
    EXPECT_EQ(Check(0xFFFF, PropBody(14, 1, 2 * 68, 2)), MessageCheck::Accept);
    EXPECT_EQ(Check(0xFFFF, PropBody(14, 1, 0, 0)), MessageCheck::Accept);

    EXPECT_EQ(Check(0xFFFF, PropBody(14, 1, 100, 2)), MessageCheck::Ignore);
    EXPECT_EQ(Check(0xFFFF, PropBody(13, 1, 68, 1)), MessageCheck::Ignore);
    EXPECT_EQ(Check(0xFFFF, PropBody(14, 2, 68, 1)), MessageCheck::Ignore);
    EXPECT_EQ(Check(0xFFFF, Body(4)), MessageCheck::Ignore);
    // Items said to reach past the body are never read.
    EXPECT_EQ(Check(0xFFFF, PropBody(14, 1, 3 * 68, 2)), MessageCheck::Ignore);
}

TEST(Scenes, EachStateHasItsSizeAndBounds)
{
    EXPECT_EQ(CheckSceneMessage(GS_FREE, Body(48)), MessageCheck::Accept);
    EXPECT_EQ(CheckSceneMessage(GS_FREE, Body(124)), MessageCheck::Reject);
    EXPECT_EQ(CheckSceneMessage(GS_BIDDING, Body(124)), MessageCheck::Accept);
    EXPECT_EQ(CheckSceneMessage(GS_BIDDING, Body(164)), MessageCheck::Reject);
    EXPECT_EQ(CheckSceneMessage(GS_PLAYING, Body(48)), MessageCheck::Reject);
    EXPECT_EQ(CheckSceneMessage(7, Body(10)), MessageCheck::Reject);
    EXPECT_EQ(CheckSceneMessage(102, Body(164)), MessageCheck::Reject);

    StatusPlay play{};
    play.wTurnUser = INVALID_CHAIR;
    play.wFirstBangUser = INVALID_CHAIR;
    play.cbCardCount[0] = 20;
    play.cbTurnCardCount = 20;
    EXPECT_EQ(CheckSceneMessage(GS_PLAYING, Bytes(play)), MessageCheck::Accept);
    play.cbCardCount[2] = 21;
    EXPECT_EQ(CheckSceneMessage(GS_PLAYING, Bytes(play)), MessageCheck::Reject);
    play.cbCardCount[2] = 0;
    play.cbTurnCardCount = 21;
    EXPECT_EQ(CheckSceneMessage(GS_PLAYING, Bytes(play)), MessageCheck::Reject);
    play.cbTurnCardCount = 0;
    play.wLordUser = 3;
    EXPECT_EQ(CheckSceneMessage(GS_PLAYING, Bytes(play)), MessageCheck::Reject);

    StatusScore score{};
    score.wCurrentUser = 3;
    EXPECT_EQ(CheckSceneMessage(GS_BIDDING, Bytes(score)), MessageCheck::Reject);
}

TEST(ClientRecords, OutCardTravelsWithOnlyItsCards)
{
    const uint8_t cards[] = {0x4F, 0x4E};
    EXPECT_EQ(WriteOutCard(cards, 2), (std::vector<uint8_t>{2, 0x4F, 0x4E}));
    const uint8_t many[25] = {};
    EXPECT_EQ(WriteOutCard(many, 25).size(), 21u);
    EXPECT_EQ(WriteRecord(JiaBangType{2}), (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(WriteRecord(ScoreChangeRequest{5, 0x01020304}), (std::vector<uint8_t>{5, 0, 0, 0, 4, 3, 2, 1}));
}

TEST(ViewPosition, LocalChairSitsAtTheBottomAndTheNextChairToTheRight)
{
    EXPECT_EQ(ViewPosition(0, 0), 1);
    EXPECT_EQ(ViewPosition(1, 0), 2);
    EXPECT_EQ(ViewPosition(2, 0), 0);
    EXPECT_EQ(ViewPosition(0, 2), 2);
    EXPECT_EQ(ViewPosition(1, 2), 0);
    EXPECT_EQ(ViewPosition(2, 2), 1);
    for (uint16_t me = 0; me < 3; ++me) {
        EXPECT_EQ(ViewPosition((me + 1) % 3, me), 2);
        EXPECT_EQ(ViewPosition((me + 2) % 3, me), 0);
    }
    EXPECT_EQ(ViewPosition(INVALID_CHAIR, 0), INVALID_CHAIR);
    EXPECT_EQ(ViewPosition(0, 3), INVALID_CHAIR);
}

}  // namespace
