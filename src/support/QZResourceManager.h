#pragma once

// Encrypted resource files. Some data files are shipped encrypted so that they cannot be read or
// edited casually; they come in two forms:
//   whole-file form   the entire file is ciphertext, decrypted with the key of the manager's
//                     category (the co-operation configuration's ".qz" files, general category);
//   container form    "QZENCRYPTION", a selector byte naming one of the five categories, a zero
//                     byte, then the ciphertext.
// The cipher is AES-256 in CFB mode with full-block feedback and no padding, so plain text and
// ciphertext have the same length. A category's key is its key string padded with zero bytes to
// 32 bytes, used as it is; the IV is one constant for every file. The key strings and the IV come
// from the build's key file (config/resource-keys.txt), never from a source file.
//
// A wrong key cannot be detected here: it yields noise, which the consumer then rejects.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using ResourceBytes = std::vector<uint8_t>;
using ResourceKey = std::array<uint8_t, 32>;
using ResourceIv = std::array<uint8_t, 16>;

// The raw cipher, for any key and IV. `out` must be as long as `in`; they may be the same buffer.
void Aes256CfbDecrypt(const ResourceKey& key, const ResourceIv& iv, std::span<const uint8_t> in, std::span<uint8_t> out);
void Aes256CfbEncrypt(const ResourceKey& key, const ResourceIv& iv, std::span<const uint8_t> in, std::span<uint8_t> out);

inline constexpr std::string_view kContainerMagic = "QZENCRYPTION";
inline constexpr size_t kContainerHeaderBytes = 14;
inline constexpr int kResourceCategories = 5;

// The container rules applied to a file's bytes. A file of 14 bytes or less, one that does not start
// with the magic, or one whose byte 13 is not 0 is plain and comes back unchanged. Otherwise the
// ciphertext after the header is decrypted with the selector's category. A selector outside 0-4
// names a key this program does not have: the file is refused (nothing), since passing its
// ciphertext on as if it were plain would report a failure as success.
std::optional<ResourceBytes> DecodeContainer(ResourceBytes file);
// The container of `plain` encrypted with category `category` (0-4).
ResourceBytes EncodeContainer(int category, std::span<const uint8_t> plain);

class QZResourceManager {
public:
    // The names of the five categories, by selector number. The first is the general category.
    static constexpr std::array<std::string_view, kResourceCategories> kCategoryNames = {
        "general", "family1", "family2", "family3", "family4"};
    // Files are read whole into memory; nothing the game ships comes near this.
    static constexpr size_t kMaxFileBytes = size_t{64} << 20;

    QZResourceManager() = default;

    // Replaces the category and returns the previous one. Without a category files are read as
    // they are.
    std::optional<std::string> SetCategory(std::optional<std::string> name);
    const std::optional<std::string>& Category() const { return m_category; }

    // The whole file, decrypted with the category's key when the manager has one. A file that
    // cannot be read (missing, not a regular file, a read error, larger than `maxBytes`) gives
    // nothing and the log line "无法打开文件: PATH".
    std::optional<ResourceBytes> ReadFileData(const std::filesystem::path& file, size_t maxBytes = kMaxFileBytes) const;
    // The whole file by the container rules (DecodeContainer); the same failures as ReadFileData,
    // and a container of an unknown category (logged as such), give nothing.
    std::optional<ResourceBytes> ReadContainerFile(const std::filesystem::path& file) const;

    // Decrypts or encrypts bytes with the key of a category name; a name that is none of the five
    // takes the fallback key.
    static ResourceBytes Decrypt(std::string_view category, std::span<const uint8_t> in);
    static ResourceBytes Encrypt(std::string_view category, std::span<const uint8_t> in);

    static ResourceKey Key(std::string_view category);
    static ResourceIv Iv();

    // Whether the game path names a file of the data folders (DataPaths.h).
    static bool FileExists(std::string_view gamePath);

private:
    std::optional<std::string> m_category;
};
