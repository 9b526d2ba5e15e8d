#pragma once

// The diagnostic log: time-stamped lines in a text file that the player never sees. The game
// controller creates the one instance, opens it and publishes it through g_pLogger for as long as
// it lives. The file is written as UTF-8, the program's own text.

#include <fstream>
#include <string>
#include <string_view>

class Logger {
public:
    Logger() = default;
    virtual ~Logger();

    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Opens the file for writing and empties it. A relative name is a Windows-style name in the
    // user data folder ("Pellix\Pellix.log", folders created as needed); an absolute path is used
    // as it is. On failure prints "Warning: error while opening <name> for writing." to standard
    // output and stays closed.
    virtual bool Open(std::string_view name);

    // Writes "[HH:MM:SS] text" and a line end, then flushes; the text is formatted into 1024 bytes
    // and cut there. Does nothing while the logger is closed.
    virtual void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Logs "Error: <message>", shows the message to the player (caption "Error", ErrorMessage.h),
    // and ends the process with exit code 1.
    [[noreturn]] void Fatal(const char* message);

    bool IsOpen() const { return m_stream.is_open(); }
    // Also copies every line to standard output.
    void SetEcho(bool echo) { m_echo = echo; }

private:
    std::ofstream m_stream;
    bool m_echo = false;
};

// The process-wide instance, set by the game controller while it exists.
extern Logger* g_pLogger;
