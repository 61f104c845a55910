#include "tests/display/DisplayFixture.h"
#include "tests/display/RecordingDevice.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/TextureData.h"

using namespace Platform;
using Lumo::D3DInterface;
using Lumo::DDInterface;
using Lumo::TextureData;

namespace {

class ImageTexture : public DisplayTest::DisplayFixture {
protected:
    void SetUp() override { ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK); }

    // A memory image of the display filled with one colour.
    std::unique_ptr<Lumo::MemoryImage> Filled(int width, int height, uint32_t color, uint32_t flags = 0)
    {
        auto image = std::make_unique<Lumo::MemoryImage>(&mApp);
        const std::vector<uint32_t> pixels(size_t(width) * size_t(height), color);
        image->SetBits(pixels.data(), width, height, true);
        image->textureFlags = flags;
        return image;
    }

    TextureData* Build(Lumo::MemoryImage* image)
    {
        EXPECT_TRUE(mDisplay->mD3DInterface->CreateImageTexture(image));
        return image->textureData;
    }

    static uint32_t Texel(IDirectDrawSurface7* texture, int x, int y) { return texture->PixelAt(x, y); }

    DisplayTest::RecordingDeviceScope mDevices;
};

TEST_F(ImageTexture, PieceSizesKeepPaddingSmall)
{
    D3DInterface::gTextureSizeLimits = Lumo::TextureSizeLimits{1, 1, 1024, 1024, 65536};
    const std::pair<int, int> table[] = {{0, 1},     {3, 4},     {65, 128},  {129, 128}, {192, 256}, {300, 256},
                                         {400, 128}, {480, 512}, {600, 64},  {640, 512}, {800, 256}, {1000, 1024}};
    for (const auto& [extent, size] : table) {
        int width = extent, height = 1;
        Lumo::GetBestTextureDimensions(&width, &height, false, 0);
        EXPECT_EQ(width, size) << extent;
    }
    struct Case {
        int width, height;
        bool edge;
        uint32_t flags;
        Lumo::TextureSizeLimits limits;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {600, 10, false, TextureData::kFlagSmallPieces, {1, 1, 1024, 1024, 65536}, 64, 64},
        {600, 10, false, TextureData::kFlagPowerOfTwo, {1, 1, 1024, 1024, 65536}, 1024, 16},
        {600, 10, true, 0, {1, 1, 1024, 1024, 65536}, 1024, 16},
        {2000, 3, false, 0, {1, 1, 1024, 1024, 65536}, 1024, 4},
        {3, 3, false, 0, {8, 16, 1024, 1024, 65536}, 8, 16},
        {256, 4, false, 0, {1, 1, 1024, 1024, 1}, 256, 256},
        {4, 128, false, 0, {1, 1, 1024, 1024, 2}, 64, 128},
    };
    for (const Case& each : cases) {
        D3DInterface::gTextureSizeLimits = each.limits;
        int width = each.width, height = each.height;
        Lumo::GetBestTextureDimensions(&width, &height, each.edge, each.flags);
        EXPECT_EQ(width, each.expectedWidth) << each.width << "x" << each.height;
        EXPECT_EQ(height, each.expectedHeight) << each.width << "x" << each.height;
    }
}

