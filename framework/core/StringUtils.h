#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace Lumo {

std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatStringV(const char* format, va_list args);

// ASCII letters only, as the "C" locale maps them.
std::string MakeUpperCase(const std::string& text);
std::string StringToLower(const std::string& text);

// Index of the first occurrence of pattern in text without regard to case, or
// -1; an empty pattern is found at 0 in any non-empty text.
int32_t FindNoCase(const char* text, const char* pattern);

// Without blanks, tabs, line feeds, vertical tabs, form feeds and carriage
// returns at either end.
std::string TrimSpace(const std::string& text);
std::string CopyString(const std::string& text);

// Each byte becomes the wide character of the same value, and back; a wide
// character above 255 has no byte, which makes the whole narrowing empty.
std::wstring WidenString(const std::string& text);
std::string NarrowString(const std::wstring& text);

// 1234567 gives "1,234,567".
std::string CommaSeparate(int64_t value);

// Decimal with an optional leading "-"; an "x" or "X" second character while
// the value is still 0 switches to hexadecimal (0x1F, -x1F). Anything else
// fails with out 0.
bool ParseInt(const std::string& text, int32_t* out);
// Digits with an optional "-" and one "."; no exponent, no "+".
bool ParseDouble(const std::string& text, double* out);

} // namespace Lumo
