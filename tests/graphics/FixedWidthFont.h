#pragma once

#include "framework/graphics/fonts/Font.h"

#include <string>
#include <vector>

namespace GraphicsTests {

struct TextDraw {
    int mX;
    int mY;
    std::string mText;
    Lumo::Color mColor;
    Lumo::Rect mClip;
};

// Every character is charWidth pixels wide; records what it is asked to draw.
class FixedWidthFont : public Lumo::Font {
public:
    explicit FixedWidthFont(int charWidth = 10, int ascent = 8, int height = 10, int lineSpacingOffset = 2,
                            int ascentPadding = 0)
        : mCharWidth(charWidth)
    {
        mAscent = ascent;
        mHeight = height;
        mLineSpacingOffset = lineSpacingOffset;
        mAscentPadding = ascentPadding;
    }

    int StringWidth(const std::string& text) override { return mCharWidth * int(text.size()); }

    void DrawString(Lumo::Graphics*, int x, int y, const std::string& text, const Lumo::Color& color,
                    const Lumo::Rect& clip) override
    {
        mDraws.push_back(TextDraw{x, y, text, color, clip});
    }

    Lumo::Font* Duplicate() override { return new FixedWidthFont(*this); }

    std::vector<TextDraw> mDraws;

private:
    int mCharWidth;
};

} // namespace GraphicsTests
