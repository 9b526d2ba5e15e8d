// INI files come from the user's disk and from the installed data; whatever bytes they hold, the
// reader must neither crash nor change a byte it was not asked to change, and the number readers
// must read what a C program would.
//
// An input is: section length, key length, value length (each % 64), the buffer size of the
// reads, then the section, key and value (cut to what is left) and the document.
#include "support/IniFile.h"
#include "ScratchFile.h"
#include "support/Profile.h"
#include "view/GameClientView.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>


namespace {

namespace fs = std::filesystem;

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// atoi with the int range clamped, as strtol reads it.
int ReferenceAtoi(std::string_view text)
{
    const std::string copy(text);
    errno = 0;
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

void CheckNumberReaders(std::string_view text)
{
    Check(AtoiLike(text) == ReferenceAtoi(text));
    Check(BackgroundIndexFromText(text) < CGameClientView::kBackgrounds);
}

// Names the program reads, and the input's own.
std::vector<std::pair<std::string, std::string>> Probes(std::string_view section, std::string_view key)
{
    std::vector<std::pair<std::string, std::string>> probes = {{"Qarrum", "GameBgIndex"}, {"Round", "TurnRound3"},
        {"GameOption", "CardSpace"}, {"GameOption", "OrderSortCard"}};
    probes.emplace_back(section, key);
    probes.emplace_back(section, "GameBgIndex");
    probes.emplace_back("GameOption", key);
    return probes;
}

std::string Lower(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::string lower(text);
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

const fs::path& ScratchFile()
{
    static const fuzz::ScratchFolder scratch("ini");
    static const fs::path file = scratch.folder() / "file.ini";
    return file;
}

std::string ReadWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t at = 4;
    const auto take = [&](uint8_t wanted) {
        const size_t length = std::min<size_t>(wanted % 64, size - at);
        const std::string_view part = input.substr(at, length);
        at += length;
        return part;
    };
    const std::string_view section = take(data[0]);
    const std::string_view key = take(data[1]);
    const std::string_view value = take(data[2]);
    const size_t bufferSize = data[3];
    const std::string_view bytes = input.substr(at);

    IniDocument doc = IniDocument::Parse(bytes);
    Check(doc.Serialize() == bytes);

    const auto probes = Probes(section, key);
    std::vector<std::optional<std::string>> before;
    for (const auto& [s, k] : probes) {
        const auto found = doc.Value(s, k, bufferSize);
        // At most three UTF-8 bytes per GBK byte: the single byte 0x80 is the euro sign.
        Check(!found || found->size() <= (bufferSize == 0 ? 0 : (bufferSize - 1) * 3));
        before.push_back(doc.Value(s, k, 4096));
        if (found)
            CheckNumberReaders(*found);
    }
    CheckNumberReaders(value);

    // A write reads back as written, in memory and from the file, and changes no other value.
    const bool set = doc.SetValue(section, key, value);
    const std::string expected = doc.Serialize();
    if (set) {
        const auto direct = doc.Value(section, key, 4096);
        const auto reparsed = IniDocument::Parse(expected).Value(section, key, 4096);
        Check(direct.has_value() && reparsed == direct);
        for (size_t i = 0; i < probes.size(); ++i) {
            if (Lower(probes[i].first) != Lower(section) || Lower(probes[i].second) != Lower(key))
                Check(doc.Value(probes[i].first, probes[i].second, 4096) == before[i]);
        }
    } else {
        Check(expected == bytes);
    }

    const fs::path& file = ScratchFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    Check(WriteIniString(file, section, key, value) == set);
    Check(ReadWhole(file) == expected);
    if (set)
        Check(FindIniString(file, section, key, 4096) == doc.Value(section, key, 4096));
    const std::string read = ReadIniString(file, section, key, value, bufferSize);
    Check(read.size() <= (bufferSize == 0 ? 0 : (bufferSize - 1) * 3));

    // The profile's whole numbers: what is written is read back.
    ProfileStore profile(file);
    const int number = AtoiLike(value);
    if (profile.WriteProfileInt(section, key, number))
        Check(profile.GetProfileInt(section, key, number == 0 ? 1 : 0) == number);
    CheckNumberReaders(ReadIniString(file, section, key, "", 100));
    return 0;
}
