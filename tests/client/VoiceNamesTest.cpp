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
        return [this] {
            ++calls;
            return value;
        };
    }
};

std::string Play(uint8_t gender, uint8_t dialect, const std::string& cards, Variants& v)
{
    const auto sorted = Sorted(Cards(cards));
    const auto n = static_cast<uint8_t>(sorted.size());
    return PlayVoicePath(logic, gender, dialect, sorted.data(), n, logic.JudgeType(sorted.data(), n), v.Source());
}

TEST(PlayVoice, NamesFollowTheCombinationAndTheVoiceSet)
{
    Variants v;
    EXPECT_EQ(Play(1, 2, "01 11", v), "Telvo\\Sound\\Quenlo\\N_2_14.mp3");
    EXPECT_EQ(Play(0, 0, "03", v), "Telvo\\Sound\\Standard\\M_3.mp3");
    EXPECT_EQ(Play(0, 1, "4F", v), "Telvo\\Sound\\Standard\\M_17.mp3");
    EXPECT_EQ(Play(0, 7, "05 15 25", v), "Telvo\\Sound\\Standard\\M_3_0.mp3");
    EXPECT_EQ(Play(0, 1, "05 15 25 06", v), "Telvo\\Sound\\Standard\\M_3_1.mp3");
    EXPECT_EQ(Play(1, 1, "05 15 25 06 16", v), "Telvo\\Sound\\Standard\\N_3_2.mp3");
    EXPECT_EQ(Play(1, 1, "03 13 04 14 05 15", v), "Telvo\\Sound\\Standard\\N_2_LINE0.mp3");
    EXPECT_EQ(Play(0, 1, "05 15 25 35 07 08", v), "Telvo\\Sound\\Standard\\M_4_2.mp3");
    EXPECT_EQ(Play(0, 1, "05 15 25 35 07 17 08 18", v), "Telvo\\Sound\\Standard\\M_4_2.mp3");
    EXPECT_EQ(v.calls, 0) << "none of these names has a variant";

    v.value = 1;
    EXPECT_EQ(Play(0, 1, "05 15 25 06 16 26 07 08", v), "Telvo\\Sound\\Standard\\M_PLANE1.mp3");
    EXPECT_EQ(Play(0, 1, "05 15 25 06 16 26", v), "Telvo\\Sound\\Standard\\M_PLANE1.mp3");
    EXPECT_EQ(Play(0, 1, "03 04 05 06 07", v), "Telvo\\Sound\\Standard\\M_1_LINE1.mp3");
    EXPECT_EQ(Play(1, 1, "05 15 25 35", v), "Telvo\\Sound\\Standard\\N_BOMB1.mp3");
    v.value = 0;
    EXPECT_EQ(Play(0, 2, "4F 4E", v), "Telvo\\Sound\\Quenlo\\M_ROCKET0.mp3");
    EXPECT_EQ(v.calls, 5);

    EXPECT_EQ(Play(0, 1, "03 05", v), "") << "an invalid play has no voice";
    EXPECT_EQ(PlayVoicePath(logic, 0, 1, nullptr, 0, PLAY_SINGLE, v.Source()), "");
}

TEST(EventVoices, PassBidBangAndDangerLieUnderTheRootOutsideTheTwoSets)
{
    Variants v;
    EXPECT_EQ(PassVoicePath(0, 0, v.Source()), "Telvo\\Sound\\M_Pass0.mp3");
    v.value = 1;
    EXPECT_EQ(PassVoicePath(0, 0, v.Source()), "Telvo\\Sound\\M_Pass1.mp3");
    EXPECT_EQ(PassVoicePath(1, 2, v.Source()), "Telvo\\Sound\\Quenlo\\N_Pass1.mp3");
    EXPECT_EQ(PassVoicePath(9, 1, v.Source()), "Telvo\\Sound\\Standard\\N_Pass1.mp3");

    const int before = v.calls;
    EXPECT_EQ(BidVoicePath(0, 0, 1, v.Source()), "Telvo\\Sound\\M_1SCORE.mp3");
    EXPECT_EQ(BidVoicePath(0, 0, 2, v.Source()), "Telvo\\Sound\\M_2SCORE0.mp3");
    EXPECT_EQ(BidVoicePath(1, 1, 3, v.Source()), "Telvo\\Sound\\Standard\\N_3SCORE0.mp3");
    EXPECT_EQ(v.calls, before) << "bids 1-3 have one take";
    EXPECT_EQ(BidVoicePath(0, 0, 255, v.Source()), "Telvo\\Sound\\M_0SCORE1.mp3");
    EXPECT_EQ(BidVoicePath(0, 0, 4, v.Source()), "");

    EXPECT_EQ(BangVoicePath(1, 2, BangVoice::First, v.Source()), "Telvo\\Sound\\Quenlo\\N_JiaBang0.mp3");
    EXPECT_EQ(BangVoicePath(0, 0, BangVoice::LandlordAnswer, v.Source()), "Telvo\\Sound\\M_FanBang1.mp3");
    EXPECT_EQ(BangVoicePath(1, 1, BangVoice::Follow, v.Source()), "Telvo\\Sound\\Standard\\N_GenBang1.mp3");
    EXPECT_EQ(DangerVoicePath(0, 3, v.Source()), "Telvo\\Sound\\M_danger1.mp3");
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

TEST(PlayEffect, BombsRocketsAndLargeTrioPlays)
{
    EXPECT_EQ(PlayEffectPath(PLAY_BOMB, 4), "Telvo\\Sound\\BOMB_CARD.mp3");
    EXPECT_EQ(PlayEffectPath(PLAY_ROCKET, 2), "Telvo\\Sound\\ROCKET.mp3");
    EXPECT_EQ(PlayEffectPath(PLAY_TRIO_PLUS_ONE, 8), "Telvo\\Sound\\PLANE.mp3");
    EXPECT_EQ(PlayEffectPath(PLAY_PLANE, 6), "Telvo\\Sound\\PLANE.mp3");
    EXPECT_EQ(PlayEffectPath(PLAY_TRIO_PLUS_ONE, 4), "");
    EXPECT_EQ(PlayEffectPath(PLAY_TRIO_PLUS_PAIR, 5), "");
    EXPECT_EQ(PlayEffectPath(PLAY_TRIO, 3), "Telvo\\Sound\\OUT_CARD.mp3");
    EXPECT_EQ(PlayEffectPath(PLAY_LINE, 12), "Telvo\\Sound\\OUT_CARD.mp3");
}

}  // namespace
