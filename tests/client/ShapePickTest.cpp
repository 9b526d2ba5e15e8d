// The shape buttons: when they are enabled and which cards each press raises.
#include <algorithm>
#include <random>

#include "interaction/ShapePick.h"
#include "logic/LogicTestUtil.h"

namespace {

const CGameLogic logic;

bool Legal(const uint8_t* cards, uint8_t n, const std::vector<uint8_t>& turn)
{
    std::vector<uint8_t> sorted = Sorted({cards, cards + n});
    if (logic.JudgeType(sorted.data(), n) == PLAY_INVALID)
        return false;
    return turn.empty() || logic.BeatsPrevious(turn.data(), sorted.data(), static_cast<uint8_t>(turn.size()), n);
}

// A hand as the controller shows it, the play to beat, and the pick state kept between presses.
struct Table {
    std::vector<uint8_t> hand;
    std::vector<uint8_t> turn;
    tagShapePickState state;
    bool outVisible = true;
    tagShapePick last;

    Table(const std::string& cards, const std::string& toBeat = "", uint8_t order = ORDER_BY_RANK)
        : hand(Sorted(Cards(cards), order)), turn(Sorted(Cards(toBeat)))
    {
    }

    // The cards the press raises in rank order, or "-" when it leaves the hand alone.
    std::string Press(Shape shape)
    {
        last = PickShape(shape, logic, hand.data(), static_cast<uint8_t>(hand.size()), turn.data(),
                         static_cast<uint8_t>(turn.size()), state,
                         [this](const uint8_t* c, uint8_t n) { return outVisible && Legal(c, n, turn); });
        if (!last.bRaise)
            return "-";
        return Text(Sorted({last.cbCards, last.cbCards + last.cbCount}));
    }

    std::vector<std::string> Presses(Shape shape, int times)
    {
        std::vector<std::string> raised;
        for (int i = 0; i < times; ++i)
            raised.push_back(Press(shape));
        return raised;
    }

