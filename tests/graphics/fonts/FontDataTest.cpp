#include "framework/graphics/fonts/FontData.h"
#include "tests/graphics/fonts/FontFixture.h"

#include <gtest/gtest.h>

namespace FontTests {
namespace {

class FontDataTest : public FontFixture {
protected:
    // Loads a descriptor; the font data is released with the test.
    Lumo::FontData& Load(const std::string& text)
    {
        data = new Lumo::FontData;
        data->AddRef();
        EXPECT_TRUE(data->Load(&services, Descriptor(text)));
        return *data;
    }

    ~FontDataTest() override
    {
        if (data != nullptr)
            data->Release();
    }

    Lumo::FontLayer& Layer(const std::string& name) { return *data->mFontLayerMap.at(name); }

    Lumo::FontData* data = nullptr;
};

TEST_F(FontDataTest, CommandsBuildLayers)
{
    Lumo::FontData& font = Load(std::string(kBasics) +
                                "LayerSetKerningPairs Main ('AV', 'BA') (200, -3);\n"
                                "layersetcolormult main (1, 0.5, 0, 1);\n"
                                "LAYERSETCOLORADD Main 16711680;\n"
                                "SetCharMap ('a', 'b') ('A', 'B');\n"
                                "LayerSetCharOffsets Main ('B') ((1, -2));\n"
                                "LayerSetCharOrders Main ('V') (-200);\n"
                                "LayerSetDrawMode Main 1;\n"
                                "LayerRequireTags Main ('bold');\n"
                                "LayerPointRange Main 8 12;\n"
                                "CreateLayerFrom Shadow Main;\n"
                                "LayerSetOffset Shadow (1, 1);\n"
                                "LayerSetBaseOrder Shadow -1;\n"
                                "Define Chars 'redefined';\n");
    ASSERT_TRUE(font.mInitialized) << font.mError;
    EXPECT_TRUE(host.fatalErrors.empty());
    EXPECT_EQ(10, font.mDefaultPointSize);
    const Lumo::FontLayer& main = Layer("MAIN");
    EXPECT_EQ((Lumo::Rect{0, 0, 2, 4}), main.mCharData[uint8_t('A')].mImageRect);
    EXPECT_EQ((Lumo::Rect{2, 0, 3, 4}), main.mCharData[uint8_t('B')].mImageRect);
    EXPECT_EQ((Lumo::Rect{5, 0, 2, 4}), main.mCharData[uint8_t('V')].mImageRect);
    EXPECT_EQ(4, main.mCharData[uint8_t('B')].mWidth);
    EXPECT_EQ(-56, main.mCharData[uint8_t('A')].mKerningOffsets[uint8_t('V')]);
    EXPECT_EQ(-3, main.mCharData[uint8_t('B')].mKerningOffsets[uint8_t('A')]);
    EXPECT_EQ((Lumo::Color{255, 127, 0, 255}), main.mColorMult);
    EXPECT_EQ((Lumo::Color{255, 0, 0, 255}), main.mColorAdd);
    EXPECT_EQ('A', font.mCharMap[uint8_t('a')]);
    EXPECT_EQ('c', font.mCharMap[uint8_t('c')]);
    EXPECT_EQ(1, main.mCharData[uint8_t('B')].mOffsetX);
    EXPECT_EQ(-200, main.mCharData[uint8_t('V')].mOrder);
    EXPECT_EQ(1, main.mDrawMode);
    EXPECT_EQ(std::vector<std::string>{"BOLD"}, main.mRequiredTags);
    EXPECT_EQ(8, main.mMinPointSize);
    EXPECT_EQ(12, main.mMaxPointSize);
    EXPECT_EQ(4, main.mDefaultHeight);
    const Lumo::FontLayer& shadow = Layer("SHADOW");
    EXPECT_EQ(main.mImage.GetImage(), shadow.mImage.GetImage());
    EXPECT_EQ(-56, shadow.mCharData[uint8_t('A')].mKerningOffsets[uint8_t('V')]);
    EXPECT_EQ(1, shadow.mOffsetX);
    EXPECT_EQ(-1, shadow.mBaseOrder);
    EXPECT_EQ("'redefined'", font.DataElementToString(font.GetDefine("chars")));
    EXPECT_EQ("((0, 0, 2, 4), (2, 0, 3, 4), (5, 0, 2, 4))", font.DataElementToString(font.GetDefine("Rects")));
    // The glyph strip was loaded once, as a shared image, and palettized.
    auto* strip = dynamic_cast<Lumo::MemoryImage*>(main.mImage.GetImage());
    ASSERT_TRUE(strip);
    EXPECT_TRUE(strip->colorTable);
    EXPECT_FALSE(font.Load(&services, folder / "font.txt"));
}

TEST_F(FontDataTest, HorizontalSpanRectangles)
{
    Lumo::FontData& font = Load("CreateHorzSpanRectList R (10, 20, 0, 16) (5, 7);");
    EXPECT_EQ("((10, 20, 5, 16), (15, 20, 7, 16))", font.DataElementToString(font.GetDefine("r")));
}

TEST_F(FontDataTest, ErrorsShowFileLineAndCommandAndStopLoading)
{
    const std::string file = folder / "font.txt";
    Lumo::FontData& font = Load(std::string(kBasics) + "\n\n\nLayerSetAscent\n  Missing 3;\nCreateLayer Never;");
    EXPECT_FALSE(font.mInitialized);
    ASSERT_EQ(2u, host.fatalErrors.size());
    EXPECT_EQ("Font Descriptor Error in " + file + "\r\nUndefined Layer on Line 12:\r\n\r\nLayerSetAscent\nMissing 3",
              host.fatalErrors[0]);
    EXPECT_EQ("Font Descriptor Error in " + file +
                  "\r\nInvalid Paramater Type on Line 12:\r\n\r\nLayerSetAscent\nMissing 3",
              host.fatalErrors[1]);
    EXPECT_EQ(0u, font.mFontLayerMap.count("NEVER"));
}

TEST_F(FontDataTest, ErrorTable)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"Frobnicate 1;", "Unknown Command"},
        {"CreateLayer;", "Invalid Number of Parameters"},
        {"CreateLayer L; CreateLayer l;", "Layer Already Exists"},
        {"Define 12 (1);", "Invalid Paramater Type"},
        {"Define (a b) 1;", "Invalid Paramater Type"},
        {"SetCharMap ('a', 'b') ('c');", "List Size Mismatch"},
        {"SetCharMap ('ab') ('c');", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetImage L 'nothing.png';", "Failed to Load Image"},
        {"CreateLayer L; LayerSetImageMap L ('a') ((0, 0, 1, 1));", "Layer image not set"},
        {"CreateLayer L; LayerSetImage L 'strip.png'; LayerSetImageMap L ('a') ((5, 0, 3, 4));",
         "Image rectangle out of bounds"},
        {"CreateLayer L; LayerSetImage L 'strip.png'; LayerSetImageMap L ('a') ((0, 1, 1, 4));",
         "Image rectangle out of bounds"},
        {"CreateLayer L; LayerSetImage L 'strip.png'; LayerSetImageMap L ('a') ((2, 0, -1, 4));",
         "Image rectangle out of bounds"},
        {"CreateLayer L; LayerSetDrawMode L -1;", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetOffset L (1, 2, 3);", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetColorMult L (1, 1, 1);", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetCharWidths L (A, 'b') (1, 2);", "Unable to Dereference \"A\""},
        {"CreateLayer L; LayerSetKerningPairs L ('a') (1);", "Invalid Paramater Type"},
        {"CreateHorzSpanRectList R (1, 2, 3) (4);", "Invalid Paramater Type"},
    };
    for (const auto& entry : cases) {
        host.fatalErrors.clear();
        Lumo::FontData& font = Load(entry.text);
        EXPECT_FALSE(font.mInitialized) << entry.text;
        ASSERT_FALSE(host.fatalErrors.empty()) << entry.text;
        EXPECT_NE(std::string::npos, host.fatalErrors[0].find(std::string("\r\n") + entry.message + " on Line 1:"))
            << entry.text << " gave " << host.fatalErrors[0];
        data->Release();
        data = nullptr;
    }
}

TEST_F(FontDataTest, ImageMapReachingTheEdgesIsAccepted)
{
    Lumo::FontData& font =
        Load("CreateLayer L; LayerSetImage L 'strip.png'; LayerSetImageMap L ('a') ((5, 0, 2, 4));");
    EXPECT_TRUE(font.mInitialized);
}

} // namespace
} // namespace FontTests
