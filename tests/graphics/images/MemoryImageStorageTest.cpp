#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/NativeDisplay.h"
#include "tests/graphics/images/ImagingFixture.h"

#include <algorithm>
#include <numeric>

using Lumo::MemoryImage;

namespace ImagingTests {
namespace {

Lumo::NativeDisplay Format565()
{
    Lumo::NativeDisplay format;
    format.mBitsPerPixel = 16;
    format.mRedMask = 0xF800;
    format.mGreenMask = 0x07E0;
    format.mBlueMask = 0x001F;
    format.mRedBits = 5;
    format.mGreenBits = 6;
    format.mBlueBits = 5;
    format.mRedShift = 11;
    format.mGreenShift = 5;
    format.mBlueShift = 0;
    return format;
}

// A host with textures: it counts the calls the image makes and fills
// pixels from a "texture" of one colour.
class TextureHost : public Lumo::ImageHost {
public:
    void AddImageToSet(MemoryImage*) override { ++added; }
    void RemoveImageFromSet(MemoryImage*) override { ++removed; }
    void DropImageTextures(MemoryImage*) override { ++dropped; }
    bool Is3DAccelerated() override { return true; }
    Lumo::NativeDisplay* GetNativeDisplay() override { return fallback.GetNativeDisplay(); }
    bool CopyTexturesToBits(MemoryImage* image) override
    {
        std::fill_n(image->bits.get(), size_t(image->mWidth) * size_t(image->mHeight), textureColor);
        return true;
    }
    Lumo::TriangleRasterizer* GetTriangleRasterizer() override { return nullptr; }

