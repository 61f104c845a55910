#include "framework/graphics/fonts/FontData.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/ImageFont.h"
#include "tests/graphics/fonts/FontFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace FontTests {
namespace {

// Keeps every glyph blit in the order it arrives.
class BlitRecorder : public Lumo::Image {
public:
    struct Blit_ {
        Lumo::Image* source;
        int x, y;
        Lumo::Rect srcRect;
        Lumo::Color color;
        int drawMode;
    };

    BlitRecorder()
    {
        mWidth = 100000;
        mHeight = 1000;
    }

    void Blit(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect, const Lumo::Color& color,
              int drawMode) override
    {
        blits.push_back({source, x, y, srcRect, color, drawMode});
    }

    std::vector<Blit_> blits;
};

class ImageFontTest : public FontFixture {
protected:
    std::unique_ptr<Lumo::ImageFont> Make(const std::string& extra)
    {
        return std::make_unique<Lumo::ImageFont>(&services, Descriptor(std::string(kBasics) + extra));
    }

    BlitRecorder screen;
    Lumo::Graphics graphics{&screen};
};

TEST_F(ImageFontTest, WidthsFollowKerningSpacingAndPointSize)
{
    auto font = Make("LayerSetKerningPairs Main ('AV') (-1);\nLayerSetSpacing Main 2;\n"
                     "LayerSetPointSize Main 10;\nSetCharMap ('a') ('A');\n");
    EXPECT_EQ(3 + (-1 + 2) + 3, font->StringWidth("AV"));
    EXPECT_EQ(3 + 2 + 4, font->StringWidth("aB"));
    EXPECT_EQ(3, font->CharWidth('A'));
    EXPECT_EQ(4, font->GetAscent());
    EXPECT_EQ(4, font->GetHeight());
    EXPECT_EQ(0, font->StringWidth(""));

    font->SetPointSize(20);
    EXPECT_EQ(2 * (3 + 1 + 3), font->StringWidth("AV"));
    EXPECT_EQ(8, font->GetAscent());
    EXPECT_EQ(8, font->GetHeight());
    // The rescaled strip holds every glyph at twice its size.
    const Lumo::ActiveFontLayer& active = font->mActiveLayerList.front();
    EXPECT_TRUE(active.mOwnsImage);
    EXPECT_EQ((Lumo::Rect{4, 0, 6, 8}), active.mScaledCharImageRects[uint8_t('B')]);

    std::unique_ptr<Lumo::Font> copy(font->Duplicate());
    EXPECT_EQ(2 * (3 + 1 + 3), copy->StringWidth("AV"));
    font.reset();
    EXPECT_EQ(8, copy->GetAscent());
}

TEST_F(ImageFontTest, DrawsGlyphsAtPenAndBaselineWithWidthOut)
{
    auto font = Make("LayerSetCharOffsets Main ('B') ((1, -1));\nLayerSetOffset Main (10, 20);\n");
    std::list<Lumo::Rect> rects;
    int width = -1;
    font->DrawStringCore(&graphics, 5, 50, "AB", Lumo::Color(10, 20, 30, 40), Lumo::Rect{0, 0, 0, 0}, &rects,
                         &width);
    EXPECT_EQ(7, width);
    ASSERT_EQ(2u, screen.blits.size());
    EXPECT_EQ(5 + 10, screen.blits[0].x);
    EXPECT_EQ(50 + 20 - 4, screen.blits[0].y);
    EXPECT_EQ((Lumo::Rect{0, 0, 2, 4}), screen.blits[0].srcRect);
    EXPECT_EQ(8 + 1 + 10, screen.blits[1].x);
    EXPECT_EQ(50 - 1 + 20 - 4, screen.blits[1].y);
    EXPECT_EQ((Lumo::Color{10, 20, 30, 40}), screen.blits[0].color);
    EXPECT_EQ((std::list<Lumo::Rect>{{15, 66, 2, 4}, {19, 65, 3, 4}}), rects);
    // The context's own state comes back unchanged.
    EXPECT_FALSE(graphics.GetTintImages());
    EXPECT_EQ(Lumo::Color::Black, graphics.GetColor());

    screen.blits.clear();
    font->DrawStringCore(&graphics, 0, 0, "", Lumo::Color::White, Lumo::Rect{0, 0, 0, 0}, nullptr, &width);
    EXPECT_EQ(0, width);
    EXPECT_TRUE(screen.blits.empty());
}

TEST_F(ImageFontTest, OrderBucketsDrawLowerOrdersFirstAcrossTheString)
{
    auto font = Make("CreateLayerFrom Top Main;\nLayerSetBaseOrder Top 10;\nLayerSetOffset Top (0, 100);\n"
                     "LayerSetCharOrders Main ('V') (-200);\n");
    font->DrawString(&graphics, 0, 10, "AVB", Lumo::Color::White, Lumo::Rect{0, 0, 0, 0});
    ASSERT_EQ(6u, screen.blits.size());
    std::vector<std::pair<int, int>> order;
    for (const auto& blit : screen.blits)
        order.push_back({blit.x, blit.y});
    // V of Main (bucket 0) first, then A and B of Main, then the Top layer left to right.
    EXPECT_EQ((std::vector<std::pair<int, int>>{{3, 6}, {0, 6}, {6, 6}, {0, 106}, {3, 106}, {6, 106}}), order);
}

TEST_F(ImageFontTest, LayerColoursAndDrawModes)
{
    auto font = Make("CreateLayerFrom Glow Main;\nLayerSetColorAdd Glow (0.4, 0, 0, 0);\n"
                     "LayerSetColorMult Glow (1, 0.5, 1, 1);\nLayerSetDrawMode Glow 1;\n");
    graphics.SetDrawMode(0);
    font->DrawString(&graphics, 0, 10, "A", Lumo::Color(200, 100, 50, 255), Lumo::Rect{0, 0, 0, 0});
    ASSERT_EQ(2u, screen.blits.size());
    EXPECT_EQ((Lumo::Color{200, 100, 50, 255}), screen.blits[0].color);
    EXPECT_EQ(0, screen.blits[0].drawMode);
    EXPECT_EQ((Lumo::Color{255, 100 * 127 / 255, 50, 255}), screen.blits[1].color);
    EXPECT_EQ(1, screen.blits[1].drawMode);
    EXPECT_EQ(0, graphics.GetDrawMode());
}

TEST_F(ImageFontTest, TagsAndPointRangesChooseLayers)
{
    auto font = Make("CreateLayerFrom Bold Main;\nLayerRequireTags Bold ('bold');\nLayerSetCharWidths Bold ('A') (9);\n"
                     "LayerExcludeTags Main ('Bold');\nCreateLayerFrom Big Main;\nLayerPointRange Big 20 -1;\n"
                     "LayerSetCharWidths Big ('A') (5);\nLayerExcludeTags Big ('bold');\n");
    EXPECT_EQ(3, font->CharWidth('A'));
    EXPECT_TRUE(font->AddTag("bold"));
    EXPECT_FALSE(font->AddTag("BOLD"));
    EXPECT_TRUE(font->HasTag("Bold"));
    EXPECT_EQ(9, font->CharWidth('A'));
    EXPECT_TRUE(font->RemoveTag("Bold"));
    EXPECT_FALSE(font->RemoveTag("bold"));
    EXPECT_FALSE(font->HasTag("BOLD"));
    EXPECT_EQ(3, font->CharWidth('A'));
    // At 20 points Big joins; without a point size of its own it is not
    // rescaled, and the widest layer gives the width.
    font->SetPointSize(20);
    EXPECT_EQ(5, font->CharWidth('A'));
    EXPECT_EQ("((0, 0, 2, 4), (2, 0, 3, 4), (5, 0, 2, 4))", font->GetDefine("rects"));
    EXPECT_EQ("", font->GetDefine("nothing"));
}

TEST_F(ImageFontTest, FailedDescriptorMeasuresNothingAndDrawsNothing)
{
    auto font = Make("LayerSetAscent Nowhere 3;\n");
    EXPECT_FALSE(host.fatalErrors.empty());
    EXPECT_EQ(0, font->StringWidth("AB"));
    int width = -1;
    font->DrawStringCore(&graphics, 0, 0, "AB", Lumo::Color::White, Lumo::Rect{0, 0, 0, 0}, nullptr, &width);
    EXPECT_EQ(0, width);
    EXPECT_TRUE(screen.blits.empty());
    Lumo::ImageFont missing(&services, folder / "absent.txt");
    EXPECT_EQ(0, missing.StringWidth("AB"));
}

TEST_F(ImageFontTest, GlyphsPastTheRecordArrayAreDropped)
{
    auto font = Make("CreateLayerFrom Second Main;\n");
    const std::string text(3000, 'A');
    int width = 0;
    font->DrawStringCore(&graphics, 0, 10, text, Lumo::Color::White, Lumo::Rect{0, 0, 0, 0}, nullptr, &width);
    EXPECT_EQ(4096u, screen.blits.size());
    EXPECT_EQ(2048 * 3, width);
}

} // namespace
} // namespace FontTests
