#include "platform/Services.h"

#include "platform/ServicesLive.h"
#include "support/ErrorMessage.h"

#include <QStringList>
#include <QUrl>

#include <atomic>

namespace {

std::atomic<CDialogService*> g_pDialogService{nullptr};
std::atomic<CShellService*> g_pShellService{nullptr};

CQtDialogService& LiveDialogs()
{
    static CQtDialogService service;
    return service;
}

CQtShellService& LiveShell()
{
    static CQtShellService service;
    return service;
}

} // namespace

MessageResult DefaultMessageResult(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageResult::Yes;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return MessageResult::Ok;
}

bool IsOpenableUrl(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return !url.path().isEmpty();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return false;
}

QString ToQtFileFilter(const QString& filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    // Pairs of description and pattern list; the list ends at the first empty description.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        // Qt reads the patterns from the last parenthesis of an entry, so one that names its
        // patterns already keeps its text; otherwise the Windows pattern list is appended.
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
            out << description;
        else
            out << QStringLiteral("%1 (%2)").arg(description, patterns.isEmpty() ? QStringLiteral("*") : patterns);
    }
    return out.join(QStringLiteral(";;"));
}

CDialogService& GetDialogService()
{
    CDialogService* service = g_pDialogService.load();
    return service != nullptr ? *service : LiveDialogs();
}

void SetDialogService(CDialogService* service)
{
    g_pDialogService.store(service);
}

CShellService& GetShellService()
{
    CShellService* service = g_pShellService.load();
    return service != nullptr ? *service : LiveShell();
}

void SetShellService(CShellService* service)
{
    g_pShellService.store(service);
}

void InstallPlatformHooks()
{
    SetErrorMessageHook([](const std::string& caption, const std::string& text) {
        GetDialogService().MessageBox(nullptr, QString::fromStdString(text), QString::fromStdString(caption),
            MessageIcon::Error, MessageButtons::Ok);
    });
}
