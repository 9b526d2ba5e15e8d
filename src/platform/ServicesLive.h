#pragma once

// The desktop services on Qt. Where no GUI application runs, or the platform has no screen a
// person could look at (offscreen, minimal), the dialogs do not wait for an answer that can never
// come: message boxes are written to the log and answered with their default button, file dialogs
// are cancelled.

#include "platform/Services.h"

class CQtDialogService : public CDialogService {
public:
    QString GetOpenFileName(QWidget* owner, const QString& filter, const QString& initial) override;
    QString GetSaveFileName(QWidget* owner, const QString& filter, const QString& initial) override;

protected:
    MessageResult DoMessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
        MessageButtons buttons) override;
};

class CQtShellService : public CShellService {
public:
    bool SetClipboardImage(const QImage& image) override;
    QString DesktopFolder() override;
    bool OpenUrl(const QString& url) override;
    QImage CaptureWindow(QWidget* window) override;
};
