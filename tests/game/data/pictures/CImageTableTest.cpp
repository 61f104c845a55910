#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/ImageDrawing.h"

#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/codecs/ImageLibImage.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

class CImageTableTest : public GameTest::GameFixture {
protected:
    CImageTable& Load(const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        mTable.LoadFromXml(document.RootElement());
        return mTable;
    }

    int32_t SlotOf(const std::string& name)
    {
        int32_t slot = -1;
        EXPECT_TRUE(mTable.FindByName(name, &slot)) << name;
        return slot;
    }

    CImageTable mTable{&App()};
};

TEST_F(CImageTableTest, CutsRecordsIntoNamedSlots)
{
    Load("<root>"
         "<imgproxy src=\"res\\other.png\" dst=\"res\\strip.png|2\"/>"
         "<img src=\"res\\strip.png\" start=\"1\" end=\"4\" w=\"32\" h=\"30\" dx=\"32\" dy=\"1\"/>"
         "<img src=\"res\\parts.png\" palletize=\"tr\" alpha=\"res\\_parts.png\">"
         "  <sprite name=\"a\" x=\"1\" y=\"2\" w=\"3\" h=\"4\"/><sprite name=\"b\" x=\"5\" y=\"6\" w=\"7\" h=\"8\"/>"
         "</img>"
         "<img name=\"canvas\" src=\"ignored.png\" width=\"16\" height=\"8\"/>"
         "<imgproxy src=\"res\\lost.png\" dst=\"nothing\"/>"
         "</root>");
    ASSERT_EQ(mTable.RecordCount(), 5u);
    ASSERT_EQ(mTable.SlotCount(), 11u);

    const CImageRecord* strip = mTable.Record(0);
    EXPECT_EQ(strip->mKind, CImageRecord::kFile);
    EXPECT_EQ(strip->mSlotCount, 5);
    EXPECT_EQ(SlotOf("res\\strip.png"), 0);
    EXPECT_EQ(mTable.Slot(0)->mRect, (Lumo::Rect{0, 0, 0, 0}));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(mTable.Slot(SlotOf("res\\strip.png|" + std::to_string(i)))->mRect,
                  (Lumo::Rect{32 * (i - 1), i - 1, 32, 30}));

    const CImageRecord* parts = mTable.Record(1);
    EXPECT_TRUE(parts->mPalletize);
    EXPECT_EQ(parts->mAlphaName, "res\\_parts.png");
    EXPECT_EQ(SlotOf("res\\parts.png"), 5);
    EXPECT_EQ(mTable.Slot(SlotOf("res\\parts.png|b"))->mRect, (Lumo::Rect{5, 6, 7, 8}));

    const CImageRecord* canvas = mTable.Record(2);
    EXPECT_EQ(canvas->mKind, CImageRecord::kBlank);
    EXPECT_EQ(canvas->mName, "canvas");
    EXPECT_EQ(canvas->mWidth, 16);

    // Proxies come after every image, whatever their place in the file.
    const CImageRecord* proxy = mTable.Record(3);
    EXPECT_EQ(proxy->mKind, CImageRecord::kProxy);
    EXPECT_EQ(proxy->mTargetSlot, SlotOf("res\\strip.png|2"));
    EXPECT_EQ(mTable.Record(4)->mTargetSlot, CImageRecord::kNone);
    EXPECT_TRUE(LogHas("ERROR: image proxy res\\lost.png - no target nothing"));
}

