// INI files come from the user's disk and from the installed data; whatever bytes they hold, the
// reader must neither crash nor change a byte it was not asked to change.
#include "support/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::Parse(bytes);
    Check(doc.Serialize() == bytes);

    for (const char* section : {"Qarrum", "Round", "GameOption", "S"}) {
        for (const char* key : {"GameBgIndex", "TurnRound3", "CardSpace", "K"}) {
            const auto value = doc.Value(section, key, 100);
            // At most three UTF-8 bytes per GBK byte: the single byte 0x80 is the euro sign.
            Check(!value || value->size() <= 99 * 3);
        }
    }

    // Use the input's tail as a value: the write must read back exactly or be refused.
    const std::string value(bytes.substr(size / 2, 40));
    if (doc.SetValue("S", "K", value)) {
        const auto direct = doc.Value("S", "K", 4096);
        const auto reparsed = IniDocument::Parse(doc.Serialize()).Value("S", "K", 4096);
        Check(direct.has_value() && reparsed == direct);
    }
    return 0;
}
