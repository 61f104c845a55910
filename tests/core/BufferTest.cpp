#include "framework/core/AppLog.h"
#include "framework/core/Buffer.h"
#include "framework/core/MersenneTwister.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

using Lumo::Buffer;

namespace {

std::vector<uint8_t> Bytes(const Buffer& buffer)
{
    const uint8_t* data = buffer.GetDataPtr();
    return data ? std::vector<uint8_t>(data, data + buffer.GetDataLen()) : std::vector<uint8_t>();
}

} // namespace

TEST(Buffer, BitsThenUnalignedByteMatchTheWorkedBytes)
{
    Buffer buffer;
    buffer.WriteBits(5, 3);
    buffer.WriteByte(0xFF);
    EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{0xFD, 0x07}));
    EXPECT_EQ(buffer.GetDataLen(), 2);

    buffer.RewindRead();
    EXPECT_EQ(buffer.ReadBits(3, false), 5);
    EXPECT_EQ(buffer.ReadByte(), 0xFF);
    EXPECT_TRUE(buffer.AtEnd());
    // The next byte would need bits that are not stored: 0, and no move.
    EXPECT_EQ(buffer.ReadByte(), 0);
    EXPECT_EQ(buffer.GetReadPosition(), 11);
}

TEST(Buffer, WholeByteValuesAreLowByteFirst)
{
    struct Case {
        const char* what;
        void (*write)(Buffer&);
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"short", [](Buffer& b) { b.WriteShort(0x1234); }, {0x34, 0x12}},
        {"negative short", [](Buffer& b) { b.WriteShort(-2); }, {0xFE, 0xFF}},
        {"long", [](Buffer& b) { b.WriteLong(0x12345678); }, {0x78, 0x56, 0x34, 0x12}},
        {"negative long", [](Buffer& b) { b.WriteLong(-1); }, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"bool takes a byte", [](Buffer& b) { b.WriteBool(true); }, {0x01}},
        {"empty string", [](Buffer& b) { b.WriteString(""); }, {0x00, 0x00}},
        {"string", [](Buffer& b) { b.WriteString("ab"); }, {0x02, 0x00, 'a', 'b'}},
        {"bit after bool", [](Buffer& b) { b.WriteBool(false); b.WriteBits(1, 1); }, {0x00, 0x01}},
    };
    for (const Case& c : cases) {
        Buffer buffer;
        c.write(buffer);
        EXPECT_EQ(Bytes(buffer), c.bytes) << c.what;
    }
}

TEST(Buffer, SignExtensionTakesTheLastBitRead)
{
    Buffer buffer;
    buffer.WriteBits(3, 3); // bits 1, 1, 0
    buffer.WriteBits(5, 3); // bits 1, 0, 1
    buffer.WriteBits(-1, 32);
    buffer.RewindRead();
    EXPECT_EQ(buffer.ReadBits(3, true), 3);
    EXPECT_EQ(buffer.ReadBits(3, true), -3);
    EXPECT_EQ(buffer.ReadBits(32, true), -1);
}

// Mixed widths at every alignment must read back exactly as written.
TEST(Buffer, MixedValuesRoundTripAtAnyBitPosition)
{
    Lumo::MersenneTwister random(99);
    Buffer buffer;
    std::vector<std::pair<int32_t, int32_t>> written;
    for (int i = 0; i < 500; ++i) {
        int32_t count = int32_t(random.NextBelow(32)) + 1;
        int32_t value = int32_t(random.Next() * 2 + random.NextBelow(2));
        buffer.WriteBits(value, count);
        written.emplace_back(count == 32 ? value : int32_t(uint32_t(value) & ((1u << count) - 1)), count);
        buffer.WriteLong(i);
        buffer.WriteString(std::to_string(i * 7));
    }
    buffer.RewindRead();
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(buffer.ReadBits(written[i].second, false), written[i].first) << i;
        ASSERT_EQ(buffer.ReadLong(), i);
        ASSERT_EQ(buffer.ReadString(), std::to_string(i * 7));
    }
    EXPECT_TRUE(buffer.AtEnd());
}

