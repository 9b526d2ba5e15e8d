#pragma once

// INI files with the behaviour of the Windows profile functions (GetPrivateProfileString,
// WritePrivateProfileString): section and key names match without regard to ASCII case, a missing
// value gives the caller's default, a value is cut to the caller's buffer, and writing a value
// keeps every other section, key, comment, blank line and line ending byte for byte.
//
// Files hold GBK bytes. This API takes and returns UTF-8 and converts at the edge; buffer sizes
// are counted in GBK bytes as the original buffers were (100 bytes hold 99 bytes of text), and a
// cut never splits a double-byte character.
//
// Syntax as Windows reads it: "[section]" lines, "key=value" lines with blanks around key and
// value ignored, a value enclosed in matching single or double quotes loses the quotes, lines
// starting with ';' are comments. The first of duplicate sections or keys wins.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kIniMaxFileBytes = 4 * 1024 * 1024;
// Longer lines are kept as they are but never read as a section or key.
inline constexpr size_t kIniMaxLineBytes = 64 * 1024;

class IniDocument {
public:
    // Never fails: whatever is not a section or key line is kept as an opaque line.
    static IniDocument Parse(std::string_view bytes);

    // The value cut to bufferSize - 1 GBK bytes (nothing for a size of 0), or nothing when the
    // section or key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key, size_t bufferSize) const;

    // Replaces the value of an existing key, or adds the key at the end of its section, or adds
    // the section at the end of the document. Refuses (false) an empty section or key, a line
    // break anywhere, a ']' in the section name and a '=' in the key, since each would change the
    // file's structure, and a section or key that GBK cannot hold. A value that GBK cannot hold
    // is written with '?' in place of what GBK lacks.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string raw;     // GBK bytes without the line ending
        std::string ending;  // "\r\n", "\n", or empty for a last line without one
        Kind kind = Kind::Other;
        std::string name;    // UTF-8: the section name or the key, without blanks around it
        size_t valueStart = 0; // Key lines: offset of the value in raw
    };

    static Line ParseLine(std::string raw, std::string ending);
    size_t FindSection(std::string_view section) const;
    size_t FindKey(size_t sectionLine, std::string_view key) const;

    std::vector<Line> m_lines;
    std::string m_newline = "\r\n";
};

// Reads one value from a real file path; nothing when the file is missing, unreadable or larger
// than kIniMaxFileBytes, or holds no such value.
std::optional<std::string> FindIniString(const std::filesystem::path& file, std::string_view section,
    std::string_view key, size_t bufferSize = 100);

// The same with the Windows default: the default is cut to the buffer just like a value.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section, std::string_view key,
    std::string_view defaultValue, size_t bufferSize = 100);

// Writes one value, creating the file when it is missing. The file is replaced as a whole
// (written beside it, then renamed), so a failure leaves the old content. False when the value is
// refused, an existing file cannot be read or is too large, or the write fails.
bool WriteIniString(const std::filesystem::path& file, std::string_view section, std::string_view key,
    std::string_view value);

// The same for the program's relative Windows-style names ("Hubra\GameSetting.ini"): reads go
// through ResolveForReading, writes through ResolveForWriting.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
    size_t bufferSize, std::string_view fileName);
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
    std::string_view fileName);

// C atoi: leading white space, an optional sign, then decimal digits up to the first other
// character; no digits give 0. Where atoi would overflow the result is clamped to the int range.
int AtoiLike(std::string_view text);
