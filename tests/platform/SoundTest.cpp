#include "platform/sound/Fmod.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "platform/sound/SdlSoundBackend.h"
#include "support/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

TEST(SoundRecording, HostCallsBecomeLinesWithPathsAsWritten)
{
    CRecordingSoundBackend sound;
    QStringList sunk;
    sound.SetSink([&sunk](const QString& line) { sunk << line; });

    sound.PlayEffectSound(QStringLiteral("Telvo\\Sound\\OUT_CARD.mp3"));
    sound.PlayBkgrndSound(QStringLiteral("telvo\\sound\\bgsound1.mp3"));
    EXPECT_TRUE(sound.IsBkgrndSndPlaying());
    sound.PlayWaveLoop(QStringLiteral("telvo\\sound\\DISPATCH_CARD.wav"));
    EXPECT_TRUE(sound.IsWaveLooping());
    sound.StopWaveLoop();
    sound.StopBkgrndSound();
    EXPECT_FALSE(sound.IsBkgrndSndPlaying());
    EXPECT_FALSE(sound.IsWaveLooping());
    sound.PlayEffectSound(QString()); // nothing to play

    const QStringList expected = {"sound effect Telvo\\Sound\\OUT_CARD.mp3", "sound bg telvo\\sound\\bgsound1.mp3",
        "sound wave telvo\\sound\\DISPATCH_CARD.wav", "sound wave stop", "sound stopbg"};
    EXPECT_EQ(sound.Lines(), expected);
    EXPECT_EQ(sunk, expected);
}

TEST(SoundSwitches, DisabledSoundDropsEffectsAndStopsWhatLoops)
{
    CRecordingSoundBackend sound;
    sound.PlayBkgrndSound(QStringLiteral("bg0.mp3"));
    sound.PlayWaveLoop(QStringLiteral("deal.wav"));
    sound.ClearLines();

    sound.EnableSound(false);
    EXPECT_FALSE(sound.IsEnableSound());
    EXPECT_FALSE(sound.IsBkgrndSndPlaying());
    EXPECT_FALSE(sound.IsWaveLooping());
    sound.PlayEffectSound(QStringLiteral("Telvo\\Sound\\BOMB_CARD.mp3"));
    sound.PlayWaveLoop(QStringLiteral("deal.wav"));
    EXPECT_FALSE(sound.IsWaveLooping());
    // Stops are always passed on.
    sound.StopWaveLoop();
    EXPECT_EQ(sound.Lines(), QStringList({"sound stopbg", "sound wave stop", "sound wave stop"}));
    sound.ClearLines();

    // The music comes back with sound; the dealing loop was a moment's noise and does not.
    sound.EnableSound(true);
    EXPECT_TRUE(sound.IsBkgrndSndPlaying());
    sound.PlayEffectSound(QStringLiteral("e.mp3"));
    EXPECT_EQ(sound.Lines(), QStringList({"sound bg bg0.mp3", "sound effect e.mp3"}));

    // Switching to the state it is in does nothing.
    sound.ClearLines();
    sound.EnableSound(true);
    sound.EnableBkgrndSound(true);
    EXPECT_TRUE(sound.Lines().isEmpty());
}

TEST(SoundSwitches, BackgroundSwitchRemembersTheLastMusic)
{
    CRecordingSoundBackend sound;
    sound.EnableBkgrndSound(false);
    EXPECT_FALSE(sound.IsEnableBkgrndSound());
    sound.PlayBkgrndSound(QStringLiteral("bg0.mp3"));
    sound.PlayBkgrndSound(QStringLiteral("bg1.mp3"));
    EXPECT_FALSE(sound.IsBkgrndSndPlaying());
    sound.PlayEffectSound(QStringLiteral("e.mp3")); // effects are not music
    EXPECT_EQ(sound.Lines(), QStringList({"sound effect e.mp3"}));
    sound.ClearLines();

    sound.EnableBkgrndSound(true);
    EXPECT_TRUE(sound.IsBkgrndSndPlaying());
    EXPECT_EQ(sound.Lines(), QStringList({"sound bg bg1.mp3"}));
    sound.ClearLines();

    // Once stopped the music is forgotten: switching on again stays silent.
    sound.StopBkgrndSound();
    sound.EnableBkgrndSound(false);
    sound.EnableBkgrndSound(true);
    sound.EnableSound(false);
    sound.EnableSound(true);
    EXPECT_FALSE(sound.IsBkgrndSndPlaying());
    EXPECT_EQ(sound.Lines(), QStringList({"sound stopbg"}));
}

