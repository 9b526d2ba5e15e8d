#include "support/Profile.h"

#include "support/IniFile.h"

#include <QStandardPaths>

#include <charconv>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

ProfileStore::ProfileStore()
    : m_file(DefaultProfileFile())
{
}

ProfileStore::ProfileStore(fs::path file)
    : m_file(std::move(file))
{
}

fs::path ProfileStore::DefaultProfileFile()
{
    // A folder of our own in the shared configuration folder, whatever the program is called, so
    // the game and the CLI read the same settings.
    return fs::path(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString()) / "qarrum"
        / "qarrum.ini";
}

int ProfileStore::GetProfileInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const auto found = FindIniString(m_file, section, key, 100);
    if (!found)
        return defaultValue;
    const std::string& text = *found;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || begin == end)
        return defaultValue;
    return value;
}

bool ProfileStore::WriteProfileInt(std::string_view section, std::string_view key, int value)
{
    std::error_code ec;
    if (m_file.has_parent_path())
        fs::create_directories(m_file.parent_path(), ec);
    return WriteIniString(m_file, section, key, std::to_string(value));
}
