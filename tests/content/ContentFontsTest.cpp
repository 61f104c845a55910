#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/fonts/ImageFont.h"
#include "tests/content/ContentFiles.h"
#include "tests/graphics/FakeAppHost.h"

#include <gtest/gtest.h>

namespace ContentTest {
namespace {

// A descriptor with a syntax error shows a fatal box yet loads a font that
// measures 0, which the game then cannot lay text out with.
TEST(ContentFonts, EveryDescriptorParsesAndEveryCharacterHasAWidth)
{
    for (const char* name : {"f16", "f16y", "f24", "f48"}) {
        SCOPED_TRACE(name);
        FontTests::FakeAppHost host;
        Lumo::AppImageServices services(host);
        Lumo::ImageFont font(&services, ContentFiles::Made(std::string("res/fonts/") + name + ".txt"));
        EXPECT_TRUE(host.fatalErrors.empty()) << host.fatalErrors.front();
        EXPECT_GT(font.GetHeight(), 0);
        EXPECT_GT(font.GetAscent(), 0);
        // A player name may use any printable character; one of width 0 is refused.
        for (char c = ' '; c <= '~'; ++c)
            EXPECT_GT(font.CharWidth(c), 0) << c;
        if (std::string(name) == "f48") {
            // The banner's letters go into 88 x 88 cells, 2 pixels apart.
            EXPECT_LE(font.GetHeight(), 88);
            for (char c = ' '; c <= '~'; ++c)
                EXPECT_LE(font.CharWidth(c) + 2, 88) << c;
        }
    }
}

} // namespace
} // namespace ContentTest
