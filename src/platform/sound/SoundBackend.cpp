#include "platform/sound/SoundBackend.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<CSoundBackend*> g_pSoundBackend{nullptr};

} // namespace

void CSoundBackend::PlayEffectSound(const QString& path)
{
    if (m_bSound && !path.isEmpty())
        DoPlayEffect(path);
}

void CSoundBackend::PlayBkgrndSound(const QString& path)
{
    m_strBkgrndPath = path;
    m_bBkgrndPlaying = false;
    if (path.isEmpty()) {
        DoStopBackground();
        return;
    }
    StartBackgroundIfAudible();
}

void CSoundBackend::StopBkgrndSound()
{
    m_strBkgrndPath.clear();
    m_bBkgrndPlaying = false;
    DoStopBackground();
}

void CSoundBackend::EnableSound(bool bEnable)
{
    if (bEnable == m_bSound)
        return;
    m_bSound = bEnable;
    if (bEnable) {
        StartBackgroundIfAudible();
    } else {
        if (m_bBkgrndPlaying)
            DoStopBackground();
        m_bBkgrndPlaying = false;
        if (m_bWaveLooping)
            DoStopWave();
        m_bWaveLooping = false;
    }
    for (auto& [id, stream] : m_streams) {
        if (stream.state == StreamState::Started)
            DoSetStreamVolume(id, AudibleVolume(stream));
    }
}

void CSoundBackend::EnableBkgrndSound(bool bEnable)
{
    if (bEnable == m_bBkgrndSound)
        return;
    m_bBkgrndSound = bEnable;
    if (bEnable) {
        StartBackgroundIfAudible();
    } else {
        if (m_bBkgrndPlaying)
            DoStopBackground();
        m_bBkgrndPlaying = false;
    }
}

void CSoundBackend::StartBackgroundIfAudible()
{
    if (m_bSound && m_bBkgrndSound && !m_strBkgrndPath.isEmpty())
        m_bBkgrndPlaying = DoPlayBackground(m_strBkgrndPath);
}

void CSoundBackend::PlayWaveLoop(const QString& path)
{
    if (!m_bSound || path.isEmpty())
        return;
    m_bWaveLooping = DoPlayWave(path);
}

void CSoundBackend::StopWaveLoop()
{
    m_bWaveLooping = false;
    DoStopWave();
}

int CSoundBackend::OpenStream(const QString& path)
{
    if (path.isEmpty())
        return 0;
    const int id = m_nNextStream;
    if (!DoOpenStream(id, path))
        return 0;
    ++m_nNextStream;
    m_streams[id].strPath = path;
    return id;
}

void CSoundBackend::ReleaseStream(int stream)
{
    const auto it = m_streams.find(stream);
    if (it == m_streams.end())
        return;
    if (it->second.state == StreamState::Started)
        DoStopStream(stream);
    DoCloseStream(stream);
    m_streams.erase(it);
}

bool CSoundBackend::PlayStream(int id, bool bPaused)
{
    Stream* stream = FindStream(id);
    if (stream == nullptr)
        return false;
    if (stream->state == StreamState::Started)
        DoStopStream(id);
    stream->state = StreamState::Waiting;
    stream->bPaused = bPaused;
    // A stream that starts paused is given to the backend only when it is unpaused, so that a
    // loop mode set in between still applies and nothing sounds before the caller wants it.
    return bPaused || StartStream(id, *stream);
}

bool CSoundBackend::StartStream(int id, Stream& stream)
{
    const bool bStarted = DoStartStream(id, stream.bLoop, AudibleVolume(stream));
    stream.state = bStarted ? StreamState::Started : StreamState::Stopped;
    return bStarted;
}

void CSoundBackend::StopStream(int id)
{
    Stream* stream = FindStream(id);
    if (stream == nullptr)
        return;
    if (stream->state == StreamState::Started)
        DoStopStream(id);
    stream->state = StreamState::Stopped;
    stream->bPaused = false;
}

void CSoundBackend::SetStreamPaused(int id, bool bPaused)
{
    Stream* stream = FindStream(id);
    if (stream == nullptr || stream->bPaused == bPaused)
        return;
    stream->bPaused = bPaused;
    if (stream->state == StreamState::Waiting && !bPaused)
        StartStream(id, *stream);
    else if (stream->state == StreamState::Started)
        DoPauseStream(id, bPaused);
}

void CSoundBackend::SetStreamVolume(int id, float volume)
{
    Stream* stream = FindStream(id);
    if (stream == nullptr)
        return;
    // Written so that NaN also ends up at 0.
    stream->volume = volume > 0.0F ? std::min(volume, 1.0F) : 0.0F;
    if (stream->state == StreamState::Started)
        DoSetStreamVolume(id, AudibleVolume(*stream));
}

void CSoundBackend::SetStreamLoop(int id, bool bLoop)
{
    // A started stream keeps the mode it was started with; the next start uses the new one.
    if (Stream* stream = FindStream(id))
        stream->bLoop = bLoop;
}

bool CSoundBackend::IsStreamPlaying(int id) const
{
    const Stream* stream = FindStream(id);
    if (stream == nullptr)
        return false;
    switch (stream->state) {
    case StreamState::Waiting:
        return true;
    case StreamState::Started:
        return DoIsStreamActive(id);
    case StreamState::Stopped:
        break;
    }
    return false;
}

bool CSoundBackend::IsStreamPaused(int id) const
{
    const Stream* stream = FindStream(id);
    return stream != nullptr && stream->bPaused;
}

float CSoundBackend::StreamVolume(int id) const
{
    const Stream* stream = FindStream(id);
    return stream != nullptr ? stream->volume : 0.0F;
}

bool CSoundBackend::IsStreamLooping(int id) const
{
    const Stream* stream = FindStream(id);
    return stream != nullptr && stream->bLoop;
}

QString CSoundBackend::StreamPath(int id) const
{
    const Stream* stream = FindStream(id);
    return stream != nullptr ? stream->strPath : QString();
}

float CSoundBackend::AudibleVolume(const Stream& stream) const
{
    return m_bSound ? stream.volume : 0.0F;
}

CSoundBackend::Stream* CSoundBackend::FindStream(int stream)
{
    const auto it = m_streams.find(stream);
    return it != m_streams.end() ? &it->second : nullptr;
}

const CSoundBackend::Stream* CSoundBackend::FindStream(int stream) const
{
    const auto it = m_streams.find(stream);
    return it != m_streams.end() ? &it->second : nullptr;
}

CSoundBackend& GetSoundBackend()
{
    static CSilentSoundBackend silent;
    CSoundBackend* backend = g_pSoundBackend.load();
    return backend != nullptr ? *backend : silent;
}

void SetSoundBackend(CSoundBackend* backend)
{
    g_pSoundBackend.store(backend);
}
