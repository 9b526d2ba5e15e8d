#include "platform/sound/SdlSoundBackend.h"

#include "support/DataPaths.h"

#include <QLoggingCategory>

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace {

Q_LOGGING_CATEGORY(lcSound, "qarrum.sound", QtWarningMsg)

namespace fs = std::filesystem;

// Channel 0 carries the looping wave, 1-3 the streams; effects take any other free channel and
// are dropped when all are busy.
constexpr int kChannelCount = 24;
constexpr int kWaveChannel = 0;
constexpr int kFirstStreamChannel = 1;
constexpr int kReservedChannels = 4;
// Decoded effects are kept for the next time; voices are many but short.
constexpr size_t kChunkCacheSize = 48;
// Effects and streams are decoded whole into memory; a file beyond this is not a sound of ours.
constexpr std::uintmax_t kMaxChunkFileBytes = 32u * 1024u * 1024u;

std::atomic<bool> g_bMixerTaken{false};

std::optional<std::string> RealPath(const QString& path)
{
    const std::string name = path.toStdString();
    if (name.empty())
        return std::nullopt;
    if (fs::path(name).is_absolute())
        return name;
    const auto found = ResolveForReading(name);
    if (!found) {
        qCDebug(lcSound).noquote() << "no such sound:" << path;
        return std::nullopt;
    }
    return found->string();
}

bool IsLoadableChunkFile(const std::string& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    const std::uintmax_t size = fs::file_size(file, ec);
    return !ec && size > 0 && size <= kMaxChunkFileBytes;
}

Mix_Chunk* LoadChunk(const std::string& file)
{
    if (!IsLoadableChunkFile(file))
        return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV(file.c_str());
    if (chunk == nullptr)
        qCDebug(lcSound) << "cannot decode" << file.c_str() << Mix_GetError();
    return chunk;
}

int MixVolume(float volume)
{
    return static_cast<int>(volume * MIX_MAX_VOLUME + 0.5F);
}

} // namespace

struct CSdlSoundBackend::Mixer {
    struct CachedChunk {
        Mix_Chunk* pChunk = nullptr;
        std::uint64_t nLastUse = 0;
    };
    struct Stream {
        Mix_Chunk* pChunk = nullptr;
        int nChannel = -1; // while started
    };

    bool bOpen = false;
    std::map<std::string, CachedChunk> chunks;
    std::uint64_t nUseCounter = 0;
    Mix_Music* pMusic = nullptr;
    std::map<int, Stream> streams;

    bool IsChunkPlaying(const Mix_Chunk* chunk) const
    {
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (Mix_Playing(channel) != 0 && Mix_GetChunk(channel) == chunk)
                return true;
        }
        return false;
    }

    void EvictOne()
    {
        auto victim = chunks.end();
        for (auto it = chunks.begin(); it != chunks.end(); ++it) {
            if (IsChunkPlaying(it->second.pChunk))
                continue;
            if (victim == chunks.end() || it->second.nLastUse < victim->second.nLastUse)
                victim = it;
        }
        if (victim == chunks.end())
            return;
        Mix_FreeChunk(victim->second.pChunk);
        chunks.erase(victim);
    }

    Mix_Chunk* CachedChunkFor(const QString& path)
    {
        const auto file = RealPath(path);
        if (!file)
            return nullptr;
        const auto it = chunks.find(*file);
        if (it != chunks.end()) {
            it->second.nLastUse = ++nUseCounter;
            return it->second.pChunk;
        }
        Mix_Chunk* chunk = LoadChunk(*file);
        if (chunk == nullptr)
            return nullptr;
        if (chunks.size() >= kChunkCacheSize)
            EvictOne();
        chunks[*file] = CachedChunk{chunk, ++nUseCounter};
        return chunk;
    }

    void FreeMusic()
    {
        if (pMusic == nullptr)
            return;
        Mix_HaltMusic();
        Mix_FreeMusic(pMusic);
        pMusic = nullptr;
    }

    // A stream channel is free once nothing sounds or waits paused on it; a one-shot stream that
    // has ended there gives it up.
    int TakeStreamChannel()
    {
        for (int channel = kFirstStreamChannel; channel < kReservedChannels; ++channel) {
            if (Mix_Playing(channel) != 0)
                continue;
            for (auto& [id, stream] : streams) {
                if (stream.nChannel == channel)
                    stream.nChannel = -1;
            }
            return channel;
        }
        return -1;
    }

    void HaltStream(Stream& stream)
    {
        if (stream.nChannel >= 0)
            Mix_HaltChannel(stream.nChannel);
        stream.nChannel = -1;
    }
};

CSdlSoundBackend::CSdlSoundBackend()
    : m_pMixer(std::make_unique<Mixer>())
{
    if (g_bMixerTaken.exchange(true)) {
        qCWarning(lcSound) << "a second sound backend stays silent";
        return;
    }
    // SDL would otherwise take SIGINT and SIGTERM for itself and the program could not be
    // stopped from the terminal or by the session.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        qCWarning(lcSound) << "no audio:" << SDL_GetError();
        g_bMixerTaken = false;
        return;
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        qCWarning(lcSound) << "no audio device:" << Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_bMixerTaken = false;
        return;
    }
    Mix_AllocateChannels(kChannelCount);
    Mix_ReserveChannels(kReservedChannels);
    m_pMixer->bOpen = true;
}

