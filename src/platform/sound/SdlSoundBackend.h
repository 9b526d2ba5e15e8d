#pragma once

// The live backend on SDL2_mixer. Paths are found through the data folders (support/DataPaths.h:
// '\' separators, any case, the user's folder before the installed one); an absolute path is used
// as it is. A file that is missing, unreadable, too large or not a sound is skipped without a word
// to the caller. When no audio device can be opened (SDL_AUDIODRIVER=dummy always can) the backend
// stays silent and every call still returns at once.
//
// SDL_mixer keeps its state process-wide, so only one instance opens the device; a second one
// created while the first lives stays silent.

#include "platform/sound/SoundBackend.h"

#include <memory>

class CSdlSoundBackend : public CSoundBackend {
public:
    CSdlSoundBackend();
    ~CSdlSoundBackend() override;

    // Whether the audio device was opened.
    bool IsAudioOpen() const;

protected:
    void DoPlayEffect(const QString& path) override;
    bool DoPlayBackground(const QString& path) override;
    void DoStopBackground() override;
    bool DoPlayWave(const QString& path) override;
    void DoStopWave() override;
    bool DoOpenStream(int stream, const QString& path) override;
    void DoCloseStream(int stream) override;
    bool DoStartStream(int stream, bool bLoop, float volume) override;
    void DoPauseStream(int stream, bool bPaused) override;
    void DoSetStreamVolume(int stream, float volume) override;
    void DoStopStream(int stream) override;
    bool DoIsStreamActive(int stream) const override;

private:
    struct Mixer;
    std::unique_ptr<Mixer> m_pMixer;
};
