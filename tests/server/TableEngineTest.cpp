// The table engine's rules, driven as clients would drive it, with stacked decks where a test needs
// particular hands.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "server/TableEngine.h"

using namespace server;

namespace {

struct Sent {
    uint16_t chair;
    uint16_t sub;
    std::vector<uint8_t> body;
};

class RecordingSink : public TableSink {
public:
    void sendGame(uint16_t chair, uint16_t sub, std::span<const uint8_t> body) override
    {
        sent.push_back({chair, sub, {body.begin(), body.end()}});
        if (CheckGameMessage(sub, body) != MessageCheck::Accept)
            ++refusedByClient;
    }
    void gameEnded(const GameEndRecord& record) override { ends.push_back(record); }

    template <typename Record>
    Record last(uint16_t sub, uint16_t chair = 0) const
    {
        for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
            if (it->sub == sub && it->chair == chair) {
                Record record{};
                std::memcpy(&record, it->body.data(), std::min(sizeof(Record), it->body.size()));
                return record;
            }
        }
        ADD_FAILURE() << "no message " << sub << " to chair " << chair;
        return Record{};
    }
    int count(uint16_t sub, uint16_t chair = 0) const
    {
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [&](const Sent& s) { return s.sub == sub && s.chair == chair; }));
    }

    std::vector<Sent> sent;
    std::vector<GameEndRecord> ends;
    int refusedByClient = 0;
};

// The full deck in order: chair 0 gets 01-0D and 11-14, chair 1 15-1D and 21-28, chair 2 29-2D
// and 31-3C, and the back cards are 3D and both jokers.
std::array<uint8_t, 54> orderedDeck()
{
    std::array<uint8_t, 54> deck;
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck.begin());
    return deck;
}

std::vector<uint8_t> bid(uint8_t value)
{
    return {value};
}

std::vector<uint8_t> cards(std::initializer_list<uint8_t> list)
{
    return WriteOutCard(std::data(list), static_cast<uint8_t>(list.size()));
}

class TableTest : public ::testing::Test {
protected:
    TableTest() : table(config(), 7, sink) {}

    static TableConfig config()
    {
        TableConfig c;
        c.cellScore = 2;
        c.serviceFee = 5;
        return c;
    }

    // Chair 0 is first to bid (the face-up card is its first) and takes the landlord at 3.
    void startWithLordZero(const std::array<uint8_t, 54>& deck = orderedDeck())
    {
        table.stackDeck(deck, 0);
        for (uint16_t c = 0; c < 3; ++c) {
            table.setPresent(c, true);
            table.setReady(c);
        }
        ASSERT_TRUE(table.onClientMessage(0, SUB_C_BID_SCORE, bid(3)));
    }

    bool play(uint16_t chair, std::initializer_list<uint8_t> list) { return table.onClientMessage(chair, SUB_C_OUT_CARD, cards(list)); }
    bool pass(uint16_t chair) { return table.onClientMessage(chair, SUB_C_PASS_CARD, {}); }

    RecordingSink sink;
    TableEngine table;
};

TEST_F(TableTest, DealShowsEachChairOnlyItsOwnHandAndTheFaceUpCard)
{
    table.stackDeck(orderedDeck(), 35);  // chair 2, index 1
    for (uint16_t c = 0; c < 3; ++c) {
        table.setPresent(c, true);
        EXPECT_EQ(table.phase(), Phase::Free);
        table.setReady(c);
    }
    ASSERT_EQ(table.phase(), Phase::Bidding);
    EXPECT_EQ(table.currentChair(), 2);
    const DealCards to0 = sink.last<DealCards>(SUB_S_DEAL_CARDS, 0);
    EXPECT_EQ(to0.wCurrentUser, 2);
    EXPECT_EQ(to0.wShownCardPos, 35);
    EXPECT_EQ(to0.cbHandCards[0][0], 0x01);
    EXPECT_EQ(to0.cbHandCards[1][0], 0);
    EXPECT_EQ(to0.cbHandCards[2][1], 0x2A);  // the face-up card is everybody's
    EXPECT_EQ(to0.cbHandCards[2][0], 0);
    const DealCards to1 = sink.last<DealCards>(SUB_S_DEAL_CARDS, 1);
    EXPECT_EQ(to1.cbHandCards[0][0], 0);
    EXPECT_EQ(to1.cbHandCards[1][0], 0x15);
    EXPECT_EQ(sink.refusedByClient, 0);
}

