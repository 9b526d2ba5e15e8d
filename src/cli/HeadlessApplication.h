#pragma once

// The Qt application of the commands that run game windows without a display: the windows are
// made off screen unless QT_QPA_PLATFORM names another platform.

#include <QApplication>

namespace cli {

class HeadlessApplication {
public:
    HeadlessApplication() : m_app(OffscreenUnlessSet(m_argc), m_argv) {}
    HeadlessApplication(const HeadlessApplication&) = delete;
    HeadlessApplication& operator=(const HeadlessApplication&) = delete;

private:
    static int& OffscreenUnlessSet(int& argc)
    {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    // QApplication keeps references to these for its lifetime.
    int m_argc = 1;
    char m_name[11] = "qarrum-cli";
    char* m_argv[2] = {m_name, nullptr};
    QApplication m_app;
};

}  // namespace cli
