#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/field/CFieldBlock.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/board/field/SampleField.h"

namespace {

// The masked composition may round each channel by a step or two.
bool Near(uint32_t pixel, uint32_t expected)
{
    for (int32_t shift = 0; shift < 32; shift += 8) {
        const int32_t a = int32_t((pixel >> shift) & 0xFF);
        const int32_t b = int32_t((expected >> shift) & 0xFF);
        if (std::abs(a - b) > 3)
            return false;
    }
    return true;
}

class CGameFieldLoadingTest : public BoardTest::SampleField {
protected:
    std::string Sample(const std::string& from, const std::string& to)
    {
        std::string text = SampleText();
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    }
};

CGridParameters Rules()
{
    CGridParameters p;
    p.mBlockTypes = 4;
    p.mMinGroups = 1;
    p.mMaxGroups = 6;
    p.mGenerationsPerTurn = 2;
    p.mMaxGroupSize = 8;
    p.mPreventAutoCombo = 1;
    return p;
}

} // namespace

// The sample field loads, fills at random, takes its matched groups, shifts
// its lines, colours the new blocks and draws every cell.
TEST_F(CGameFieldLoadingTest, SampleFieldFillsMatchesShiftsAndDraws)
{
    ASSERT_TRUE(LoadField(SampleText()));
    EXPECT_TRUE(LogHas("Loaded 5 blocks."));
    EXPECT_EQ(mField.Speed(), 1.0f);
    EXPECT_EQ(mField.ReservedColour(), 4);
    EXPECT_EQ(mField.Grid().MatchCount(), 3);
    EXPECT_EQ(mField.QueueControllers().size(), 4u);
    EXPECT_EQ(mField.BlockDefs()[0].mColour, Lumo::Color(220, 70, 60, 255));
    ASSERT_TRUE(mField.Grid().SetParameters(Rules()));
    mField.ResetForLevel();
    ASSERT_EQ(mField.CellCount(), 64);
    EXPECT_NEAR(mField.CellEdgeX(), 44.72f, 0.01f);
    EXPECT_NEAR(mField.CellEdgeY(), 26.83f, 0.01f);
    EXPECT_NEAR(mField.StepX(), 46.72f, 0.01f);
    EXPECT_NEAR(mField.StepY(), 28.83f, 0.01f);
    EXPECT_EQ(mField.SpinRings().size(), 4u);
    for (int32_t cell = 0; cell < 64; ++cell) {
        const CFieldBlock* block = mField.Record(cell).mBlock;
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->mColour, CCellGrid::ColourOf(mField.Grid().Cell(cell)));
        EXPECT_LT(block->mColour, 4);
    }
    BoardTest::ExpectGroupsAreRegions(mField.Grid(), 4, "filled");

    GameTest::RecordingGraphics g;
    mField.Draw(g.mGraphics, 400, 300);
    ASSERT_EQ(g.Ops().size(), 64u);
    for (int32_t cell = 0; cell < 64; ++cell) {
        const GameTest::DrawOp& op = g.Ops()[size_t(cell)];
        EXPECT_EQ(op.mOp, "Blit");
        EXPECT_EQ(op.mX, mField.Record(cell).mScreenX + 400);
        EXPECT_EQ(op.mY, mField.Record(cell).mScreenY + 300);
        EXPECT_EQ(op.mSrcRect.mX, 64 * mField.Record(cell).mBlock->mColour);
    }

    CCellGrid& grid = mField.Grid();
    grid.CollectMatchedGroups();
    int32_t taken = 0;
    for (const GroupRecord& group : grid.MatchedGroupList())
        for (int32_t cell : group.mMembers) {
            grid.Cell(cell) &= ~CCellGrid::kOccupied;
            ++taken;
        }
    mField.SetExcludedCell(3, 3);
    grid.UpdateQueue();
    std::vector<MoveRecord> moves;
    std::vector<CFieldBlock*> blocks;
    for (int32_t line = 0; line < grid.LineCount(); ++line)
        grid.ShiftQueue(line, &moves, &blocks);
    EXPECT_EQ(int32_t(blocks.size()), taken);
    grid.MarkPlacedBlocks(blocks);
    for (int32_t cell = 0; cell < 64; ++cell)
        ASSERT_TRUE(CCellGrid::IsOccupied(grid.Cell(cell)));
    BoardTest::ExpectGroupsAreRegions(grid, 4, "stepped");
}

TEST_F(CGameFieldLoadingTest, ReadsAttributesWithTheirDefaults)
{
    ASSERT_TRUE(LoadField(Sample(" speed=\"1.0\"", "")));
    EXPECT_EQ(mField.Speed(), 1.0f);
    // An empty speed reads as 0, which would stop the board: refused, the default stays.
    ASSERT_TRUE(LoadField(Sample(" speed=\"1.0\"", " speed=\"\"")));
    EXPECT_EQ(mField.Speed(), 1.0f);
    ASSERT_TRUE(LoadField(Sample(" color=\"70,170,80\"", "")));
    EXPECT_EQ(mField.BlockDefs()[1].mColour, Lumo::Color(255, 255, 255, 255));
    EXPECT_EQ(mField.BlockDefs()[2].mColour, Lumo::Color(70, 120, 230, 255));
}

