#include "platform/ServicesLive.h"

#include "support/DataPaths.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace {

Q_LOGGING_CATEGORY(lcServices, "qarrum.services")

bool HasGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Modal dialogs need widgets and a screen someone looks at; on the headless platforms exec()
// would wait for ever.
bool CanAskUser()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MessageResult FromQtButton(int button, MessageButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return MessageResult::Ok;
    case QMessageBox::Cancel:
        return MessageResult::Cancel;
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    default:
        break;
    }
    // Closed with Escape or the window's close button.
    return buttons == MessageButtons::Ok ? MessageResult::Ok
        : buttons == MessageButtons::YesNo ? MessageResult::No
                                           : MessageResult::Cancel;
}

// "Telvo\video\*.vid" -> the real folder "…/telvo/video" and the name "*.vid". A name with
// wildcards only selects the filter, so it is dropped from the start path.
QString StartPath(const QString& initial)
{
    QString path = initial;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString folder = slash >= 0 ? path.left(slash) : QString();
    QString name = slash >= 0 ? path.mid(slash + 1) : path;
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        name.clear();

    if (folder.isEmpty())
        folder = QDir::currentPath();
    else if (QDir::isRelativePath(folder)) {
        if (const auto found = ResolveForReading(folder.toStdString()))
            folder = QString::fromStdString(found->string());
        else
            folder = QDir::current().absoluteFilePath(folder);
    }
    return name.isEmpty() ? folder : QDir(folder).filePath(name);
}

QString DefaultCaption(const QString& caption)
{
    if (!caption.isEmpty())
        return caption;
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Qarrum") : name;
}

} // namespace

MessageResult CQtDialogService::DoMessageBox(
    QWidget* owner, const QString& text, const QString& caption, MessageIcon icon, MessageButtons buttons)
{
    if (!CanAskUser()) {
        qCWarning(lcServices).noquote() << "message box:" << DefaultCaption(caption) << "-" << text;
        return DefaultMessageResult(buttons);
    }
    QMessageBox box(ToQtIcon(icon), DefaultCaption(caption), text, ToQtButtons(buttons), owner);
    return FromQtButton(box.exec(), buttons);
}

QString CQtDialogService::GetOpenFileName(QWidget* owner, const QString& filter, const QString& initial)
{
    if (!CanAskUser())
        return {};
    return QFileDialog::getOpenFileName(owner, {}, StartPath(initial), ToQtFileFilter(filter));
}

QString CQtDialogService::GetSaveFileName(QWidget* owner, const QString& filter, const QString& initial)
{
    if (!CanAskUser())
        return {};
    return QFileDialog::getSaveFileName(owner, {}, StartPath(initial), ToQtFileFilter(filter));
}

bool CQtShellService::SetClipboardImage(const QImage& image)
{
    if (!HasGuiApplication() || image.isNull())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    clipboard->setImage(image);
    return true;
}

QString CQtShellService::DesktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

bool CQtShellService::OpenUrl(const QString& url)
{
    if (!IsOpenableUrl(url)) {
        qCWarning(lcServices).noquote() << "refused to open" << url;
        return false;
    }
    if (!HasGuiApplication())
        return false;
    return QDesktopServices::openUrl(QUrl(url.trimmed(), QUrl::StrictMode));
}

QImage CQtShellService::CaptureWindow(QWidget* window)
{
    if (window == nullptr || !HasGuiApplication())
        return {};
    const QRect area = window->isWindow() ? window->frameGeometry()
                                          : QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    if (area.isEmpty())
        return {};

    // The screen holds what the player sees, windows over the game included. Some platforms
    // (Wayland, a missing X server) cannot hand it out; then the window paints itself.
    QScreen* screen = window->isVisible() ? window->screen() : nullptr;
    if (screen != nullptr) {
        const QPoint origin = area.topLeft() - screen->geometry().topLeft();
        const QPixmap shot = screen->grabWindow(0, origin.x(), origin.y(), area.width(), area.height());
        if (!shot.isNull())
            return shot.toImage();
    }
    return window->grab().toImage();
}
