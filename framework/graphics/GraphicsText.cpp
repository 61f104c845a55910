#include "framework/graphics/Graphics.h"

#include "framework/graphics/fonts/Font.h"

#include <algorithm>

namespace Lumo {

namespace {

// Caret, six characters, caret.
constexpr int64_t kColorCodeLength = 8;

// Anything but a hexadecimal digit counts as 0.
uint32_t HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return uint32_t(c - '0');
    if (c >= 'A' && c <= 'F')
        return uint32_t(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return uint32_t(c - 'a' + 10);
    return 0;
}

// The packed colour of the code whose caret is at text[at].
uint32_t ReadColorCode(const std::string& text, size_t at, uint32_t oldColor)
{
    if (text[at + 1] == 'o')
        return text.compare(at + 1, 6, "oldclr") == 0 ? oldColor : 0;
    uint32_t value = 0;
    for (size_t k = 1; k <= 6; ++k)
        value = value * 16 + HexValue(text[at + k]);
    return value;
}

} // namespace

void Graphics::DrawText(const std::string& text, int x, int y)
{
    if (mFont)
        mFont->DrawString(this, x, y, text, mColor, mClipRect);
}

int Graphics::TextWidth(const std::string& text) { return mFont ? mFont->StringWidth(text) : 0; }

int Graphics::DrawColorCodedString(const std::string& text, int x, int y, int width, int justification, bool draw,
                                   int start, int length, int oldColor)
{
    if (oldColor == -1)
        oldColor = int(mColor.ToInt());
    if (draw && (justification == 0 || justification == 1)) {
        const int lineWidth = DrawColorCodedString(text, x, y, width, -1, false, start, length, oldColor);
        x += justification == 0 ? (width - lineWidth) / 2 : width - lineWidth;
    }
    const int64_t size = int64_t(text.size());
    const int64_t first = start < 0 ? 0 : start;
    const int64_t end = length >= 0 ? std::min(first + length, size) : size;

    std::string segment;
    int advance = 0;
    int64_t i = first;
    while (i < end) {
        if (text[i] != '^' || !mColorCodes) {
            segment += text[i];
            ++i;
            continue;
        }
        if (i + 1 < end && text[i + 1] == '^') {
            segment += '^';
            i += 2;
            continue;
        }
        // A code cut off by the end of the range ends the text.
        if (i > end - kColorCodeLength)
            break;
        const uint32_t code = ReadColorCode(text, size_t(i), uint32_t(oldColor));
        if (draw) {
            DrawText(segment, x + advance, y);
            SetColor(Color(int((code >> 16) & 0xFF), int((code >> 8) & 0xFF), int(code & 0xFF), mColor.mAlpha));
        }
        advance += TextWidth(segment);
        segment.clear();
        i += kColorCodeLength;
    }
    if (draw)
        DrawText(segment, x + advance, y);
    return advance + TextWidth(segment);
}

int Graphics::DrawWrappedLine(const std::string& text, int start, int length, int x, int y, int width,
                              int justification, int oldColor)
{
    const int64_t size = int64_t(text.size());
    if (int64_t(start) + length > size) {
        if (size - start < 1)
            return -1;
        length = int(size - start);
    }
    return DrawColorCodedString(text, x, y, width, justification, true, start, length, oldColor);
}

int Graphics::DrawWordWrapped(const std::string& text, const Rect& rect, int lineSpacing, int justification)
{
    if (!mFont)
        return 0;
    const Color savedColor = mColor;
    // Opaque white would pack to -1, which means "the current colour".
    uint32_t packed = mColor.ToInt();
    if ((packed >> 24) == 0xFF)
        packed &= 0x00FFFFFF;
    const int oldColor = int(packed);
    if (lineSpacing == -1)
        lineSpacing = mFont->GetLineSpacing();
    int yOffset = mFont->GetAscent() - mFont->GetAscentPadding();

    const int64_t n = int64_t(text.size());
    int64_t lineStart = 0;
    int64_t breakPoint = -1;
    int64_t lineWidth = 0;
    char previous = 0;
    char lastRead = 0;
    int64_t i = 0;
    while (i < n) {
        const char c = text[i];
        lastRead = c;
        if (c == '^' && mColorCodes && i + 1 < n) {
            if (text[i + 1] != '^') {
                i += kColorCodeLength;
                continue;
            }
            ++i;
        } else if (c == ' ') {
            breakPoint = i;
        } else if (c == '\n') {
            breakPoint = i;
            lineWidth = int64_t(rect.mWidth) + 1;
            ++i;
        }
        lineWidth += mFont->CharWidthKerned(c, previous);
        previous = c;
        if (lineWidth <= rect.mWidth) {
            ++i;
            continue;
        }
        if (breakPoint >= 0) {
            const int lineY = TranslateY(rect.mY + yOffset);
            if (lineY >= mClipRect.mY && lineY < mClipRect.mY + mClipRect.mHeight + lineSpacing)
                DrawWrappedLine(text, int(lineStart), int(breakPoint - lineStart), rect.mX, rect.mY + yOffset,
                                rect.mWidth, justification, oldColor);
            const bool newline = text[breakPoint] == '\n';
            i = breakPoint + 1;
            while (!newline && i < n && text[i] == ' ')
                ++i;
        } else {
            // Every line holds at least one character.
            if (i == lineStart)
                ++i;
            DrawWrappedLine(text, int(lineStart), int(i - lineStart), rect.mX, rect.mY + yOffset, rect.mWidth,
                            justification, oldColor);
        }
        yOffset += lineSpacing;
        breakPoint = -1;
        lineWidth = 0;
        previous = 0;
        lineStart = i;
    }

    int total = yOffset;
    if (lineStart < n) {
        if (DrawWrappedLine(text, int(lineStart), int(n - lineStart), rect.mX, rect.mY + yOffset, rect.mWidth,
                            justification, oldColor) >= 0)
            total += lineSpacing;
    } else if (lastRead == '\n') {
        total += lineSpacing;
    }
    SetColor(savedColor);
    return mFont->GetDescent() + total - lineSpacing;
}

int Graphics::MeasureWrappedText(int width, const std::string& text, int lineSpacing)
{
    Graphics measure(nullptr);
    measure.SetFont(mFont);
    return measure.DrawWordWrapped(text, Rect{0, 0, width, 0}, lineSpacing, -1);
}

} // namespace Lumo
