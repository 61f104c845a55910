#include "game/data/animation/CAnimTrack.h"
#include "game/screens/windows/CSlotPanel.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

namespace GUITest {
namespace {

// Glyphs of 72 x 72 at x 170 + 94 i, y 250; the hint 100 below; stage names as hints.
class SlotPanelTest : public GUIFixture {
protected:
    SlotPanelTest()
    {
        // A glyph with transparent corners: the first pixel row and column see-through.
        for (int i = 1; i <= 5; ++i) {
            int32_t slot = 0;
            mHost.FindImage("stage" + std::to_string(i), &slot);
            uint32_t* bits = mHost.mImages[size_t(slot)]->GetPixelBits();
            for (int x = 0; x < 72; ++x)
                bits[x] = 0x0AFFFFFF;
            for (int y = 0; y < 72; ++y)
                bits[y * 72] = 0x00FFFFFF;
        }
        Load(FixtureXml());
        mPanel = std::make_unique<CSlotPanel>(mGui.get());
        mGui->mSlotPanel = mPanel.get();
    }

    std::unique_ptr<CSlotPanel> mPanel;
};

TEST_F(SlotPanelTest, OnlyOpenedStagesAreUsableAndTheOthersDimmed)
{
    const struct {
        int32_t count, usable;
    } cases[] = {{7, 5}, {2, 2}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        mGui->OpenWindow(GUIWindowId::kStageSelect, true);
        mPanel->SetUp(c.count);
        EXPECT_EQ(mPanel->Count(), c.usable);
        EXPECT_EQ(mGui->Label(mGui->InfoLabelIndex(39))->mText, "Slot 0");
        RecordingGraphics g;
        mPanel->Draw(g.mGraphics, 255);
        // The selected slot's highlight, then the five glyphs.
        ASSERT_EQ(g.Ops().size(), (c.usable > 0 ? 1u : 0u) + 5u);
        for (int32_t i = 0; i < 5; ++i) {
            const GameTest::DrawOp& op = g.Ops()[g.Ops().size() - 5 + size_t(i)];
            EXPECT_EQ(op.mX, 170 + 94 * i);
            EXPECT_EQ(op.mColor.mAlpha, i < c.usable ? 255 : 102);
        }
        for (int32_t i = 0; i < 5; ++i)
            EXPECT_EQ(mPanel->SlotHit(i, 170 + 94 * i + 30, 280), i < c.usable) << i;
        mPanel->Release();
    }
}

TEST_F(SlotPanelTest, HoverFadesAHintInAndAClickSelectsTheSlot)
{
    mGui->OpenWindow(GUIWindowId::kStageSelect, true);
    mPanel->SetUp(3);
    // Transparent pixels (alpha below 11) hover nothing.
    mGui->OnPointerMove(264, 260);
    mGui->OnPointerMove(264 + 10, 250);
    EXPECT_EQ(mPanel->HoveredSlot(), -1);
    mGui->OnPointerMove(264 + 10, 260);
    EXPECT_EQ(mPanel->HoveredSlot(), 1);
    Step(2);
    RecordingGraphics g;
    mPanel->Draw(g.mGraphics, 255);
    ASSERT_EQ(mHost.mFonts[0]->mDraws.size(), 1u);
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mText, "Dunes");
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mX, 264);
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mY, 350);
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mColor.mAlpha, 127);

    App().mSoundsPlayed.clear();
    mGui->OnPointerDown(264 + 10, 260, false);
    EXPECT_EQ(mPanel->mSelected, 1);
    EXPECT_EQ(mGui->Label(mGui->InfoLabelIndex(39))->mText, "Slot 1");
    EXPECT_EQ(App().mSoundsPlayed, std::vector<int>{21});

    // Leaving fades the hint out from where it was; the finished track tells the handler.
    mGui->OnPointerMove(10, 10);
    EXPECT_EQ(mPanel->HoveredSlot(), -1);
    EXPECT_TRUE(mPanel->FadingOut());
    EXPECT_NEAR(mPanel->HintTrack()->mTime, 0.5f, 1e-6);
    Step(2);
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"action 11"});
    mPanel->Release();
    EXPECT_EQ(mPanel->HintTrack(), nullptr);
    EXPECT_EQ(mHost.mReleased.size(), 5u);
}

} // namespace
} // namespace GUITest
