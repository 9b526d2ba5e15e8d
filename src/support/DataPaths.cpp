#include "support/DataPaths.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxPathBytes = 4096;
constexpr size_t kMaxComponentBytes = 255;
constexpr size_t kMaxSafeNameBytes = 64;

struct FolderOverride {
    std::mutex mutex;
    std::optional<fs::path> user;
    std::optional<fs::path> installed;
};

FolderOverride& Override()
{
    static FolderOverride instance;
    return instance;
}

fs::path FromQString(const QString& text)
{
    return fs::path(text.toStdString());
}

std::optional<fs::path> EnvironmentFolder(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    std::error_code ec;
    fs::path folder = fs::absolute(value, ec);
    return ec ? fs::path(value) : folder;
}

// Without an application name QStandardPaths would answer the bare generic folder, which many
// programs share; fall back to our own subfolder of it.
// The folder of ours in one of the user's generic folders. Not the application's own location:
// that depends on the program's name, and the game, the CLI and the tests must all find the same
// files.
fs::path OwnFolder(QStandardPaths::StandardLocation generic)
{
    return FromQString(QStandardPaths::writableLocation(generic)) / "qarrum";
}

fs::path ExecutableFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return exe.parent_path();
    if (QCoreApplication::instance() != nullptr)
        return FromQString(QCoreApplication::applicationDirPath());
    return fs::current_path(ec);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Splits a relative name into its components, or nothing when it is refused.
std::optional<std::vector<std::string>> SplitRelative(std::string_view path)
{
    if (path.empty() || path.size() > kMaxPathBytes)
        return std::nullopt;
    if (path.front() == '/' || path.front() == '\\')
        return std::nullopt;
    if (path.find('\0') != std::string_view::npos)
        return std::nullopt;
    const bool driveLetter = path.size() >= 2 && path[1] == ':'
        && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (driveLetter)
        return std::nullopt;

    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." || part.size() > kMaxComponentBytes)
            return std::nullopt;
        parts.emplace_back(part);
    }
    if (parts.empty())
        return std::nullopt;
    return parts;
}

enum class Want { Folder, Any };

bool Matches(const fs::path& candidate, Want want)
{
    std::error_code ec;
    if (want == Want::Folder)
        return fs::is_directory(candidate, ec);
    return fs::exists(candidate, ec);
}

// The entry of `folder` named `name` up to ASCII case. An exact match wins; among several entries
// that differ only in case the smallest name is taken, so the choice does not depend on the order
// in which the file system lists them.
std::optional<std::string> FindEntry(const fs::path& folder, const std::string& name, Want want)
{
    if (Matches(folder / name, want))
        return name;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string entry = it->path().filename().string();
        if (!EqualsIgnoringAsciiCase(entry, name) || !Matches(it->path(), want))
            continue;
        if (!best || entry < *best)
            best = entry;
    }
    return best;
}

std::optional<fs::path> ResolveIn(const fs::path& root, const std::vector<std::string>& parts)
{
    if (root.empty())
        return std::nullopt;
    fs::path current = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const auto found = FindEntry(current, parts[i], last ? Want::Any : Want::Folder);
        if (!found)
            return std::nullopt;
        current /= *found;
    }
    return current;
}

bool IsUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

fs::path UserDataFolder()
{
    {
        FolderOverride& o = Override();
        std::lock_guard lock(o.mutex);
        if (o.user)
            return *o.user;
    }
    if (auto folder = EnvironmentFolder("QARRUM_HOME"))
        return *folder;
    return OwnFolder(QStandardPaths::GenericDataLocation);
}

fs::path InstalledDataFolder()
{
    {
        FolderOverride& o = Override();
        std::lock_guard lock(o.mutex);
        if (o.installed)
            return *o.installed;
    }
    if (auto folder = EnvironmentFolder("QARRUM_DATA"))
        return *folder;
    const fs::path bin = ExecutableFolder();
    const fs::path buildTree = bin.parent_path() / "data";
    const fs::path installed = bin.parent_path() / "share" / "qarrum";
    std::error_code ec;
    if (fs::is_directory(installed, ec))
        return installed;
    return buildTree;
}

void SetDataFolders(const fs::path& userFolder, const fs::path& installedFolder)
{
    FolderOverride& o = Override();
    std::lock_guard lock(o.mutex);
    o.user = userFolder;
    o.installed = installedFolder;
}

void ClearDataFolders()
{
    FolderOverride& o = Override();
    std::lock_guard lock(o.mutex);
    o.user.reset();
    o.installed.reset();
}

std::optional<fs::path> ResolveForReading(std::string_view relativePath)
{
    const auto parts = SplitRelative(relativePath);
    if (!parts)
        return std::nullopt;
    if (auto found = ResolveIn(UserDataFolder(), *parts))
        return found;
    return ResolveIn(InstalledDataFolder(), *parts);
}

std::optional<fs::path> ResolveForWriting(std::string_view relativePath)
{
    const auto parts = SplitRelative(relativePath);
    if (!parts)
        return std::nullopt;
    const fs::path root = UserDataFolder();
    if (root.empty())
        return std::nullopt;
    std::error_code ec;
    fs::create_directories(root, ec);
    if (!fs::is_directory(root, ec))
        return std::nullopt;

    fs::path current = root;
    for (size_t i = 0; i + 1 < parts->size(); ++i) {
        if (auto found = FindEntry(current, (*parts)[i], Want::Folder)) {
            current /= *found;
            continue;
        }
        current /= (*parts)[i];
        // Fails when a file already holds the name; the caller then gets nothing rather than a path
        // through a file.
        if (!fs::create_directory(current, ec) && !fs::is_directory(current, ec))
            return std::nullopt;
    }
    const std::string& leaf = parts->back();
    return current / FindEntry(current, leaf, Want::Any).value_or(leaf);
}

std::string SafeFileNameComponent(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    bool leading = true;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unsafe = c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F || (leading && c == '.');
        if (c != '.')
            leading = false;
        out.push_back(unsafe ? '_' : c);
    }
    if (out.size() > kMaxSafeNameBytes) {
        size_t cut = kMaxSafeNameBytes;
        while (cut > 0 && IsUtf8Continuation(out[cut]))
            --cut;
        out.resize(cut);
    }
    if (out.empty())
        return "unnamed";
    return out;
}
