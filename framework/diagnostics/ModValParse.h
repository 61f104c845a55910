#pragma once

#include <cstdint>
#include <string>

namespace Lumo {

// The literal at the start of the text after a value site's '('.
// A quoted text with the escapes \" \\ \n \t.
bool ModValParseString(const std::string& text, std::string* value);
// A named constant, or decimal digits (hexadecimal after "0x") with an
// optional '-', followed by ')'.
bool ModValParseInt(const std::string& text, int32_t* value);
// Digits with an optional '-' and fraction, followed by ')' or "f)".
bool ModValParseDouble(const std::string& text, double* value);

} // namespace Lumo