TEST_F(TableTest, BiddingRaisesEndsAtThreeAndRefusesOutOfTurnOrLowBids)
{
    table.stackDeck(orderedDeck(), 17);  // chair 1 bids first
    for (uint16_t c = 0; c < 3; ++c) {
        table.setPresent(c, true);
        table.setReady(c);
    }
    EXPECT_FALSE(table.onClientMessage(0, SUB_C_BID_SCORE, bid(1)));  // not its turn
    EXPECT_TRUE(table.onClientMessage(1, SUB_C_BID_SCORE, bid(2)));
    EXPECT_EQ(sink.last<BidResult>(SUB_S_BID_RESULT).wCurrentUser, 2);
    EXPECT_FALSE(table.onClientMessage(2, SUB_C_BID_SCORE, bid(2)));  // must exceed the top bid
    EXPECT_FALSE(table.onClientMessage(2, SUB_C_BID_SCORE, bid(4)));
    EXPECT_FALSE(table.onClientMessage(2, SUB_C_BID_SCORE, std::vector<uint8_t>{3, 3}));  // malformed
    EXPECT_TRUE(table.onClientMessage(2, SUB_C_BID_SCORE, bid(3)));
    const BidResult last = sink.last<BidResult>(SUB_S_BID_RESULT);
    EXPECT_EQ(last.wBidUser, 2);
    EXPECT_EQ(last.wCurrentUser, INVALID_CHAIR);
    EXPECT_EQ(last.cbTopBid, 3);
    const LordInfo lord = sink.last<LordInfo>(SUB_S_LORD_INFO, 1);
    EXPECT_EQ(lord.wLordUser, 2);
    EXPECT_EQ(lord.cbLordScore, 3);
    EXPECT_EQ(lord.wLimitValue, 96);
    EXPECT_EQ(lord.cbBackCard[0], 0x3D);
    EXPECT_EQ(table.hand(2).size(), 20u);
    EXPECT_EQ(table.phase(), Phase::Playing);
    EXPECT_EQ(table.currentChair(), 2);
}

TEST_F(TableTest, AfterThreeBidsTheTopBidderIsLandlordAndAllPassDealsAgainThenForcesTheFirstBidder)
{
    table.stackDeck(orderedDeck(), 0);
    for (uint16_t c = 0; c < 3; ++c) {
        table.setPresent(c, true);
        table.setReady(c);
    }
    EXPECT_TRUE(table.onClientMessage(0, SUB_C_BID_SCORE, bid(1)));
    EXPECT_TRUE(table.onClientMessage(1, SUB_C_BID_SCORE, bid(BID_PASS)));
    EXPECT_TRUE(table.onClientMessage(2, SUB_C_BID_SCORE, bid(BID_PASS)));
    EXPECT_EQ(table.lordChair(), 0);
    EXPECT_EQ(table.lordBid(), 1);

    // A second table where nobody ever bids: two redeals, then the first bidder plays at 1.
    RecordingSink other;
    TableEngine quiet(config(), 3, other);
    for (uint16_t c = 0; c < 3; ++c) {
        quiet.setPresent(c, true);
        quiet.setReady(c);
    }
    for (int deal = 0; deal < 3; ++deal) {
        EXPECT_EQ(quiet.phase(), Phase::Bidding);
        const uint16_t first = quiet.currentChair();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(quiet.onClientMessage(quiet.currentChair(), SUB_C_BID_SCORE, bid(BID_PASS)));
        if (deal < 2)
            EXPECT_EQ(other.count(SUB_S_DEAL_CARDS), deal + 2);
        else
            EXPECT_EQ(quiet.lordChair(), first);
    }
    EXPECT_EQ(quiet.phase(), Phase::Playing);
    EXPECT_EQ(quiet.lordBid(), 1);
    EXPECT_EQ(quiet.dealsThisGame(), 3u);
}

