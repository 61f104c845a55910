#include "framework/graphics/codecs/ImageLib.h"
#include "tests/content/ContentFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>

namespace ContentTest {
namespace {

std::unique_ptr<ImageLib::Image> Picture(const std::string& name)
{
    return std::unique_ptr<ImageLib::Image>(ImageLib::GetPNGImage(ContentFiles::Made(name)));
}

// Pictures the game opens by file name, not through the image table.
const std::map<std::string, std::pair<int, int>> kLoosePictures = {
    {"res/loading_wheel.png", {64, 64}},
    {"res/cursor_pointer.png", {64, 64}},
    {"res/splash_800x600.png", {800, 600}},
    {"res/titlescreen.png", {800, 600}},
};

TEST(ContentPictures, EverySlotLiesInItsPictureAndStripsFillThem)
{
    const auto slots = ImageTable();
    ASSERT_FALSE(slots.empty());
    std::map<std::string, std::unique_ptr<ImageLib::Image>> pictures;
    for (const auto& [name, slot] : slots) {
        auto& picture = pictures[slot.picture];
        if (!picture)
            picture = Picture(slot.picture);
        ASSERT_TRUE(picture) << slot.picture;
        EXPECT_GE(slot.x, 0) << name;
        EXPECT_GE(slot.y, 0) << name;
        EXPECT_LE(slot.x + slot.w, picture->Width()) << name;
        EXPECT_LE(slot.y + slot.h, picture->Height()) << name;
    }
    // A strip's cels reach the picture's right and bottom edges: no cel was miscounted.
    std::map<std::string, std::pair<int, int>> reach;
    for (const auto& [name, slot] : slots) {
        if (!slot.cel)
            continue;
        auto& [right, bottom] = reach[slot.picture];
        right = std::max(right, slot.x + slot.w);
        bottom = std::max(bottom, slot.y + slot.h);
    }
    for (const auto& [file, extent] : reach) {
        EXPECT_EQ(extent.first, pictures[file]->Width()) << file;
        EXPECT_EQ(extent.second, pictures[file]->Height()) << file;
    }
}

TEST(ContentPictures, EveryMadePictureIsUsedAndTransparentPixelsAreZero)
{
    std::set<std::string> tabled;
    for (const auto& [name, slot] : ImageTable())
        tabled.insert(slot.picture);
    for (const std::string& name : ContentFiles::List(LUMO_CONTENT_MADE)) {
        if (name.size() < 4 || name.substr(name.size() - 4) != ".png")
            continue;
        const bool glyphStrip = name.rfind("res/fonts/", 0) == 0;
        const auto loose = kLoosePictures.find(name);
        EXPECT_TRUE(glyphStrip || loose != kLoosePictures.end() || tabled.count(name)) << name << " is not in imgsplats.xml";
        const auto picture = Picture(name);
        ASSERT_TRUE(picture) << name;
        if (loose != kLoosePictures.end()) {
            EXPECT_EQ(picture->Width(), loose->second.first) << name;
            EXPECT_EQ(picture->Height(), loose->second.second) << name;
        }
        const uint32_t* bits = picture->GetBits();
        const bool opaque = name == "res/splash_800x600.png" || name == "res/titlescreen.png";
        for (int i = 0; i < picture->Width() * picture->Height(); ++i) {
            if ((bits[i] >> 24) == 0) {
                ASSERT_EQ(bits[i], 0u) << name << " pixel " << i;
            }
            if (opaque) {
                ASSERT_EQ(bits[i] >> 24, 0xFFu) << name << " pixel " << i;
            }
        }
    }
    for (const auto& [name, size] : kLoosePictures)
        EXPECT_TRUE(Picture(name)) << name;
}

// The display centres the pointer's picture on the mouse: the arrow's tip,
// where a click lands, is the centre pixel, and nothing shows above or left of it.
TEST(ContentPictures, ThePointersTipIsItsCentrePixel)
{
    const auto picture = Picture("res/cursor_pointer.png");
    ASSERT_TRUE(picture);
    const int width = picture->Width(), height = picture->Height();
    const uint32_t* bits = picture->GetBits();
    EXPECT_NE(bits[height / 2 * width + width / 2] >> 24, 0u);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((bits[y * width + x] >> 24) != 0) {
                ASSERT_GE(x, width / 2) << "column " << x << " of row " << y << " shows";
                ASSERT_GE(y, height / 2) << "column " << x << " of row " << y << " shows";
            }
}

// A 16-bit desktop draws in 16-bit colour, where the window panel's tiled middle,
// shaded along y only, broke into bands as wide as the window: each row
// narrowed to 5 and 6 bits fell a different part of a step short of its
// shading. Over every four rows the narrowed middle keeps within half a step
// of an even shortfall.
TEST(ContentPictures, TheWindowPanelsMiddleShadesWithoutBandsInSixteenBits)
{
    const auto gui = ContentFiles::Xml("gui.xml");
    ASSERT_TRUE(gui);
    const TiXmlElement* root = gui->RootElement();
    const auto slot = ImageTable().at(ContentFiles::Attribute(root, "img"));
    const int left = slot.x + std::stoi(ContentFiles::Attribute(root, "leftborder_width")) +
                     std::stoi(ContentFiles::Attribute(root, "leftshadow_width"));
    const int width = std::stoi(ContentFiles::Attribute(root, "middle_width"));
    const auto picture = Picture(slot.picture);
    ASSERT_TRUE(picture);
    const uint32_t* bits = picture->GetBits();
    constexpr int kRows = 4;
    for (const auto& [shift, steps] : {std::pair{16, 31}, {8, 63}, {0, 31}}) {
        double least = 1e9, most = -1e9;
        for (int top = slot.y; top + kRows <= slot.y + slot.h; top += kRows) {
            // The premultiplied channel, as drawn, narrowed the way the display's tables narrow it.
            double shortfall = 0;
            for (int y = top; y < top + kRows; ++y)
                for (int x = left; x < left + width; ++x) {
                    const uint32_t pixel = bits[y * picture->Width() + x];
                    const int premultiplied = int((pixel >> shift & 0xFF) * (pixel >> 24) / 255);
                    shortfall += premultiplied * steps / 255.0 - premultiplied * steps / 255;
                }
            shortfall /= kRows * width;
            least = std::min(least, shortfall);
            most = std::max(most, shortfall);
        }
        EXPECT_LT(most - least, 0.5) << "the channel at bit " << shift;
    }
}

// Several readers take a slot's rectangle size, which is 0 for a bare key, so
// the data names cels and sprites only, and every one of them exists.
TEST(ContentPictures, EveryPictureTheDataNamesIsASlot)
{
    const auto slots = ImageTable();
    const std::regex reference(R"(res\\[a-z0-9_]+\.png[^"]*)");
    for (const std::string& name : ContentFiles::List(LUMO_CONTENT_WRITTEN)) {
        if (name.size() < 4 || name.substr(name.size() - 4) != ".xml" || name == "res/imgsplats.xml")
            continue;
        const auto document = ContentFiles::Xml(name.substr(4));
        ASSERT_TRUE(document);
        for (const TiXmlElement* element : ContentFiles::Elements(document->RootElement()))
            for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
                const std::string value = a->Value();
                if (!std::regex_match(value, reference))
                    continue;
                // animations.xml names the picture and numbers the cels itself.
                const bool frames = std::string(element->Value()) == "frames";
                EXPECT_TRUE(frames || slots.count(value)) << name << ": " << value;
                EXPECT_TRUE(!frames || slots.count(value + "|" + ContentFiles::Attribute(element, "start"))) << value;
            }
    }
}

} // namespace
} // namespace ContentTest
