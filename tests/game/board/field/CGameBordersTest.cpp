#include "game/board/field/CGameBorders.h"
#include "tests/game/board/field/SampleField.h"

namespace {

class CGameBordersTest : public BoardTest::SampleField {};

} // namespace

TEST_F(CGameBordersTest, AFailedBorderGivesItsIndexToTheNext)
{
    TiXmlDocument document;
    document.Parse("<root><gameborder beforecells=\"plate_a\" aftercells=\"rim\"/>"
                   "<gameborder beforecells=\"plate_a\" aftercells=\"nothing\"/>"
                   "<gameborder beforecells=\"plate_b\" aftercells=\"rim\"/></root>");
    CGameBorders borders;
    borders.LoadFromXml(document.RootElement(), mObjects);
    ASSERT_EQ(borders.Count(), 2u);
    int32_t plateB = -1, rim = -1;
    ASSERT_TRUE(mObjects.FindObject("plate_b", &plateB));
    ASSERT_TRUE(mObjects.FindObject("rim", &rim));
    EXPECT_EQ(borders.Get(1)->mBeforeCells, plateB);
    EXPECT_EQ(borders.Get(1)->mAfterCells, rim);
    EXPECT_EQ(borders.Get(2), nullptr);
    EXPECT_TRUE(LogHas("error loading border id=1"));

    borders.LoadFromXml(Root("gameborders.xml"), mObjects);
    EXPECT_EQ(borders.Count(), 2u);
}
