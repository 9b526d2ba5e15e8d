#include "platform/sound/Fmod.h"

#include "platform/sound/SoundBackend.h"

#include <algorithm>

namespace FMOD {

FMOD_RESULT Channel::setPaused(bool paused)
{
    if (!m_sound.IsValid() || !m_sound.m_bPlayed)
        return FMOD_ERR_INVALID_HANDLE;
    m_sound.m_system.m_backend.SetStreamPaused(m_sound.m_nStream, paused);
    return FMOD_OK;
}

FMOD_RESULT Channel::getPaused(bool* paused) const
{
    if (paused == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    if (!m_sound.IsValid() || !m_sound.m_bPlayed)
        return FMOD_ERR_INVALID_HANDLE;
    *paused = m_sound.m_system.m_backend.IsStreamPaused(m_sound.m_nStream);
    return FMOD_OK;
}

FMOD_RESULT Channel::setVolume(float volume)
{
    if (!m_sound.IsValid() || !m_sound.m_bPlayed)
        return FMOD_ERR_INVALID_HANDLE;
    m_sound.m_system.m_backend.SetStreamVolume(m_sound.m_nStream, volume);
    return FMOD_OK;
}

FMOD_RESULT Channel::getVolume(float* volume) const
{
    if (volume == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    if (!m_sound.IsValid() || !m_sound.m_bPlayed)
        return FMOD_ERR_INVALID_HANDLE;
    *volume = m_sound.m_system.m_backend.StreamVolume(m_sound.m_nStream);
    return FMOD_OK;
}

FMOD_RESULT Channel::setMode(FMOD_MODE mode)
{
    if (!m_sound.IsValid() || !m_sound.m_bPlayed)
        return FMOD_ERR_INVALID_HANDLE;
    if ((mode & (FMOD_LOOP_NORMAL | FMOD_LOOP_OFF)) == (FMOD_LOOP_NORMAL | FMOD_LOOP_OFF))
        return FMOD_ERR_INVALID_PARAM;
    if ((mode & FMOD_LOOP_NORMAL) != 0)
        m_sound.m_system.m_backend.SetStreamLoop(m_sound.m_nStream, true);
    else if ((mode & FMOD_LOOP_OFF) != 0)
        m_sound.m_system.m_backend.SetStreamLoop(m_sound.m_nStream, false);
    return FMOD_OK;
}

FMOD_RESULT Channel::isPlaying(bool* playing) const
{
    if (playing == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    if (!m_sound.IsValid() || !m_sound.m_bPlayed) {
        *playing = false;
        return FMOD_ERR_INVALID_HANDLE;
    }
    *playing = m_sound.m_system.m_backend.IsStreamPlaying(m_sound.m_nStream);
    return FMOD_OK;
}

FMOD_RESULT Channel::stop()
{
    if (!m_sound.IsValid() || !m_sound.m_bPlayed)
        return FMOD_ERR_INVALID_HANDLE;
    m_sound.m_system.m_backend.StopStream(m_sound.m_nStream);
    return FMOD_OK;
}

Sound::Sound(System& system, int stream, FMOD_MODE mode)
    : m_system(system)
    , m_nStream(stream)
    , m_mode(mode)
    , m_channel(*this)
{
}

bool Sound::IsValid() const
{
    return m_nStream != 0;
}

FMOD_RESULT Sound::release()
{
    if (!IsValid())
        return FMOD_ERR_INVALID_HANDLE;
    m_system.m_backend.ReleaseStream(m_nStream);
    m_nStream = 0;
    m_bPlayed = false;
    return FMOD_OK;
}

FMOD_RESULT Sound::getMode(FMOD_MODE* mode) const
{
    if (mode == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    if (!IsValid())
        return FMOD_ERR_INVALID_HANDLE;
    *mode = m_mode;
    return FMOD_OK;
}

System::System(CSoundBackend* backend)
    : m_backend(backend != nullptr ? *backend : GetSoundBackend())
{
}

System::~System()
{
    release();
}

FMOD_RESULT System::createStream(const char* name, FMOD_MODE mode, void*, Sound** sound)
{
    if (sound == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *sound = nullptr;
    if (name == nullptr || *name == '\0')
        return FMOD_ERR_INVALID_PARAM;
    const int stream = m_backend.OpenStream(QString::fromUtf8(name));
    if (stream == 0)
        return FMOD_ERR_FILE_NOTFOUND;
    if ((mode & FMOD_LOOP_NORMAL) != 0)
        m_backend.SetStreamLoop(stream, true);
    m_sounds.push_back(std::unique_ptr<Sound>(new Sound(*this, stream, mode)));
    *sound = m_sounds.back().get();
    return FMOD_OK;
}

// Short sounds and streams are played the same way here.
FMOD_RESULT System::createSound(const char* name, FMOD_MODE mode, void* exinfo, Sound** sound)
{
    return createStream(name, mode, exinfo, sound);
}

FMOD_RESULT System::playSound(FMOD_CHANNELINDEX, Sound* sound, bool paused, Channel** channel)
{
    if (channel != nullptr)
        *channel = nullptr;
    if (sound == nullptr || !Owns(sound))
        return FMOD_ERR_INVALID_PARAM;
    if (!sound->IsValid())
        return FMOD_ERR_INVALID_HANDLE;
    if (!m_backend.PlayStream(sound->m_nStream, paused))
        return FMOD_ERR_CHANNEL_ALLOC;
    sound->m_bPlayed = true;
    if (channel != nullptr)
        *channel = &sound->m_channel;
    return FMOD_OK;
}

FMOD_RESULT System::release()
{
    for (const auto& sound : m_sounds) {
        if (sound->IsValid())
            sound->release();
    }
    return FMOD_OK;
}

bool System::Owns(const Sound* sound) const
{
    return std::any_of(m_sounds.begin(), m_sounds.end(), [sound](const auto& owned) { return owned.get() == sound; });
}

} // namespace FMOD