    Lumo::DefaultImageHost fallback;
    uint32_t textureColor = 0xFF123456;
    int added = 0;
    int removed = 0;
    int dropped = 0;
};

Lumo::TextureData* SomeTextures()
{
    static int marker;
    return reinterpret_cast<Lumo::TextureData*>(&marker);
}

std::vector<uint32_t> DistinctColours(size_t count)
{
    std::vector<uint32_t> colours(count);
    for (size_t i = 0; i < count; ++i)
        colours[i] = 0xFF000000 | uint32_t(i * 2654435761u % 0xFFFFFF);
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    return colours;
}

using MemoryImageStorage = ImagingTest;

TEST_F(MemoryImageStorage, ImageIsInItsHostsSetForItsWholeLife)
{
    auto image = std::make_unique<MemoryImage>(&host);
    EXPECT_EQ(image->GetWidth(), 0);
    EXPECT_EQ(image->GetHeight(), 0);
    EXPECT_FALSE(image->bits);
    EXPECT_EQ(image->GetPixelBits(), nullptr);
    EXPECT_TRUE(host.HoldsImage(image.get()));
    auto copy = std::make_unique<MemoryImage>(*image);
    EXPECT_TRUE(host.HoldsImage(copy.get()));
    MemoryImage* gone = image.get();
    image.reset();
    EXPECT_FALSE(host.HoldsImage(gone));
    EXPECT_TRUE(host.HoldsImage(copy.get()));
}

TEST_F(MemoryImageStorage, ImagesWithoutHostUseTheInstalledOne)
{
    Lumo::ImageHost* previous = Lumo::ImageHost::Install(&host);
    {
        MemoryImage image;
        EXPECT_EQ(image.app, &host);
        EXPECT_TRUE(host.HoldsImage(&image));
    }
    Lumo::ImageHost::Install(previous);
    MemoryImage image;
    EXPECT_NE(image.app, &host);
    EXPECT_EQ(image.app, &Lumo::ImageHost::Current());
}

TEST_F(MemoryImageStorage, SetBitsReallocatesWithGuardWordAndIgnoresItsOwnPixels)
{
    MemoryImage image(&host);
    Fill(image, 3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(image.bits[6], MemoryImage::kGuardWord);
    const int32_t count = image.bitsChangeCount;
    image.SetBits(image.bits.get(), 3, 2, true);
    EXPECT_EQ(image.bitsChangeCount, count);

    Fill(image, 4, 4, std::vector<uint32_t>(16, 7));
    EXPECT_EQ(image.GetWidth(), 4);
    EXPECT_EQ(image.bits[16], MemoryImage::kGuardWord);
    EXPECT_EQ(image.bitsChangeCount, count + 1);
}

TEST_F(MemoryImageStorage, AlphaFlagsFollowThePixelsUnlessForced)
{
    struct Case {
        std::vector<uint32_t> pixels;
        bool transparency;
        bool translucency;
    };
    const Case cases[] = {
        {{0xFF000000, 0xFFFFFFFF}, false, false},
        {{0xFF000000, 0x00FFFFFF}, true, false},
        {{0xFF000000, 0x80FFFFFF}, false, true},
        {{0x01000000, 0x00FFFFFF}, true, true},
    };
    for (const Case& c : cases) {
        MemoryImage image(&host);
        Fill(image, 2, 1, c.pixels);
        EXPECT_EQ(image.hasTransparency, c.transparency);
        EXPECT_EQ(image.hasTranslucency, c.translucency);
    }

    MemoryImage stale(&host);
    Fill(stale, 1, 1, {0xFFFFFFFF});
    std::vector<uint32_t> transparent{0};
    stale.SetBits(transparent.data(), 1, 1, false);
    EXPECT_FALSE(stale.hasTransparency);
    stale.CheckAlpha();
    EXPECT_TRUE(stale.hasTransparency);

    MemoryImage forced(&host);
    forced.SetAlphaFlags(false, false);
    Fill(forced, 1, 1, {0});
    forced.CheckAlpha();
    EXPECT_FALSE(forced.hasTransparency);
    EXPECT_FALSE(forced.hasTranslucency);
}

TEST_F(MemoryImageStorage, RunLengthAlphaTableCountsToTheEndOfEachRun)
{
    MemoryImage image(&host);
    Fill(image, 6, 2, {0, 0, 0xFF000000, 0xFFFFFFFF, 0xFF123456, 0x80000000,
                       0x80000000, 0x01000000, 0xFE000000, 0, 0xFF000000, 0xFF000000});
    const uint8_t* runs = image.GetRunLengthAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(runs, runs + 12), (std::vector<uint8_t>{2, 1, 3, 2, 1, 1, 3, 2, 1, 1, 2, 1}));
    EXPECT_EQ(image.GetRunLengthAlphaData(), runs);

    MemoryImage wide(&host);
    FillWith(wide, 600, 1, 0xFF00FF00);
    const uint8_t* wideRuns = wide.GetRunLengthAlphaData();
    EXPECT_EQ(std::count(wideRuns, wideRuns + 600, 255), 346);
    for (int i = 346; i < 600; ++i)
        ASSERT_EQ(wideRuns[i], 600 - i);

    MemoryImage narrow(&host);
    Fill(narrow, 1, 3, {0, 0, 0xFF000000});
    const uint8_t* narrowRuns = narrow.GetRunLengthAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(narrowRuns, narrowRuns + 3), (std::vector<uint8_t>{1, 1, 1}));
}

TEST_F(MemoryImageStorage, RunTablesOfAPalettizedImageComeFromItsPalette)
{
    MemoryImage image(&host);
    Fill(image, 4, 1, {0xFF000000, 0xFF000000, 0x00FFFFFF, 0xFF000001});
    ASSERT_TRUE(image.Palettize());
    const uint8_t* alphaRuns = image.GetRunLengthAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(alphaRuns, alphaRuns + 4), (std::vector<uint8_t>{2, 1, 1, 1}));
    // Black and premultiplied-away pixels count as unlit.
    const uint8_t* additiveRuns = image.GetRunLengthAdditiveData(host.GetNativeDisplay());
    EXPECT_EQ(std::vector<uint8_t>(additiveRuns, additiveRuns + 4), (std::vector<uint8_t>{3, 2, 1, 1}));
    EXPECT_FALSE(image.bits);
}

TEST_F(MemoryImageStorage, NativeDataIsPremultipliedInTheDisplayFormat)
{
    host.SetDisplayFormat(Format565());
    MemoryImage image(&host);
    Fill(image, 3, 1, {0xFF123456, 0x80FFFFFF, 0x00FFFFFF});
    const uint32_t* native = image.GetNativeAlphaData(host.GetNativeDisplay());
    // Opaque: 0x12 >> 3 = 2, 0x34 >> 2 = 13, 0x56 >> 3 = 10. Half: 255 * 129 >> 8 = 128.
    EXPECT_EQ(native[0], 0xFF000000u | 2u << 11 | 13u << 5 | 10u);
    EXPECT_EQ(native[1], 0x80000000u | 16u << 11 | 32u << 5 | 16u);
    EXPECT_EQ(native[2], 0u);
}

