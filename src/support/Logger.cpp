#include "support/Logger.h"

#include "support/DataPaths.h"
#include "support/ErrorMessage.h"
#include "support/LocalTime.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

Logger* g_pLogger = nullptr;

Logger::~Logger()
{
    if (m_stream.is_open())
        m_stream.close();
}

bool Logger::Open(std::string_view name)
{
    if (m_stream.is_open())
        m_stream.close();
    m_stream.clear();

    std::optional<std::filesystem::path> file;
    if (!name.empty() && name.front() == '/')
        file = std::filesystem::path(name);
    else
        file = ResolveForWriting(name);
    if (file)
        m_stream.open(*file, std::ios::out | std::ios::trunc);
    if (!m_stream.is_open()) {
        std::cout << "Warning: error while opening " << name << " for writing.\n" << std::flush;
        return false;
    }
    return true;
}

void Logger::Write(const char* format, ...)
{
    if (!m_stream.is_open())
        return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    const LocalDateTime now = CurrentLocalTime();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%02d:%02d:%02d] ", now.hour, now.minute, now.second);
    m_stream << stamp << text << std::endl;
    if (m_echo)
        std::cout << stamp << text << std::endl;
}

void Logger::Fatal(const char* message)
{
    const std::string text = message != nullptr ? message : "";
    Write("Error: %s", text.c_str());
    ShowErrorMessage("Error", text);
    std::exit(1);
}