// The stencil scratch holds a whole entering block of a sprite larger than 80 x 40.
TEST_F(CGameFieldLoadingTest, SizesTheStencilScratchToTheBlockSprite)
{
    ASSERT_TRUE(LoadField(SampleText()));
    EXPECT_EQ(mField.StencilScratch()->GetWidth(), 80);
    EXPECT_EQ(mField.StencilScratch()->GetHeight(), 40);
    ASSERT_TRUE(LoadField(Sample("<block w=\"64\" h=\"40\"", "<block w=\"96\" h=\"48\"")));
    EXPECT_EQ(mField.StencilScratch()->GetWidth(), 96);
    EXPECT_EQ(mField.StencilScratch()->GetHeight(), 48);
}

TEST_F(CGameFieldLoadingTest, EndsTheBlockListAtTheFirstFailedBlock)
{
    ASSERT_TRUE(LoadField(Sample("res\\blocks.png|3", "res\\none.png|3")));
    EXPECT_TRUE(LogHas("Failed to load block: 'res\\none.png|3'"));
    EXPECT_TRUE(LogHas("Loaded 2 blocks."));
    EXPECT_EQ(mField.ReservedColour(), 1);

    std::string many = SampleText();
    const size_t open = many.find("<blocks>") + 8;
    const std::string list = many.substr(open, many.find("</blocks>") - open);
    many.insert(open, list + list + list);
    ASSERT_TRUE(LoadField(many));
    EXPECT_TRUE(LogHas("WARNING! Too many colors"));
    EXPECT_EQ(mField.BlockDefs().size(), 16u);
    EXPECT_EQ(mField.ReservedColour(), 15);
    EXPECT_EQ(mField.Grid().ColourCount(), 16);
}

TEST_F(CGameFieldLoadingTest, RefusesAFieldThatCannotBePlayed)
{
    struct Case {
        const char* mFrom;
        const char* mTo;
        const char* mLog;
    };
    const Case cases[] = {
        {"<block w=", "<shape w=", "ERROR CGameField::LoadFromXml - no block"},
        {"<block_queues", "<queues", "ERROR CGameField::LoadFromXml - no block_queues"},
        // One missing hover animation fails every block definition.
        {"endhover_anim=\"hover_end\"", "endhover_anim=\"gone\"", "ERROR CGameField::LoadFromXml - no block definition"},
        {"matchcount=\"3\"", "matchcount=\"1\"", "ERROR CGameField::LoadFromXml - matchcount below 2"},
        {"<queue_controller up=\"q_up\" down=\"q_down\" R=\"30\" ", "<queue_controller up=\"q_up\" down=\"q_gone\" R=\"30\" ",
         "ERROR CGameField::LoadFromXml - 0 queue controllers for 4 rings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mFrom);
        EXPECT_FALSE(LoadField(Sample(c.mFrom, c.mTo)));
        EXPECT_TRUE(LogHas(c.mLog)) << LogText();
    }
}

// A block entering from below (shift up) half a cell out of its target
// cell shows only where the stencil, placed at the direction's offset from
// the target cell, is white; with the arrival flag clear it shows whole.
TEST_F(CGameFieldLoadingTest, AnEnteringBlockIsCutByItsStencil)
{
    ASSERT_TRUE(LoadField(SampleText()));
    ASSERT_TRUE(mField.Grid().SetParameters(Rules()));
    mField.ResetForLevel();
    ASSERT_EQ(mField.Grid().Direction(), 0);
    ASSERT_EQ(mField.StencilOffsetX(), -40);
    ASSERT_EQ(mField.StencilOffsetY(), -40);
    CellRecord record = mField.Record(7 * 8 + 2);
    CFieldBlock* block = record.mBlock;
    block->mColour = 2;
    record.mBlock = nullptr;
    record.mArriving = block;
    record.mArrivingX = record.mScreenX;
    record.mArrivingY = record.mScreenY + 20;

    Lumo::MemoryImage screen;
    screen.SetSize(800, 600);
    screen.Clear();
    Lumo::Graphics g(&screen);
    const int32_t left = record.mArrivingX + 400;
    const int32_t top = record.mArrivingY + 300;
    for (int32_t flag : {1, 0}) {
        SCOPED_TRACE(flag);
        screen.Clear();
        record.mArrival = uint8_t(flag);
        mField.DrawCellRecord(g, record, 400, 300, false);
        const uint32_t* pixels = screen.GetPixelBits();
        int32_t shown = 0;
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                // The stencil pixel under scratch pixel (x, y): offset minus the arrival's 20 px drop.
                const int32_t sx = x + 40;
                const int32_t sy = y + 60;
                const bool white = sy < 128 && 2 * sy < 192 - std::abs(sx - 128);
                const uint32_t pixel = pixels[(top + y) * 800 + left + x];
                const bool visible = flag == 0 || white;
                ASSERT_TRUE(Near(pixel, visible ? CelColour(2) : 0u)) << x << "," << y << " " << std::hex << pixel;
                shown += visible;
            }
        EXPECT_EQ(shown > 0 && shown < 64 * 40, flag == 1);
    }
    // Worked points: (60, 10) lies inside the stencil's left arm, (10, 10) below it.
    screen.Clear();
    record.mArrival = 1;
    mField.DrawCellRecord(g, record, 400, 300, false);
    EXPECT_TRUE(Near(screen.GetPixelBits()[(top + 10) * 800 + left + 60], CelColour(2)));
    EXPECT_EQ(screen.GetPixelBits()[(top + 10) * 800 + left + 10], 0u);
}
