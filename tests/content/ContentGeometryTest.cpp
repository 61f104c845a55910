#include "framework/graphics/codecs/ImageLib.h"
#include "tests/content/ContentFiles.h"
#include "tools/pictures/BlockGeometry.h"
#include "tools/pictures/Shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace ContentTest {
namespace {

using G = BlockGeometry;

// One cell's step along the field's two axes, on screen.
struct Step {
    float x, y;
};

Step AlongRow()
{
    const float dx = G::kRightX - G::kTopX, dy = G::kRightY - G::kTopY, length = std::hypot(dx, dy);
    return {dx / length * (length + G::kSpacing), dy / length * (length + G::kSpacing)};
}

Step AlongColumn()
{
    const float dx = G::kLeftX - G::kTopX, dy = G::kLeftY - G::kTopY, length = std::hypot(dx, dy);
    return {dx / length * (length + G::kSpacing), dy / length * (length + G::kSpacing)};
}

TEST(ContentGeometry, TheFieldRepeatsTheSpritesGeometry)
{
    const auto document = ContentFiles::Xml("gamefields.xml");
    ASSERT_TRUE(document);
    const TiXmlElement* block = document->RootElement()->FirstChildElement("gamefield1")->FirstChildElement("block");
    ASSERT_TRUE(block);
    const auto number = [&](const char* name) { return std::atof(ContentFiles::Attribute(block, name).c_str()); };
    EXPECT_EQ(number("w"), G::kWidth);
    EXPECT_EQ(number("h"), G::kHeight);
    EXPECT_EQ(number("bheight"), G::kSide);
    EXPECT_EQ(number("hindent"), G::kHIndent);
    EXPECT_EQ(number("vindent"), G::kVIndent);
    EXPECT_EQ(number("hspacing"), G::kSpacing);
    EXPECT_EQ(number("vspacing"), G::kSpacing);
    EXPECT_LE(G::kWidth, G::kScratchWidth);
    EXPECT_LE(G::kHeight, G::kScratchHeight);
    EXPECT_GT(G::kHIndent, 0);
    EXPECT_LT(G::kHIndent, G::kWidth);
    // Both face edges the stencils cut along have the stencils' slope.
    EXPECT_FLOAT_EQ((G::kBottomY - G::kLeftY) / (G::kBottomX - G::kLeftX), G::kEdgeSlope);
    EXPECT_FLOAT_EQ((G::kRightY - G::kBottomY) / (G::kRightX - G::kBottomX), -G::kEdgeSlope);
}

// For each shift direction the stencil's arm lies exactly on the target cell's
// entry edge, and the crossing block stays inside the stencil from one cell
// outside to home.
TEST(ContentGeometry, StencilOffsetsLayEachArmOnItsEntryEdge)
{
    const auto document = ContentFiles::Xml("gamefields.xml");
    ASSERT_TRUE(document);
    const TiXmlElement* field = document->RootElement()->FirstChildElement("gamefield1");
    const Step row = AlongRow(), column = AlongColumn();
    struct Direction {
        bool vee;        // stencil01 ("V"), else stencil23 ("A")
        bool leftArm;
        Point edgeFrom;  // the entry edge in sprite pixels
        Point edgeTo;
        Step outside;    // one cell back along the entry
    };
    const Direction directions[4] = {
        {true, true, {G::kLeftX, G::kLeftY}, {G::kBottomX, G::kBottomY}, column},
        {true, false, {G::kBottomX, G::kBottomY}, {G::kRightX, G::kRightY}, row},
        {false, false, {G::kTopX, G::kTopY}, {G::kRightX, G::kRightY}, {-row.x, -row.y}},
        {false, true, {G::kLeftX, G::kLeftY}, {G::kTopX, G::kTopY}, {-column.x, -column.y}},
    };
    for (int d = 0; d < 4; ++d) {
        SCOPED_TRACE(d);
        const Direction& dir = directions[d];
        const std::string n = std::to_string(d + 1);
        const float ofsX = float(std::atof(ContentFiles::Attribute(field, ("stencil_ofs_x_" + n).c_str()).c_str()));
        const float ofsY = float(std::atof(ContentFiles::Attribute(field, ("stencil_ofs_y_" + n).c_str()).c_str()));
        // The arm in sprite pixels: the stencil's top-left sits at the offset.
        const auto arm = [&](float spriteX) {
            const float x = spriteX - ofsX, mid = G::kStencilWidth / 2.0f;
            const float rise = G::kEdgeSlope * std::abs(x - mid);
            return (dir.vee ? G::kStencilApex - rise : G::kStencilFoot + rise) + ofsY;
        };
        for (const Point& p : {dir.edgeFrom, dir.edgeTo}) {
            EXPECT_FLOAT_EQ(arm(p.x), p.y) << p.x;
            EXPECT_EQ(p.x - ofsX < G::kStencilWidth / 2.0f, dir.leftArm) << p.x;
        }
        for (const Step& at : {Step{0, 0}, dir.outside}) {
            EXPECT_GE(at.x - ofsX, 0);
            EXPECT_GE(at.y - ofsY, 0);
            EXPECT_LE(at.x + G::kWidth - ofsX, G::kStencilWidth);
            EXPECT_LE(at.y + G::kHeight - ofsY, G::kStencilHeight);
        }
    }
}

TEST(ContentGeometry, StencilsAreExactMasks)
{
    for (const bool vee : {true, false}) {
        const std::unique_ptr<ImageLib::Image> mask(
            ImageLib::GetPNGImage(ContentFiles::Made(vee ? "res/stencil01.png" : "res/stencil23.png")));
        ASSERT_TRUE(mask);
        ASSERT_EQ(mask->Width(), G::kStencilWidth);
        ASSERT_EQ(mask->Height(), G::kStencilHeight);
        for (int y = 0; y < G::kStencilHeight; ++y)
            for (int x = 0; x < G::kStencilWidth; ++x) {
                const float rise = G::kEdgeSlope * std::abs(x + 0.5f - G::kStencilWidth / 2.0f);
                const bool shown = vee ? y + 0.5f < G::kStencilApex - rise : y + 0.5f > G::kStencilFoot + rise;
                ASSERT_EQ(mask->GetBits()[y * G::kStencilWidth + x], shown ? 0xFFFFFFFFu : 0u) << x << "," << y;
            }
    }
}

} // namespace
} // namespace ContentTest
