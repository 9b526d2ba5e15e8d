#pragma once

// Text inside the program is UTF-8; bytes that cross an edge (protocol names, replay files, the
// trace file, INI files, mission texts) are GBK. These are the only conversions between the two.
// Neither ever fails: a byte sequence that cannot be converted becomes one '?' and the text after
// it is converted as usual.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// For a file that may be in either encoding: whether the bytes are well-formed UTF-8 (no overlong
// forms, surrogates or code points above U+10FFFF), and GBK converted only when every byte of it
// converts.
bool IsValidUtf8(std::string_view text);
std::optional<std::string> GbkToUtf8Exact(std::string_view gbk);

// The longest prefix of GBK text that fits in maxBytes without splitting a double-byte character.
// Fixed-size buffers of the original program are measured in these bytes, so cuts are made here,
// before the text is converted to UTF-8.
std::string_view CutGbk(std::string_view gbk, size_t maxBytes);
// The longest start of a UTF-8 text that fits in maxBytes without splitting a character.
std::string_view CutUtf8(std::string_view utf8, size_t maxBytes);