TEST_F(TableTest, PlaysMustBeHeldLegalAndBeatTheTable)
{
    startWithLordZero();
    EXPECT_FALSE(play(1, {0x15}));                 // out of turn
    EXPECT_FALSE(play(0, {0x15}));                 // not held
    EXPECT_FALSE(play(0, {0x03, 0x04}));           // not a combination
    EXPECT_FALSE(play(0, {0x03, 0x03}));           // one card named twice
    EXPECT_FALSE(pass(0));                         // a leader cannot pass
    EXPECT_FALSE(table.onClientMessage(0, SUB_C_OUT_CARD, std::vector<uint8_t>{0}));                   // no cards
    EXPECT_FALSE(table.onClientMessage(0, SUB_C_OUT_CARD, std::vector<uint8_t>{2, 0x03}));             // short body
    EXPECT_FALSE(table.onClientMessage(0, SUB_C_OUT_CARD, std::vector<uint8_t>(22, 21)));  // above 20
    EXPECT_FALSE(table.onClientMessage(5, SUB_C_OUT_CARD, cards({0x03})));         // no such chair
    EXPECT_EQ(table.hand(0).size(), 20u);

    ASSERT_TRUE(play(0, {0x05}));
    EXPECT_FALSE(play(1, {0x24}));   // a four does not beat a five
    EXPECT_FALSE(play(1, {0x16, 0x17}));
    EXPECT_TRUE(play(1, {0x16}));
    const PlayedCards played = sink.last<PlayedCards>(SUB_S_PLAYED_CARDS, 2);
    EXPECT_EQ(played.wOutCardUser, 1);
    EXPECT_EQ(played.wCurrentUser, 2);
    EXPECT_EQ(played.cbCardData[0], 0x16);
    EXPECT_EQ(sink.refusedByClient, 0);
}

TEST_F(TableTest, TwoPassesEndTheTurnAndAnUnanswerablePlayLeadsAgain)
{
    startWithLordZero();
    ASSERT_TRUE(play(0, {0x03}));
    ASSERT_TRUE(pass(1));
    EXPECT_EQ(sink.last<PassCards>(SUB_S_PASS_CARDS).cbNewTurn, 0);
    ASSERT_TRUE(pass(2));
    const PassCards second = sink.last<PassCards>(SUB_S_PASS_CARDS);
    EXPECT_EQ(second.cbNewTurn, 1);
    EXPECT_EQ(second.wPassUser, 2);
    EXPECT_EQ(second.wCurrentUser, 0);
    EXPECT_TRUE(table.turnCards().empty());

    // Nobody can answer the rocket: the player leads again at once and no pass is asked for.
    ASSERT_TRUE(play(0, {0x4F, 0x4E}));
    const PlayedCards rocket = sink.last<PlayedCards>(SUB_S_PLAYED_CARDS, 1);
    EXPECT_EQ(rocket.wCurrentUser, 0);
    EXPECT_EQ(rocket.wOutCardUser, 0);
    EXPECT_EQ(table.currentChair(), 0);
    EXPECT_TRUE(table.turnCards().empty());
    EXPECT_FALSE(pass(1));
    EXPECT_EQ(table.tableMultiple(), 2);
}