TEST(Buffer, ReadsPastTheStoredBytesGiveZeros)
{
    Buffer buffer;
    buffer.WriteBits(1, 1);
    buffer.RewindRead();
    // Bits between the bit length and the end of the last byte read as 0.
    EXPECT_EQ(buffer.ReadBits(12, false), 1);
    EXPECT_EQ(buffer.GetReadPosition(), 8);
    EXPECT_EQ(buffer.ReadLong(), 0);
    EXPECT_EQ(buffer.ReadString(), "");
    uint8_t bytes[3] = {7, 7, 7};
    buffer.ReadBytes(bytes, 3);
    EXPECT_EQ(bytes[0] + bytes[1] + bytes[2], 0);
}

TEST(Buffer, NegativeStringLengthReadsAsEmpty)
{
    Buffer buffer;
    buffer.WriteShort(-5);
    buffer.WriteByte('z');
    buffer.RewindRead();
    EXPECT_EQ(buffer.ReadString(), "");
    EXPECT_EQ(buffer.ReadByte(), 'z');
}

TEST(Buffer, SetDataAndClear)
{
    Buffer buffer;
    EXPECT_EQ(buffer.GetDataPtr(), nullptr);
    const uint8_t data[3] = {1, 2, 3};
    buffer.SetData(data, 3);
    EXPECT_EQ(buffer.GetDataLen(), 3);
    EXPECT_FALSE(buffer.AtEnd());
    EXPECT_EQ(buffer.ReadShort(), 0x0201);
    buffer.SetData(data, -4);
    EXPECT_EQ(buffer.GetDataPtr(), nullptr);
    EXPECT_TRUE(buffer.AtEnd());
    // More bytes than 32-bit bit positions can count are refused before any is read.
    buffer.SetData(data, INT32_MAX);
    EXPECT_EQ(buffer.GetDataLen(), 0);
    buffer.Clear();
    EXPECT_EQ(buffer.GetReadPosition(), 0);
    EXPECT_EQ(buffer.GetDataLen(), 0);
}

TEST(Buffer, SavedReadPositionComesBackWithinTheStoredBits)
{
    Buffer buffer;
    buffer.WriteLong(17);
    buffer.WriteByte(9);
    buffer.RewindRead();
    int32_t saved = buffer.GetReadPosition();
    EXPECT_EQ(buffer.ReadLong(), 17);
    buffer.SetReadPosition(saved);
    EXPECT_EQ(buffer.ReadLong(), 17);
    buffer.SetReadPosition(-3);
    EXPECT_EQ(buffer.GetReadPosition(), 0);
    buffer.SetReadPosition(1000);
    EXPECT_TRUE(buffer.AtEnd());
    EXPECT_EQ(buffer.ReadByte(), 0);
}

// Writes after SetData land at the write position, never outside the data.
TEST(Buffer, WriteAfterSetDataStaysInsideTheData)
{
    Buffer buffer;
    for (int i = 0; i < 12; ++i)
        buffer.WriteByte(0);
    buffer.WriteBits(1, 3);
    const uint8_t data[1] = {0xAA};
    buffer.SetData(data, 1);
    buffer.WriteBits(0xF, 4);
    EXPECT_EQ(buffer.GetDataLen(), 13);
    EXPECT_EQ(Bytes(buffer)[0], 0xAA);
    EXPECT_EQ(Bytes(buffer)[12], 0x78);
}

// A length above 32767 would read back negative and misalign every later
// record: the string is cut instead, and the cut is logged.
TEST(Buffer, OverlongStringIsCutAndTheStreamStaysAligned)
{
    LumoTest::TempFolder dir;
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    log->Open(dir.Path() + "/");

    Buffer buffer;
    buffer.WriteString(std::string(40000, 'q'));
    buffer.WriteLong(1234);
    buffer.RewindRead();
    EXPECT_EQ(buffer.ReadString(), std::string(32767, 'q'));
    EXPECT_EQ(buffer.ReadLong(), 1234);
    EXPECT_TRUE(buffer.AtEnd());

    log->Close();
    EXPECT_EQ(LumoTest::ReadFile(dir / "applog.txt"), "ERROR Buffer - string of 40000 bytes cut to 32767\r\n");
}
