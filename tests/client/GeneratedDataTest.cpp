// The pictures and sounds the program names are in the build's data folder, as the generators
// wrote them, and load the way the program loads them: pictures through the skin library, sounds
// decoded by the live sound backend. A name added to the program without its file, or a file
// the backend cannot decode, fails here rather than as a silent or empty table.
#include "ViewTestHarness.h"
#include "interaction/VoiceNames.h"
#include "logic/LogicTestUtil.h"
#include "platform/SkinImage.h"
#include "platform/sound/SdlSoundBackend.h"
#include "support/DataPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The string literals of a C++ source, as written (escapes kept); comments are skipped, so a
// name quoted in a comment does not count.
std::vector<std::string> StringLiterals(const std::string& source)
{
    std::vector<std::string> literals;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i + 2);
            i = i == std::string::npos ? i : i + 1;
        } else if (source[i] == '"' || source[i] == '\'') {
            const char quote = source[i];
            std::string text;
            for (++i; i < source.size() && source[i] != quote; ++i) {
                if (source[i] == '\\' && i + 1 < source.size())
                    text += source[i++];
                text += source[i];
            }
            if (quote == '"')
                literals.push_back(text);
        }
        if (i == std::string::npos)
            break;
    }
    return literals;
}

// Every string literal of the program's source that names a data file with one of the given
// endings, as the program writes it (one backslash between folders). A "%d" in a name is the
// variant 0 or 1 the program fills in; any other conversion could not be checked and is kept
// as it is, so it shows up as missing.
std::set<std::string> NamedInSource(std::initializer_list<const char*> endings)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QARRUM_SOURCE_DIR) / "src")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        for (const std::string& literal : StringLiterals(text.str())) {
            std::string name;
            for (std::size_t i = 0; i < literal.size(); ++i)
                name += literal[i] == '\\' && i + 1 < literal.size() && literal[i + 1] == '\\' ? literal[i++] : literal[i];
            const std::string lower = Lower(name);
            const bool data = lower.starts_with("telvo\\") || lower.starts_with("hubra\\") || lower.starts_with("res\\");
            if (!data || std::none_of(endings.begin(), endings.end(), [&](const char* end) { return EndsWith(lower, end); }))
                continue;
            const std::size_t variant = name.find("%d");
            if (variant == std::string::npos) {
                names.insert(name);
                continue;
            }
            for (const char* digit : {"0", "1"})
                names.insert(std::string(name).replace(variant, 2, digit));
        }
    }
    return names;
}

// Every voice and play effect the voice rules can name: both genders, both voice sets and the
// sets without a folder, every variant, and a play of every kind (singles and pairs of every rank).
std::set<std::string> VoicesAndPlayEffects()
{
    const CGameLogic logic;
    std::vector<std::vector<uint8_t>> plays;
    for (uint8_t card : Cards("03 04 05 06 07 08 09 0A 0B 0C 0D 01 02 4E 4F"))
        plays.push_back({card});
    for (const char* pair : {"03 13", "04 14", "05 15", "06 16", "07 17", "08 18", "09 19", "0A 1A", "0B 1B", "0C 1C",
                             "0D 1D", "01 11", "02 12"})
        plays.push_back(Cards(pair));
    for (const char* play : {"05 15 25", "05 15 25 06", "05 15 25 06 16", "05 15 25 06 16 26", "05 15 25 06 16 26 07 08",
                             "05 15 25 06 16 26 07 17 08 18", "03 04 05 06 07", "03 13 04 14 05 15", "05 15 25 35 07 08",
                             "05 15 25 35 07 17 08 18", "05 15 25 35", "4E 4F"})
        plays.push_back(Cards(play));

    std::set<std::string> names;
    for (uint8_t gender : {0, 1}) {
        for (uint8_t dialect : {0, 1, 2}) {
            for (int variant : {0, 1}) {
                const VariantSource source = [variant] { return variant; };
                for (const std::vector<uint8_t>& play : plays) {
                    const std::vector<uint8_t> sorted = Sorted(play);
                    const auto count = static_cast<uint8_t>(sorted.size());
                    const uint8_t type = logic.JudgeType(sorted.data(), count);
                    EXPECT_NE(type, PLAY_INVALID) << Text(sorted);
                    names.insert(PlayVoicePath(logic, gender, dialect, sorted.data(), count, type, source));
                    names.insert(PlayEffectPath(type, count));
                }
                names.insert(PassVoicePath(gender, dialect, source));
                for (uint8_t bid : {1, 2, 3, 255})
                    names.insert(BidVoicePath(gender, dialect, bid, source));
                for (BangVoice kind : {BangVoice::First, BangVoice::LandlordAnswer, BangVoice::Follow})
                    names.insert(BangVoicePath(gender, dialect, kind, source));
                names.insert(DangerVoicePath(gender, dialect, source));
            }
        }
    }
    names.erase(std::string()); // the small trio plays have no effect sound
    return names;
}

class GeneratedData : public testing::Test {
protected:
    void SetUp() override
    {
        // Only the installed folder: a user's own files must not stand in for missing ones.
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        ASSERT_TRUE(fs::is_directory(InstalledDataFolder() / "Telvo")) << "the build has not generated its data";
    }
    void TearDown() override { ClearDataFolders(); }

    TempFolder m_home;
};

TEST_F(GeneratedData, EveryPictureTheProgramNamesLoads)
{
    viewtest::EnsureApplication();
    const std::set<std::string> pictures = NamedInSource({".png", ".bmp", ".jpg"});
    EXPECT_GT(pictures.size(), 50u) << "the source scan found too few names to be working";
    for (const std::string& name : pictures)
        EXPECT_FALSE(LoadSkinPicture(name).isNull()) << name;
}

TEST_F(GeneratedData, EverySoundTheProgramNamesIsGenerated)
{
    std::set<std::string> sounds = NamedInSource({".mp3", ".wav"});
    EXPECT_GE(sounds.size(), 10u) << "the source scan found too few names to be working";
    const std::set<std::string> voices = VoicesAndPlayEffects();
    // Two genders in three folders: the play voices and the event voices, with their variants.
    EXPECT_GT(voices.size(), 200u);
    sounds.insert(voices.begin(), voices.end());
    const fs::path root = fs::canonical(InstalledDataFolder() / "Telvo" / "Sound");
    for (const std::string& name : sounds) {
        const auto file = ResolveForReading(name);
        if (!file) {
            ADD_FAILURE() << name << " is missing";
            continue;
        }
        EXPECT_TRUE(fs::canonical(*file).string().starts_with(root.string() + "/")) << name << " is not a generated sound";
    }
}

// Every generated sound, named by the code or not yet (the result window's coins, bomb and
// fireworks come with its drawing), decodes both ways the backend reads files: whole, as effects,
// the dealing loop and the result window's stream are, and streamed, as the music is.
TEST_F(GeneratedData, EveryGeneratedSoundDecodes)
{
    if (std::getenv("SDL_AUDIODRIVER") == nullptr)
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    CSdlSoundBackend sound;
    ASSERT_TRUE(sound.IsAudioOpen());
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(InstalledDataFolder() / "Telvo" / "Sound")) {
        if (!entry.is_regular_file())
            continue;
        ++count;
        const QString path = QString::fromStdString(entry.path().string());
        const int stream = sound.OpenStream(path);
        EXPECT_NE(stream, 0) << entry.path();
        sound.ReleaseStream(stream);
        sound.PlayBkgrndSound(path);
        EXPECT_TRUE(sound.IsBkgrndSndPlaying()) << entry.path();
        sound.StopBkgrndSound();
    }
    EXPECT_GT(count, 200);
}

} // namespace
