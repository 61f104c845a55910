#include "game/board/field/CFieldBase.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

class CFieldBaseTest : public GameTest::GameFixture {
protected:
    void Load(const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        mShapes.LoadFromXml(document.RootElement());
    }
    CFieldBase mShapes;
};

} // namespace

TEST_F(CFieldBaseTest, KeepsEveryShapesColoursInOneList)
{
    Load("<root><field name=\"a\" w=\"3\" h=\"2\">1,2,3;0 1 2</field>"
         "<field name=\"b\" w=\"2\" h=\"2\">3,3,3,3</field>"
         "<field name=\"a\" w=\"1\" h=\"1\">2</field></root>");
    EXPECT_EQ(mShapes.Colours().size(), 11u);
    ASSERT_EQ(mShapes.ShapeCount(), 3u);
    EXPECT_EQ(mShapes.Shape(1)->mStart, 6);
    EXPECT_EQ(mShapes.Shape(1)->mCount, 4);
    EXPECT_EQ(mShapes.Colour(*mShapes.Shape(0), 4), 1);
    int32_t index = -1;
    ASSERT_TRUE(mShapes.FindShape("a", &index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(mShapes.FindShape("c", &index));
    EXPECT_EQ(mShapes.Shape(3), nullptr);
}

TEST_F(CFieldBaseTest, LeavesOutShapesItCannotBuild)
{
    Load("<root><field name=\"short\" w=\"2\" h=\"2\">1,2,3</field>"
         "<field name=\"empty\" w=\"2\" h=\"1\"/>"
         "<field name=\"colour\" w=\"2\" h=\"1\">1,16</field>"
         "<field name=\"negative\" w=\"-1\" h=\"-1\">1</field>"
         "<field name=\"good\" w=\"1\" h=\"2\">0,1</field></root>");
    ASSERT_EQ(mShapes.ShapeCount(), 1u);
    int32_t index = -1;
    ASSERT_TRUE(mShapes.FindShape("good", &index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(mShapes.FindShape("short", &index));
    EXPECT_TRUE(LogHas("ERROR field 'short' left out: a colour count other than w x h"));
}
