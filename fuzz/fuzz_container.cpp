// Encrypted resource files come from the data folders, where anyone may put a file. Whatever the
// bytes, the container rules must give back the file unchanged, its decrypted payload, or nothing
// for an unknown category, never read past the buffer; and every form must round-trip.
//
// An input is the file itself.
#include "support/QZResourceManager.h"
#include "ScratchFile.h"


#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const fs::path& ScratchFile()
{
    static const fuzz::ScratchFolder scratch("container");
    static const fs::path file = scratch.folder() / "resource.qz";
    return file;
}

bool IsContainer(const ResourceBytes& file)
{
    return file.size() > kContainerHeaderBytes && std::equal(kContainerMagic.begin(), kContainerMagic.end(), file.begin())
        && file[13] == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ResourceBytes file(data, data + size);
    const auto decoded = DecodeContainer(file);
    if (!IsContainer(file)) {
        Check(decoded == file);
    } else if (file[12] >= kResourceCategories) {
        Check(!decoded.has_value());
    } else {
        Check(decoded.has_value() && decoded->size() == size - kContainerHeaderBytes);
        Check(EncodeContainer(file[12], *decoded) == file);
    }

    // The whole-file form with each category, and a name that is none of them.
    const std::string_view name = size > 0 && data[0] < kResourceCategories
        ? QZResourceManager::kCategoryNames[data[0]]
        : std::string_view("fallback");
    const ResourceBytes plain = QZResourceManager::Decrypt(name, file);
    Check(plain.size() == size);
    Check(QZResourceManager::Encrypt(name, plain) == file);

    // The same through a file on disk.
    {
        std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    QZResourceManager manager;
    Check(manager.ReadContainerFile(ScratchFile()) == decoded);
    manager.SetCategory(std::string(name));
    Check(manager.ReadFileData(ScratchFile()) == plain);
    return 0;
}