TEST_F(ImageTexture, GridsOfPieces)
{
    struct Case {
        int width, height;
        uint32_t flags;
        std::vector<std::pair<int, int>> pieces;
        float maxU;
    };
    const Case cases[] = {
        {640, 480, 0, {{512, 512}, {128, 512}}, 1.25f},
        {100, 100, 0, {{128, 128}}, 0.78125f},
        {256, 20, 0, {{256, 32}}, 1.0f},
        {600, 1, 0, {{64, 1}, {64, 1}, {64, 1}, {64, 1}, {64, 1}, {64, 1}, {64, 1}, {64, 1}, {64, 1}, {32, 1}}, 9.375f},
        {70, 70, TextureData::kFlagSmallPieces, std::vector<std::pair<int, int>>(4, {64, 64}), 1.09375f},
    };
    for (const Case& each : cases) {
        auto image = Filled(each.width, each.height, 0xFF102030, each.flags);
        TextureData* textures = Build(image.get());
        ASSERT_NE(textures, nullptr);
        std::vector<std::pair<int, int>> pieces;
        for (const Lumo::TexturePiece& piece : textures->mPieces) {
            pieces.emplace_back(piece.mWidth, piece.mHeight);
            EXPECT_EQ(piece.mTexture->Width(), piece.mWidth);
        }
        EXPECT_EQ(pieces, each.pieces) << each.width << "x" << each.height;
        EXPECT_FLOAT_EQ(textures->mMaxU, each.maxU) << each.width << "x" << each.height;
    }
}

TEST_F(ImageTexture, PixelTypeFollowsAlphaFlagsAndDevice)
{
    struct Case {
        const char* name;
        uint32_t secondPixel;
        uint32_t flags;
        bool palettize;
        int expected;
    };
    const Case cases[] = {
        {"opaque", 0xFF000000, 0, false, Lumo::kPixelTypeR5G6B5},
        {"one transparent pixel", 0x00000000, 0, false, Lumo::kPixelTypeA8R8G8B8},
        {"opaque, alpha asked for", 0xFF000000, TextureData::kFlagAlwaysAlpha, false, Lumo::kPixelTypeA8R8G8B8},
        {"translucent, 16-bit asked for", 0x80000000, TextureData::kFlagPreferA4R4G4B4, false,
         Lumo::kPixelTypeA4R4G4B4},
        {"palettized", 0x80000000, 0, true, Lumo::kPixelTypePalette8},
    };
    for (const Case& each : cases) {
        auto image = Filled(2, 1, 0xFFFFFFFF, each.flags);
        image->GetPixelBits()[1] = each.secondPixel;
        image->MarkBitsChanged();
        if (each.palettize) {
            ASSERT_TRUE(image->Palettize());
        }
        EXPECT_EQ(Build(image.get())->mPixelType, each.expected) << each.name;
    }

    // A palette the device refuses is not tried again this run.
    DisplayDesktop::FailCall("CreatePalette", 1, DDERR_OUTOFMEMORY);
    auto image = Filled(2, 1, 0x80FFFFFF);
    ASSERT_TRUE(image->Palettize());
    EXPECT_EQ(Build(image.get())->mPixelType, Lumo::kPixelTypeA8R8G8B8);
    EXPECT_EQ(D3DInterface::gSupportedTextureTypes & Lumo::kPixelTypePalette8, 0);
}

TEST_F(ImageTexture, UploadRepeatsTheEdgeAndRebuildsOnlyWhatChanged)
{
    auto image = Filled(65, 5, 0xFF000000, TextureData::kFlagAlwaysAlpha);
    uint32_t* pixels = image->GetPixelBits();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 65; ++x)
            pixels[65 * y + x] = 0xFF000000 | uint32_t(y) << 8 | uint32_t(x);
    image->MarkBitsChanged();
    TextureData* textures = Build(image.get());
    ASSERT_EQ(textures->mPieces.size(), 1u);
    IDirectDrawSurface7* texture = textures->mPieces[0].mTexture;
    ASSERT_EQ(texture->Width(), 128);
    ASSERT_EQ(texture->Height(), 8);
    EXPECT_EQ(Texel(texture, 64, 0), 0xFF000040u);
    EXPECT_EQ(Texel(texture, 65, 0), 0xFF000040u);
    EXPECT_EQ(Texel(texture, 66, 0), 0u);
    // The row below the copied ones repeats the last; those further down stay.
    EXPECT_EQ(Texel(texture, 65, 5), 0xFF000440u);
    EXPECT_EQ(Texel(texture, 0, 6), 0u);
    EXPECT_EQ(textures->mTextureMemory, 128 * 8 * 4);

    // New pixels keep the surfaces; new flags make new ones.
    image->GetPixelBits()[0] = 0xFF00FF00;
    image->MarkBitsChanged();
    Build(image.get());
    EXPECT_EQ(textures->mPieces[0].mTexture, texture);
    EXPECT_EQ(Texel(texture, 0, 0), 0xFF00FF00u);
    image->textureFlags = TextureData::kFlagSmallPieces | TextureData::kFlagAlwaysAlpha;
    Build(image.get());
    EXPECT_EQ(textures->mPieces.size(), 2u);
}