TEST_F(MemoryImageStorage, PurgedImageComesBackCutToTheDisplayChannels)
{
    host.SetDisplayFormat(Format565());
    MemoryImage image(&host);
    Fill(image, 3, 1, {0xFF123456, 0x00FFFFFF, 0xFFFFFFFF});
    image.PurgeBits();
    EXPECT_TRUE(image.purgeWanted);
    EXPECT_FALSE(image.bits);
    EXPECT_TRUE(image.nativeAlphaData);
    EXPECT_EQ(PixelsOf(image), (std::vector<uint32_t>{0xFF103450, 0x00000000, 0xFFF8FCF8}));

    MemoryImage empty(&host);
    empty.PurgeBits();
    EXPECT_TRUE(empty.purgeWanted);
    EXPECT_FALSE(empty.nativeAlphaData);
}

TEST_F(MemoryImageStorage, PurgeIn3DWaitsForTexturesThenRebuildsFromThem)
{
    TextureHost textures;
    {
        MemoryImage image(&textures);
        Fill(image, 2, 1, {1, 2});
        image.PurgeBits();
        EXPECT_TRUE(image.bits);
        image.textureData = SomeTextures();
        image.PurgeBits();
        EXPECT_FALSE(image.bits);
        EXPECT_EQ(PixelsOf(image), (std::vector<uint32_t>{0xFF123456, 0xFF123456}));
        image.DeleteAllDerivedData();
        EXPECT_EQ(textures.dropped, 1);
        image.textureData = nullptr;
    }
    EXPECT_EQ(textures.added, 1);
    EXPECT_EQ(textures.removed, 1);
}

TEST_F(MemoryImageStorage, Palettize256ColoursRoundTripsAnd257Refuse)
{
    const std::vector<uint32_t> colours = DistinctColours(300);
    ASSERT_GE(colours.size(), 257u);

    MemoryImage fits(&host);
    std::vector<uint32_t> pixels(colours.begin(), colours.begin() + 256);
    pixels.push_back(pixels[0]);
    pixels.push_back(pixels[255]);
    Fill(fits, 2, 129, pixels);
    ASSERT_TRUE(fits.Palettize());
    EXPECT_FALSE(fits.bits);
    EXPECT_TRUE(fits.palettizeWanted);
    EXPECT_TRUE(fits.Palettize());
    EXPECT_EQ(PixelsOf(fits), pixels);
    EXPECT_FALSE(fits.colorTable);
    EXPECT_FALSE(fits.colorIndices);
    EXPECT_TRUE(fits.palettizeWanted);

    MemoryImage tooMany(&host);
    std::vector<uint32_t> more(colours.begin(), colours.begin() + 257);
    more.push_back(0);
    Fill(tooMany, 2, 129, more);
    EXPECT_FALSE(tooMany.Palettize());
    EXPECT_FALSE(tooMany.palettizeWanted);
    EXPECT_FALSE(tooMany.colorTable);
    EXPECT_EQ(PixelsOf(tooMany), more);
}

