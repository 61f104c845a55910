#include "framework/widgets/ScrollbuttonWidget.h"
#include "game/screens/windows/CGUIScrollbar.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

namespace GUITest {
namespace {

// The player list's bar: 16 x 172, arrows 16 high, 140 of track between them; 6 rows.
class ScrollbarTest : public GUIFixture {
protected:
    ScrollbarTest()
    {
        Load(FixtureXml());
        mGui->OpenWindow(17, true);
        mBar = mGui->ListBox(0)->mScrollbar.get();
    }

    CGUIScrollbar* mBar = nullptr;
};

TEST_F(ScrollbarTest, ThumbPositionAndValueMapBothWays)
{
    EXPECT_EQ(mBar->mUpButton->mHeight, 16);
    EXPECT_EQ(mBar->mDownButton->mY, 172 - 16);
    const struct {
        int32_t lines;
        double position;
        int thumbOffset;
        int dragTo;
        double positionAfter;
    } cases[] = {
        // 10 lines, 6 shown: thumb 84 of 140; 56 pixels of travel for 4 lines.
        {10, 0.0, 16, 16 + 28, 2.0},
        {10, 4.0, 16 + 56, 16 + 56 + 100, 4.0},
        {10, 1.0, 16 + 14, 0, 0.0},
        // The thumb fills the track: nothing to map, the list stays at its start.
        {6, 0.0, 16, 40, 0.0},
        {3, 0.0, 16, 40, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        mGui->SetListCount(c.lines);
        mGui->SetListScroll(0, int32_t(c.position));
        EXPECT_EQ(mBar->ThumbOffset(), c.thumbOffset);
        mBar->SetThumbOffset(c.dragTo);
        EXPECT_DOUBLE_EQ(mBar->mPosition, c.positionAfter);
        // The scroll bar's position is the list's first visible line.
        EXPECT_EQ(mGui->ListBox(0)->mFirstVisible, int32_t(c.positionAfter));
    }
}

TEST_F(ScrollbarTest, DrawsTheRailAndAThumbOfThreePieces)
{
    mGui->SetListCount(10);
    mGui->SetListScroll(0, 0);
    RecordingGraphics g;
    mBar->Draw(g.mGraphics);
    const std::vector<GameTest::DrawOp>& ops = g.Ops();
    // Rail below the up arrow, thumb top (4), middle pieces of 8 up to 4 above the end, thumb bottom.
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[0].mY, 16);
    EXPECT_EQ(ops[0].mSrcRect.mHeight, 140);
    EXPECT_EQ(ops[1].mY, 16);
    EXPECT_EQ(ops[1].mSrcRect.mHeight, 4);
    const int thumbEnd = 16 + 84;
    EXPECT_EQ(ops.back().mY, thumbEnd - 4);
    int covered = 0;
    for (size_t i = 2; i + 1 < ops.size(); ++i)
        covered += ops[i].mSrcRect.mHeight;
    EXPECT_EQ(covered, 84 - 8);
    // A list that fits has no thumb.
    mGui->SetListCount(2);
    RecordingGraphics fits;
    mBar->Draw(fits.mGraphics);
    EXPECT_EQ(fits.Ops().size(), 1u);
}

} // namespace
} // namespace GUITest