TEST_F(ImageTexture, ReadBackRestoresThePixelsOfEachType)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> pixels;
        uint32_t flags;
        bool palettize;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"A8R8G8B8", {0x80123456, 0x00000000, 0xFFFFFFFF}, 0, false, {0x80123456, 0x00000000, 0xFFFFFFFF}},
        {"R5G6B5", {0xFF123456, 0xFFFFFFFF, 0xFF000000}, 0, false, {0xFF103450, 0xFFF8FCF8, 0xFF000000}},
        {"A4R4G4B4",
         {0x80123456, 0xFFFFFFFF, 0x00000000},
         TextureData::kFlagPreferA4R4G4B4,
         false,
         {0x88103050, 0xFFF0F0F0, 0x00000000}},
        {"palette-8", {0x80123456, 0x00000000, 0x80123456}, 0, true, {0x80123456, 0x00000000, 0x80123456}},
    };
    for (const Case& each : cases) {
        auto image = std::make_unique<Lumo::MemoryImage>(&mApp);
        image->SetBits(each.pixels.data(), 3, 1, true);
        image->textureFlags = each.flags;
        if (each.palettize) {
            ASSERT_TRUE(image->Palettize());
        }
        image->purgeWanted = true;
        Build(image.get());
        // The textures now hold the only copy.
        EXPECT_EQ(image->bits, nullptr) << each.name;
        const uint32_t* back = image->GetPixelBits();
        EXPECT_EQ(std::vector<uint32_t>(back, back + 3), each.expected) << each.name;
    }

    // A display start-up drops every texture; a purged image reads its
    // pixels back first.
    auto purged = Filled(2, 1, 0x80123456);
    purged->purgeWanted = true;
    Build(purged.get());
    ASSERT_EQ(purged->bits, nullptr);
    ASSERT_EQ(mDisplay->Init(mWindow, true), DDInterface::RESULT_OK);
    EXPECT_EQ(purged->textureData, nullptr);
    ASSERT_NE(purged->bits, nullptr);
    EXPECT_EQ(purged->bits[1], 0x80123456u);

    auto image = Filled(2, 2, 0xFF336699);
    Build(image.get());
    image->MarkBitsChanged();
    ASSERT_NE(image->bits, nullptr);
    EXPECT_FALSE(mDisplay->mD3DInterface->CopyTexturesToBits(image.get(), image->bits.get()));
}

TEST_F(ImageTexture, AnEmptyImageHasNoPiecesAndDrawsNothing)
{
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{5, 0}, std::pair{0, 5}}) {
        auto image = std::make_unique<Lumo::MemoryImage>(&mApp);
        image->SetSize(width, height);
        mDevices.Device()->ClearLog();
        Screen()->BlitRotated(image.get(), 20, 20, Lumo::Rect{0, 0, width, height}, Lumo::Rect{0, 0, 200, 150},
                              Lumo::Color::White, 0, 0.5, 0, 0);
        mDisplay->mD3DInterface->Flush();
        EXPECT_TRUE(mDevices.Device()->mDraws.empty()) << width << "x" << height;
        Build(image.get());
        ASSERT_NE(image->textureData, nullptr);
        EXPECT_TRUE(image->textureData->mPieces.empty()) << width << "x" << height;
    }
}

} // namespace
