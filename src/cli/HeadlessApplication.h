#pragma once

// The Qt application of the commands that run game windows without a display: the windows are
// made off screen unless QT_QPA_PLATFORM names another platform.

#include <QApplication>

#include <cstdio>

namespace cli {

class HeadlessApplication {
public:
    HeadlessApplication() : m_app(OffscreenUnlessSet(m_argc), m_argv) { s_previousHandler = qInstallMessageHandler(&Filter); }
    ~HeadlessApplication() { qInstallMessageHandler(s_previousHandler); }
    HeadlessApplication(const HeadlessApplication&) = delete;
    HeadlessApplication& operator=(const HeadlessApplication&) = delete;

private:
    static int& OffscreenUnlessSet(int& argc)
    {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    // The off-screen platform has no window stacking and says so at every raise of a game
    // window (the game raises its window for the player's turn): thousands of lines in a long
    // self-play run that tell nothing. Everything else is reported as Qt would.
    static void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
            return;
        if (s_previousHandler)
            s_previousHandler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }

    static inline QtMessageHandler s_previousHandler = nullptr;

    // QApplication keeps references to these for its lifetime.
    int m_argc = 1;
    char m_name[11] = "qarrum-cli";
    char* m_argv[2] = {m_name, nullptr};
    QApplication m_app;
};

}  // namespace cli
