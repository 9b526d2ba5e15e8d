// Sound file names of voices and play effects.
#include <gtest/gtest.h>

#include "interaction/VoiceNames.h"
#include "logic/LogicTestUtil.h"

namespace {

const CGameLogic logic;

// A variant source that counts its calls, so a name that needs no variant can be shown not to draw one.
struct Variants {
    int value = 0;
    int calls = 0;
    VariantSource Source()
    {
        return [this] { return ++calls, value; };
    }
};

// The voice and the effect of a play, joined by " + ".
std::string Play(uint8_t gender, uint8_t dialect, const std::string& cards, Variants& v)
{
    const auto sorted = Sorted(Cards(cards));
    const auto n = static_cast<uint8_t>(sorted.size());
    const uint8_t type = logic.JudgeType(sorted.data(), n);
    return PlayVoicePath(logic, gender, dialect, sorted.data(), n, type, v.Source()) + " + " + PlayEffectPath(type, n);
}

TEST(PlayVoice, NamesFollowTheCombinationAndTheVoiceSet)
{
    Variants v;
    EXPECT_EQ(Play(1, 2, "01 11", v), "Telvo\\Sound\\Quenlo\\N_2_14.mp3 + Telvo\\Sound\\OUT_CARD.mp3");
    EXPECT_EQ(Play(0, 0, "03", v), "Telvo\\Sound\\Standard\\M_3.mp3 + Telvo\\Sound\\OUT_CARD.mp3");
    EXPECT_EQ(Play(0, 1, "05 15 25 06", v), "Telvo\\Sound\\Standard\\M_3_1.mp3 + ") << "no effect for a small trio play";
    EXPECT_EQ(Play(1, 1, "05 15 25 06 16", v), "Telvo\\Sound\\Standard\\N_3_2.mp3 + ");
    EXPECT_EQ(Play(0, 1, "05 15 25 35 07 17 08 18", v), "Telvo\\Sound\\Standard\\M_4_2.mp3 + Telvo\\Sound\\OUT_CARD.mp3");
    EXPECT_EQ(v.calls, 0) << "none of these names has a variant";

    v.value = 1;
    EXPECT_EQ(Play(0, 1, "05 15 25 06 16 26 07 08", v), "Telvo\\Sound\\Standard\\M_PLANE1.mp3 + Telvo\\Sound\\PLANE.mp3");
    EXPECT_EQ(Play(1, 1, "05 15 25 35", v), "Telvo\\Sound\\Standard\\N_BOMB1.mp3 + Telvo\\Sound\\BOMB_CARD.mp3");
    EXPECT_EQ(Play(0, 2, "4F 4E", v), "Telvo\\Sound\\Quenlo\\M_ROCKET1.mp3 + Telvo\\Sound\\ROCKET.mp3");
    EXPECT_EQ(v.calls, 3);

    EXPECT_EQ(Play(0, 1, "03 05", v), " + Telvo\\Sound\\OUT_CARD.mp3") << "an invalid play has no voice";
    EXPECT_EQ(PlayVoicePath(logic, 0, 1, nullptr, 0, PLAY_SINGLE, v.Source()), "");
}

TEST(EventVoices, PassAndBidLieUnderTheRootOutsideTheTwoVoiceSets)
{
    Variants v;
    EXPECT_EQ(PassVoicePath(0, 0, v.Source()), "Telvo\\Sound\\M_Pass0.mp3");
    v.value = 1;
    EXPECT_EQ(PassVoicePath(0, 0, v.Source()), "Telvo\\Sound\\M_Pass1.mp3");
    EXPECT_EQ(PassVoicePath(9, 2, v.Source()), "Telvo\\Sound\\Quenlo\\N_Pass1.mp3");
    EXPECT_EQ(BangVoicePath(1, 1, BangVoice::Follow, v.Source()), "Telvo\\Sound\\Standard\\N_GenBang1.mp3");

    const int before = v.calls;
    EXPECT_EQ(BidVoicePath(0, 0, 2, v.Source()), "Telvo\\Sound\\M_2SCORE0.mp3");
    EXPECT_EQ(BidVoicePath(1, 1, 1, v.Source()), "Telvo\\Sound\\Standard\\N_1SCORE.mp3");
    EXPECT_EQ(v.calls, before) << "bids 1-3 have one take";
    EXPECT_EQ(BidVoicePath(0, 0, 255, v.Source()), "Telvo\\Sound\\M_0SCORE1.mp3");
    EXPECT_EQ(BidVoicePath(0, 0, 4, v.Source()), "");
}

TEST(VoiceLetters, EveryGenderByteGivesALetter)
{
    Variants v;
    EXPECT_EQ(DangerVoicePath(2, 0, v.Source()), "Telvo\\Sound\\O_danger0.mp3");
    for (int gender = 0; gender < 256; ++gender) {
        const std::string path = BangVoicePath(static_cast<uint8_t>(gender), 0, BangVoice::First, v.Source());
        const char letter = path[std::string("Telvo\\Sound\\").size()];
        EXPECT_TRUE(letter >= 'M' && letter <= 'Z') << gender;
    }
    EXPECT_EQ(DangerVoicePath(15, 0, v.Source()), "Telvo\\Sound\\N_danger0.mp3") << "'M' + 15 would be a backslash";
    v.value = -1;
    EXPECT_EQ(PassVoicePath(0, 0, v.Source()), "Telvo\\Sound\\M_Pass1.mp3") << "variants fold onto 0 and 1";
    EXPECT_EQ(PassVoicePath(0, 0, nullptr), "Telvo\\Sound\\M_Pass0.mp3");
}

}  // namespace
