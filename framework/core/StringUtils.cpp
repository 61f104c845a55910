#include "framework/core/StringUtils.h"

#include <cctype>
#include <cstdio>

namespace Lumo {

namespace {

constexpr char kSpaceCharacters[] = " \t\n\v\f\r";

int32_t DigitValue(char c, int32_t base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string FormatString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatStringV(format, args);
    va_end(args);
    return text;
}

std::string FormatStringV(const char* format, va_list args)
{
    if (!format)
        return std::string();
    // Most texts are short: one try on the stack, then one at the exact size.
    char small[160];
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (length < 0)
        return std::string();
    if (size_t(length) < sizeof(small))
        return std::string(small, size_t(length));
    std::string text(size_t(length), '\0');
    va_copy(copy, args);
    std::vsnprintf(text.data(), text.size() + 1, format, copy);
    va_end(copy);
    return text;
}

std::string MakeUpperCase(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = char(std::toupper(uint8_t(c)));
    return result;
}

std::string StringToLower(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = char(std::tolower(uint8_t(c)));
    return result;
}

int32_t FindNoCase(const char* text, const char* pattern)
{
    if (!text || !*text)
        return -1;
    size_t at = StringToLower(text).find(StringToLower(pattern ? pattern : ""));
    return at == std::string::npos ? -1 : int32_t(at);
}

std::string TrimSpace(const std::string& text)
{
    size_t first = text.find_first_not_of(kSpaceCharacters);
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(kSpaceCharacters);
    return text.substr(first, last - first + 1);
}

std::string CopyString(const std::string& text) { return text; }

std::wstring WidenString(const std::string& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (char c : text)
        result += wchar_t(uint8_t(c));
    return result;
}

std::string NarrowString(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (c < 0 || c > 255)
            return std::string();
        result += char(c);
    }
    return result;
}

std::string CommaSeparate(int64_t value)
{
    uint64_t rest = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    std::string text;
    int32_t position = 0;
    do {
        if (position > 0 && position % 3 == 0)
            text.insert(text.begin(), ',');
        text.insert(text.begin(), char('0' + rest % 10));
        rest /= 10;
        ++position;
    } while (rest > 0);
    return value < 0 ? "-" + text : text;
}

bool ParseInt(const std::string& text, int32_t* out)
{
    *out = 0;
    if (text.empty())
        return false;
    bool negative = text[0] == '-';
    int32_t base = 10;
    uint32_t value = 0;
    for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        char c = text[i];
        if (i == 1 && base == 10 && value == 0 && (c == 'x' || c == 'X')) {
            base = 16;
            continue;
        }
        int32_t digit = DigitValue(c, base);
        if (digit < 0)
            return false;
        value = value * uint32_t(base) + uint32_t(digit);
    }
    *out = int32_t(negative ? 0u - value : value);
    return true;
}

bool ParseDouble(const std::string& text, double* out)
{
    *out = 0.0;
    if (text.empty())
        return false;
    bool negative = text[0] == '-';
    bool fraction = false;
    double value = 0.0;
    double scale = 0.1;
    for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && !fraction) {
            fraction = true;
        } else if (c >= '0' && c <= '9' && !fraction) {
            value = value * 10.0 + (c - '0');
        } else if (c >= '0' && c <= '9') {
            value += (c - '0') * scale;
            scale /= 10.0;
        } else {
            return false;
        }
    }
    *out = negative ? -value : value;
    return true;
}

} // namespace Lumo
