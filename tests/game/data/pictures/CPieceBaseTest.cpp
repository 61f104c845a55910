#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CPieceBase.h"

#include "framework/graphics/images/MemoryImage.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

uint16_t Bits(std::initializer_list<int> bits)
{
    uint16_t mask = 0;
    for (int bit : bits)
        mask |= uint16_t(1 << bit);
    return mask;
}

class CPieceBaseTest : public GameTest::GameFixture {
protected:
    void Load(const std::string& pieces)
    {
        TiXmlDocument images;
        images.Parse("<root><img src=\"res\\piece.png\" start=\"1\" end=\"2\" w=\"20\" h=\"20\" dx=\"20\" dy=\"0\"/>"
                     "</root>");
        mImages.LoadFromXml(images.RootElement());
        TiXmlBase::SetCondenseWhiteSpace(false);
        TiXmlDocument document;
        document.Parse(("<root><piece_sprites><sprite src=\"res\\piece.png|1\"/><sprite src=\"nothing\"/>"
                        "<sprite src=\"res\\piece.png|2\"/></piece_sprites>" +
                        pieces + "</root>")
                           .c_str());
        mPieces.LoadFromXml(document.RootElement());
    }

    const CPiece& Piece(const std::string& name)
    {
        int32_t index = -1;
        EXPECT_TRUE(mPieces.FindPiece(name, &index)) << name;
        return mPieces.Pieces()[size_t(index)];
    }

    CImageTable mImages{&App()};
    CPieceBase mPieces{mImages};
};

TEST_F(CPieceBaseTest, ReadsShapesWithTheirSizeAndTurns)
{
    Load("<piece name=\"L\">0,1,0,0|0,1,0,0|0,1,1,0</piece>"
         "<piece name=\"lines\">0 1\n1,1,2,0,1\r\n0,0,0,1\r\n1</piece>"
         "<piece name=\"\">1</piece>"
         "<piece name=\"empty\"><b/></piece>"
         "<piece name=\"none\">0|0</piece>");
    EXPECT_EQ(mPieces.Sprites().size(), 2u);
    EXPECT_TRUE(LogHas("ERROR CPieceBase - bad sprite data"));
    EXPECT_TRUE(LogHas("ERROR CPieceBase - wrong piece name"));
    EXPECT_TRUE(LogHas("ERROR CPieceBase - no piece definition"));
    EXPECT_EQ(mPieces.CellSize(), 20);
    EXPECT_EQ(mPieces.PreviewWidth(), 84);

    const CPiece& l = Piece("L");
    EXPECT_EQ(l.mMask, Bits({1, 5, 9, 10}));
    EXPECT_EQ(l.mCellCount, 4);
    EXPECT_EQ(l.mWidth, 63);
    EXPECT_EQ(l.mHeight, 63);
    EXPECT_EQ(l.mCenterX, 31);
    EXPECT_EQ(l.mRotations[0], Bits({2, 4, 5, 6}));
    EXPECT_EQ(l.mRotations[1], CPieceBase::Turn(l.mRotations[0]));
    EXPECT_EQ(CPieceBase::Turn(0), 0);

    // Rows end at "|", a line feed, or a carriage return with its line feed;
    // only the first four numbers count, and only a 1 sets a cell.
    const CPiece& lines = Piece("lines");
    EXPECT_EQ(lines.mMask, Bits({1, 4, 5, 11, 12}));
    EXPECT_EQ(lines.mHeight, 4 * 21);

    EXPECT_EQ(Piece("none").mWidth, 0);
    EXPECT_EQ(Piece("none").mCellCount, 0);
}

TEST_F(CPieceBaseTest, TurnsAreQuarterTurnsOfPackedShapes)
{
    struct Case {
        uint16_t mask;
        uint16_t turned;
    };
    const Case cases[] = {
        {Bits({0, 1, 2, 3}), Bits({0, 4, 8, 12})},
        {Bits({0, 4, 8, 12}), Bits({0, 1, 2, 3})},
        {Bits({0}), Bits({0})},
        {Bits({0, 1, 4}), Bits({0, 4, 5})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPieceBase::Turn(c.mask), c.turned) << c.mask;
    const uint16_t s = Bits({1, 2, 4, 5});
    EXPECT_EQ(CPieceBase::Turn(CPieceBase::Turn(CPieceBase::Turn(CPieceBase::Turn(s)))), s);
}

TEST_F(CPieceBaseTest, DrawsThePieceCentredInThePreview)
{
    App().AddImage("res\\piece.png", 40, 20, 0xFF0000FFu);
    Load("<piece name=\"L\">0,1,0,0|0,1,0,0|0,1,1,0</piece>");
    mImages.FetchImage(mImages.Record(0));
    mPieces.DrawSprite(0, 1);
    Lumo::MemoryImage* preview = mPieces.Image();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetWidth(), 84);
    // Cell (0, 1) lands at x = 21 + (42 - 31), y = 0 + (42 - 31).
    const uint32_t* bits = preview->GetPixelBits();
    EXPECT_NE(bits[11 * 84 + 32], 0u);
    EXPECT_EQ(bits[11 * 84 + 31], 0u);
    EXPECT_EQ(bits[0], 0u);
    EXPECT_EQ(mPieces.LastRendered().mMask, Bits({1, 5, 9, 10}));

    // Drawing another shape clears the last one first.
    mPieces.DrawSprite(0, 5);
    mPieces.DrawSprite(7, 0);
    EXPECT_NE(preview->GetPixelBits()[11 * 84 + 32], 0u);
}

} // namespace