TEST_F(CImageTableTest, FetchLoadsAFileOnceAndLogsAFailure)
{
    App().AddImage("res\\strip.png", 128, 32);
    App().AddImage("res\\parts.png", 16, 16);
    Load("<root><img src=\"res\\strip.png\" start=\"1\" end=\"2\" w=\"64\" h=\"32\" dx=\"64\" dy=\"0\"/>"
         "<img src=\"res\\parts.png\" alpha=\"res\\_parts.png\"/>"
         "<img src=\"res\\missing.png\"/></root>");

    const int32_t cel = SlotOf("res\\strip.png|2");
    mTable.FetchSlotImage(cel);
    mTable.FetchSlotImage(cel);
    mTable.FetchImage(mTable.Record(1));
    mTable.FetchImage(mTable.Record(2));
    mTable.FetchSlotImage(SlotOf("res\\missing.png"));
    EXPECT_EQ(App().mImageLoads,
              (std::vector<std::string>{"res\\strip.png", "res\\parts.png;res\\_parts.png", "res\\missing.png"}));

    const CImageRecord* strip = mTable.Record(0);
    ASSERT_NE(strip->mImage, nullptr);
    EXPECT_TRUE(strip->IsLoaded());
    for (int32_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(mTable.Slot(slot)->mImage, strip->mImage);
    EXPECT_EQ(mTable.SourceRect(0), (Lumo::Rect{0, 0, 128, 32}));
    EXPECT_EQ(mTable.SourceRect(cel), (Lumo::Rect{64, 0, 64, 32}));

    EXPECT_EQ(mTable.Record(2)->mImage, nullptr);
    EXPECT_TRUE(mTable.Record(2)->IsLoaded());
    EXPECT_TRUE(LogHas("ERROR: fetch res\\missing.png "));
}

TEST_F(CImageTableTest, ProxyLoadsItsFileIntoTheTargetOnEveryFetch)
{
    ImageLib::Image picture(4, 2);
    std::fill(picture.GetBits(), picture.GetBits() + 8, 0xFF00FF00u);
    ASSERT_TRUE(ImageLib::WritePNGImage(mFolder / "green.png", &picture));
    App().AddImage("res\\base.png", 4, 2, 0xFFFF0000u);
    Load("<root><img src=\"res\\base.png\"/><imgproxy src=\"green.png\" dst=\"res\\base.png\"/></root>");
    CImageRecord* base = mTable.Record(0);
    CImageRecord* proxy = mTable.Record(1);
    mTable.FetchImage(base);

    mTable.FetchSlotImage(proxy->mFirstSlot);
    EXPECT_EQ(mTable.Slot(proxy->mFirstSlot)->mImage, base->mImage);
    EXPECT_EQ(base->mImage->GetPixelBits()[5], 0xFF00FF00u);
    EXPECT_EQ(base->mContent, proxy->mRecordIndex);
    EXPECT_FALSE(base->IsLoaded());

    // A proxy never counts as loaded: it loads again.
    base->mImage->GetPixelBits()[5] = 0;
    mTable.FetchSlotImage(proxy->mFirstSlot);
    EXPECT_EQ(base->mImage->GetPixelBits()[5], 0xFF00FF00u);
}

TEST_F(CImageTableTest, ResolvesReferencesWithAndWithoutARectangle)
{
    Load("<root><img src=\"res\\hud.png\"><sprite name=\"bar\" x=\"1\" y=\"2\" w=\"30\" h=\"4\"/></img></root>");
    CImageRef ref;
    ASSERT_TRUE(mTable.ResolveImageRef("res\\hud.png|bar", &ref));
    EXPECT_EQ(ref.mSlot, 1);
    EXPECT_EQ(ref.mRect, (Lumo::Rect{1, 2, 30, 4}));
    ASSERT_TRUE(mTable.ResolveImageRef("res\\hud.png|bar;5,6,7,8", &ref));
    EXPECT_EQ(ref.mRect, (Lumo::Rect{5, 6, 7, 8}));
    EXPECT_FALSE(mTable.ResolveImageRef("res\\hud.png|none;5,6,7,8", &ref));
}

TEST_F(CImageTableTest, BlankRecordsAndOversizedRequests)
{
    Load("<root><img name=\"canvas\" width=\"16\" height=\"8\"/><img name=\"huge\" width=\"100000\" height=\"100000\"/>"
         "<img src=\"res\\cels.png\" start=\"0\" end=\"2000000000\" w=\"1\" h=\"1\" dx=\"1\" dy=\"0\"/></root>");
    CImageRecord* canvas = mTable.Record(0);
    mTable.PrepareRecord(canvas);
    ASSERT_NE(canvas->mImage, nullptr);
    EXPECT_EQ(canvas->mImage->GetWidth(), 16);
    mTable.FetchImage(canvas);
    EXPECT_EQ(mTable.Slot(canvas->mFirstSlot)->mImage, canvas->mImage);

    mTable.PrepareRecord(mTable.Record(1));
    EXPECT_EQ(mTable.Record(1)->mImage, nullptr);
    EXPECT_TRUE(LogHas("ERROR: image huge - bad size"));
    EXPECT_EQ(mTable.Record(2)->mSlotCount, 1);
    EXPECT_TRUE(LogHas("ERROR: image res\\cels.png - too many cels"));
}

TEST_F(CImageTableTest, StripFramesComeFromPagesAndGoBack)
{
    App().AddImage("res\\a.png", 8, 8);
    Load("<root><img src=\"res\\a.png\"/></root>");
    CImageStrip strip;
    int32_t slot = -1;
    EXPECT_FALSE(mTable.GetStripFrame(strip, 0, 0, &slot));

    EXPECT_EQ(mTable.SetStripParams(strip, 20, 10, 3), 3);
    const size_t records = mTable.RecordCount();
    CImageRecord* page = mTable.Record(int32_t(records) - 1);
    ASSERT_NE(page->mImage, nullptr);
    EXPECT_EQ(page->mImage->GetWidth(), 60);
    EXPECT_NE(page->mGraphics, nullptr);

    ASSERT_TRUE(mTable.GetStripFrame(strip, 15, 40, &slot));
    EXPECT_EQ(mTable.Slot(slot)->mRect, (Lumo::Rect{40, 0, 15, 10}));
    int32_t second = -1, third = -1, fourth = -1;
    ASSERT_TRUE(mTable.GetStripFrame(strip, 0, 0, &second));
    ASSERT_TRUE(mTable.GetStripFrame(strip, 0, 0, &third));
    EXPECT_EQ(mTable.Slot(third)->mRect, (Lumo::Rect{0, 0, 20, 10}));
    // A fourth frame needs a second page.
    ASSERT_TRUE(mTable.GetStripFrame(strip, 0, 0, &fourth));
    EXPECT_EQ(mTable.RecordCount(), records + 1);

    mTable.StripFrameForSlot(strip, slot);
    ASSERT_EQ(strip.mFree.back().mFrame, 2);
    EXPECT_EQ(strip.mFree.back().mSlot, slot);

    // New parameters free the pages; record indices of the others stay put.
    EXPECT_EQ(mTable.SetStripParams(strip, 10, 10, 2), 2);
    EXPECT_EQ(mTable.Record(int32_t(records) - 1), nullptr);
    EXPECT_EQ(mTable.Record(int32_t(records)), nullptr);
    EXPECT_EQ(mTable.RecordCount(), records + 2);
    EXPECT_EQ(mTable.Record(int32_t(records) + 1)->mRecordIndex, int32_t(records) + 1);
    mTable.ReleaseStrip(strip);
    EXPECT_FALSE(strip.mSetUp);
    EXPECT_TRUE(strip.mFree.empty());
}

TEST_F(CImageTableTest, ScrolledPicturesWrapAround)
{
    App().AddImage("res\\band.png", 100, 10);
    Load("<root><img src=\"res\\band.png\"><sprite name=\"s\" x=\"0\" y=\"0\" w=\"100\" h=\"10\"/></img></root>");
    mTable.FetchImage(mTable.Record(0));
    const int32_t slot = SlotOf("res\\band.png|s");
    struct Case {
        bool right;
        float fraction;
        std::vector<std::pair<int, Lumo::Rect>> draws;
    };
    const Case cases[] = {
        {false, 0.0f, {{5, {0, 0, 100, 10}}}},
        {false, 1.0f, {{5, {0, 0, 100, 10}}}},
        {false, 0.25f, {{5, {25, 0, 75, 10}}, {80, {0, 0, 25, 10}}}},
        {true, 0.25f, {{5, {75, 0, 25, 10}}, {30, {0, 0, 75, 10}}}},
        {false, -3.0f, {{5, {0, 0, 100, 10}}}},
    };
    for (const Case& c : cases) {
        GameTest::RecordingGraphics recording;
        DrawImageScrolled(CScrollImage{slot, c.right, 5, 7, 100, c.fraction}, mTable, recording.mGraphics);
        ASSERT_EQ(recording.Ops().size(), c.draws.size()) << c.fraction;
        for (size_t i = 0; i < c.draws.size(); ++i) {
            EXPECT_EQ(recording.Ops()[i].mX, c.draws[i].first) << c.fraction;
            EXPECT_EQ(recording.Ops()[i].mY, 7);
            EXPECT_EQ(recording.Ops()[i].mSrcRect, c.draws[i].second) << c.fraction;
        }
    }
}

} // namespace
