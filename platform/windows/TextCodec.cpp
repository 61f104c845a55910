#include "platform/windows/TextCodec.h"

#include <cstdint>

namespace Platform {

namespace {

// Code page 1252 at 0x80..0x9F; the five unassigned bytes keep their C1 value.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ByteOf(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100))
        return char(codePoint);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == codePoint)
            return char(0x80 + i);
    }
    return '?';
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one character at text[i]; on a bad sequence consumes one byte and
// returns an invalid code point.
char32_t DecodeUtf8(const std::string& text, size_t& i)
{
    constexpr char32_t kInvalid = 0xFFFFFFFF;
    unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    int extra = -1;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3;
    if (extra < 0 || i + extra > text.size())
        return kInvalid;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return kInvalid;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return kInvalid;
    i += extra;
    return c;
}

} // namespace

char32_t CodePointOf(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t(byte);
}

std::string Utf8FromCp1252(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::string Cp1252FromUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        out += ByteOf(DecodeUtf8(text, i));
    return out;
}

std::string Utf8FromWide(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        char32_t code = char32_t(c);
        bool valid = code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000);
        AppendUtf8(out, valid ? code : U'?');
    }
    return out;
}

} // namespace Platform
