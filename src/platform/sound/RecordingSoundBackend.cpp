#include "platform/sound/RecordingSoundBackend.h"

namespace {

QString VolumeText(float volume)
{
    return QString::number(static_cast<double>(volume), 'g', 3);
}

} // namespace

void CRecordingSoundBackend::DoPlayEffect(const QString& path)
{
    Record(QStringLiteral("sound effect ") + path);
}

bool CRecordingSoundBackend::DoPlayBackground(const QString& path)
{
    Record(QStringLiteral("sound bg ") + path);
    return true;
}

void CRecordingSoundBackend::DoStopBackground()
{
    Record(QStringLiteral("sound stopbg"));
}

bool CRecordingSoundBackend::DoPlayWave(const QString& path)
{
    Record(QStringLiteral("sound wave ") + path);
    return true;
}

void CRecordingSoundBackend::DoStopWave()
{
    Record(QStringLiteral("sound wave stop"));
}

// The path is not registered yet while the stream is being opened.
bool CRecordingSoundBackend::DoOpenStream(int, const QString& path)
{
    Record(QStringLiteral("sound stream open ") + path);
    return true;
}

void CRecordingSoundBackend::DoCloseStream(int stream)
{
    Record(QStringLiteral("sound stream release ") + StreamPath(stream));
}

bool CRecordingSoundBackend::DoStartStream(int stream, bool bLoop, float volume)
{
    Record(QStringLiteral("sound stream play %1 loop=%2 volume=%3")
               .arg(StreamPath(stream), bLoop ? QStringLiteral("1") : QStringLiteral("0"), VolumeText(volume)));
    return true;
}

void CRecordingSoundBackend::DoPauseStream(int stream, bool bPaused)
{
    Record((bPaused ? QStringLiteral("sound stream pause ") : QStringLiteral("sound stream resume ")) + StreamPath(stream));
}

void CRecordingSoundBackend::DoSetStreamVolume(int stream, float volume)
{
    Record(QStringLiteral("sound stream volume %1 %2").arg(StreamPath(stream), VolumeText(volume)));
}

void CRecordingSoundBackend::DoStopStream(int stream)
{
    Record(QStringLiteral("sound stream stop ") + StreamPath(stream));
}

bool CRecordingSoundBackend::DoIsStreamActive(int) const
{
    return true;
}
