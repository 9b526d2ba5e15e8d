#include "support/QZResourceManager.h"

#include "support/DataPaths.h"
#include "support/Logger.h"
#include "support/ResourceKeys.h"

#include <cryptopp/aes.h>
#include <cryptopp/modes.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::optional<ResourceBytes> ReadWholeFile(const fs::path& file, size_t maxBytes)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    const uintmax_t size = fs::file_size(file, ec);
    if (ec || size > maxBytes)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    ResourceBytes bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<uintmax_t>(in.gcount()) != size)
        return std::nullopt;
    return bytes;
}

void LogUnreadable(const fs::path& file)
{
    if (g_pLogger != nullptr)
        g_pLogger->Write("无法打开文件: %s", file.c_str());
}

} // namespace

void Aes256CfbDecrypt(const ResourceKey& key, const ResourceIv& iv, std::span<const uint8_t> in, std::span<uint8_t> out)
{
    if (in.empty())
        return;
    // Crypto++'s CFB feeds back a whole block unless given another feedback size: the files' form.
    CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption cipher(key.data(), key.size(), iv.data());
    cipher.ProcessData(out.data(), in.data(), std::min(in.size(), out.size()));
}

void Aes256CfbEncrypt(const ResourceKey& key, const ResourceIv& iv, std::span<const uint8_t> in, std::span<uint8_t> out)
{
    if (in.empty())
        return;
    CryptoPP::CFB_Mode<CryptoPP::AES>::Encryption cipher(key.data(), key.size(), iv.data());
    cipher.ProcessData(out.data(), in.data(), std::min(in.size(), out.size()));
}

std::optional<ResourceBytes> DecodeContainer(ResourceBytes file)
{
    if (file.size() <= kContainerHeaderBytes)
        return file;
    if (!std::equal(kContainerMagic.begin(), kContainerMagic.end(), file.begin()))
        return file;
    if (file[13] != 0)
        return file;
    const uint8_t selector = file[12];
    if (selector >= kResourceCategories)
        return std::nullopt;
    return QZResourceManager::Decrypt(QZResourceManager::kCategoryNames[selector],
        std::span(file).subspan(kContainerHeaderBytes));
}

ResourceBytes EncodeContainer(int category, std::span<const uint8_t> plain)
{
    ResourceBytes file(kContainerMagic.begin(), kContainerMagic.end());
    file.push_back(static_cast<uint8_t>(category));
    file.push_back(0);
    const ResourceBytes cipher = QZResourceManager::Encrypt(QZResourceManager::kCategoryNames.at(category), plain);
    file.insert(file.end(), cipher.begin(), cipher.end());
    return file;
}

std::optional<std::string> QZResourceManager::SetCategory(std::optional<std::string> name)
{
    std::swap(name, m_category);
    return name;
}

std::optional<ResourceBytes> QZResourceManager::ReadFileData(const fs::path& file, size_t maxBytes) const
{
    auto bytes = ReadWholeFile(file, maxBytes);
    if (!bytes) {
        LogUnreadable(file);
        return std::nullopt;
    }
    if (!m_category)
        return bytes;
    // CFB decrypts in place: nothing needs a second buffer.
    Aes256CfbDecrypt(Key(*m_category), Iv(), *bytes, *bytes);
    return bytes;
}

std::optional<ResourceBytes> QZResourceManager::ReadContainerFile(const fs::path& file) const
{
    auto bytes = ReadWholeFile(file, kMaxFileBytes);
    if (!bytes) {
        LogUnreadable(file);
        return std::nullopt;
    }
    const int selector = bytes->size() > kContainerHeaderBytes ? (*bytes)[12] : 0;
    auto decoded = DecodeContainer(std::move(*bytes));
    if (!decoded && g_pLogger != nullptr)
        g_pLogger->Write("unknown resource category %d: %s", selector, file.c_str());
    return decoded;
}

ResourceBytes QZResourceManager::Decrypt(std::string_view category, std::span<const uint8_t> in)
{
    ResourceBytes out(in.size());
    Aes256CfbDecrypt(Key(category), Iv(), in, out);
    return out;
}

ResourceBytes QZResourceManager::Encrypt(std::string_view category, std::span<const uint8_t> in)
{
    ResourceBytes out(in.size());
    Aes256CfbEncrypt(Key(category), Iv(), in, out);
    return out;
}

ResourceKey QZResourceManager::Key(std::string_view category)
{
    ResourceKey key{};
    const auto found = std::find(kCategoryNames.begin(), kCategoryNames.end(), category);
    if (found != kCategoryNames.end()) {
        const auto& text = resource_keys::kCategory[found - kCategoryNames.begin()];
        std::copy(std::begin(text), std::end(text), key.begin());
    } else {
        std::copy(std::begin(resource_keys::kFallback), std::end(resource_keys::kFallback), key.begin());
    }
    return key;
}

ResourceIv QZResourceManager::Iv()
{
    ResourceIv iv{};
    std::copy(std::begin(resource_keys::kIv), std::end(resource_keys::kIv), iv.begin());
    return iv;
}

bool QZResourceManager::FileExists(std::string_view gamePath)
{
    return ResolveForReading(gamePath).has_value();
}