TEST_F(TableTest, FarmersDoubleInTheFirstRoundAndTheLandlordAnswersOnlyAfterThem)
{
    startWithLordZero();
    const auto jia = [](uint32_t type) { return WriteRecord(JiaBangType{type}); };
    EXPECT_FALSE(table.onClientMessage(0, SUB_C_JIA_BANG, jia(2)));  // nobody doubled yet
    EXPECT_FALSE(table.onClientMessage(1, SUB_C_JIA_BANG, jia(2)));  // a farmer cannot answer
    EXPECT_TRUE(table.onClientMessage(1, SUB_C_JIA_BANG, jia(0)));
    EXPECT_EQ(sink.last<BangNotice>(SUB_S_BANG_NOTICE, 2).wChairID, 1);
    EXPECT_FALSE(table.onClientMessage(1, SUB_C_JIA_BANG, jia(1)));  // once each
    EXPECT_TRUE(table.view(2).canDouble);
    EXPECT_EQ(table.view(2).doubleType, 1u);
    EXPECT_EQ(table.view(0).doubleType, 2u);

    ASSERT_TRUE(play(0, {0x03}));
    ASSERT_TRUE(play(1, {0x16}));
    ASSERT_TRUE(pass(2));  // the farmer before the landlord acted: the farmers' window is shut
    EXPECT_FALSE(table.onClientMessage(2, SUB_C_JIA_BANG, jia(1)));
    EXPECT_TRUE(table.onClientMessage(0, SUB_C_JIA_BANG, jia(2)));  // the answer stays open
    EXPECT_TRUE(table.doubled(0));
    EXPECT_FALSE(table.doubled(2));
}

TEST_F(TableTest, SpringGameIsSettledWithTheRocketTheFeeAndEveryFieldFilled)
{
    startWithLordZero();
    ASSERT_TRUE(table.onClientMessage(1, SUB_C_JIA_BANG, WriteRecord(JiaBangType{0})));
    CGameLogic logic;
    // The landlord sheds his hand lead by lead; the farmers always pass.
    for (int guard = 0; guard < 60 && table.phase() == Phase::Playing; ++guard) {
        const uint16_t chair = table.currentChair();
        if (chair != 0) {
            ASSERT_TRUE(pass(chair));
            continue;
        }
        OutCardResult lead{};
        const auto hand = table.hand(0);
        ASSERT_TRUE(logic.FindBeater(hand.data(), static_cast<uint8_t>(hand.size()), nullptr, 0, lead));
        logic.SortCards(lead.cbCards, lead.cbCount, ORDER_BY_RANK);
        ASSERT_TRUE(table.onClientMessage(0, SUB_C_OUT_CARD, WriteOutCard(lead.cbCards, lead.cbCount)));
    }
    ASSERT_EQ(sink.ends.size(), 1u);
    const GameEndRecord end = sink.last<GameEndRecord>(SUB_S_GAME_END, 1);
    EXPECT_EQ(end.lSpring, 1);
    EXPECT_EQ(end.lCoinCost, 5);
    EXPECT_EQ(end.lCellScore, 2);
    // Bid 3, doubled for each bomb and rocket and once for the spring, capped at 48; the farmer
    // who doubled pays twice that.
    const int64_t base = std::min<int64_t>(int64_t{3} << (table.bombCount() + (table.rocketPlayed() ? 1 : 0) + 1), 48);
    EXPECT_EQ(end.lGameScore[2], -2 * base);
    EXPECT_EQ(end.lGameScore[1], -2 * std::min<int64_t>(base * 2, 48));
    EXPECT_EQ(end.lGameScore[0] + end.lGameScore[1] + end.lGameScore[2], 0);
    EXPECT_EQ(end.cbCardCount[0], 0);
    EXPECT_EQ(end.cbCardCount[1], 17);
    EXPECT_EQ(end.cbCardData[0], table.hand(1)[0]);
    EXPECT_EQ(table.phase(), Phase::Free);
    EXPECT_FALSE(table.ready(0));
    EXPECT_EQ(sink.refusedByClient, 0);
}

TEST_F(TableTest, ReverseSpringWhenTheLandlordPlayedOnlyHisFirstLead)
{
    startWithLordZero();
    CGameLogic logic;
    ASSERT_TRUE(play(0, {0x03}));
    // Chair 1 answers and leads from then on; everybody else passes.
    for (int guard = 0; guard < 80 && table.phase() == Phase::Playing; ++guard) {
        const uint16_t chair = table.currentChair();
        if (chair != 1) {
            ASSERT_TRUE(pass(chair));
            continue;
        }
        OutCardResult answer{};
        const auto hand = table.hand(1);
        const auto turn = table.turnCards();
        ASSERT_TRUE(logic.FindBeater(hand.data(), static_cast<uint8_t>(hand.size()), turn.data(), static_cast<uint8_t>(turn.size()), answer));
        logic.SortCards(answer.cbCards, answer.cbCount, ORDER_BY_RANK);
        ASSERT_TRUE(table.onClientMessage(1, SUB_C_OUT_CARD, WriteOutCard(answer.cbCards, answer.cbCount)));
    }
    ASSERT_EQ(sink.ends.size(), 1u);
    EXPECT_EQ(sink.ends[0].lSpring, 2);
    EXPECT_GT(sink.ends[0].lGameScore[1], 0);
    EXPECT_EQ(sink.ends[0].cbCardCount[0], 19);
}

