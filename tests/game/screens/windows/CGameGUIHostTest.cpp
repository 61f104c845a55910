#include "game/data/CGameConfig.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGameGUIHost.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

#include <tinyxml.h>

namespace GUITest {
namespace {

class GameGUIHostTest : public GameTest::GameFixture {
protected:
    GameGUIHostTest() : mImages(&App())
    {
        App().AddImage("res\\frame.png", 80, 600, 0xFF336699);
        App().AddImage("res\\header.png", 256, 48);
        TiXmlDocument document;
        document.Parse("<root><img src=\"res\\frame.png\" start=\"1\" end=\"1\" w=\"80\" h=\"600\" dx=\"80\" dy=\"0\"/>"
                       "<img src=\"res\\header.png\"/></root>");
        mImages.LoadFromXml(document.RootElement());
        for (size_t i = 0; i < mImages.RecordCount(); ++i)
            mImages.FetchImage(mImages.Record(int32_t(i)));
        mAtlas.Setup(mImages);
    }

    CImageTable mImages;
    CImageAtlas mAtlas;
    CTrackBase mTracks;
    CHiscoreTable mHiscores;
    SpyHandler mSpy;
};

TEST_F(GameGUIHostTest, TheControllerDrawsItsFrameFromTheImageTableAndTheAtlas)
{
    CGameGUIHost host(mImages, mAtlas, mTracks, mHiscores, [] { return nullptr; });
    CGUIController gui(&App(), &host, &mSpy);
    TiXmlDocument document;
    document.Parse(R"(<root img="res\frame.png|1" himg="res\header.png" leftborder_width="24" leftshadow_width="8"
                      middle_width="16" rightshadow_width="8" rightborder_width="24">
                      <windows><window name="gamecontinue" width="200">
                        <labels><label font="service" p="-1,150" caption="Saved game"/></labels>
                      </window></windows></root>)");
    gui.LoadFromXml(document.RootElement());
    gui.CreateImages();
    EXPECT_EQ(LogText().find("ERROR"), std::string::npos) << LogText();
    // Eight 64 x 75 tiles side by side on one shelf three cells high.
    EXPECT_EQ(mAtlas.ShelvesInUse(), 1);

    gui.OpenWindow(21, true);
    RecordingGraphics g;
    gui.DrawWindow(g.mGraphics);
    // Borders and shadows from the frame strip, then 8 rows of tiles from the atlas, then the header.
    ASSERT_EQ(g.Ops().size(), 4u + 8u * 3u + 1u);
    int32_t frameSlot = -2;
    ASSERT_TRUE(mImages.FindByName("res\\frame.png|1", &frameSlot));
    EXPECT_EQ(g.Ops()[0].mSource, mImages.Slot(frameSlot)->mImage);
    EXPECT_EQ(g.Ops()[4].mSource, mAtlas.Page(0)->mImage);
    const GameTest::DrawOp& tile = g.Ops()[4];
    const uint32_t* page = mAtlas.Page(0)->mImage->GetPixelBits();
    EXPECT_EQ(page[size_t(tile.mSrcRect.mY) * 512 + size_t(tile.mSrcRect.mX)], 0xFF336699u);
    EXPECT_EQ(g.Ops().back().mX, 400 - 128);

    gui.Release();
    EXPECT_EQ(mAtlas.ShelvesInUse(), 0);

    CGameConfig::titreSpeed = 0.25f;
    EXPECT_FLOAT_EQ(host.Tuning().mCreditsSpeed, 0.25f);
    CGameConfig::titreSpeed = 0.0f;
    EXPECT_EQ(host.FontIndexByName("no such font"), -1);
    EXPECT_EQ(host.FontByIndex(-1), nullptr);
}

} // namespace
} // namespace GUITest
