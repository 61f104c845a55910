#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/pictures/CSceneObjBase.h"

#include "tests/game/support/GameFixture.h"

#include <filesystem>
#include <list>

namespace {

class SampleContentTest : public GameTest::GameFixture {
protected:
    const TiXmlElement* Root(const char* name)
    {
        mDocuments.emplace_back();
        EXPECT_TRUE(LoadXmlDocument(std::string("res\\") + name, mDocuments.back())) << name;
        return mDocuments.back().FirstChildElement("root");
    }

    std::list<TiXmlDocument> mDocuments;
};

// The shipped data files load in the loading order without a complaint.
TEST_F(SampleContentTest, DataTablesLoadCleanly)
{
    std::filesystem::copy(std::string(ZENTROVA_CONTENT_DIR) + "/res", mFolder / "res",
                          std::filesystem::copy_options::recursive);
    CImageTable images(&App());
    images.LoadFromXml(Root("imgsplats.xml"));
    CCurveBase curves;
    CTrackBase tracks;
    tracks.LoadFromXml(Root("trackbase.xml"), curves);
    CAnimBase anims(images, tracks, curves);
    anims.LoadFromXml(Root("animations.xml"));
    CObjBase objects(images);
    objects.LoadFromXml(Root("objects.xml"));
    CSceneObjBase sceneObjects(images, anims, tracks);
    sceneObjects.LoadFromXml(Root("sceneobjects.xml"));
    CPieceBase pieces(images);
    pieces.LoadFromXml(Root("pieces.xml"));

    for (const std::string& line : LogLines()) {
        EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
        EXPECT_EQ(line.find("error"), std::string::npos) << line;
        EXPECT_EQ(line.find("= 0"), std::string::npos) << line;
    }
    EXPECT_TRUE(LogHas("Animbase: loaded 36 animations."));
    EXPECT_TRUE(LogHas("Objbase: loaded 3 objects."));
    EXPECT_NE(curves.FindCurve("map2_8"), nullptr);
    int32_t id = -1;
    EXPECT_TRUE(tracks.FindTrack("ctrl_hazard_ball", &id));
    EXPECT_EQ(tracks.Definition(id)->mRepeatCount, 3);
    EXPECT_TRUE(anims.FindAnim("crossfade_frames", &id));
    EXPECT_EQ(id, 35);
    // Scene objects 0 .. 35 play the animation of the same index.
    ASSERT_GE(sceneObjects.Definitions().size(), anims.AnimCount());
    for (size_t i = 0; i < anims.AnimCount(); ++i)
        EXPECT_EQ(sceneObjects.Definitions()[i].mFrameAnim, int32_t(i)) << i;
    EXPECT_EQ(pieces.CellSize(), 12);
    EXPECT_EQ(pieces.Pieces().size(), 2u);
}

} // namespace