TEST_F(TableTest, TimeOutsAreActedByTheServerAndTwoInARowSwitchTrusteeOn)
{
    startWithLordZero();
    // The landlord's clock starts once the clients have shown the back cards' flight.
    const uint32_t firstClock = table.config().flightShowMs + (30 + 3) * 1000;
    table.advance(firstClock - 1);
    EXPECT_EQ(table.hand(0).size(), 20u);
    table.advance(1);
    // The leader that timed out plays its weakest group (the pair of threes); the responder that
    // times out passes.
    EXPECT_EQ(table.hand(0).size(), 18u);
    EXPECT_EQ(table.currentChair(), 1);
    table.advance((20 + 3) * 1000);
    EXPECT_EQ(sink.last<PassCards>(SUB_S_PASS_CARDS).wPassUser, 1);
    EXPECT_FALSE(table.trustee(1));

    // A player who left is played for quickly; one who is back keeps the ordinary clock.
    table.setPresent(2, false);
    table.advance(1000);
    EXPECT_EQ(table.currentChair(), 0);
    // Chair 0 answers the absent chair's pair with one nobody can beat, leads again, and chair 1
    // times out on the lead: its second time-out in a row.
    ASSERT_TRUE(play(0, {0x11, 0x01}));
    EXPECT_EQ(table.currentChair(), 0);
    ASSERT_TRUE(play(0, {0x14, 0x04}));
    table.advance((20 + 3) * 1000);
    EXPECT_TRUE(table.trustee(1));
    const UserTrustee mark = sink.last<UserTrustee>(SUB_S_USER_TRUSTEE, 0);
    EXPECT_EQ(mark.wChairID, 1);
    EXPECT_EQ(mark.cbTrustee, 1);
    EXPECT_EQ(mark.cbByTimeout, 1);
    EXPECT_EQ(sink.refusedByClient, 0);
}

TEST_F(TableTest, TrusteeIsEchoedAndItsTurnsArePlayedWithTheWeakestBeater)
{
    startWithLordZero();
    EXPECT_FALSE(table.onClientMessage(1, SUB_C_TRUSTEE, WriteRecord(UserTrustee{2, 1, 0})));  // someone else's chair
    EXPECT_FALSE(table.onClientMessage(1, SUB_C_TRUSTEE, WriteRecord(UserTrustee{1, 7, 0})));
    ASSERT_TRUE(table.onClientMessage(1, SUB_C_TRUSTEE, WriteRecord(UserTrustee{1, 1, 0})));
    EXPECT_EQ(sink.last<UserTrustee>(SUB_S_USER_TRUSTEE, 2).cbTrustee, 1);
    ASSERT_TRUE(play(0, {0x05}));
    // The trustee's own client gets a second and the grace before the server answers for it.
    table.advance(3999);
    EXPECT_EQ(table.currentChair(), 1);
    table.advance(1);
    EXPECT_EQ(sink.last<PlayedCards>(SUB_S_PLAYED_CARDS).wOutCardUser, 1);
    EXPECT_EQ(table.turnCards()[0], 0x19);  // the weakest single above the five, no pair broken
}