    ShapeFlags Enabled() const
    {
        const auto n = static_cast<uint8_t>(hand.size());
        if (turn.empty())
            return ShapesWhenLeading(logic, hand.data(), n);
        return ShapesWhenResponding(logic, hand.data(), n, turn.data(), static_cast<uint8_t>(turn.size()),
                                    logic.JudgeType(turn.data(), static_cast<uint8_t>(turn.size())));
    }
};

// Flags in button order, written as "1" and "0" (pair, trio, line, pair line, plane, bomb, rocket).
std::string Flags(const ShapeFlags& flags)
{
    std::string s;
    for (bool f : flags)
        s += f ? '1' : '0';
    return s;
}

using Out = tagShapePick::OutButton;

TEST(ShapeEnabling, LeadingPredicatesFollowTheHand)
{
    EXPECT_EQ(Flags(Table("03 14 25 36 07 08 18 28 38 4F 4E").Enabled()), "1110011");
    EXPECT_EQ(Flags(Table("0A 0B 0C 0D 01").Enabled()), "0010000") << "a line may end at the ace";
    EXPECT_EQ(Flags(Table("0B 0C 0D 01 02").Enabled()), "0000000") << "no line reaches the two";
    EXPECT_EQ(Flags(Table("0D 1D 01 11 02 12").Enabled()), "1000000") << "pairs K-A-2 are no pair line";
    EXPECT_EQ(Flags(Table("0D 1D 2D 01 11 21").Enabled()), "1100100");
    EXPECT_EQ(Flags(Table("01 11 21 02 12 22").Enabled()), "1100000") << "trios A-2 are no plane";
}

TEST(ShapeEnabling, RespondingEnablesOnlyWhatBeatsTheTurn)
{
    EXPECT_EQ(Flags(Table("4F 4E 03 04 05", "0A 1A").Enabled()), "0000001") << "only the jokers beat the pair";
    EXPECT_EQ(Flags(Table("0B 1B 2B 3B 03", "0A 1A").Enabled()), "1000010") << "a four answers a pair and is a bomb";
    EXPECT_EQ(Flags(Table("04 05 06 07 08 0C", "03 04 05 06 07").Enabled()), "0010000");
    EXPECT_EQ(Flags(Table("05 15 06 16 07 17", "03 13 04 14 05 15").Enabled()), "0001000");
    EXPECT_EQ(Flags(Table("05 15 25 35", "04 14 24 34").Enabled()), "0000010");
    EXPECT_EQ(Flags(Table("04 14 24 34", "05 15 25 35").Enabled()), "0000000");
    EXPECT_EQ(Flags(Table("05 15 25 35", "4F 4E").Enabled()), "0000000") << "nothing beats the rocket";
    EXPECT_EQ(Flags(Table("05 15 25 35 03 04", "06 16 26 36 07 08").Enabled()), "0000010");
}

TEST(ShapeEnabling, TrioTurnsEnableTrioOrPlaneByTheirSize)
{
    EXPECT_EQ(Flags(Table("06 16 26 04 05", "03 13 23 09").Enabled()), "0100000");
    EXPECT_EQ(Flags(Table("06 16 26 04 14", "03 13 23 09 19").Enabled()), "0100000");
    EXPECT_EQ(Flags(Table("06 16 26 04 05", "03 13 23 09 19").Enabled()), "0000000") << "no pair to attach";
    EXPECT_EQ(Flags(Table("06 16 26 07 17 27 03 09 0A", "04 14 24 05 15 25 0C 0D").Enabled()), "0000100");
}

TEST(ShapeEnabling, RespondingWalksTheHandInItsShownOrder)
{
    // Shown by count, the sevens and sixes stand apart from the rest of the line.
    EXPECT_EQ(Flags(Table("05 15 25 04 14 07 06 03 08", "03 04 05 06 07").Enabled()), "0010000");
    EXPECT_EQ(Flags(Table("05 15 25 04 14 07 06 03 08", "03 04 05 06 07", ORDER_BY_COUNT).Enabled()), "0000000");
}

TEST(PairButton, LeadingCyclesFromTheWeakestPairUpward)
{
    Table t("03 13 05 15 09 19 29 0C");
    EXPECT_EQ(t.Presses(Shape::Pair, 5), (std::vector<std::string>{"13 03", "15 05", "29 19", "13 03", "15 05"}));
    EXPECT_EQ(t.last.out, Out::Enable);

    Table single("03 13 05 0C");
    single.outVisible = false;
    EXPECT_EQ(single.Presses(Shape::Pair, 2), (std::vector<std::string>{"13 03", "13 03"}));
    EXPECT_EQ(single.last.out, Out::Leave) << "a failed check leaves the out-card button";
    EXPECT_EQ(single.state.m_bPickPair, 0) << "one pair starts no chain";
}

TEST(PairButton, RespondingCyclesThroughAnswersAndSkipsTheRocket)
{
    Table jokers("4F 4E 03 04 05", "0A 1A");
    EXPECT_EQ(jokers.Press(Shape::Pair), "-");
    EXPECT_EQ(jokers.last.out, Out::Leave);
    EXPECT_EQ(jokers.state.m_bPickPair, 0);

    Table t("05 15 09 19 4F 4E", "04 14");
    EXPECT_EQ(t.Presses(Shape::Pair, 3), (std::vector<std::string>{"15 05", "19 09", "15 05"}));

    Table hidden("05 15 03", "04 14");
    hidden.outVisible = false;
    EXPECT_EQ(hidden.Press(Shape::Pair), "15 05");
    EXPECT_EQ(hidden.last.out, Out::Disable);
    EXPECT_EQ(hidden.state.m_bPickPair, 0) << "the chain follows the check";
}

TEST(TrioButton, LeadingCyclesTriosThenFoursThenWraps)
{
    Table t("04 14 24 08 18 28 0B 1B 2B 3B 03");
    EXPECT_EQ(t.Presses(Shape::Trio, 4), (std::vector<std::string>{"24 14 04", "28 18 08", "3B 2B 1B", "24 14 04"}));
    EXPECT_EQ(t.last.out, Out::Enable);
}

TEST(TrioButton, RespondingRaisesWholeAnswersWithTheirCount)
{
    Table t("06 16 26 08 18 28 04 05", "03 13 23 09");
    EXPECT_EQ(t.Presses(Shape::Trio, 3), (std::vector<std::string>{"26 16 06 04", "28 18 08 04", "26 16 06 04"}));
    EXPECT_EQ(t.state.m_cbTrioCount, 4);

    Table none("04 05", "03 13 23");
    EXPECT_EQ(none.Press(Shape::Trio), "-");
    EXPECT_EQ(none.last.out, Out::Leave) << "nothing raised, so nothing checked to enable";
    EXPECT_EQ(none.state.m_cbTrioCount, 0);
}

TEST(LineButton, LeadingWalksTheHandsLinesFromTheWeakest)
{
    Table one("03 04 05 06 07 08 0C 1C");
    EXPECT_EQ(one.Presses(Shape::Line, 2), (std::vector<std::string>{"08 07 06 05 04 03", "08 07 06 05 04 03"}));

    Table two("03 04 05 06 07 09 0A 0B 0C 0D 02");
    EXPECT_EQ(two.Presses(Shape::Line, 3),
              (std::vector<std::string>{"07 06 05 04 03", "0D 0C 0B 0A 09", "07 06 05 04 03"}));
}

TEST(LineButton, LineListTakesDisjointLinesHighestFirst)
{
    const auto hand = Sorted(Cards("4F 02 03 13 04 14 05 15 06 16 07 17 0A"));
    uint8_t lines[20];
    const uint8_t n = BuildLineList(logic, hand.data(), static_cast<uint8_t>(hand.size()), lines);
    EXPECT_EQ(Text({lines, lines + n}), "17 16 15 14 13 07 06 05 04 03");
}

TEST(LineButton, RespondingChainsThroughBombsAndBackToTheLine)
{
    // A bomb is stored as the four cards it is, so the press after it searches above the bomb.
    Table t("04 05 06 07 08 09 19 29 39 0B 1B 2B 3B 4F 4E", "03 04 05 06 07");
    EXPECT_EQ(t.Presses(Shape::Line, 5), (std::vector<std::string>{"08 07 06 05 04", "09 08 07 06 05", "39 29 19 09",
                                                                   "3B 2B 1B 0B", "08 07 06 05 04"}));
    EXPECT_EQ(t.state.m_cbLineCount, 5);

    Table rocketOnly("4F 4E 03", "03 04 05 06 07");
    EXPECT_EQ(rocketOnly.Press(Shape::Line), "-");
}

TEST(PairLineAndPlaneButtons, LeadingCycleThroughTheHandsChains)
{
    Table pairs("03 13 04 14 05 15 09 19 0A 1A 0B 1B");
    EXPECT_EQ(pairs.Presses(Shape::PairLine, 3),
              (std::vector<std::string>{"15 05 14 04 13 03", "1B 0B 1A 0A 19 09", "15 05 14 04 13 03"}));
    EXPECT_EQ(pairs.state.m_cbPairLineCount, 3);

    Table trios("05 15 25 06 16 26 09 19 29 0A 1A 2A");
    EXPECT_EQ(trios.Presses(Shape::Plane, 3), (std::vector<std::string>{"26 16 06 25 15 05", "2A 1A 0A 29 19 09",
                                                                        "26 16 06 25 15 05"}));
    EXPECT_EQ(trios.state.m_cbPlaneCount, 2);
    EXPECT_EQ(trios.last.cbCards[0], 0x05) << "the pick starts with its weakest trio";

    Table none("03 13 04 14 06 16");
    EXPECT_EQ(none.Press(Shape::PairLine), "-");
    EXPECT_EQ(none.last.out, Out::Leave);
}

TEST(PairLineAndPlaneButtons, RespondingAnswersTheTurn)
{
    Table t("05 15 06 16 07 17 08 18", "03 13 04 14 05 15");
    EXPECT_EQ(t.Presses(Shape::PairLine, 3),
              (std::vector<std::string>{"17 07 16 06 15 05", "18 08 17 07 16 06", "17 07 16 06 15 05"}));

    Table p("06 16 26 07 17 27 03 09", "04 14 24 05 15 25 0C 0D");
    EXPECT_EQ(p.Press(Shape::Plane), "09 27 17 07 26 16 06 03");
    EXPECT_EQ(p.state.m_cbPlaneCount, 8);
}

TEST(BombButton, LeadingClimbsAndStaysAtTheStrongest)
{
    Table t("05 15 25 35 09 19 29 39 03");
    EXPECT_EQ(t.Presses(Shape::Bomb, 3), (std::vector<std::string>{"35 25 15 05", "39 29 19 09", "39 29 19 09"}));
}

TEST(BombButton, RespondingCyclesBackToTheFirstAnswer)
{
    Table single("05 15 25 35 09 19 29 39 0C 1C 2C 3C", "03");
    EXPECT_EQ(single.Presses(Shape::Bomb, 4),
              (std::vector<std::string>{"35 25 15 05", "39 29 19 09", "3C 2C 1C 0C", "35 25 15 05"}));

    Table bomb("05 15 25 35 09 19 29 39 0C 1C 2C 3C", "06 16 26 36");
    EXPECT_EQ(bomb.Presses(Shape::Bomb, 3), (std::vector<std::string>{"39 29 19 09", "3C 2C 1C 0C", "39 29 19 09"}));

    Table weaker("04 14 24 34 03", "06 16 26 36");
    EXPECT_EQ(weaker.Press(Shape::Bomb), "-");
}

TEST(RocketButton, RaisesTheTwoStrongestCards)
{
    Table t("03 4E 05 4F", "02");
    EXPECT_EQ(t.Press(Shape::Rocket), "4F 4E");
    EXPECT_EQ(t.last.out, Out::Enable);
    EXPECT_EQ(Table("03").Press(Shape::Rocket), "-");
}

TEST(ShapeRobustness, BadListsAreRefusedAndEveryWalkEnds)
{
    std::vector<uint8_t> big(21, 0x03);
    tagShapePickState state;
    const auto any = [](const uint8_t*, uint8_t) { return true; };
    EXPECT_EQ(Flags(ShapesWhenLeading(logic, big.data(), 21)), "0000000");
    EXPECT_EQ(Flags(ShapesWhenResponding(logic, big.data(), 21, big.data(), 1, PLAY_SINGLE)), "0000000");
    EXPECT_EQ(Flags(ShapesWhenResponding(logic, big.data(), 5, big.data(), 21, PLAY_LINE)), "0000000");
    for (int s = 0; s < kShapeCount; ++s) {
        EXPECT_FALSE(PickShape(Shape(s), logic, big.data(), 21, nullptr, 0, state, any).bRaise);
        EXPECT_FALSE(PickShape(Shape(s), logic, big.data(), 4, big.data(), 21, state, any).bRaise);
    }

    // The byte 0 (rank of a king) cannot be removed from a list, which once kept the line list
    // searching for ever; other non-card bytes and duplicates must stay inside the tables.
    const uint8_t junk[] = {0x00, 0x0C, 0x0B, 0x0A, 0x09, 0xFF, 0x5F, 0x4E, 0x4E, 0x4E, 0x4E, 0x00};
    uint8_t lines[20];
    EXPECT_EQ(BuildLineList(logic, junk, 5, lines), 0);
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        uint8_t hand[20], turn[20];
        const auto n = static_cast<uint8_t>(1 + rng() % 20), m = static_cast<uint8_t>(rng() % 9);
        for (auto& c : hand)
            c = rng() % 3 ? junk[rng() % sizeof junk] : static_cast<uint8_t>(rng());
        for (auto& c : turn)
            c = static_cast<uint8_t>(rng());
        ShapesWhenLeading(logic, hand, n);
        ShapesWhenResponding(logic, hand, n, turn, m, static_cast<uint8_t>(rng() % 14));
        const tagShapePick pick = PickShape(Shape(rng() % kShapeCount), logic, hand, n, turn, m, state, any);
        EXPECT_LE(pick.cbCount, 20);
    }
}