TEST(SoundCurrent, SilentUntilChosenAndRestoredAfterScope)
{
    CSoundBackend& silent = GetSoundBackend();
    silent.PlayBkgrndSound(QStringLiteral("bg0.mp3"));
    EXPECT_FALSE(silent.IsBkgrndSndPlaying());
    silent.StopBkgrndSound();
    {
        CRecordingSoundBackend sound;
        CScopedSoundBackend scope(sound);
        GetSoundBackend().PlayEffectSound(QStringLiteral("x.mp3"));
        EXPECT_EQ(sound.Lines(), QStringList({"sound effect x.mp3"}));
    }
    EXPECT_EQ(&GetSoundBackend(), &silent);
}

// The calls the result window makes for its coin sound.
TEST(SoundStreams, PausedLoopingStreamStartsOnlyWhenUnpaused)
{
    CRecordingSoundBackend sound;
    FMOD::System system(&sound);
    FMOD::Sound* coin = nullptr;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(system.createStream("telvo\\sound\\coin.mp3", FMOD_DEFAULT, nullptr, &coin), FMOD_OK);
    ASSERT_EQ(system.playSound(FMOD_CHANNEL_FREE, coin, true, &channel), FMOD_OK);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->setVolume(0.5F), FMOD_OK);
    EXPECT_EQ(channel->setMode(FMOD_LOOP_NORMAL), FMOD_OK);

    bool playing = false;
    bool paused = false;
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_OK);
    EXPECT_TRUE(playing);
    EXPECT_EQ(channel->getPaused(&paused), FMOD_OK);
    EXPECT_TRUE(paused);
    EXPECT_EQ(sound.Lines(), QStringList({"sound stream open telvo\\sound\\coin.mp3"}));

    EXPECT_EQ(channel->setPaused(false), FMOD_OK);
    EXPECT_EQ(channel->setPaused(true), FMOD_OK);
    EXPECT_EQ(channel->setPaused(false), FMOD_OK);
    EXPECT_EQ(coin->release(), FMOD_OK);
    EXPECT_EQ(sound.Lines(),
        QStringList({"sound stream open telvo\\sound\\coin.mp3", "sound stream play telvo\\sound\\coin.mp3 loop=1 volume=0.5",
            "sound stream pause telvo\\sound\\coin.mp3", "sound stream resume telvo\\sound\\coin.mp3",
            "sound stream stop telvo\\sound\\coin.mp3", "sound stream release telvo\\sound\\coin.mp3"}));
}

TEST(SoundStreams, DisabledSoundMutesRunningStreams)
{
    CRecordingSoundBackend sound;
    FMOD::System system(&sound);
    FMOD::Sound* coin = nullptr;
    FMOD::Channel* channel = nullptr;
    system.createStream("coin.mp3", FMOD_LOOP_NORMAL, nullptr, &coin);
    system.playSound(FMOD_CHANNEL_FREE, coin, false, &channel);
    channel->setVolume(0.25F);
    sound.ClearLines();

    sound.EnableSound(false);
    channel->setVolume(0.75F);
    sound.EnableSound(true);
    float volume = 0;
    EXPECT_EQ(channel->getVolume(&volume), FMOD_OK);
    EXPECT_FLOAT_EQ(volume, 0.75F);
    EXPECT_EQ(sound.Lines(),
        QStringList({"sound stream volume coin.mp3 0", "sound stream volume coin.mp3 0", "sound stream volume coin.mp3 0.75"}));

    channel->setVolume(7.0F);
    channel->getVolume(&volume);
    EXPECT_FLOAT_EQ(volume, 1.0F);
    channel->setVolume(std::nanf(""));
    channel->getVolume(&volume);
    EXPECT_FLOAT_EQ(volume, 0.0F);
}

