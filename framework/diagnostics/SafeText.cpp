#include "framework/diagnostics/SafeText.h"

namespace Lumo {

SafeText& SafeText::Append(const char* text)
{
    while (text && *text && mLength + 1 < kCapacity)
        mText[mLength++] = *text++;
    mText[mLength] = '\0';
    return *this;
}

SafeText& SafeText::AppendHex(uint64_t value, int minDigits, bool upperCase)
{
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[17];
    int count = 0;
    do {
        reversed[count++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count < minDigits && count < 16)
        reversed[count++] = '0';
    char text[17];
    for (int i = 0; i < count; ++i)
        text[i] = reversed[count - 1 - i];
    text[count] = '\0';
    return Append(text);
}

} // namespace Lumo
