#include "platform/ServicesRecording.h"

#include <QDir>
#include <QWidget>

namespace {

QString SizeText(const QImage& image)
{
    return QStringLiteral("%1x%2").arg(image.width()).arg(image.height());
}

template <typename T>
T TakeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

void CEventRecorder::Record(QString line)
{
    line.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    line.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    m_lines.append(line);
    if (m_sink)
        m_sink(line);
}

MessageResult CRecordingDialogService::DoMessageBox(
    QWidget* owner, const QString& text, const QString& caption, MessageIcon icon, MessageButtons buttons)
{
    Call call;
    call.kind = Kind::MessageBox;
    call.bOwned = owner != nullptr;
    call.strText = text;
    call.strCaption = caption;
    call.icon = icon;
    call.buttons = buttons;
    m_calls.push_back(call);
    Record(QStringLiteral("msgbox ") + text);
    return TakeFront(m_messageResults, DefaultMessageResult(buttons));
}

QString CRecordingDialogService::GetOpenFileName(QWidget* owner, const QString& filter, const QString& initial)
{
    Call call;
    call.kind = Kind::OpenFile;
    call.bOwned = owner != nullptr;
    call.strFilter = filter;
    call.strInitial = initial;
    m_calls.push_back(call);
    Record(QStringLiteral("filedialog open ") + initial);
    return TakeFront(m_openFiles, QString());
}

QString CRecordingDialogService::GetSaveFileName(QWidget* owner, const QString& filter, const QString& initial)
{
    Call call;
    call.kind = Kind::SaveFile;
    call.bOwned = owner != nullptr;
    call.strFilter = filter;
    call.strInitial = initial;
    m_calls.push_back(call);
    Record(QStringLiteral("filedialog save ") + initial);
    return TakeFront(m_saveFiles, QString());
}

// A harmless default, so that a test that forgets to choose a desktop never writes into the
// user's real one.
CRecordingShellService::CRecordingShellService()
    : m_strDesktop(QDir::tempPath())
{
}

bool CRecordingShellService::SetClipboardImage(const QImage& image)
{
    m_clipboard = image;
    Record(QStringLiteral("clipboard ") + SizeText(image));
    return !image.isNull();
}

QString CRecordingShellService::DesktopFolder()
{
    if (m_bCreateDesktop)
        QDir().mkpath(m_strDesktop);
    return m_strDesktop;
}

bool CRecordingShellService::OpenUrl(const QString& url)
{
    if (!IsOpenableUrl(url)) {
        Record(QStringLiteral("shell refused ") + url);
        return false;
    }
    Record(QStringLiteral("shell open ") + url);
    return m_bOpenResult;
}

QImage CRecordingShellService::CaptureWindow(QWidget* window)
{
    QImage image = m_capture;
    if (image.isNull() && window != nullptr)
        image = window->grab().toImage();
    Record(QStringLiteral("capture ") + SizeText(image));
    return image;
}
