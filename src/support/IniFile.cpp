#include "support/IniFile.h"

#include "support/DataPaths.h"
#include "support/TextCodec.h"

#include <QFile>
#include <QSaveFile>

#include <climits>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Bytes of 0x80 and above belong to multi-byte UTF-8 characters and are compared exactly.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool HasLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool SurvivesGbk(std::string_view utf8)
{
    return GbkToUtf8(Utf8ToGbk(utf8)) == utf8;
}

// The Windows functions hand back a C string in a buffer of bufferSize bytes.
std::string FitBuffer(std::string_view gbk, size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    const size_t nul = gbk.find('\0');
    if (nul != std::string_view::npos)
        gbk = gbk.substr(0, nul);
    return GbkToUtf8(CutGbk(gbk, bufferSize - 1));
}

std::string FitDefault(std::string_view defaultValue, size_t bufferSize)
{
    return FitBuffer(Utf8ToGbk(defaultValue), bufferSize);
}

std::optional<std::string> ReadFileBounded(const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    const auto size = fs::file_size(file, ec);
    if (ec || size > kIniMaxFileBytes)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // The file may have changed size since it was measured; keep what was really read.
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
}

} // namespace

IniDocument::Line IniDocument::ParseLine(std::string raw, std::string ending)
{
    Line line;
    line.raw = std::move(raw);
    line.ending = std::move(ending);
    if (line.raw.size() > kIniMaxLineBytes)
        return line;

    // Structure is found in the decoded text: ']' can be the second byte of a GBK character. '='
    // cannot, so the value's offset is found in the raw bytes and the value keeps its bytes.
    const std::string text = GbkToUtf8(line.raw);
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';')
        return line;
    if (trimmed.front() == '[') {
        const size_t close = trimmed.find(']');
        if (close == std::string_view::npos)
            return line;
        line.kind = Kind::Section;
        line.name = Trim(trimmed.substr(1, close - 1));
        return line;
    }
    const size_t eq = line.raw.find('=');
    if (eq == std::string::npos)
        return line;
    const std::string key = GbkToUtf8(line.raw.substr(0, eq));
    const std::string_view trimmedKey = Trim(key);
    if (trimmedKey.empty())
        return line;
    line.kind = Kind::Key;
    line.name = trimmedKey;
    line.valueStart = eq + 1;
    return line;
}

IniDocument IniDocument::Parse(std::string_view bytes)
{
    IniDocument doc;
    bool newlineKnown = false;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            doc.m_lines.push_back(ParseLine(std::string(bytes.substr(start)), {}));
            break;
        }
        std::string_view raw = bytes.substr(start, end - start);
        // Chosen as a view and copied once: GCC 12 at -O3 takes the assignment of one short
        // string literal over another for a read of uninitialised bytes.
        const bool crlf = !raw.empty() && raw.back() == '\r';
        if (crlf)
            raw.remove_suffix(1);
        const std::string_view ending = crlf ? "\r\n" : "\n";
        if (!newlineKnown) {
            doc.m_newline = ending;
            newlineKnown = true;
        }
        doc.m_lines.push_back(ParseLine(std::string(raw), std::string(ending)));
        start = end + 1;
    }
    return doc;
}

size_t IniDocument::FindSection(std::string_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && SameName(m_lines[i].name, section))
            return i;
    }
    return std::string::npos;
}

size_t IniDocument::FindKey(size_t sectionLine, std::string_view key) const
{
    for (size_t i = sectionLine + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
        if (m_lines[i].kind == Kind::Key && SameName(m_lines[i].name, key))
            return i;
    }
    return std::string::npos;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key, size_t bufferSize) const
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty())
        return std::nullopt;
    const size_t s = FindSection(section);
    if (s == std::string::npos)
        return std::nullopt;
    const size_t k = FindKey(s, key);
    if (k == std::string::npos)
        return std::nullopt;

    std::string_view value = Trim(std::string_view(m_lines[k].raw).substr(m_lines[k].valueStart));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return FitBuffer(value, bufferSize);
}

bool IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty())
        return false;
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
        return false;
    if (section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos)
        return false;
    if (key.front() == '[' || key.front() == ';')
        return false;
    // A name GBK cannot hold would be written as '?' under another name: the value could never be
    // read back by the name given, and every later write would add it again.
    if (!SurvivesGbk(section) || !SurvivesGbk(key))
        return false;

    const std::string gbkValue = Utf8ToGbk(value);
    const size_t s = FindSection(section);
    if (s != std::string::npos) {
        const size_t k = FindKey(s, key);
        if (k != std::string::npos) {
            // The key keeps its spelling and indentation as found in the file.
            Line& line = m_lines[k];
            std::string_view keyPart = std::string_view(line.raw).substr(0, line.valueStart - 1);
            while (!keyPart.empty() && IsBlank(keyPart.back()))
                keyPart.remove_suffix(1);
            line = ParseLine(std::string(keyPart) + "=" + gbkValue, std::move(line.ending));
            return true;
        }
        // After the section's last non-blank line, so blank lines that separate it from the next
        // section stay where they are.
        size_t after = s;
        for (size_t i = s + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
            if (!Trim(m_lines[i].raw).empty())
                after = i;
        }
        if (m_lines[after].ending.empty())
            m_lines[after].ending = m_newline;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(after) + 1,
            ParseLine(Utf8ToGbk(key) + "=" + gbkValue, m_newline));
        return true;
    }

    if (!m_lines.empty() && m_lines.back().ending.empty())
        m_lines.back().ending = m_newline;
    m_lines.push_back(ParseLine("[" + Utf8ToGbk(section) + "]", m_newline));
    m_lines.push_back(ParseLine(Utf8ToGbk(key) + "=" + gbkValue, m_newline));
    return true;
}

std::string IniDocument::Serialize() const
{
    std::string out;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += line.ending;
    }
    return out;
}

std::optional<std::string> FindIniString(const fs::path& file, std::string_view section, std::string_view key,
    size_t bufferSize)
{
    const auto bytes = ReadFileBounded(file);
    if (!bytes)
        return std::nullopt;
    return IniDocument::Parse(*bytes).Value(section, key, bufferSize);
}

std::string ReadIniString(const fs::path& file, std::string_view section, std::string_view key,
    std::string_view defaultValue, size_t bufferSize)
{
    if (auto value = FindIniString(file, section, key, bufferSize))
        return *value;
    return FitDefault(defaultValue, bufferSize);
}

bool WriteIniString(const fs::path& file, std::string_view section, std::string_view key, std::string_view value)
{
    IniDocument doc;
    std::error_code ec;
    if (fs::exists(file, ec)) {
        // Never replace a file we could not read in full: its other settings would be lost.
        const auto bytes = ReadFileBounded(file);
        if (!bytes)
            return false;
        doc = IniDocument::Parse(*bytes);
    }
    if (!doc.SetValue(section, key, value))
        return false;

    const std::string bytes = doc.Serialize();
    QSaveFile out(QFile::decodeName(file.c_str()));
    // In a folder we may not create files in, an existing writable file is still rewritten in place.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
    size_t bufferSize, std::string_view fileName)
{
    const auto file = ResolveForReading(fileName);
    if (!file)
        return FitDefault(defaultValue, bufferSize);
    return ReadIniString(*file, section, key, defaultValue, bufferSize);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
    std::string_view fileName)
{
    const auto file = ResolveForWriting(fileName);
    if (!file)
        return false;
    return WriteIniString(*file, section, key, value);
}

int AtoiLike(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
