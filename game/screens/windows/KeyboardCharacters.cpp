#include "game/screens/windows/KeyboardCharacters.h"

#include <cstring>

namespace {

unsigned char Byte(char ch)
{
    return static_cast<unsigned char>(ch);
}

// Shifted symbols of the US layout and the unshifted symbol of the same key.
constexpr const char* kShifted = "~!@#$%^&*()_+{}|:\"<>?";
constexpr const char* kUnshifted = "`1234567890-=[]\\;',./";

} // namespace

char Cp1252Upper(char ch)
{
    const unsigned char c = Byte(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char>(c - 0x20);
    switch (c) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return ch;
    }
}

char Cp1252Lower(char ch)
{
    const unsigned char c = Byte(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char>(c + 0x20);
    switch (c) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return ch;
    }
}

char UsKeyCharacter(char ch)
{
    const unsigned char c = Byte(ch);
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 0x20);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ')
        return ch;
    if (c == 0 || c >= 0x80)
        return 0;
    if (const char* at = std::strchr(kShifted, ch))
        return kUnshifted[at - kShifted];
    if (std::strchr(kUnshifted, ch) != nullptr)
        return ch;
    return 0;
}
