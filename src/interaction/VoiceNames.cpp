#include "interaction/VoiceNames.h"

#include "protocol/GameRecords.h"

namespace {

const std::string kSoundRoot = "Telvo\\Sound\\";

// Play voices always have a folder; the others lie directly under the sound root for a voice set
// other than the two known ones.
std::string PlayFolder(uint8_t dialect)
{
    return dialect == 2 ? "Quenlo\\" : "Standard\\";
}

std::string EventFolder(uint8_t dialect)
{
    switch (dialect) {
    case 1:
        return "Standard\\";
    case 2:
        return "Quenlo\\";
    default:
        return {};
    }
}

// 'M' + gender names the speaker of plays, bangs and warnings (0 'M', 1 'N'). A gender byte that
// would leave the capital letters (the sum reaches '\\' at 15 and wraps past 255) speaks with the
// voice that pass and bid give every non-zero gender.
char VoiceLetter(uint8_t gender)
{
    const int letter = 'M' + gender;
    return letter <= 'Z' ? static_cast<char>(letter) : 'N';
}

std::string Prefix(uint8_t gender)
{
    return gender == 0 ? "M_" : "N_";
}

// The controller's source gives 0 or 1; anything else is folded onto those, and a missing source
// names variant 0.
char Variant(const VariantSource& variant)
{
    return variant && (variant() & 1) ? '1' : '0';
}

std::string Voice(const std::string& folder, const std::string& name)
{
    return kSoundRoot + folder + name + ".mp3";
}

bool IsTrioType(uint8_t type)
{
    return type == PLAY_PLANE || type == PLAY_TRIO_PLUS_ONE || type == PLAY_TRIO_PLUS_PAIR;
}

}  // namespace

std::string PlayVoicePath(const CGameLogic& logic, uint8_t gender, uint8_t dialect, const uint8_t sorted[], uint8_t count,
                          uint8_t type, const VariantSource& variant)
{
    if (count == 0 || count > MAX_CARD_LIST || sorted == nullptr)
        return {};
    const std::string c(1, VoiceLetter(gender));
    const std::string rank = std::to_string(logic.CardRank(sorted[0]));
    std::string name;
    switch (type) {
    case PLAY_SINGLE:
        name = c + "_" + rank;
        break;
    case PLAY_PAIR:
        name = c + "_2_" + rank;
        break;
    case PLAY_TRIO:
        name = c + "_3_0";
        break;
    case PLAY_TRIO_PLUS_ONE:
    case PLAY_TRIO_PLUS_PAIR:
        if (count <= 5) {
            name = c + (type == PLAY_TRIO_PLUS_ONE ? "_3_1" : "_3_2");
            break;
        }
        [[fallthrough]];
    case PLAY_PLANE:
        name = c + "_PLANE" + Variant(variant);
        break;
    case PLAY_LINE:
        name = c + "_1_LINE" + Variant(variant);
        break;
    case PLAY_PAIR_LINE:
        name = c + "_2_LINE0";
        break;
    case PLAY_FOUR_PLUS_TWO:
    case PLAY_FOUR_PLUS_PAIRS:
        name = c + "_4_2";
        break;
    case PLAY_BOMB:
        name = c + "_BOMB" + Variant(variant);
        break;
    case PLAY_ROCKET:
        name = c + "_ROCKET" + Variant(variant);
        break;
    default:
        return {};
    }
    return Voice(PlayFolder(dialect), name);
}

std::string PassVoicePath(uint8_t gender, uint8_t dialect, const VariantSource& variant)
{
    return Voice(EventFolder(dialect), Prefix(gender) + "Pass" + Variant(variant));
}

std::string BidVoicePath(uint8_t gender, uint8_t dialect, uint8_t bid, const VariantSource& variant)
{
    std::string name = Prefix(gender);
    switch (bid) {
    case 1:
        name += "1SCORE";
        break;
    case 2:
    case 3:
        // Only the no-bid voice has two takes.
        name += std::to_string(bid) + "SCORE0";
        break;
    case BID_PASS:
        name += std::string("0SCORE") + Variant(variant);
        break;
    default:
        return {};
    }
    return Voice(EventFolder(dialect), name);
}

std::string BangVoicePath(uint8_t gender, uint8_t dialect, BangVoice kind, const VariantSource& variant)
{
    const std::string c(1, VoiceLetter(gender));
    switch (kind) {
    case BangVoice::First:
        return Voice(EventFolder(dialect), c + "_JiaBang0");
    case BangVoice::LandlordAnswer:
        return Voice(EventFolder(dialect), c + "_FanBang" + Variant(variant));
    case BangVoice::Follow:
        return Voice(EventFolder(dialect), c + "_GenBang" + Variant(variant));
    }
    return {};
}

std::string DangerVoicePath(uint8_t gender, uint8_t dialect, const VariantSource& variant)
{
    return Voice(EventFolder(dialect), std::string(1, VoiceLetter(gender)) + "_danger" + Variant(variant));
}

std::string PlayEffectPath(uint8_t type, uint8_t count)
{
    switch (type) {
    case PLAY_BOMB:
        return kSoundRoot + "BOMB_CARD.mp3";
    case PLAY_ROCKET:
        return kSoundRoot + "ROCKET.mp3";
    default:
        break;
    }
    if (IsTrioType(type))
        return count > 5 ? kSoundRoot + "PLANE.mp3" : std::string();
    return kSoundRoot + "OUT_CARD.mp3";
}
