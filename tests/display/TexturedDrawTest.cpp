#include "tests/display/DisplayFixture.h"
#include "tests/display/RecordingDevice.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/PolygonClipper.h"

#include <cmath>
#include <functional>

using namespace Platform;
using Lumo::Color;
using Lumo::D3DInterface;
using Lumo::DDInterface;
using Lumo::Rect;
using Lumo::TriVertex;

namespace {

class TexturedDraw : public DisplayTest::DisplayFixture {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
        ASSERT_TRUE(Screen()->IsScreen3D());
    }

    std::unique_ptr<Lumo::MemoryImage> Image(int width, int height)
    {
        auto image = std::make_unique<Lumo::MemoryImage>(&mApp);
        const std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0xFF808080);
        image->SetBits(pixels.data(), width, height, true);
        return image;
    }

    // The draws of one operation.
    const std::vector<DisplayTest::RecordingDevice::Draw>& DrawsOf(const std::function<void()>& operation)
    {
        mDevices.Device()->ClearLog();
        operation();
        return mDevices.Device()->mDraws;
    }

    D3DInterface* Device3D() { return mDisplay->mD3DInterface.get(); }

    DisplayTest::RecordingDeviceScope mDevices;
};

TEST_F(TexturedDraw, EachSurfaceOperationIssuesItsPrimitives)
{
    auto image = Image(16, 16);
    const Rect clip{0, 0, 200, 150};
    const Rect all{0, 0, 16, 16};
    const int32_t triangle[6] = {10, 10, 30, 10, 10, 30};
    const TriVertex triangles[1][3] = {{{0, 0, 0, 0, 0}, {16, 0, 1, 0, 0}, {0, 16, 0, 1, 0}}};
    Lumo::Matrix3 identity;
    struct Case {
        const char* name;
        std::function<void()> operation;
        uint32_t type;
        size_t vertices;
    };
    const Case cases[] = {
        {"FillRect", [&] { Screen()->FillRect(Rect{1, 2, 3, 4}, Color::White, 0); }, D3DPT_TRIANGLESTRIP, 4},
        {"DrawLine", [&] { Screen()->DrawLine(1, 2, 30, 40, Color::White, 0); }, D3DPT_LINESTRIP, 3},
        {"DrawLineAA", [&] { Screen()->DrawLineAA(1, 2, 30, 40, Color::White, 0); }, D3DPT_LINESTRIP, 3},
        {"PolyFill", [&] { Screen()->PolyFill(triangle, 3, nullptr, Color::White, 0, 0, 0, 0); },
         D3DPT_TRIANGLEFAN, 3},
        {"Blit", [&] { Screen()->Blit(image.get(), 5, 5, all, Color::White, 0); }, D3DPT_TRIANGLESTRIP, 4},
        {"BlitFloat", [&] { Screen()->BlitFloat(image.get(), 5.5f, 5, all, clip, Color::White, 0); },
         D3DPT_TRIANGLESTRIP, 4},
        {"BlitMirrored", [&] { Screen()->BlitMirrored(image.get(), 5, 5, all, Color::White, 0); },
         D3DPT_TRIANGLESTRIP, 4},
        {"BlitStretched",
         [&] { Screen()->BlitStretched(image.get(), Rect{5, 5, 32, 32}, all, clip, Color::White, 0, true); },
         D3DPT_TRIANGLESTRIP, 4},
        {"BlitStretchedMirrored",
         [&] { Screen()->BlitStretchedMirrored(image.get(), Rect{5, 5, 32, 32}, all, clip, Color::White, 0, false); },
         D3DPT_TRIANGLESTRIP, 4},
        {"BlitRotated",
         [&] { Screen()->BlitRotated(image.get(), 50, 50, all, clip, Color::White, 0, 0.5, 8, 8); },
         D3DPT_TRIANGLESTRIP, 4},
        {"BlitTransformed",
         [&] { Screen()->BlitTransformed(image.get(), 50, 50, identity, clip, Color::White, 0, all, true); },
         D3DPT_TRIANGLESTRIP, 4},
        {"BlitTriangles",
         [&] { Screen()->BlitTriangles(image.get(), triangles, 1, clip, Color::White, 0, 5, 5, false); },
         D3DPT_TRIANGLELIST, 3},
    };
    for (const Case& each : cases) {
        const auto& draws = DrawsOf(each.operation);
        ASSERT_EQ(draws.size(), 1u) << each.name;
        EXPECT_EQ(draws[0].mType, each.type) << each.name;
        EXPECT_EQ(draws[0].mVertices.size(), each.vertices) << each.name;
    }
}

