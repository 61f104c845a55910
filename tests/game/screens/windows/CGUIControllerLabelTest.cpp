#include "game/data/animation/CAnimTrack.h"

#include <algorithm>
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

namespace GUITest {
namespace {

// Slots 6 ("Points {}", normal) and 7 ("Total {}", big) belong to window 5.
class LabelTest : public GUIFixture {
protected:
    LabelTest()
    {
        Load(FixtureXml());
        mGui->OpenWindow(5, true);
    }

    GUILabel& Slot(int32_t slot) { return *mGui->Label(mGui->InfoLabelIndex(slot)); }

    std::vector<std::string> Texts()
    {
        RecordingGraphics g;
        for (auto& font : mHost.mFonts)
            font->mDraws.clear();
        mGui->DrawWindow(g.mGraphics);
        std::vector<std::string> texts;
        for (auto& font : mHost.mFonts)
            for (const auto& draw : font->mDraws)
                texts.push_back(draw.mText);
        return texts;
    }
};

TEST_F(LabelTest, CountingSpeedFollowsTheValueAgainstItsReference)
{
    // countspeed_max 0.5, countspeed_min 0.1: small values count fast, large ones slowly.
    const struct {
        int32_t value, reference;
        float speed;
    } cases[] = {{5, 1000, 0.5f}, {500, 1000, 0.3f}, {1000, 1000, 0.1f}, {4000, 1000, 0.1f}, {-500, 1000, 0.3f},
                 {7, 0, 0.3f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        mGui->StartCountUp(6, c.value, c.reference, 0, 1);
        ASSERT_NE(Slot(6).mTrack, nullptr);
        EXPECT_NEAR(Slot(6).mTrack->mSpeed, c.speed, 1e-6);
        EXPECT_TRUE(Slot(6).Has(GUILabel::kCounting));
    }
}

TEST_F(LabelTest, ACountShowsTheValueReachedAndRunsItsFollowUpAtTheEnd)
{
    mGui->StartCountUp(6, 1000, 1000, 3, 1);
    EXPECT_EQ(Slot(6).mText, "Points 0");
    Step(5);
    const std::vector<std::string> texts = Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Points 500"), texts.end());
    EXPECT_EQ(Slot(6).mHalfWidthOrGroup, 50);
    EXPECT_TRUE(mSpy.mCalls.empty());
    Step(5);
    EXPECT_EQ(Slot(6).mText, "Points 1000");
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"popup 3"});
    EXPECT_EQ(Slot(6).mTrack, nullptr);
    EXPECT_FALSE(Slot(6).Has(GUILabel::kCounting));

    // A value of 0 ends at once, follow-up included.
    mSpy.mCalls.clear();
    mGui->StartCountUp(7, 0, 1000, 4, 1);
    EXPECT_EQ(Slot(7).mText, "Total 0");
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"popup 4"});
}

TEST_F(LabelTest, AZoomAfterCountingDrawsTheLabelScaledThroughTheZoomImage)
{
    mGui->StartCountUp(7, 100, 100, 0, 3);
    Step(10);
    EXPECT_TRUE(Slot(7).Has(GUILabel::kZoomPhase));
    Step(2);
    RecordingGraphics g;
    mGui->DrawWindow(g.mGraphics);
    const auto stretched = std::find_if(g.Ops().begin(), g.Ops().end(),
                                        [](const GameTest::DrawOp& op) { return op.mOp == "BlitStretched"; });
    ASSERT_NE(stretched, g.Ops().end());
    // Half-way through the zoom: about "maxzoom" (1.6) times the 320 x 64 zoom image, centred on the label.
    EXPECT_NEAR(stretched->mDestRect.mWidth, 512, 4);
    EXPECT_NEAR(stretched->mDestRect.mX + stretched->mDestRect.mWidth / 2, 400, 1);
    Step(4);
    EXPECT_FALSE(Slot(7).Has(GUILabel::kZoomPhase));
    EXPECT_EQ(Slot(7).mTrack, nullptr);

    // Mode 0 shows the value at once and holds it for a stay phase.
    mGui->StartCountUp(7, 42, 100, 0, 0);
    EXPECT_EQ(Slot(7).mText, "Total 42");
    EXPECT_TRUE(Slot(7).Has(GUILabel::kZoomPhase));
}

TEST_F(LabelTest, SkippingFinishesEveryCountOfTheWindow)
{
    mGui->StartCountUp(6, 300, 1000, 2, 1);
    mGui->StartCountUp(7, 900, 1000, 0, 3);
    Step(1);
    EXPECT_TRUE(mGui->SkipCountUps());
    EXPECT_EQ(Slot(6).mText, "Points 300");
    EXPECT_EQ(Slot(7).mText, "Total 900");
    EXPECT_EQ(Slot(7).mTrack, nullptr);
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"popup 2"});
    EXPECT_FALSE(mGui->SkipCountUps());
    // Later counts run again.
    mGui->StartCountUp(6, 300, 1000, 0, 1);
    EXPECT_TRUE(Slot(6).Has(GUILabel::kCounting));
    // Leaving the window stops its counts without their follow-ups.
    mGui->CloseWindow(false);
    Step(20);
    EXPECT_EQ(Slot(6).mTrack, nullptr);
    EXPECT_EQ(mSpy.mCalls.size(), 2u);
}

TEST_F(LabelTest, ValuesAndTextsFillLabelsOfEveryKind)
{
    mGui->OpenWindow(0, true);
    const GUIWindow& window = *mGui->Window(0);
    const int32_t group = window.mFirstInfoLabel + 1;
    const int32_t random = window.mFirstInfoLabel + 2;
    mGui->SetLabelValue(group, 1);
    EXPECT_EQ(mGui->Label(group)->mHalfWidthOrGroup, 1);
    // Values outside the group's count are reported and kept inside it.
    for (int32_t value : {2, -1}) {
        mGui->SetLabelValue(group, value);
        EXPECT_TRUE(LogHas("WARNING groupcount missing for label id " + std::to_string(group)));
        EXPECT_GE(mGui->Label(group)->mHalfWidthOrGroup, 0);
        EXPECT_LT(mGui->Label(group)->mHalfWidthOrGroup, 2);
    }
    for (int i = 0; i < 20; ++i) {
        mGui->SetLabelValue(random, 0);
        const int32_t picked = mGui->Label(random)->mHalfWidthOrGroup;
        EXPECT_TRUE(picked == 2 || picked == 3);
    }
    mGui->SetLabelValue(random, 1);
    EXPECT_TRUE(LogHas("WARNING groupcount missing for randomgroup id 0"));

    mGui->SetLabelValue(mGui->InfoLabelIndex(0), 12);
    EXPECT_EQ(Slot(0).mText, "Level 12");
    mGui->SetInfoLabelText(0, "Ten");
    EXPECT_EQ(Slot(0).mText, "Level Ten");
    // "big" is 20 pixels a character: centred text moves with its width.
    EXPECT_EQ(Slot(0).mHalfWidthOrGroup, 90);
    mGui->ClearLabelText(0);
    EXPECT_EQ(Slot(0).mText, "");
    mGui->SetLabelValue(group, 1);
    const std::vector<std::string> texts = Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Novice"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Expert"), 1);
}

} // namespace
} // namespace GUITest
