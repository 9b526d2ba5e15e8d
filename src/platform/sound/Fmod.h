#pragma once

// The streaming calls of the FMOD Ex library, as far as the game uses them (the result window's
// looping coin sound), carried out by a sound backend:
//
//   FMOD::Sound* sound = nullptr;
//   FMOD::Channel* channel = nullptr;
//   system->createStream("telvo\\sound\\coin.mp3", FMOD_DEFAULT, nullptr, &sound);
//   system->playSound(FMOD_CHANNEL_FREE, sound, true, &channel); // starts paused
//   channel->setVolume(0.5f);
//   channel->setMode(FMOD_LOOP_NORMAL);
//   channel->setPaused(false);
//   ...
//   sound->release();
//
// Objects belong to their System and stay valid until it is destroyed; a released sound and its
// channel answer FMOD_ERR_INVALID_HANDLE instead of crashing, so stale pointers held by a window
// are harmless. A stream plays on one channel: playing it again restarts that channel.

#include <QString>

#include <memory>
#include <vector>

class CSoundBackend;

enum FMOD_RESULT {
    FMOD_OK = 0,
    FMOD_ERR_FILE_NOTFOUND,
    FMOD_ERR_INVALID_HANDLE,
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_CHANNEL_ALLOC,
};

using FMOD_MODE = unsigned int;
constexpr FMOD_MODE FMOD_DEFAULT = 0x0;
constexpr FMOD_MODE FMOD_LOOP_OFF = 0x1;
constexpr FMOD_MODE FMOD_LOOP_NORMAL = 0x2;

enum FMOD_CHANNELINDEX { FMOD_CHANNEL_FREE = -1, FMOD_CHANNEL_REUSE = -2 };

namespace FMOD {

class System;
class Sound;

class Channel {
public:
    FMOD_RESULT setPaused(bool paused);
    FMOD_RESULT getPaused(bool* paused) const;
    FMOD_RESULT setVolume(float volume); // 0 to 1
    FMOD_RESULT getVolume(float* volume) const;
    FMOD_RESULT setMode(FMOD_MODE mode); // FMOD_LOOP_NORMAL or FMOD_LOOP_OFF
    FMOD_RESULT isPlaying(bool* playing) const;
    FMOD_RESULT stop();

private:
    friend class Sound;
    explicit Channel(Sound& sound)
        : m_sound(sound)
    {
    }
    Sound& m_sound;
};

class Sound {
public:
    // Stops the sound and frees its data; the object itself lives on, invalid, until its System
    // is destroyed.
    FMOD_RESULT release();
    FMOD_RESULT getMode(FMOD_MODE* mode) const;

private:
    friend class System;
    friend class Channel;
    Sound(System& system, int stream, FMOD_MODE mode);
    bool IsValid() const;

    System& m_system;
    int m_nStream;
    FMOD_MODE m_mode;
    bool m_bPlayed = false;
    Channel m_channel;
};

class System {
public:
    // Works through `backend`, or the current backend (taken now) when none is given.
    explicit System(CSoundBackend* backend = nullptr);
    ~System();
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    // The name is UTF-8 and may be a relative '\' path. `exinfo` is accepted and ignored.
    FMOD_RESULT createStream(const char* name, FMOD_MODE mode, void* exinfo, Sound** sound);
    FMOD_RESULT createSound(const char* name, FMOD_MODE mode, void* exinfo, Sound** sound);
    FMOD_RESULT playSound(FMOD_CHANNELINDEX index, Sound* sound, bool paused, Channel** channel);
    // Releases every sound; the System itself stays usable.
    FMOD_RESULT release();

private:
    friend class Sound;
    friend class Channel;
    bool Owns(const Sound* sound) const;

    CSoundBackend& m_backend;
    std::vector<std::unique_ptr<Sound>> m_sounds;
};

} // namespace FMOD