TEST_F(TexturedDraw, BlitPlacesPiecesOnPixelCentres)
{
    auto image = Image(100, 100);
    const auto& draws = DrawsOf([&] { Screen()->Blit(image.get(), 10, 20, Rect{0, 0, 100, 100}, Color::White, 0); });
    ASSERT_EQ(draws.size(), 1u);
    const auto& v = draws[0].mVertices;
    EXPECT_FLOAT_EQ(v[0].sx, 9.5f);
    EXPECT_FLOAT_EQ(v[0].sy, 19.5f);
    EXPECT_FLOAT_EQ(v[3].sx, 109.5f);
    EXPECT_FLOAT_EQ(v[3].sy, 119.5f);
    EXPECT_FLOAT_EQ(v[0].tu, 0.0f);
    EXPECT_FLOAT_EQ(v[3].tu, 0.78125f);
    EXPECT_FLOAT_EQ(v[3].tv, 0.78125f);
    EXPECT_EQ(v[0].color, 0xFFFFFFFFu);

    // A source across two pieces gives two strips that meet exactly.
    auto wide = Image(640, 10);
    const auto& split =
        DrawsOf([&] { Screen()->Blit(wide.get(), 0, 0, Rect{500, 0, 20, 10}, Color(255, 255, 255, 128), 0); });
    ASSERT_EQ(split.size(), 2u);
    EXPECT_FLOAT_EQ(split[0].mVertices[3].sx, 11.5f);
    EXPECT_FLOAT_EQ(split[1].mVertices[0].sx, 11.5f);
    EXPECT_FLOAT_EQ(split[1].mVertices[0].tu, 0.0f);
    EXPECT_NE(split[0].mTexture, split[1].mTexture);
    EXPECT_EQ(split[1].mVertices[0].color, 0x80FFFFFFu);
}

TEST_F(TexturedDraw, QuadsReachingTheClipEdgeGoThroughTheClipper)
{
    auto image = Image(10, 10);
    const Rect clip{0, 0, 100, 100};
    Lumo::Matrix3 identity;
    auto at = [&](float x) {
        return DrawsOf([&] {
            Device3D()->BltTransformed(image.get(), &clip, Color::White, 0, Rect{0, 0, 10, 10}, identity, false, x, 50,
                                       true);
        });
    };
    // A corner on the right edge lies outside; one on the left edge inside.
    EXPECT_EQ(at(95).at(0).mType, D3DPT_TRIANGLEFAN);
    EXPECT_EQ(at(5).at(0).mType, D3DPT_TRIANGLESTRIP);
    EXPECT_TRUE(at(200).empty());
    const auto& cut = at(-2);
    ASSERT_EQ(cut.size(), 1u);
    for (const D3DTLVERTEX& v : cut[0].mVertices) {
        EXPECT_GE(v.sx, 0.0f);
        EXPECT_GE(v.tu, 0.3f - 1e-6f);
    }
}

