#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Platform {

// How a frame's pixels are laid out: their size in bits and the masks of
// their channels. Without an alpha mask the shown pixels are opaque.
struct FrameFormat {
    uint32_t bits = 32;
    uint32_t red = 0x00FF0000;
    uint32_t green = 0x0000FF00;
    uint32_t blue = 0x000000FF;
    uint32_t alpha = 0;

    bool operator==(const FrameFormat&) const = default;
};

// Which rows of a frame changed since it was last shown: a flag per row and
// the span that holds them. It keeps its room from frame to frame.
class FrameRows {
public:
    // height rows, all changed.
    void Reset(int32_t height);
    // Rows top to bottom - 1, cut to the frame.
    void Mark(int32_t top, int32_t bottom);
    void Clear();
    // The rows top to top + count - 1 of other as rows 0 to count - 1.
    void CopyFrom(const FrameRows& other, int32_t top, int32_t count);

    int32_t Height() const { return int32_t(mChanged.size()); }
    bool Any() const { return mFirst < mEnd; }
    bool Changed(int32_t y) const { return mChanged[size_t(y)] != 0; }
    int32_t First() const { return mFirst; }
    // One past the last changed row.
    int32_t End() const { return mEnd; }
    // Calls span(top, bottom) for each run of changed rows, downwards.
    template <typename Span>
    void ForEachSpan(Span&& span) const
    {
        for (int32_t y = mFirst; y < mEnd;) {
            if (!Changed(y)) {
                ++y;
                continue;
            }
            const int32_t top = y;
            while (y < mEnd && Changed(y))
                ++y;
            span(top, y);
        }
    }

private:
    std::vector<uint8_t> mChanged;
    int32_t mFirst = 0;
    int32_t mEnd = 0;
};

// A frame handed to a backend to show: rows in their own format and pitch
// (in bytes), and which of them changed; without a record, all of them. A
// window shows it pixel for pixel at (left, top) of its client area, which
// it need not fill where the window reaches past the screen; a full-screen
// window scales it to the screen.
struct ShownFrame {
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    FrameFormat format;
    const FrameRows* rows = nullptr;
    int32_t left = 0;
    int32_t top = 0;

    const uint8_t* Row(int32_t y) const { return pixels + int64_t(y) * pitch; }
};

} // namespace Platform