CSdlSoundBackend::~CSdlSoundBackend()
{
    if (!m_pMixer->bOpen)
        return;
    Mix_HaltChannel(-1);
    m_pMixer->FreeMusic();
    for (auto& [id, stream] : m_pMixer->streams)
        Mix_FreeChunk(stream.pChunk);
    for (auto& [file, cached] : m_pMixer->chunks)
        Mix_FreeChunk(cached.pChunk);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_bMixerTaken = false;
}

bool CSdlSoundBackend::IsAudioOpen() const
{
    return m_pMixer->bOpen;
}

void CSdlSoundBackend::DoPlayEffect(const QString& path)
{
    if (!m_pMixer->bOpen)
        return;
    if (Mix_Chunk* chunk = m_pMixer->CachedChunkFor(path))
        Mix_PlayChannel(-1, chunk, 0);
}

bool CSdlSoundBackend::DoPlayBackground(const QString& path)
{
    if (!m_pMixer->bOpen)
        return false;
    // New music replaces the old even when it cannot be played; silence then says the file is bad.
    m_pMixer->FreeMusic();
    const auto file = RealPath(path);
    std::error_code ec;
    if (!file || !fs::is_regular_file(*file, ec))
        return false;
    Mix_Music* music = Mix_LoadMUS(file->c_str());
    if (music == nullptr) {
        qCDebug(lcSound) << "cannot decode" << file->c_str() << Mix_GetError();
        return false;
    }
    if (Mix_PlayMusic(music, -1) != 0) {
        Mix_FreeMusic(music);
        return false;
    }
    m_pMixer->pMusic = music;
    return true;
}

void CSdlSoundBackend::DoStopBackground()
{
    if (m_pMixer->bOpen)
        m_pMixer->FreeMusic();
}

bool CSdlSoundBackend::DoPlayWave(const QString& path)
{
    if (!m_pMixer->bOpen)
        return false;
    Mix_Chunk* chunk = m_pMixer->CachedChunkFor(path);
    if (chunk == nullptr) {
        Mix_HaltChannel(kWaveChannel);
        return false;
    }
    return Mix_PlayChannel(kWaveChannel, chunk, -1) == kWaveChannel;
}

void CSdlSoundBackend::DoStopWave()
{
    if (m_pMixer->bOpen)
        Mix_HaltChannel(kWaveChannel);
}

bool CSdlSoundBackend::DoOpenStream(int stream, const QString& path)
{
    if (!m_pMixer->bOpen)
        return false;
    const auto file = RealPath(path);
    if (!file)
        return false;
    Mix_Chunk* chunk = LoadChunk(*file);
    if (chunk == nullptr)
        return false;
    m_pMixer->streams[stream].pChunk = chunk;
    return true;
}

void CSdlSoundBackend::DoCloseStream(int stream)
{
    const auto it = m_pMixer->streams.find(stream);
    if (it == m_pMixer->streams.end())
        return;
    m_pMixer->HaltStream(it->second);
    Mix_FreeChunk(it->second.pChunk);
    m_pMixer->streams.erase(it);
}

bool CSdlSoundBackend::DoStartStream(int stream, bool bLoop, float volume)
{
    const auto it = m_pMixer->streams.find(stream);
    if (it == m_pMixer->streams.end())
        return false;
    m_pMixer->HaltStream(it->second);
    const int channel = m_pMixer->TakeStreamChannel();
    if (channel < 0)
        return false;
    Mix_Volume(channel, MixVolume(volume));
    if (Mix_PlayChannel(channel, it->second.pChunk, bLoop ? -1 : 0) != channel)
        return false;
    it->second.nChannel = channel;
    return true;
}

void CSdlSoundBackend::DoPauseStream(int stream, bool bPaused)
{
    const auto it = m_pMixer->streams.find(stream);
    if (it == m_pMixer->streams.end() || it->second.nChannel < 0)
        return;
    if (bPaused)
        Mix_Pause(it->second.nChannel);
    else
        Mix_Resume(it->second.nChannel);
}

void CSdlSoundBackend::DoSetStreamVolume(int stream, float volume)
{
    const auto it = m_pMixer->streams.find(stream);
    if (it != m_pMixer->streams.end() && it->second.nChannel >= 0)
        Mix_Volume(it->second.nChannel, MixVolume(volume));
}

void CSdlSoundBackend::DoStopStream(int stream)
{
    const auto it = m_pMixer->streams.find(stream);
    if (it != m_pMixer->streams.end())
        m_pMixer->HaltStream(it->second);
}

bool CSdlSoundBackend::DoIsStreamActive(int stream) const
{
    const auto it = m_pMixer->streams.find(stream);
    if (it == m_pMixer->streams.end() || it->second.nChannel < 0)
        return false;
    return Mix_Playing(it->second.nChannel) != 0 && Mix_GetChunk(it->second.nChannel) == it->second.pChunk;
}