TEST_F(TexturedDraw, TrianglesBatchOnOnePieceAndSplitAcrossPieces)
{
    auto small = Image(16, 16);
    std::vector<TriVertex> flat(3 * 250, TriVertex{1, 1, 0.5f, 0.5f, 0});
    const auto& batches = DrawsOf([&] {
        Device3D()->BltTriangles(small.get(), reinterpret_cast<const TriVertex(*)[3]>(flat.data()), 250, Color::White,
                                 0, 0, 0, false);
    });
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[0].mVertices.size(), 300u);
    EXPECT_EQ(batches[2].mVertices.size(), 150u);

    // 640 wide: pieces of 512 and 128, so u counts in 512ths of the image
    // width; this triangle spans u 0.9 to 1.2 pieces.
    auto wide = Image(640, 10);
    const float uFrom = 0.9f * 512 / 640, uTo = 1.2f * 512 / 640;
    const TriVertex across[1][3] = {{{0, 0, uFrom, 0, 0}, {30, 0, uTo, 0, 0}, {0, 9, uFrom, 0.9f, 0}}};
    const auto& pieces = DrawsOf(
        [&] { Device3D()->BltTriangles(wide.get(), across, 1, Color::White, 0, 0, 0, false); });
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NE(pieces[0].mTexture, pieces[1].mTexture);
    for (const auto& draw : pieces) {
        EXPECT_EQ(draw.mType, D3DPT_TRIANGLEFAN);
        for (const D3DTLVERTEX& v : draw.mVertices) {
            EXPECT_GE(v.tu, -1e-6f);
            EXPECT_LE(v.tu, 1.0f + 1e-6f);
        }
    }
    // In the narrow last column u is scaled by the piece-width ratio: 0.2 of
    // a standard piece is 0.8 of the 128-wide one.
    float largest = 0;
    for (const D3DTLVERTEX& v : pieces[1].mVertices)
        largest = std::max(largest, v.tu);
    EXPECT_NEAR(largest, 0.8f, 1e-4f);
}

TEST_F(TexturedDraw, PolygonsAndLines)
{
    const int32_t two[4] = {0, 0, 10, 10};
    EXPECT_TRUE(DrawsOf([&] { Device3D()->FillPoly(two, 2, nullptr, Color::White, 0, 0, 0); }).empty());

    // 300 corners around (100, 75) with radius 90 reach past the clip: the
    // clipped fan holds more vertices than fit in the list's own room.
    std::vector<int32_t> ring;
    for (int i = 0; i < 300; ++i) {
        ring.push_back(int32_t(std::lround(100 + 90 * std::cos(i * 2 * M_PI / 300))));
        ring.push_back(int32_t(std::lround(75 + 90 * std::sin(i * 2 * M_PI / 300))));
    }
    const Rect clip{0, 0, 200, 150};
    const auto& fan = DrawsOf([&] { Device3D()->FillPoly(ring.data(), 300, &clip, Color::White, 0, 0, 0); });
    ASSERT_EQ(fan.size(), 1u);
    EXPECT_GT(fan[0].mVertices.size(), 100u);
    for (const D3DTLVERTEX& v : fan[0].mVertices) {
        EXPECT_TRUE(v.sx >= 0 && v.sx <= 200 && v.sy >= 0 && v.sy <= 150) << v.sx << "," << v.sy;
    }

    const auto& line = DrawsOf([&] { Device3D()->DrawLine(1, 2, 30, 40, Color::White, 0); });
    ASSERT_EQ(line.size(), 1u);
    EXPECT_FLOAT_EQ(line[0].mVertices[0].sx, 1.0f);
    EXPECT_FLOAT_EQ(line[0].mVertices[2].sx, 30.5f);
    EXPECT_FLOAT_EQ(line[0].mVertices[2].sy, 40.5f);
}

TEST(PolygonClipperTest, CrossingsInterpolateColourAndTextureAndVerticesOnTheMaximumAreCut)
{
    D3DTLVERTEX a;
    a.sx = 0;
    a.tu = 0;
    a.color = 0xFF000000;
    D3DTLVERTEX b = a;
    b.sx = 10;
    b.tu = 1;
    b.color = 0x00FF10FF;
    const D3DTLVERTEX middle = Lumo::PolygonClipper::InterpolateVertex(a, b, 0.25f);
    EXPECT_FLOAT_EQ(middle.sx, 2.5f);
    EXPECT_FLOAT_EQ(middle.tu, 0.25f);
    // Channels truncate toward zero: alpha 255 - 63.75, red 63.75, green 4.
    EXPECT_EQ(middle.color, 0xBF3F043Fu);

    Lumo::VertexList out;
    Lumo::PolygonClipper::ClipEdgeToMax(a, b, 0, 10, out);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_FLOAT_EQ(out[0].sx, 10.0f);
    out.Clear();
    Lumo::PolygonClipper::ClipEdgeToMin(a, b, 0, 0, out);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_FLOAT_EQ(out[0].sx, 10.0f);
}

} // namespace
