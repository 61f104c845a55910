#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The archive file: every byte XORed with kScrambleKey. Unscrambled, a header
// (magic, version), directory records (flags, name length, name, data size,
// file time) closed by an end byte, then the entries' data back to back in
// directory order. Integers are little-endian.
namespace PakFormat {

constexpr uint8_t kScrambleKey = 0xA7;
constexpr uint32_t kMagic = 0xBAC04AC0;
constexpr uint32_t kVersion = 0;
constexpr size_t kHeaderSize = 8;
// Flags, name length, data size and file time around the name.
constexpr size_t kRecordFixedSize = 14;
constexpr uint8_t kEndFlag = 0x80;
constexpr size_t kMaxNameLength = 255;
// Offsets and sizes are signed 32-bit.
constexpr uint64_t kMaxArchiveSize = 0x7FFFFFFF;

// Only a to z change, whatever the bytes above 127 mean.
inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// The map key of a stored name.
inline std::string UpperKey(std::string name)
{
    for (char& c : name)
        c = ToUpperAscii(c);
    return name;
}

} // namespace PakFormat