TEST(SoundStreams, StaleHandlesAnswerInvalidInsteadOfCrashing)
{
    CRecordingSoundBackend sound;
    FMOD::System system(&sound);
    FMOD::Sound* coin = nullptr;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(system.createStream("coin.mp3", FMOD_DEFAULT, nullptr, &coin), FMOD_OK);
    // No channel before the sound was played.
    EXPECT_EQ(system.playSound(FMOD_CHANNEL_FREE, nullptr, false, &channel), FMOD_ERR_INVALID_PARAM);
    ASSERT_EQ(system.playSound(FMOD_CHANNEL_FREE, coin, false, &channel), FMOD_OK);
    ASSERT_EQ(coin->release(), FMOD_OK);
    sound.ClearLines();

    bool playing = true;
    EXPECT_EQ(channel->setPaused(true), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(channel->setVolume(0.1F), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_FALSE(playing);
    EXPECT_EQ(coin->release(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(system.playSound(FMOD_CHANNEL_FREE, coin, false, &channel), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(channel, nullptr);
    EXPECT_TRUE(sound.Lines().isEmpty());

    // A sound of another system is not this one's to play.
    FMOD::System other(&sound);
    FMOD::Sound* foreign = nullptr;
    other.createStream("other.mp3", FMOD_DEFAULT, nullptr, &foreign);
    EXPECT_EQ(system.playSound(FMOD_CHANNEL_FREE, foreign, false, &channel), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(system.createStream(nullptr, FMOD_DEFAULT, nullptr, &coin), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(coin, nullptr);
}

TEST(SoundStreams, SystemReleasesWhatIsLeftWhenDestroyed)
{
    CRecordingSoundBackend sound;
    {
        FMOD::System system(&sound);
        FMOD::Sound* coin = nullptr;
        system.createStream("coin.mp3", FMOD_DEFAULT, nullptr, &coin);
        system.playSound(FMOD_CHANNEL_FREE, coin, false, nullptr);
    }
    EXPECT_EQ(sound.Lines().back(), QStringLiteral("sound stream release coin.mp3"));
}

// ---- The SDL backend, on the dummy audio driver. ----------------------------------------------

// A short mono 16-bit WAV tone.
QByteArray MakeWave(int milliseconds)
{
    constexpr std::uint32_t kRate = 22050;
    const std::uint32_t samples = kRate * static_cast<std::uint32_t>(milliseconds) / 1000;
    const std::uint32_t dataBytes = samples * 2;
    QByteArray out;
    auto put32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&out](std::uint16_t v) {
        out.append(static_cast<char>(v & 0xFF));
        out.append(static_cast<char>(v >> 8));
    };
    out.append("RIFF");
    put32(36 + dataBytes);
    out.append("WAVEfmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    out.append("data");
    put32(dataBytes);
    for (std::uint32_t i = 0; i < samples; ++i)
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 0.06))));
    return out;
}

class SdlSoundTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("SDL_AUDIODRIVER") == nullptr)
            setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(m_user.isValid() && m_installed.isValid());
        SetDataFolders(m_user.path().toStdString(), m_installed.path().toStdString());
        QDir(m_user.path()).mkpath(QStringLiteral("telvo/sound"));
        Write(QStringLiteral("telvo/sound/ding.wav"), MakeWave(80));
        Write(QStringLiteral("telvo/sound/garbage.mp3"), QByteArray(4096, '\x5a'));
        Write(QStringLiteral("telvo/sound/empty.wav"), QByteArray());
    }
    void TearDown() override { ClearDataFolders(); }

    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_user.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_user;
    QTemporaryDir m_installed;
};

TEST_F(SdlSoundTest, BadFilesAreSkippedQuietly)
{
    CSdlSoundBackend sound;
    ASSERT_TRUE(sound.IsAudioOpen());
    const QStringList bad = {QStringLiteral("Telvo\\Sound\\NOT_THERE.mp3"), QStringLiteral("telvo\\sound\\garbage.mp3"),
        QStringLiteral("telvo\\sound\\empty.wav"), QStringLiteral("telvo\\sound"), QStringLiteral("..\\..\\etc\\passwd"),
        QStringLiteral("/nonexistent/x.wav"), QStringLiteral("\\")};
    for (const QString& path : bad) {
        sound.PlayEffectSound(path);
        sound.PlayWaveLoop(path);
        EXPECT_FALSE(sound.IsWaveLooping()) << path.toStdString();
        sound.PlayBkgrndSound(path);
        // Garbage may pass as a (noisy) MP3 stream to the music decoder; what matters is that
        // the calls come back.
        if (!path.contains(QLatin1String("garbage"))) {
            EXPECT_FALSE(sound.IsBkgrndSndPlaying()) << path.toStdString();
        }
        FMOD::System system(&sound);
        FMOD::Sound* stream = nullptr;
        EXPECT_NE(system.createStream(path.toUtf8().constData(), FMOD_DEFAULT, nullptr, &stream), FMOD_OK);
        EXPECT_EQ(stream, nullptr);
    }
    sound.StopWaveLoop();
    sound.StopBkgrndSound();
}

