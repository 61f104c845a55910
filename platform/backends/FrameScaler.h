#pragma once

#include <cstdint>
#include <vector>

namespace Platform {

// Scales a picture of 32-bit words to another size with linear filtering,
// each byte blended on its own: the neighbours of a point weigh in by 8-bit
// fractions of their distance from it, pixel centres on pixel centres, the
// edges held. Rows are made one by one, so that a change is scaled again only
// where it reaches.
class FrameScaler {
public:
    void Resize(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height);
    // The first and one past the last scaled row that read the source rows
    // top to bottom - 1.
    int32_t FirstRowReading(int32_t top) const;
    int32_t EndRowReading(int32_t bottom) const;
    // Scaled rows first to end - 1 from the source (pitch in words), into
    // dest, which holds the scaled rows from the first on at destPitch bytes.
    void ScaleRows(const uint32_t* source, int32_t sourcePitch, int32_t first, int32_t end, uint8_t* dest,
                   int32_t destPitch);

private:
    // A scaled pixel's lower source neighbour and the weight (of 256) of the next.
    struct Tap {
        int32_t index = 0;
        uint32_t weight = 0;
    };
    static std::vector<Tap> TapsOf(int32_t sourceSize, int32_t size);
    const uint32_t* Widened(const uint32_t* source, int32_t sourcePitch, int32_t row, int32_t slot);

    std::vector<Tap> mColumns, mRows;
    // Each column's two weights, four times over, as the pixels' bytes take them.
    std::vector<uint16_t> mColumnWeights;
    // Whether each column has two source pixels to read.
    bool mPairs = false;
    // Two source rows scaled across, and which rows they are.
    std::vector<uint32_t> mWide[2];
    int32_t mWideRow[2] = {-1, -1};
};

} // namespace Platform
