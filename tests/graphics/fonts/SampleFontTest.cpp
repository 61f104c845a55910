#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/ImageFont.h"
#include "tests/graphics/FakeAppHost.h"

#include <gtest/gtest.h>

#include <string>

namespace FontTests {
namespace {

// The font shipped with the sample content, drawn as the game draws text.
TEST(SampleFont, LoadsAndDrawsTintedLettersOverTheirShadow)
{
    FakeAppHost host;
    Lumo::AppImageServices services(host);
    Lumo::ImageFont font(&services, std::string(LUMO_CONTENT_DIR) + "/res/res/fonts/sample.txt");
    EXPECT_TRUE(host.fatalErrors.empty()) << host.fatalErrors.front();
    ASSERT_EQ(2u, font.mActiveLayerList.size());
    EXPECT_EQ(12, font.GetPointSize());
    const int width = font.StringWidth("Hi");
    EXPECT_EQ(font.CharWidth('H') + font.CharWidth('i'), width);
    EXPECT_LT(font.StringWidth("AV"), font.CharWidth('A') + font.CharWidth('V'));

    Lumo::MemoryImage screen(&host.imageHost);
    screen.SetSize(60, 30);
    screen.FillRect(Lumo::Rect{0, 0, 60, 30}, Lumo::Color(0, 0, 255), 0);
    Lumo::Graphics graphics(&screen);
    const int baseline = 4 + font.GetAscent();
    font.DrawString(&graphics, 10, baseline, "Hi", Lumo::Color(255, 0, 0), Lumo::Rect{0, 0, 60, 30});

    const uint32_t* bits = screen.GetPixelBits();
    int red = 0;
    int shadow = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const uint32_t pixel = bits[y * 60 + x];
            const bool untouched = pixel == 0xFF0000FF;
            // Nothing is drawn left of the pen or past the string and its one-pixel shadow.
            if (x < 9 || x > 10 + width + 1 || y < 4 || y > baseline + font.GetDescent() + 1) {
                EXPECT_TRUE(untouched) << x << "," << y;
            }
            if ((pixel >> 16 & 0xFF) > 0xE0 && (pixel & 0xFF) < 0x20)
                ++red;
            if (pixel == 0xFF000080)
                ++shadow;
        }
    }
    // Solid red letter stems, and the half-black shadow over blue beside them.
    EXPECT_GT(red, 15);
    EXPECT_GT(shadow, 3);
}

} // namespace
} // namespace FontTests
