#include "support/TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace {

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool IsGbkTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// How many bytes of unconvertible input at `p` to replace by one '?'. A GBK pair whose bytes are
// in range but unassigned is one character; any other bad byte goes alone, so an ASCII byte after
// a stray lead byte survives.
size_t GbkBadLength(const unsigned char* p, size_t left)
{
    if (left >= 2 && IsGbkLead(p[0]) && IsGbkTrail(p[1]))
        return 2;
    return 1;
}

// A well-formed UTF-8 character that GBK cannot represent is skipped whole; a malformed sequence
// is skipped with the continuation bytes that follow its first byte.
size_t Utf8BadLength(const unsigned char* p, size_t left)
{
    size_t n = 1;
    while (n < left && n < 4 && (p[n] & 0xC0) == 0x80)
        ++n;
    return n;
}

class Converter {
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (Valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Without `badLength` the first byte that does not convert ends the run with nothing.
    std::optional<std::string> Run(std::string_view input, size_t (*badLength)(const unsigned char*, size_t))
    {
        std::string out;
        out.resize(input.size() * 2 + 16);
        // iconv's prototype wants char** for input although it never writes through it.
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        size_t used = 0;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* outPtr = out.data() + used;
            size_t outLeft = out.size() - used;
            const size_t rc = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            used = out.size() - outLeft;
            if (rc != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut off at the end): replace and carry on after it.
            if (badLength == nullptr)
                return std::nullopt;
            const size_t skip = badLength(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += skip;
            inLeft -= skip;
            if (used == out.size())
                out.resize(out.size() * 2);
            out[used++] = '?';
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t m_cd;
};

// Without the converter (a system lacking glibc's GBK module) ASCII still passes through.
std::string AsciiOnly(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '?';
    }
    return out;
}

Converter& GbkToUtf8Converter()
{
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk)
{
    if (IsAscii(gbk))
        return std::string(gbk);
    Converter& converter = GbkToUtf8Converter();
    if (!converter.Valid())
        return AsciiOnly(gbk);
    return *converter.Run(gbk, GbkBadLength);
}

std::string Utf8ToGbk(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    thread_local Converter converter("GBK", "UTF-8");
    if (!converter.Valid())
        return AsciiOnly(utf8);
    return *converter.Run(utf8, Utf8BadLength);
}

bool IsValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

std::optional<std::string> GbkToUtf8Exact(std::string_view gbk)
{
    if (IsAscii(gbk))
        return std::string(gbk);
    Converter& converter = GbkToUtf8Converter();
    if (!converter.Valid())
        return std::nullopt;
    return converter.Run(gbk, nullptr);
}

std::string_view CutGbk(std::string_view gbk, size_t maxBytes)
{
    if (gbk.size() <= maxBytes)
        return gbk;
    size_t pos = 0;
    while (pos < gbk.size()) {
        const bool pair = IsGbkLead(static_cast<unsigned char>(gbk[pos])) && pos + 1 < gbk.size();
        const size_t width = pair ? 2 : 1;
        if (pos + width > maxBytes)
            break;
        pos += width;
    }
    return gbk.substr(0, pos);
}

std::string_view CutUtf8(std::string_view utf8, size_t maxBytes)
{
    if (utf8.size() <= maxBytes)
        return utf8;
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}
