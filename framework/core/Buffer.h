#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Lumo {

// A growable byte store written and read as a stream of bits. Bit k of the
// stream is bit k % 8 (least significant first) of byte k / 8; values are
// written least significant bit first, integers least significant byte first.
// Demo files and their records are built on this order.
class Buffer {
public:
    Buffer() = default;
    virtual ~Buffer() = default;

    // The low count bits of value (1 to 32; 0 or less writes nothing).
    void WriteBits(int32_t value, int32_t count);
    void WriteByte(uint8_t b);
    // A whole byte, 1 or 0.
    void WriteBool(bool b);
    void WriteShort(int16_t v);
    void WriteLong(int32_t v);
    // A 16-bit length, then the bytes. Only 32767 bytes can be read back, so a
    // longer string is cut to that many (and logged) to keep the stream aligned.
    void WriteString(const std::string& s);
    void WriteBytes(const uint8_t* data, int32_t count);

    // Reading stops at the stored bytes: missing bits read as 0, and a byte
    // that is not wholly stored reads as 0 without moving the read position.
    int32_t ReadBits(int32_t count, bool signExtend);
    uint8_t ReadByte();
    bool ReadBool();
    int16_t ReadShort();
    int32_t ReadLong();
    std::string ReadString();
    void ReadBytes(uint8_t* data, int32_t count);

    void RewindRead() { mReadPosition = 0; }
    // Read positions saved earlier come back here; kept within the stored bits.
    int32_t GetReadPosition() const { return mReadPosition; }
    void SetReadPosition(int32_t position);

    void Clear();
    // Replaces the data with a copy of count bytes; the positions stay.
    void SetData(const uint8_t* data, int32_t count);
    // Null when empty.
    const uint8_t* GetDataPtr() const { return mData.empty() ? nullptr : mData.data(); }
    int32_t GetDataLen() const { return (mBitLength + 7) / 8; }
    bool AtEnd() const { return mReadPosition >= mBitLength; }

private:
    // Whether bits more fit the 32-bit positions; logs when they do not.
    bool HasRoom(int64_t bits) const;
    // Grows the data to hold the bits up to the write position plus count.
    void MakeRoom(int32_t count);
    void AdvanceWrite(int32_t count);

    std::vector<uint8_t> mData;
    int32_t mBitLength = 0;
    int32_t mReadPosition = 0;
    int32_t mWritePosition = 0;
};

} // namespace Lumo
