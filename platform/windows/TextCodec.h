#pragma once

#include <string>

// Text is code page 1252 inside the program; the desktop speaks UTF-8. These
// convert at the edge. Characters that code page 1252 lacks, and bytes that
// are not valid UTF-8, become "?".
namespace Platform {

std::string Utf8FromCp1252(const std::string& text);
std::string Cp1252FromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// The character a code page 1252 byte stands for.
char32_t CodePointOf(unsigned char byte);

} // namespace Platform
