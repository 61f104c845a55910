#include "framework/diagnostics/ModValParse.h"

#include "framework/diagnostics/ModValRegistry.h"

#include <cctype>

namespace Lumo {

namespace {

int DigitValue(char c, int base)
{
    int digit = -1;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

} // namespace

bool ModValParseString(const std::string& text, std::string* value)
{
    value->clear();
    if (text.empty() || text[0] != '"')
        return false;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"')
            return true;
        if (text[i] != '\\') {
            value->push_back(text[i]);
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '"': value->push_back('"'); break;
        case '\\': value->push_back('\\'); break;
        case 'n': value->push_back('\n'); break;
        case 't': value->push_back('\t'); break;
        default: return false;
        }
    }
    return false;
}

bool ModValParseInt(const std::string& text, int32_t* value)
{
    *value = 0;
    if (!text.empty() && (std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_')) {
        size_t end = 0;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        const auto found = ModValNamedConstants().find(text.substr(0, end));
        if (found != ModValNamedConstants().end()) {
            *value = found->second;
            return true;
        }
    }
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    int base = 10;
    uint32_t parsed = 0;
    size_t digits = 0;
    for (; i < text.size(); ++i) {
        if (i == 1 && base == 10 && digits == 1 && parsed == 0 && (text[i] == 'x' || text[i] == 'X')) {
            base = 16;
            continue;
        }
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            break;
        parsed = parsed * uint32_t(base) + uint32_t(digit);
        ++digits;
    }
    if (digits == 0 || i >= text.size() || text[i] != ')')
        return false;
    *value = int32_t(negative ? 0u - parsed : parsed);
    return true;
}

bool ModValParseDouble(const std::string& text, double* value)
{
    *value = 0.0;
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    double parsed = 0.0;
    size_t digits = 0;
    for (; i < text.size() && DigitValue(text[i], 10) >= 0; ++i, ++digits)
        parsed = parsed * 10.0 + DigitValue(text[i], 10);
    if (i < text.size() && text[i] == '.') {
        double weight = 0.1;
        for (++i; i < text.size() && DigitValue(text[i], 10) >= 0; ++i, ++digits) {
            parsed += weight * DigitValue(text[i], 10);
            weight /= 10.0;
        }
    }
    if (digits == 0)
        return false;
    if (text.compare(i, 1, ")") != 0 && text.compare(i, 2, "f)") != 0)
        return false;
    *value = negative ? -parsed : parsed;
    return true;
}

} // namespace Lumo
