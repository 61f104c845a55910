#pragma once

#include <cstddef>
#include <cstdint>

namespace Lumo {

// A text built in a fixed buffer without allocating, locking or calling the
// C library's formatting: safe inside a signal handler. Text past the end of
// the buffer is dropped.
class SafeText {
public:
    SafeText& Append(const char* text);
    // Upper- or lower-case hexadecimal, padded with zeros to minDigits.
    SafeText& AppendHex(uint64_t value, int minDigits, bool upperCase = true);

    const char* Data() const { return mText; }
    size_t Length() const { return mLength; }

private:
    static constexpr size_t kCapacity = 8192;
    char mText[kCapacity] = {};
    size_t mLength = 0;
};

} // namespace Lumo
