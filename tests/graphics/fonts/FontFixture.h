#pragma once

#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "tests/graphics/FakeAppHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace FontTests {

// A folder with a 7 x 4 glyph strip "strip.png": columns 0-1 red (A), 2-4
// green (B), 5-6 blue (V), all opaque.
class FontFixture : public ::testing::Test {
protected:
    FontFixture() : services(host)
    {
        ImageLib::Image strip(7, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x)
                strip.GetBits()[y * 7 + x] = x < 2 ? 0xFFFF0000 : x < 5 ? 0xFF00FF00 : 0xFF0000FF;
        EXPECT_TRUE(ImageLib::WritePNGImage(folder / "strip.png", &strip));
    }

    // Writes the descriptor and gives its path.
    std::string Descriptor(const std::string& text, const std::string& name = "font.txt")
    {
        folder.Write(name, text);
        return folder / name;
    }

    // Three glyphs with their rectangles and widths, the strip as the image.
    static constexpr const char* kBasics = "SetDefaultPointSize 10;\n"
                                           "Define Chars ('A', 'B', 'V');\n"
                                           "CreateHorzSpanRectList Rects (0, 0, 0, 4) (2, 3, 2);\n"
                                           "CreateLayer Main;\n"
                                           "LayerSetImage Main 'strip.png';\n"
                                           "LayerSetImageMap Main Chars Rects;\n"
                                           "LayerSetCharWidths Main Chars (3, 4, 3);\n"
                                           "LayerSetAscent Main 4;\n";

    LumoTest::TempFolder folder;
    FakeAppHost host;
    Lumo::AppImageServices services;
};

} // namespace FontTests