TEST_F(TableTest, SnapshotsAtEachStateHideOtherHandsAndPassTheClientCheck)
{
    table.setPresent(0, true);
    table.setReady(0);
    auto [state, bytes] = table.snapshot(0, false);
    EXPECT_EQ(state, GS_FREE);
    ASSERT_EQ(CheckSceneMessage(state, bytes), MessageCheck::Accept);
    EXPECT_EQ(ReadRecord<StatusFree>(bytes)->cbMeStatus, 3);
    EXPECT_EQ(ReadRecord<StatusFree>(table.snapshot(1, false).second)->cbMeStatus, 0);

    table.stackDeck(orderedDeck(), 0);
    for (uint16_t c = 1; c < 3; ++c) {
        table.setPresent(c, true);
        table.setReady(c);
    }
    ASSERT_TRUE(table.onClientMessage(0, SUB_C_BID_SCORE, bid(1)));
    std::tie(state, bytes) = table.snapshot(1, false);
    ASSERT_EQ(state, GS_BIDDING);
    ASSERT_EQ(CheckSceneMessage(state, bytes), MessageCheck::Accept);
    const StatusScore score = *ReadRecord<StatusScore>(bytes);
    EXPECT_EQ(score.cbTopBid, 1);
    EXPECT_EQ(score.wCurrentUser, 1);
    EXPECT_EQ(score.cbBidInfo[0], 1);
    EXPECT_EQ(score.cbBidInfo[1], 0);
    EXPECT_NE(score.cbHandCards[1][0], 0);
    EXPECT_EQ(score.cbHandCards[0][0], 0);
    EXPECT_EQ(score.cbHandCards[2][0], 0);

    ASSERT_TRUE(table.onClientMessage(1, SUB_C_BID_SCORE, bid(3)));
    ASSERT_TRUE(table.onClientMessage(2, SUB_C_JIA_BANG, WriteRecord(JiaBangType{0})));
    ASSERT_TRUE(table.onClientMessage(2, SUB_C_TRUSTEE, WriteRecord(UserTrustee{2, 1, 0})));
    ASSERT_TRUE(play(1, {0x15}));
    for (bool lookon : {false, true}) {
        std::tie(state, bytes) = table.snapshot(2, lookon);
        ASSERT_EQ(state, GS_PLAYING);
        ASSERT_EQ(CheckSceneMessage(state, bytes), MessageCheck::Accept);
        const StatusPlay play = *ReadRecord<StatusPlay>(bytes);
        EXPECT_EQ(play.wLordUser, 1);
        EXPECT_EQ(play.cbLordScore, 3);
        EXPECT_EQ(play.wMultiple, 1);
        EXPECT_EQ(play.wTurnUser, 1);
        EXPECT_EQ(play.wCurrentUser, 2);
        EXPECT_EQ(play.cbCardCount[1], 19);
        EXPECT_EQ(play.cbTurnCardCount, 1);
        EXPECT_EQ(play.cbTurnCardData[0], 0x15);
        EXPECT_NE(play.cbHandCards[2][0], 0);
        EXPECT_EQ(play.cbHandCards[1][0], 0);
        EXPECT_EQ(play.cbUserBang[2], 1);
        EXPECT_EQ(play.wFirstBangUser, 2);
        EXPECT_EQ(play.cbCanBang[1], 1);  // the landlord may answer
        EXPECT_EQ(play.cbCanBang[0], 1);  // the other farmer may follow
        EXPECT_EQ(play.cbUserTrustee[2], 1);
        EXPECT_EQ(play.cbAutoOut, lookon ? 0 : 1);
        EXPECT_EQ(play.wLimitValue, 96);
        EXPECT_EQ(play.cbLeftCount[2], 3);  // one five is out
    }
}

TEST_F(TableTest, SameSeedSameGame)
{
    RecordingSink a, b;
    TableEngine one(config(), 99, a), two(config(), 99, b);
    for (TableEngine* t : {&one, &two}) {
        for (uint16_t c = 0; c < 3; ++c) {
            t->setPresent(c, false);
            t->setPresent(c, true);
            t->setReady(c);
        }
        t->setPresent(1, false);
        t->advance(600000);
    }
    ASSERT_EQ(a.sent.size(), b.sent.size());
    for (size_t i = 0; i < a.sent.size(); ++i)
        ASSERT_EQ(a.sent[i].body, b.sent[i].body);
    EXPECT_EQ(a.ends.size(), 1u);
}

}  // namespace
