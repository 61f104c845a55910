#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ImageLibTests {

// Writes GIF files for the reader's tests: a real LZW encoder, so decoded
// files exercise the code table, its growth and its reset.
class GifBuilder {
public:
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB entries; size is a power of two
    bool localTable = false;        // the table after the image descriptor instead of the screen's
    bool interlaced = false;
    int transparentIndex = -1;
    int minCodeSize = 0;            // 0: from the palette size
    std::vector<uint8_t> indices;   // width x height, in the order rows are stored
    bool keepFullTable = false;     // go on with 12-bit codes once the table is full, with no clear code

    std::string Build() const
    {
        std::string out = "GIF89a";
        Put16(out, width);
        Put16(out, height);
        const int tableBits = TableBits();
        out += char(!localTable && !palette.empty() ? 0x80 | (tableBits - 1) : 0);
        out += '\0';
        out += '\0';
        if (!localTable)
            PutTable(out);
        out += "!\xFE";  // a comment extension, skipped
        out += char(5);
        out += "hello";
        out += '\0';
        if (transparentIndex >= 0) {
            out += "!\xF9";
            out += char(4);
            out += char(1);
            out += '\0';
            out += '\0';
            out += char(transparentIndex);
            out += '\0';
        }
        out += ',';
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, width);
        Put16(out, height);
        int flags = interlaced ? 0x40 : 0;
        if (localTable && !palette.empty())
            flags |= 0x80 | (tableBits - 1);
        out += char(flags);
        if (localTable)
            PutTable(out);
        const int m = minCodeSize != 0 ? minCodeSize : std::max(2, tableBits);
        out += char(m);
        const std::vector<uint8_t> data = Encode(m);
        for (size_t i = 0; i < data.size(); i += 255) {
            const size_t count = std::min<size_t>(255, data.size() - i);
            out += char(count);
            out.append(reinterpret_cast<const char*>(data.data() + i), count);
        }
        out += '\0';
        out += ';';
        return out;
    }

private:
    static void Put16(std::string& out, int value)
    {
        out += char(value & 0xFF);
        out += char((value >> 8) & 0xFF);
    }

    int TableBits() const
    {
        int bits = 1;
        while ((1u << bits) < palette.size())
            ++bits;
        return bits;
    }

    void PutTable(std::string& out) const
    {
        for (uint32_t color : palette) {
            out += char(color >> 16);
            out += char(color >> 8);
            out += char(color);
        }
    }

    std::vector<uint8_t> Encode(int m) const
    {
        std::vector<uint8_t> bytes;
        uint32_t bits = 0;
        int bitCount = 0;
        int codeSize = m + 1;
        auto emit = [&](int code) {
            bits |= uint32_t(code) << bitCount;
            bitCount += codeSize;
            while (bitCount >= 8) {
                bytes.push_back(uint8_t(bits));
                bits >>= 8;
                bitCount -= 8;
            }
        };
        const int clear = 1 << m;
        std::map<std::pair<int, uint8_t>, int> table;
        int next = clear + 2;
        emit(clear);
        int prefix = -1;
        for (uint8_t index : indices) {
            if (prefix < 0) {
                prefix = index;
                continue;
            }
            auto found = table.find({prefix, index});
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            emit(prefix);
            if (next < 4096) {
                table[{prefix, index}] = next++;
                if (next > (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            } else if (!keepFullTable) {
                emit(clear);
                table.clear();
                next = clear + 2;
                codeSize = m + 1;
            }
            prefix = index;
        }
        if (prefix >= 0) {
            emit(prefix);
            // The reader adds an entry on this last code too (unless it is
            // the first after a clear), and may widen the end code with it.
            if (next > clear + 2 || !table.empty()) {
                if (next < 4096 && ++next > (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
        }
        emit(clear + 1);
        if (bitCount > 0)
            bytes.push_back(uint8_t(bits));
        return bytes;
    }
};

} // namespace ImageLibTests