TEST_F(MemoryImageStorage, ReapplyStorageModeRestoresWhatDrawingUndid)
{
    MemoryImage image(&host);
    Fill(image, 2, 2, {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF});
    ASSERT_TRUE(image.Palettize());
    image.PurgeBits();
    image.FillRect(Lumo::Rect{0, 0, 1, 1}, Lumo::Color(255, 0, 0), 0);
    EXPECT_TRUE(image.bits);
    EXPECT_FALSE(image.colorTable);
    image.ReapplyStorageMode();
    EXPECT_FALSE(image.bits);
    EXPECT_TRUE(image.colorTable);
    EXPECT_EQ(PixelsOf(image), (std::vector<uint32_t>{0xFFFF0000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST_F(MemoryImageStorage, CopyOfAPalettizedImageKeepsBothPalettized)
{
    MemoryImage source(&host);
    Fill(source, 2, 1, {0xFF0000FF, 0x80FF0000});
    source.mName = "a.png";
    ASSERT_TRUE(source.Palettize());
    source.GetRunLengthAlphaData();

    MemoryImage copy(source);
    EXPECT_TRUE(copy.mName.empty());
    EXPECT_FALSE(copy.bits);
    ASSERT_TRUE(copy.colorTable);
    EXPECT_NE(copy.colorTable.get(), source.colorTable.get());
    EXPECT_NE(copy.colorIndices.get(), source.colorIndices.get());
    EXPECT_TRUE(copy.runLengthAlphaData);
    EXPECT_FALSE(copy.textureData);
    EXPECT_FALSE(source.bits);
    EXPECT_EQ(PixelsOf(copy), (std::vector<uint32_t>{0xFF0000FF, 0x80FF0000}));
    EXPECT_TRUE(source.colorTable);
}

TEST_F(MemoryImageStorage, CopyOfAPurgedImageLeavesTheSourcePurged)
{
    MemoryImage source(&host);
    Fill(source, 2, 1, {0xFF0000FF, 0xFFFF0000});
    source.PurgeBits();
    MemoryImage copy(source);
    EXPECT_FALSE(source.bits);
    EXPECT_TRUE(source.nativeAlphaData);
    ASSERT_TRUE(copy.bits);
    EXPECT_EQ(copy.bits[2], MemoryImage::kGuardWord);
    EXPECT_EQ(PixelsOf(copy), (std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000}));
}

TEST_F(MemoryImageStorage, SetSizeDropsThePixelsAndAStalePalette)
{
    MemoryImage image(&host);
    Fill(image, 2, 2, {1, 2, 3, 4});
    ASSERT_TRUE(image.Palettize());
    image.SetSize(8, 8);
    EXPECT_TRUE(image.hasTransparency);
    EXPECT_TRUE(image.hasTranslucency);
    EXPECT_FALSE(image.colorTable);
    EXPECT_TRUE(image.palettizeWanted);
    EXPECT_EQ(PixelsOf(image), std::vector<uint32_t>(64, 0));
    EXPECT_EQ(image.bits[64], MemoryImage::kGuardWord);
}

TEST_F(MemoryImageStorage, ChangesDropTheDerivedFormsAndCount)
{
    MemoryImage image(&host);
    Fill(image, 2, 1, {0xFFFFFFFF, 0x80FFFFFF});
    image.GetNativeAlphaData(host.GetNativeDisplay());
    image.GetRunLengthAlphaData();
    image.GetRunLengthAdditiveData(host.GetNativeDisplay());
    const int32_t count = image.bitsChangeCount;
    image.Clear();
    EXPECT_EQ(image.bitsChangeCount, count + 1);
    EXPECT_TRUE(image.alphaCheckPending);
    EXPECT_FALSE(image.nativeAlphaData);
    EXPECT_FALSE(image.runLengthAlphaData);
    EXPECT_FALSE(image.runLengthAdditiveData);
    EXPECT_EQ(PixelsOf(image), (std::vector<uint32_t>{0, 0}));

    image.GetNativeAlphaData(host.GetNativeDisplay());
    image.GetRunLengthAlphaData();
    image.GetRunLengthAdditiveData(host.GetNativeDisplay());
    image.DeleteNativeData();
    EXPECT_FALSE(image.nativeAlphaData);
    EXPECT_FALSE(image.runLengthAdditiveData);
    EXPECT_TRUE(image.runLengthAlphaData);
}

TEST_F(MemoryImageStorage, DeletingSoftwareBuffersOfAPurgedImageKeepsItsPixels)
{
    MemoryImage image(&host);
    Fill(image, 2, 1, {0xFF102030, 0xFF405060});
    image.PurgeBits();
    image.DeleteSoftwareBuffers();
    EXPECT_TRUE(image.bits);
    EXPECT_FALSE(image.nativeAlphaData);
    EXPECT_EQ(PixelsOf(image), (std::vector<uint32_t>{0xFF102030, 0xFF405060}));
}

} // namespace
} // namespace ImagingTests
