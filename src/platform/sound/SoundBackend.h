#pragma once

// Sound for the game and its host: one-shot effects, looping background music, the looping wave
// of the dealing animation, and streams with a channel that can be paused and turned down (the
// coin sound of the result window; see Fmod.h for the calls the windows use).
//
// The switches live here, in the one class every backend derives from, so that the live backend
// and the recording one agree on what is heard:
//   - EnableSound(false) silences everything: effects and new waves are dropped, the background
//     music and a looping wave stop, and streams are muted (they keep running, so a window that
//     counts coins goes on as before).
//   - EnableBkgrndSound(false) stops the background music only.
//   - PlayBkgrndSound always remembers its file; while the music is switched off nothing plays,
//     and switching it on again starts the remembered file. StopBkgrndSound forgets it.
// A backend is asked to play only what is heard, and always asked to stop (stopping what does not
// play is harmless), so a recording shows exactly the sounds a player would hear plus every stop.
//
// Paths are passed on exactly as the caller wrote them ("Telvo\Sound\OUT_CARD.mp3"); turning them
// into files is the live backend's business. Everything runs on the user-interface thread, and no
// call reports failure to the game: a sound that cannot be played is simply not heard.

#include <QString>

#include <map>

class CSoundBackend {
public:
    CSoundBackend() = default;
    virtual ~CSoundBackend() = default;
    CSoundBackend(const CSoundBackend&) = delete;
    CSoundBackend& operator=(const CSoundBackend&) = delete;

    // Host sound services.
    void PlayEffectSound(const QString& path);
    void PlayBkgrndSound(const QString& path);
    void StopBkgrndSound();
    bool IsBkgrndSndPlaying() const { return m_bBkgrndPlaying; }
    void EnableSound(bool bEnable);
    bool IsEnableSound() const { return m_bSound; }
    void EnableBkgrndSound(bool bEnable);
    bool IsEnableBkgrndSound() const { return m_bBkgrndSound; }

    // The wave player: one file looping until stopped; a new file replaces the old.
    void PlayWaveLoop(const QString& path);
    void StopWaveLoop();
    bool IsWaveLooping() const { return m_bWaveLooping; }

    // Streams, by id (0 is never an id). A stream plays on at most one channel; playing it again
    // starts it from the beginning. A stream started paused holds its place until unpaused, and
    // its loop mode may still be changed until then.
    int OpenStream(const QString& path); // 0 when the file cannot be opened
    void ReleaseStream(int stream);
    bool PlayStream(int stream, bool bPaused);
    void StopStream(int stream);
    void SetStreamPaused(int stream, bool bPaused);
    void SetStreamVolume(int stream, float volume); // 0 to 1, clamped
    void SetStreamLoop(int stream, bool bLoop);
    bool IsStreamOpen(int stream) const { return m_streams.count(stream) != 0; }
    // True from PlayStream until the stream is stopped or has played to its end, paused or not.
    bool IsStreamPlaying(int stream) const;
    bool IsStreamPaused(int stream) const;
    float StreamVolume(int stream) const;
    bool IsStreamLooping(int stream) const;
    QString StreamPath(int stream) const;

protected:
    // What a backend does. Play requests come only when the sound is to be heard.
    virtual void DoPlayEffect(const QString& path) = 0;
    virtual bool DoPlayBackground(const QString& path) = 0; // loops, replacing any music
    virtual void DoStopBackground() = 0;
    virtual bool DoPlayWave(const QString& path) = 0; // loops, replacing any wave
    virtual void DoStopWave() = 0;
    virtual bool DoOpenStream(int stream, const QString& path) = 0;
    virtual void DoCloseStream(int stream) = 0;
    virtual bool DoStartStream(int stream, bool bLoop, float volume) = 0; // from the beginning, unpaused
    virtual void DoPauseStream(int stream, bool bPaused) = 0;
    virtual void DoSetStreamVolume(int stream, float volume) = 0;
    virtual void DoStopStream(int stream) = 0;
    // Whether a started stream still sounds (or waits paused); false once a one-shot has ended.
    virtual bool DoIsStreamActive(int stream) const = 0;

private:
    enum class StreamState { Stopped, Waiting, Started };
    struct Stream {
        QString strPath;
        StreamState state = StreamState::Stopped;
        bool bPaused = false;
        bool bLoop = false;
        float volume = 1.0F;
    };

    void StartBackgroundIfAudible();
    bool StartStream(int id, Stream& stream);
    float AudibleVolume(const Stream& stream) const;
    Stream* FindStream(int stream);
    const Stream* FindStream(int stream) const;

    bool m_bSound = true;
    bool m_bBkgrndSound = true;
    QString m_strBkgrndPath;
    bool m_bBkgrndPlaying = false;
    bool m_bWaveLooping = false;
    int m_nNextStream = 1;
    std::map<int, Stream> m_streams;
};

// Accepts every call and makes no sound; the current backend until the application chooses one.
class CSilentSoundBackend : public CSoundBackend {
protected:
    void DoPlayEffect(const QString&) override { }
    bool DoPlayBackground(const QString&) override { return false; }
    void DoStopBackground() override { }
    bool DoPlayWave(const QString&) override { return false; }
    void DoStopWave() override { }
    bool DoOpenStream(int, const QString&) override { return true; }
    void DoCloseStream(int) override { }
    bool DoStartStream(int, bool, float) override { return true; }
    void DoPauseStream(int, bool) override { }
    void DoSetStreamVolume(int, float) override { }
    void DoStopStream(int) override { }
    bool DoIsStreamActive(int) const override { return true; }
};

// The current backend. Null restores the silent one. The backend must outlive its time as the
// current one and every stream opened through it.
CSoundBackend& GetSoundBackend();
void SetSoundBackend(CSoundBackend* backend);

class CScopedSoundBackend {
public:
    explicit CScopedSoundBackend(CSoundBackend& backend)
        : m_pPrevious(&GetSoundBackend())
    {
        SetSoundBackend(&backend);
    }
    ~CScopedSoundBackend() { SetSoundBackend(m_pPrevious); }
    CScopedSoundBackend(const CScopedSoundBackend&) = delete;
    CScopedSoundBackend& operator=(const CScopedSoundBackend&) = delete;

private:
    CSoundBackend* m_pPrevious;
};
