#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"

#include "framework/graphics/images/MemoryImage.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

class CImageAtlasTest : public GameTest::GameFixture {
protected:
    void SetUp() override { ASSERT_TRUE(mAtlas.Setup(mTable)); }

    int32_t Alloc(int32_t width, int32_t height)
    {
        int32_t slot = -1;
        EXPECT_TRUE(mAtlas.Alloc(width, height, &slot)) << width << " x " << height;
        return slot;
    }
    const Lumo::Rect& RectOf(int32_t slot) { return mTable.Slot(slot)->mRect; }
    uint32_t Pixel(int32_t page, int32_t x, int32_t y)
    {
        return mAtlas.Page(page)->mImage->GetPixelBits()[y * CImageAtlas::kPageSize + x];
    }

    CImageTable mTable{&App()};
    CImageAtlas mAtlas;
};

TEST_F(CImageAtlasTest, PlacesPicturesOnShelvesAndClosesGapsWhenOneIsFreed)
{
    const int32_t first = Alloc(40, 20);
    const int32_t second = Alloc(40, 20);
    EXPECT_EQ(RectOf(first), (Lumo::Rect{0, 0, 40, 20}));
    EXPECT_EQ(RectOf(second), (Lumo::Rect{64, 0, 40, 20}));
    EXPECT_EQ(mAtlas.ShelvesInUse(), 1);
    EXPECT_EQ(mAtlas.Shelves()[0].mFreeWidth, 384);
    EXPECT_EQ(mAtlas.Shelves()[0].mHeightCells, 1);
    EXPECT_EQ(mTable.Slot(first)->mImage, mAtlas.Page(0)->mImage);

    // A taller picture gets a shelf of its own below.
    const int32_t tall = Alloc(30, 70);
    EXPECT_EQ(RectOf(tall), (Lumo::Rect{0, 32, 30, 70}));

    mAtlas.Page(0)->mImage->GetPixelBits()[5 * 512 + 70] = 0xFF123456u;
    mAtlas.Free(first);
    EXPECT_EQ(RectOf(second).mX, 0);
    EXPECT_EQ(Pixel(0, 6, 5), 0xFF123456u);
    EXPECT_EQ(mAtlas.Shelves()[0].mFreeWidth, 448);
    EXPECT_EQ(mTable.Slot(first)->mImage, nullptr);
}

TEST_F(CImageAtlasTest, RefusesWhatNoShelfCanHold)
{
    int32_t slot = 77;
    EXPECT_FALSE(mAtlas.Alloc(10, 513, &slot));
    EXPECT_FALSE(mAtlas.Alloc(513, 10, &slot));
    EXPECT_FALSE(mAtlas.Alloc(0, 10, &slot));
    EXPECT_EQ(slot, 77);
    Alloc(512, 512);
    Alloc(512, 500);
    EXPECT_FALSE(mAtlas.Alloc(1, 20, &slot));
}

// Pictures on the second page lie within its image and free like the first's.
TEST_F(CImageAtlasTest, SecondPageIsAddressedWithinItsImage)
{
    const int32_t whole = Alloc(512, 512);
    const int32_t a = Alloc(100, 40);
    const int32_t b = Alloc(100, 40);
    EXPECT_EQ(mTable.Slot(a)->mImage, mAtlas.Page(1)->mImage);
    EXPECT_EQ(RectOf(a), (Lumo::Rect{0, 0, 100, 40}));
    EXPECT_EQ(RectOf(b), (Lumo::Rect{128, 0, 100, 40}));
    mAtlas.Page(1)->mImage->GetPixelBits()[10 * 512 + 130] = 0xFFABCDEFu;

    mAtlas.Free(a);
    EXPECT_EQ(RectOf(b).mX, 0);
    EXPECT_EQ(Pixel(1, 2, 10), 0xFFABCDEFu);
    EXPECT_EQ(mTable.Slot(whole)->mRect, (Lumo::Rect{0, 0, 512, 512}));
}

TEST_F(CImageAtlasTest, FreeingEverythingMergesTheRegionsBack)
{
    std::vector<int32_t> slots;
    for (int32_t height : {20, 70, 32, 100, 20, 200})
        for (int i = 0; i < 3; ++i)
            slots.push_back(Alloc(150, height));
    // Freed out of order: shelves retire in the middle as well as at the ends.
    for (size_t i : {4, 0, 17, 9, 1, 2, 3, 5, 16, 8, 7, 6, 10, 11, 12, 13, 14, 15})
        mAtlas.Free(slots[i]);
    EXPECT_EQ(mAtlas.ShelvesInUse(), 0);
    ASSERT_EQ(mAtlas.Shelves().size(), 2u);
    for (const CImageAtlas::Shelf& region : mAtlas.Shelves()) {
        EXPECT_EQ(region.mHeightCells, 16);
        EXPECT_EQ(region.mTopRow, region.mPage * 16);
    }
    Alloc(512, 512);
    Alloc(512, 512);
}

TEST_F(CImageAtlasTest, CopyMovesAPictureIntoTheAtlas)
{
    App().AddImage("res\\monitor.png", 8, 4, 0xFF00FF00u);
    TiXmlDocument document;
    document.Parse("<root><img src=\"res\\monitor.png\"><sprite name=\"a\" x=\"2\" y=\"1\" w=\"4\" h=\"2\"/></img></root>");
    mTable.LoadFromXml(document.RootElement());
    CImageRecord* monitor = mTable.Record(2);
    mTable.FetchImage(monitor);
    int32_t source = -1;
    ASSERT_TRUE(mTable.FindByName("res\\monitor.png|a", &source));

    int32_t copy = -1;
    ASSERT_TRUE(mAtlas.CopyImage(source, &copy));
    EXPECT_EQ(RectOf(copy), (Lumo::Rect{0, 0, 4, 2}));
    // The blit's blend may round a channel down by one.
    EXPECT_EQ(Pixel(0, 3, 1) & 0xFFFF00FFu, 0xFF000000u);
    EXPECT_GE((Pixel(0, 3, 1) >> 8) & 0xFFu, 0xFEu);
    EXPECT_EQ(Pixel(0, 4, 1), 0u);
    const uint32_t* sourceBits = monitor->mImage->GetPixelBits();
    EXPECT_EQ(sourceBits[1 * 8 + 2], 0u);
    EXPECT_EQ(sourceBits[0], 0xFF00FF00u);

    int32_t refused = 5;
    EXPECT_FALSE(mAtlas.CopyImage(-2, &refused));
    EXPECT_EQ(refused, -2);
}

} // namespace
