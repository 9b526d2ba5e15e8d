#include "support/TraceFile.h"

#include "support/DataPaths.h"
#include "support/LocalTime.h"
#include "support/TextCodec.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr uint16_t kInvalidChair = 0xFFFF;
constexpr size_t kUserNameBytes = 32;
constexpr size_t kTextBufferBytes = 1000;

// Opens the file for appending without emptying it; creates it when missing.
std::FILE* OpenTrace(const std::string& path)
{
    if (std::FILE* file = std::fopen(path.c_str(), "r+b"))
        return file;
    return std::fopen(path.c_str(), "wb");
}

} // namespace

void WriteTraceData(const TraceUserSource* window, const char* format, ...)
{
    // Formatted as UTF-8 with room to spare, then cut as GBK: the buffer of 1000 bytes counts the
    // bytes that reach the file.
    char utf8[kTextBufferBytes * 4];
    va_list args;
    va_start(args, format);
    std::vsnprintf(utf8, sizeof utf8, format, args);
    va_end(args);

    if (window == nullptr)
        return;
    const uint16_t chair = window->GetMeChairID();
    if (chair == kInvalidChair)
        return;
    const char* rawName = window->GetUserName(chair);
    if (rawName == nullptr)
        return;

    const std::string name = GbkToUtf8(std::string_view(rawName, strnlen(rawName, kUserNameBytes)));
    const auto resolved = ResolveForWriting("Telvo\\TraceData_" + SafeFileNameComponent(name) + ".log");
    if (!resolved)
        return;
    const std::string path = resolved->string();

    std::FILE* file = OpenTrace(path);
    if (file == nullptr)
        return;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        std::fclose(file);
        return;
    }
    const long size = std::ftell(file);
    if (size < 0) {
        std::fclose(file);
        return;
    }
    if (size > kTraceFileLimit) {
        std::fclose(file);
        if (std::remove(path.c_str()) != 0)
            return;
        file = OpenTrace(path);
        if (file == nullptr)
            return;
    }

    const LocalDateTime now = CurrentLocalTime();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "【%02d-%02d-%02d:%02d:%02d】", now.month, now.day, now.hour, now.minute,
        now.second);
    const std::string text = Utf8ToGbk(utf8);
    std::string line = Utf8ToGbk(stamp);
    line += CutGbk(text, kTextBufferBytes - 1);
    line += "\r\n";

    // A failed write is not reported; the file is still flushed and closed.
    if (std::fseek(file, 0, SEEK_END) == 0)
        std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
    std::fclose(file);
}
