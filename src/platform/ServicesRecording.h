#pragma once

// Doubles of the desktop services for tests and the scripted driver. They never block and never
// touch the desktop: each call becomes one text line (kept, and handed to a sink as it happens so
// that a driver can interleave it with its other events), and answers come from what the test
// queued beforehand.

#include "platform/Services.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class CEventRecorder {
public:
    using Sink = std::function<void(const QString& line)>;

    const QStringList& Lines() const { return m_lines; }
    void ClearLines() { m_lines.clear(); }
    // Receives every line as it is recorded; an empty sink stops that.
    void SetSink(Sink sink) { m_sink = std::move(sink); }

protected:
    // Line breaks inside `line` are written as "\n" so that one call stays one line.
    void Record(QString line);

private:
    QStringList m_lines;
    Sink m_sink;
};

class CRecordingDialogService : public CDialogService, public CEventRecorder {
public:
    enum class Kind { MessageBox, OpenFile, SaveFile };
    struct Call {
        Kind kind = Kind::MessageBox;
        bool bOwned = false;
        QString strText; // message text
        QString strCaption;
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::Ok;
        QString strFilter; // file dialogs
        QString strInitial;
    };

    // Answers are used in order; without one a box answers with its default button and a file
    // dialog is cancelled.
    void QueueMessageResult(MessageResult result) { m_messageResults.push_back(result); }
    void QueueOpenFile(const QString& path) { m_openFiles.push_back(path); }
    void QueueSaveFile(const QString& path) { m_saveFiles.push_back(path); }

    const std::vector<Call>& Calls() const { return m_calls; }

    // Lines: "msgbox TEXT", "filedialog open INITIAL", "filedialog save INITIAL".
    QString GetOpenFileName(QWidget* owner, const QString& filter, const QString& initial) override;
    QString GetSaveFileName(QWidget* owner, const QString& filter, const QString& initial) override;

protected:
    MessageResult DoMessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
        MessageButtons buttons) override;

private:
    std::vector<Call> m_calls;
    std::deque<MessageResult> m_messageResults;
    std::deque<QString> m_openFiles;
    std::deque<QString> m_saveFiles;
};

class CRecordingShellService : public CShellService, public CEventRecorder {
public:
    CRecordingShellService();

    // With bCreate the folder is made when the desktop is first asked for, as a user's desktop
    // always exists; without it a missing folder stays missing (a desktop that cannot be written).
    void SetDesktopFolder(const QString& folder, bool bCreate = false)
    {
        m_strDesktop = folder;
        m_bCreateDesktop = bCreate;
    }
    // What OpenUrl answers for an address that passes the check (a refused one is always false).
    void SetOpenUrlResult(bool result) { m_bOpenResult = result; }
    // The picture CaptureWindow returns; without one the window's own rendering is returned.
    void SetCapture(const QImage& image) { m_capture = image; }

    const QImage& ClipboardImage() const { return m_clipboard; }

    // Lines: "clipboard WxH", "shell open URL" or "shell refused URL", "capture WxH".
    bool SetClipboardImage(const QImage& image) override;
    QString DesktopFolder() override;
    bool OpenUrl(const QString& url) override;
    QImage CaptureWindow(QWidget* window) override;

private:
    QString m_strDesktop;
    bool m_bCreateDesktop = false;
    bool m_bOpenResult = true;
    QImage m_capture;
    QImage m_clipboard;
};

// Makes a service current for one scope and restores the previous one after it.
class CScopedDialogService {
public:
    explicit CScopedDialogService(CDialogService& service)
        : m_pPrevious(&GetDialogService())
    {
        SetDialogService(&service);
    }
    ~CScopedDialogService() { SetDialogService(m_pPrevious); }
    CScopedDialogService(const CScopedDialogService&) = delete;
    CScopedDialogService& operator=(const CScopedDialogService&) = delete;

private:
    CDialogService* m_pPrevious;
};

class CScopedShellService {
public:
    explicit CScopedShellService(CShellService& service)
        : m_pPrevious(&GetShellService())
    {
        SetShellService(&service);
    }
    ~CScopedShellService() { SetShellService(m_pPrevious); }
    CScopedShellService(const CScopedShellService&) = delete;
    CScopedShellService& operator=(const CScopedShellService&) = delete;

private:
    CShellService* m_pPrevious;
};