TEST_F(SdlSoundTest, PathsAreFoundInAnyCaseWithBackslashes)
{
    CSdlSoundBackend sound;
    ASSERT_TRUE(sound.IsAudioOpen());
    sound.PlayBkgrndSound(QStringLiteral("Telvo\\Sound\\DING.wav"));
    EXPECT_TRUE(sound.IsBkgrndSndPlaying());
    sound.PlayWaveLoop(QStringLiteral("TELVO\\sound\\ding.WAV"));
    EXPECT_TRUE(sound.IsWaveLooping());
    for (int i = 0; i < 40; ++i) // more than there are channels
        sound.PlayEffectSound(QStringLiteral("telvo\\Sound\\Ding.wav"));

    sound.EnableSound(false);
    EXPECT_FALSE(sound.IsBkgrndSndPlaying());
    sound.EnableSound(true);
    EXPECT_TRUE(sound.IsBkgrndSndPlaying());
    sound.StopBkgrndSound();
    sound.StopWaveLoop();
    EXPECT_FALSE(sound.IsBkgrndSndPlaying());
}

TEST_F(SdlSoundTest, StreamPlaysPausedLoopsAndStops)
{
    CSdlSoundBackend sound;
    ASSERT_TRUE(sound.IsAudioOpen());
    FMOD::System system(&sound);
    FMOD::Sound* coin = nullptr;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(system.createStream("telvo\\sound\\DING.wav", FMOD_DEFAULT, nullptr, &coin), FMOD_OK);
    ASSERT_EQ(system.playSound(FMOD_CHANNEL_FREE, coin, true, &channel), FMOD_OK);
    channel->setVolume(0.5F);
    channel->setMode(FMOD_LOOP_NORMAL);
    bool playing = false;
    channel->isPlaying(&playing);
    EXPECT_TRUE(playing);
    channel->setPaused(false);
    channel->isPlaying(&playing);
    EXPECT_TRUE(playing);
    channel->setPaused(true);
    channel->isPlaying(&playing);
    EXPECT_TRUE(playing);

    // More streams than the backend keeps channels for: the extra ones fail, nothing breaks.
    std::vector<FMOD::Sound*> more(4, nullptr);
    int started = 0;
    for (auto*& extra : more) {
        ASSERT_EQ(system.createStream("telvo\\sound\\ding.wav", FMOD_LOOP_NORMAL, nullptr, &extra), FMOD_OK);
        started += system.playSound(FMOD_CHANNEL_FREE, extra, false, nullptr) == FMOD_OK ? 1 : 0;
    }
    EXPECT_EQ(started, 2);

    EXPECT_EQ(channel->stop(), FMOD_OK);
    channel->isPlaying(&playing);
    EXPECT_FALSE(playing);
    // Its channel is free again for a stream that could not start before.
    EXPECT_EQ(system.playSound(FMOD_CHANNEL_FREE, more.back(), false, nullptr), FMOD_OK);
    EXPECT_EQ(coin->release(), FMOD_OK);
}

TEST_F(SdlSoundTest, OnlyOneInstanceOwnsTheDevice)
{
    auto first = std::make_unique<CSdlSoundBackend>();
    ASSERT_TRUE(first->IsAudioOpen());
    CSdlSoundBackend second;
    EXPECT_FALSE(second.IsAudioOpen());
    second.PlayBkgrndSound(QStringLiteral("telvo\\sound\\ding.wav"));
    EXPECT_FALSE(second.IsBkgrndSndPlaying());
    first.reset();
    CSdlSoundBackend third;
    EXPECT_TRUE(third.IsAudioOpen());
}

} // namespace
