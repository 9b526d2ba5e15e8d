#include "support/LocalTime.h"

#include <ctime>

namespace {

std::function<LocalDateTime()>& Source()
{
    static std::function<LocalDateTime()> source;
    return source;
}

} // namespace

LocalDateTime CurrentLocalTime()
{
    if (Source())
        return Source()();
    const std::time_t now = std::time(nullptr);
    std::tm parts {};
    localtime_r(&now, &parts);
    LocalDateTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    return t;
}

void SetLocalTimeSource(std::function<LocalDateTime()> source)
{
    Source() = std::move(source);
}
