#include "framework/core/Buffer.h"

#include "framework/core/AppLog.h"

#include <algorithm>

namespace Lumo {

namespace {

// Positions are 32-bit bit counts; a little is kept spare so that rounding a
// position up to whole bytes cannot overflow.
constexpr int32_t kMaxBytes = (INT32_MAX - 7) / 8;
constexpr int32_t kMaxBits = kMaxBytes * 8;
constexpr int32_t kMaxStringLength = 32767;

} // namespace

void Buffer::MakeRoom(int32_t count)
{
    size_t bytes = (size_t(mWritePosition) + size_t(count) + 7) / 8;
    if (mData.size() < bytes)
        mData.resize(bytes, 0);
}

void Buffer::AdvanceWrite(int32_t count)
{
    mWritePosition += count;
    mBitLength = std::max(mBitLength, mWritePosition);
}

bool Buffer::HasRoom(int64_t bits) const
{
    if (bits <= kMaxBits - mWritePosition)
        return true;
    AppLog::GetInstance()->Printf(AppLog::kToFile, "ERROR Buffer - full, %lld bits not written", static_cast<long long>(bits));
    return false;
}

void Buffer::WriteBits(int32_t value, int32_t count)
{
    count = std::min(count, 32);
    if (count <= 0 || !HasRoom(count))
        return;
    MakeRoom(count);
    for (int32_t i = 0; i < count; ++i) {
        int32_t position = mWritePosition + i;
        if ((uint32_t(value) >> i) & 1)
            mData[size_t(position / 8)] |= uint8_t(1 << (position % 8));
    }
    AdvanceWrite(count);
}

void Buffer::WriteByte(uint8_t b)
{
    if (!HasRoom(8))
        return;
    MakeRoom(8);
    size_t index = size_t(mWritePosition / 8);
    int32_t shift = mWritePosition % 8;
    mData[index] |= uint8_t(b << shift);
    if (shift != 0)
        mData[index + 1] |= uint8_t(b >> (8 - shift));
    AdvanceWrite(8);
}

void Buffer::WriteBool(bool b) { WriteByte(b ? 1 : 0); }

void Buffer::WriteShort(int16_t v)
{
    WriteByte(uint8_t(v));
    WriteByte(uint8_t(uint16_t(v) >> 8));
}

void Buffer::WriteLong(int32_t v)
{
    for (int32_t shift = 0; shift < 32; shift += 8)
        WriteByte(uint8_t(uint32_t(v) >> shift));
}

void Buffer::WriteString(const std::string& s)
{
    int32_t length = int32_t(std::min<size_t>(s.size(), kMaxStringLength));
    if (size_t(length) < s.size())
        AppLog::GetInstance()->Printf(AppLog::kToFile, "ERROR Buffer - string of %zu bytes cut to %d", s.size(),
                                      length);
    WriteShort(int16_t(length));
    WriteBytes(reinterpret_cast<const uint8_t*>(s.data()), length);
}

void Buffer::WriteBytes(const uint8_t* data, int32_t count)
{
    if (count <= 0 || !data || !HasRoom(int64_t(count) * 8))
        return;
    for (int32_t i = 0; i < count; ++i)
        WriteByte(data[i]);
}

int32_t Buffer::ReadBits(int32_t count, bool signExtend)
{
    count = std::min(count, 32);
    uint32_t result = 0;
    bool lastBit = false;
    for (int32_t i = 0; i < count; ++i) {
        size_t index = size_t(mReadPosition / 8);
        if (index >= mData.size())
            break;
        lastBit = (mData[index] >> (mReadPosition % 8)) & 1;
        if (lastBit)
            result |= 1u << i;
        ++mReadPosition;
    }
    if (signExtend && lastBit && count < 32)
        result |= ~0u << count;
    return int32_t(result);
}

uint8_t Buffer::ReadByte()
{
    size_t index = size_t(mReadPosition / 8);
    int32_t shift = mReadPosition % 8;
    if ((size_t(mReadPosition) + 7) / 8 >= mData.size())
        return 0;
    mReadPosition += 8;
    if (shift == 0)
        return mData[index];
    return uint8_t((mData[index] >> shift) | (mData[index + 1] << (8 - shift)));
}

bool Buffer::ReadBool() { return ReadByte() != 0; }

int16_t Buffer::ReadShort()
{
    uint16_t low = ReadByte();
    uint16_t high = ReadByte();
    return int16_t(low | (high << 8));
}

int32_t Buffer::ReadLong()
{
    uint32_t value = 0;
    for (int32_t shift = 0; shift < 32; shift += 8)
        value |= uint32_t(ReadByte()) << shift;
    return int32_t(value);
}

std::string Buffer::ReadString()
{
    int16_t length = ReadShort();
    std::string s;
    for (int16_t i = 0; i < length; ++i)
        s += char(ReadByte());
    return s;
}

void Buffer::ReadBytes(uint8_t* data, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        data[i] = ReadByte();
}

void Buffer::SetReadPosition(int32_t position) { mReadPosition = std::clamp(position, 0, mBitLength); }

void Buffer::Clear()
{
    mData.clear();
    mBitLength = 0;
    mReadPosition = 0;
    mWritePosition = 0;
}

void Buffer::SetData(const uint8_t* data, int32_t count)
{
    if (count > kMaxBytes) {
        AppLog::GetInstance()->Printf(AppLog::kToFile, "ERROR Buffer - %d bytes are more than it holds", count);
        count = 0;
    }
    if (count <= 0 || !data)
        count = 0;
    mData.assign(data, data + count);
    mBitLength = count * 8;
}

} // namespace Lumo
