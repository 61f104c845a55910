#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/codecs/ImageLibFile.h"

#include <cstring>
#include <memory>
#include <vector>

namespace ImageLib {

namespace {

constexpr int kMaxCodes = 4096;

struct ColorTable {
    uint32_t entries[256] = {};
    int size = 0;
};

bool ReadColorTable(File& file, int flags, ColorTable* table)
{
    table->size = 1 << ((flags & 7) + 1);
    for (int i = 0; i < table->size; ++i) {
        uint8_t rgb[3];
        if (!file.Read(rgb, 3))
            return false;
        table->entries[i] = 0xFF000000u | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
    }
    return true;
}

// One chain of data sub-blocks; the first block's bytes are kept in first
// when given. False when the file ends inside the chain.
bool SkipSubBlocks(File& file, std::vector<uint8_t>* first = nullptr)
{
    uint8_t block[256];
    for (bool isFirst = true;; isFirst = false) {
        const int count = file.ReadByte();
        if (count <= 0)
            return count == 0;
        if (!file.Read(block, size_t(count)))
            return false;
        if (isFirst && first != nullptr)
            first->assign(block, block + count);
    }
}

// Codes from the image data's sub-blocks, least significant bit first.
class CodeReader {
public:
    explicit CodeReader(File& file) : mFile(file) {}

    // -1 when the data ends (a count of 0 or the end of the file).
    int Next(int codeSize)
    {
        while (mBitCount < codeSize) {
            if (mBlockPos == mBlockSize) {
                const int count = mFile.ReadByte();
                // A block cut short by the end of the file still gives its bytes.
                mBlockSize = count > 0 ? int(mFile.ReadUpTo(mBlock, size_t(count))) : 0;
                mBlockPos = 0;
                if (mBlockSize == 0)
                    return -1;
            }
            mBits |= uint32_t(mBlock[mBlockPos++]) << mBitCount;
            mBitCount += 8;
        }
        const int code = int(mBits & ((1u << codeSize) - 1));
        mBits >>= codeSize;
        mBitCount -= codeSize;
        return code;
    }

private:
    File& mFile;
    uint8_t mBlock[256] = {};
    int mBlockSize = 0;
    int mBlockPos = 0;
    uint32_t mBits = 0;
    int mBitCount = 0;
};

// Places decoded indices row by row, following the interlace passes.
class PixelSink {
public:
    PixelSink(Image& image, const ColorTable& table, int transparent, bool interlaced)
        : mImage(image), mTable(table), mTransparent(transparent), mInterlaced(interlaced)
    {
    }

    // False once every row is full.
    bool Put(uint8_t index)
    {
        if (mRow >= mImage.Height())
            return false;
        // An index the table does not hold is drawn transparent.
        uint32_t pixel = 0;
        if (index != mTransparent && index < mTable.size)
            pixel = mTable.entries[index];
        mImage.GetBits()[size_t(mRow) * size_t(mImage.Width()) + size_t(mX)] = pixel;
        if (++mX == mImage.Width()) {
            mX = 0;
            NextRow();
        }
        return mRow < mImage.Height();
    }

private:
    void NextRow()
    {
        if (!mInterlaced) {
            ++mRow;
            return;
        }
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        mRow += kStep[mPass];
        while (mRow >= mImage.Height() && ++mPass < 4)
            mRow = kStart[mPass];
    }

    Image& mImage;
    const ColorTable& mTable;
    int mTransparent;
    bool mInterlaced;
    int mRow = 0;
    int mX = 0;
    int mPass = 0;
};

void DecodeLzw(File& file, int minCodeSize, PixelSink& sink)
{
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<uint8_t> suffix(kMaxCodes);
    std::vector<uint8_t> stack(kMaxCodes + 1);
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i)
        suffix[size_t(i)] = uint8_t(i);

    CodeReader reader(file);
    int codeSize = minCodeSize + 1;
    int nextCode = clear + 2;
    int previous = -1;
    uint8_t firstChar = 0;
    for (;;) {
        int code = reader.Next(codeSize);
        if (code < 0 || code > nextCode || code == end)
            return;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            nextCode = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // The first code after a clear must be a root.
            if (code >= clear)
                return;
            firstChar = suffix[size_t(code)];
            previous = code;
            if (!sink.Put(firstChar))
                return;
            continue;
        }
        const int inCode = code;
        size_t top = 0;
        if (code == nextCode) {
            stack[top++] = firstChar;
            code = previous;
        }
        while (code >= clear) {
            if (top >= stack.size() - 1)
                return;
            stack[top++] = suffix[size_t(code)];
            code = prefix[size_t(code)];
        }
        firstChar = suffix[size_t(code)];
        stack[top++] = firstChar;
        if (nextCode < kMaxCodes) {
            prefix[size_t(nextCode)] = uint16_t(previous);
            suffix[size_t(nextCode)] = firstChar;
            ++nextCode;
            if ((nextCode & ((1 << codeSize) - 1)) == 0 && nextCode < kMaxCodes)
                ++codeSize;
        }
        previous = inCode;
        while (top > 0) {
            if (!sink.Put(stack[--top]))
                return;
        }
    }
}

} // namespace

// The first picture of the file only.
Image* GetGIFImage(const std::string& fileName)
{
    File file(fileName);
    if (!file.IsOpen())
        return nullptr;
    char signature[6];
    if (!file.Read(signature, 6) || (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0))
        return nullptr;
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
    uint8_t screen[3];
    if (!file.ReadU16(&screenWidth) || !file.ReadU16(&screenHeight) || !file.Read(screen, 3))
        return nullptr;
    ColorTable globalTable;
    if ((screen[0] & 0x80) != 0 && !ReadColorTable(file, screen[0], &globalTable))
        return nullptr;

    int transparent = -1;
    for (;;) {
        const int introducer = file.ReadByte();
        if (introducer < 0 || introducer == ';')
            return nullptr;
        if (introducer == ',')
            break;
        if (introducer != '!')
            continue;
        const int label = file.ReadByte();
        if (label < 0)
            return nullptr;
        std::vector<uint8_t> first;
        if (!SkipSubBlocks(file, &first))
            return nullptr;
        if (label == 0xF9 && first.size() >= 4 && (first[0] & 1) != 0)
            transparent = first[3];
    }

    uint16_t descriptor[4];
    for (uint16_t& value : descriptor) {
        if (!file.ReadU16(&value))
            return nullptr;
    }
    const int flags = file.ReadByte();
    if (flags < 0)
        return nullptr;
    const int width = descriptor[2];
    const int height = descriptor[3];
    ColorTable localTable;
    const ColorTable* table = &globalTable;
    if ((flags & 0x80) != 0) {
        if (!ReadColorTable(file, flags, &localTable))
            return nullptr;
        table = &localTable;
    }
    // Without any colour table no pixel has a defined colour.
    if (width == 0 || height == 0 || table->size == 0 || int64_t(width) * height > kMaxPixels)
        return nullptr;
    const int minCodeSize = file.ReadByte();
    if (minCodeSize < 1 || minCodeSize > 11)
        return nullptr;

    auto image = std::make_unique<Image>(width, height);
    PixelSink sink(*image, *table, transparent, (flags & 0x40) != 0);
    DecodeLzw(file, minCodeSize, sink);
    return image.release();
}

} // namespace ImageLib
