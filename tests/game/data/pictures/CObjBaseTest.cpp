#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"

#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

class CObjBaseTest : public GameTest::GameFixture {};

TEST_F(CObjBaseTest, StoresSpriteOffsetsFromTheHotSpot)
{
    App().AddImage("res\\borders.png", 64, 64);
    CImageTable images(&App());
    TiXmlDocument document;
    document.Parse("<root><img src=\"res\\borders.png\"><sprite name=\"a\" x=\"0\" y=\"0\" w=\"8\" h=\"8\"/>"
                   "<sprite name=\"b\" x=\"8\" y=\"0\" w=\"8\" h=\"8\"/></img></root>");
    images.LoadFromXml(document.RootElement());

    TiXmlDocument objectsFile;
    objectsFile.Parse("<root>"
                   "<frame hspotx=\"10\" hspoty=\"20\"><sprites>"
                   "<sprite src=\"res\\borders.png|a\" ofsx=\"10\" ofsy=\"25\"/>"
                   "<sprite src=\"res\\borders.png|none\" ofsx=\"1\" ofsy=\"1\"/>"
                   "<sprite src=\"res\\borders.png|b\" ofsx=\"-5\" ofsy=\"0\"/>"
                   "</sprites></frame>"
                   "<bare/>"
                   "<frame hspotx=\"-2147483648\"><sprites><sprite src=\"res\\borders.png|b\" ofsx=\"2147483647\"/>"
                   "</sprites></frame>"
                   "</root>");
    CObjBase objects(images);
    objects.LoadFromXml(objectsFile.RootElement());
    ASSERT_EQ(objects.Ranges().size(), 3u);
    EXPECT_EQ(objects.Ranges()[0].mFirst, 0);
    EXPECT_EQ(objects.Ranges()[0].mEnd, 2);
    EXPECT_EQ(objects.Sprites()[0].mX, 0);
    EXPECT_EQ(objects.Sprites()[0].mY, 5);
    EXPECT_EQ(objects.Sprites()[1].mX, -15);
    // Offsets beyond any screen are refused at load.
    EXPECT_EQ(objects.Sprites()[2].mX, 0);
    EXPECT_TRUE(LogHas("ERROR : <frame> hspotx=-2147483648 is outside -10000..10000"));
    EXPECT_TRUE(LogHas("ERROR : <sprite> ofsx=2147483647 is outside -10000..10000"));
    EXPECT_TRUE(LogHas("Objbase: Error loading frame"));
    EXPECT_TRUE(LogHas("Objbase: loaded 3 objects."));

    // The later object of a name takes it over.
    int32_t id = -1;
    ASSERT_TRUE(objects.FindObject("frame", &id));
    EXPECT_EQ(id, 2);
    objects.FetchObjectImages(0);
    objects.FetchObjectImages(9);
    EXPECT_EQ(App().mImageLoads, (std::vector<std::string>{"res\\borders.png"}));
}

} // namespace
