#pragma once

// Services the game asks of the desktop: message boxes and file dialogs, the clipboard, the
// desktop folder, opening a web address, and a picture of what the screen shows. Each family is
// an interface with a live implementation on Qt (ServicesLive.h) and a recording double for tests
// (ServicesRecording.h). One instance of each is current for the whole process; the application
// or a test chooses it, and code that needs a service asks for the current one at the moment of
// use instead of keeping a pointer.

#include <QImage>
#include <QString>

class QWidget;

enum class MessageIcon { None, Information, Question, Warning, Error };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
// The numbers are the dialog results Windows code expects (IDOK, IDCANCEL, IDYES, IDNO).
enum class MessageResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// The answer of a box nobody can click: its first button, the one Enter would press.
MessageResult DefaultMessageResult(MessageButtons buttons);

class CDialogService {
public:
    virtual ~CDialogService() = default;

    // Modal box over `owner` (null: no owner). An empty caption means the application's name.
    MessageResult MessageBox(QWidget* owner, const QString& text, const QString& caption = {},
        MessageIcon icon = MessageIcon::None, MessageButtons buttons = MessageButtons::Ok)
    {
        return DoMessageBox(owner, text, caption, icon, buttons);
    }

    // `filter` may be written the Windows way ("Video Files (*.vid)|*.vid||") or the Qt way.
    // `initial` is a folder, a file name, or both ("Telvo\video\*.vid"); relative names are taken
    // from the current folder and may use '\'. The chosen path, or empty when cancelled.
    virtual QString GetOpenFileName(QWidget* owner, const QString& filter, const QString& initial) = 0;
    virtual QString GetSaveFileName(QWidget* owner, const QString& filter, const QString& initial) = 0;

protected:
    // Kept apart from MessageBox so that its default arguments hold for every implementation.
    virtual MessageResult DoMessageBox(QWidget* owner, const QString& text, const QString& caption,
        MessageIcon icon, MessageButtons buttons)
        = 0;
};

class CShellService {
public:
    virtual ~CShellService() = default;

    // Puts the picture on the clipboard, replacing what was there.
    virtual bool SetClipboardImage(const QImage& image) = 0;

    // The user's desktop folder; not created when it does not exist.
    virtual QString DesktopFolder() = 0;

    // Hands a web address to the desktop's browser. Only http, https and file addresses are
    // passed on; anything else is refused and reported as false, because the address comes from
    // configuration files and must not be able to start arbitrary handlers.
    virtual bool OpenUrl(const QString& url) = 0;

    // What the screen shows in the area of `window` (including windows covering it), or, where
    // the screen cannot be read, the widget's own rendering. Null when there is nothing to take.
    virtual QImage CaptureWindow(QWidget* window) = 0;
};

// The address check OpenUrl applies: an absolute http or https address with a host, or a file
// address. Surrounding white space is ignored; everything else is refused.
bool IsOpenableUrl(const QString& url);

// "Desc (*.a)|*.a|Other|*.b;*.c||" -> "Desc (*.a);;Other (*.b *.c)". A filter without '|' is
// taken to be in Qt form already and returned unchanged.
QString ToQtFileFilter(const QString& filter);

// The current services. Passing null restores the built-in live implementation. The service
// must outlive its time as the current one.
CDialogService& GetDialogService();
void SetDialogService(CDialogService* service);
CShellService& GetShellService();
void SetShellService(CShellService* service);

// Connects the lower libraries to these services: their error messages (the logger's fatal
// errors, the co-operation configuration's complaints) show as message boxes of the current
// dialog service. Call once at start, after the services are chosen
// (the hooks look the current service up at each use).
void InstallPlatformHooks();
