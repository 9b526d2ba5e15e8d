#pragma once

// The backend of tests and the scripted driver: plays nothing and writes what would be heard as
// text lines, with the paths exactly as the caller wrote them:
//   sound effect PATH        sound bg PATH        sound stopbg
//   sound wave PATH          sound wave stop
//   sound stream open PATH   sound stream play PATH loop=0|1 volume=V
//   sound stream pause PATH  sound stream resume PATH   sound stream volume PATH V
//   sound stream stop PATH   sound stream release PATH
// Streams never end by themselves here; a looping one would not either.

#include "platform/ServicesRecording.h"
#include "platform/sound/SoundBackend.h"

class CRecordingSoundBackend : public CSoundBackend, public CEventRecorder {
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
};
