#include "game/data/NumberLists.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool IsSeparator(char c) { return c == ',' || c == ';' || c == ' ' || c == '\t'; }

bool IsListEnd(char c) { return c == '\r' || c == '\n' || c == '|'; }

int32_t ToInt(const std::string& token) { return TextToInt(token.c_str()); }

float ToFloat(const std::string& token) { return TextToFloat(token.c_str()); }

// Calls take(token) for every non-empty token of text[0 .. length).
template <typename Take>
void ForEachToken(const char* text, size_t length, Take take)
{
    size_t start = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && !IsSeparator(text[i]))
            continue;
        if (i > start && !take(std::string(text + start, i - start)))
            return;
        start = i + 1;
    }
}

std::vector<int32_t> LeadingNumbers(const char* text, size_t count)
{
    std::vector<int32_t> numbers;
    ParseIntList(text, &numbers);
    if (numbers.size() < count)
        numbers.resize(count, 0);
    return numbers;
}

} // namespace

// atoi without its undefined overflow.
int32_t TextToInt(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

float TextToFloat(const char* text) { return float(std::strtod(text, nullptr)); }

size_t ParseIntList(const char* text, std::vector<int32_t>* numbers)
{
    if (!text)
        return 0;
    size_t length = 0;
    while (text[length] && !IsListEnd(text[length]))
        ++length;
    ForEachToken(text, length, [numbers](const std::string& token) {
        numbers->push_back(ToInt(token));
        return true;
    });
    return text[length] ? length + 1 : length;
}

void ParsePoint(const char* text, int* x, int* y)
{
    const std::vector<int32_t> numbers = LeadingNumbers(text, 2);
    *x = numbers[0];
    *y = numbers[1];
}

void ParseRect(const char* text, Lumo::Rect* rect)
{
    const std::vector<int32_t> numbers = LeadingNumbers(text, 4);
    *rect = Lumo::Rect{numbers[0], numbers[1], numbers[2], numbers[3]};
}

void ParseColor(const char* text, Lumo::Color* color)
{
    std::vector<int32_t> numbers;
    ParseIntList(text, &numbers);
    const int alpha = numbers.size() == 4 ? numbers[3] : 255;
    numbers.resize(std::max<size_t>(numbers.size(), 3), 0);
    *color = Lumo::Color(numbers[0], numbers[1], numbers[2], alpha);
}

int ParseFloatList(float* out, const char* text)
{
    if (!text)
        return 0;
    int written = 0;
    ForEachToken(text, std::strlen(text), [&](const std::string& token) {
        out[written++] = ToFloat(token);
        return written < 2;
    });
    return written;
}

void ParseFloatVector(std::vector<float>* values, const char* text)
{
    if (!text)
        return;
    ForEachToken(text, std::strlen(text), [values](const std::string& token) {
        values->push_back(ToFloat(token));
        return true;
    });
}