// Every pick raises cards of the hand only; leading it raises a legal play, responding one that
// beats the turn (the rocket button and a bomb against the rocket raise without searching).
TEST(ShapeProperties, PicksComeFromTheHandAndBeatTheTurn)
{
    std::mt19937 rng(2024);
    std::vector<uint8_t> deck(g_cbFullDeck, g_cbFullDeck + 54);
    for (int deal = 0; deal < 400; ++deal) {
        std::shuffle(deck.begin(), deck.end(), rng);
        const auto handSize = 5 + rng() % 16;
        const std::vector<uint8_t> hand = Sorted({deck.begin(), deck.begin() + handSize}, rng() % 2 ? ORDER_BY_RANK : ORDER_BY_COUNT);
        const std::vector<uint8_t> other = Sorted({deck.begin() + 20, deck.begin() + 40});

        // The turn: a leading pick of the other hand, or nothing (this hand leads).
        std::vector<uint8_t> turn;
        if (rng() % 4 != 0) {
            tagShapePickState s;
            const auto p = PickShape(Shape(rng() % kShapeCount), logic, other.data(), 20, nullptr, 0, s, nullptr);
            if (p.bRaise)
                turn = Sorted({p.cbCards, p.cbCards + p.cbCount});
            if (logic.JudgeType(turn.data(), static_cast<uint8_t>(turn.size())) == PLAY_INVALID)
                turn.clear();
        }

        tagShapePickState state;
        for (int press = 0; press < 10; ++press) {
            const auto shape = Shape(rng() % kShapeCount);
            const auto pick = PickShape(shape, logic, hand.data(), static_cast<uint8_t>(hand.size()), turn.data(),
                                        static_cast<uint8_t>(turn.size()), state,
                                        [&](const uint8_t* c, uint8_t n) { return Legal(c, n, turn); });
            if (!pick.bRaise)
                continue;
            std::vector<uint8_t> left = hand;
            const auto n = static_cast<uint8_t>(left.size());
            ASSERT_TRUE(logic.RemoveCards(pick.cbCards, pick.cbCount, left.data(), n))
                << "shape " << int(shape) << " raised " << FormatCards(pick.cbCards, pick.cbCount) << " of " << Text(hand);
            const bool searched = shape != Shape::Rocket && !(shape == Shape::Bomb && turn.size() == 2 && turn[0] == BIG_JOKER);
            if (searched) {
                EXPECT_TRUE(Legal(pick.cbCards, pick.cbCount, turn))
                    << "shape " << int(shape) << " raised " << FormatCards(pick.cbCards, pick.cbCount) << " of "
                    << Text(hand) << " against " << Text(turn);
            }
        }
    }
}

}  // namespace
