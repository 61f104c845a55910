#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CFieldDrawLink.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "tests/game/board/field/SampleField.h"

namespace {

// A curve that holds one value of its channels all along.
struct ConstantTrack {
    ConstantTrack(std::initializer_list<float> values)
    {
        mCurve.mChannels = int32_t(values.size());
        mCurve.mValues.insert(mCurve.mValues.end(), values);
        mCurve.mValues.insert(mCurve.mValues.end(), values);
        mTrack.mCurve = &mCurve;
    }
    CCurve mCurve;
    CAnimTrack mTrack;
};

struct FakeLink : CFieldDrawLink {
    const CAnimTrack* BonusFadeTrack() const override { return mFade; }
    int32_t ShadowPassCount() const override { return mPassCount; }
    void ShadowLevels(int32_t* l1, int32_t* l2, int32_t* l3) const override
    {
        *l1 = 10;
        *l2 = 20;
        *l3 = 30;
    }
    int32_t TakeShadowTurn() override { return std::exchange(mTurn, 0); }
    int32_t ShellPhase() const override { return mShellPhase; }
    const CAnimTrack* ShellTrack() const override { return mShellTrack; }
    BonusAppearance DescribeBonus(const BonusRecord&) const override { return mLook; }
    int32_t FieldBonusCount() const override { return 0; }
    CFieldBlock* FieldBonusBlock(int32_t) const override { return nullptr; }

    const CAnimTrack* mFade = nullptr;
    int32_t mPassCount = 1;
    int32_t mTurn = 0;
    int32_t mShellPhase = 1;
    const CAnimTrack* mShellTrack = nullptr;
    BonusAppearance mLook;
};

struct Draw {
    int32_t mCel;
    Lumo::Color mColour;
    int32_t mMode;
};

class CGameFieldDrawingTest : public BoardTest::SampleField {
protected:
    CGameFieldDrawingTest()
    {
        EXPECT_TRUE(LoadField(SampleText()));
        CGridParameters rules;
        rules.mBlockTypes = 4;
        rules.mMaxGroups = 4;
        EXPECT_TRUE(mField.Grid().SetParameters(rules));
        mField.SetDrawLink(&mLink);
    }

    std::vector<Draw> Draws(const GameTest::RecordingGraphics& g)
    {
        std::vector<Draw> draws;
        for (const GameTest::DrawOp& op : g.Ops())
            draws.push_back({op.mSrcRect.mX / 64, op.mColor, op.mDrawMode});
        return draws;
    }

    FakeLink mLink;
};

const Lumo::Color kWhite(255, 255, 255, 255);

} // namespace

// A block of colour 1 (cel 1) whose own sprite is the reserved one (cel 4),
// tinted by a highlight of (255, 127, 0, 102).
TEST_F(CGameFieldDrawingTest, DrawsABlockByItsLightLevelAndHighlight)
{
    struct Case {
        int32_t mLight;
        int32_t mMode;
        bool mHighlight;
        std::vector<Draw> mDraws;
    };
    const Lumo::Color c(255, 127, 0, 102);
    const Case cases[] = {
        {0, 0, false, {{1, kWhite, 0}}},
        {0, 0, true, {{1, c, 1}}},
        {0, 1, true, {{1, kWhite, 0}, {1, c, 1}}},
        {0, 2, true, {{1, kWhite, 0}, {4, c, 1}}},
        {0, 3, true, {{1, Lumo::Color(255, 127, 0, 153), 0}, {4, c, 1}}},
        {128, 0, false, {{1, kWhite, 0}, {4, Lumo::Color(255, 255, 255, 128), 0}}},
        {128, 1, true, {{1, kWhite, 0}, {1, c, 1}, {4, Lumo::Color(255, 255, 255, 128), 0}}},
        {255, 0, true, {{4, c, 0}}},
        {255, 1, true, {{4, kWhite, 0}}},
    };
    ConstantTrack highlight{1.0f, 0.5f, 0.0f, 0.4f};
    mField.Build(2, 2);
    CellRecord record = mField.Record(0);
    CFieldBlock* block = mField.AcquireBlock();
    block->mColour = 1;
    record.mBlock = block;
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "light " << k.mLight << " mode " << k.mMode << " " << k.mHighlight);
        block->mLightLevel = k.mLight;
        block->mHighlightMode = k.mMode;
        block->mHighlightTrack = k.mHighlight ? &highlight.mTrack : nullptr;
        GameTest::RecordingGraphics g;
        mField.DrawCellRecord(g.mGraphics, record, 400, 300, true);
        const std::vector<Draw> draws = Draws(g);
        ASSERT_EQ(draws.size(), k.mDraws.size());
        for (size_t i = 0; i < draws.size(); ++i) {
            EXPECT_EQ(draws[i].mCel, k.mDraws[i].mCel) << i;
            EXPECT_EQ(draws[i].mColour, k.mDraws[i].mColour) << i;
            EXPECT_EQ(draws[i].mMode, k.mDraws[i].mMode) << i;
        }
        EXPECT_EQ(g.Ops().front().mX, record.mScreenX + 400);
        EXPECT_FALSE(g.mGraphics.GetTintImages());
        EXPECT_EQ(g.mGraphics.GetDrawMode(), 0);
    }
}

// The ball landed on (3, 3) during the shadow ball's first pass.
TEST_F(CGameFieldDrawingTest, ShadowModeLightsTheLandingCellsNeighbourhood)
{
    mField.ResetForLevel();
    mField.ResetBlockStates(2);
    mField.SetExcludedCell(3, 3);
    const auto level = [&](int32_t c, int32_t r) { return mField.Record(r * 8 + c).mBlock->mLightLevel; };
    mField.Record(5 * 8 + 4).mBlock->mLightLevel = 230;
    mField.Record(0).mBlock->mLightLevel = 20;
    mLink.mTurn = 40;
    mField.StepShownBlocks();
    EXPECT_EQ(level(3, 3), 0);
    EXPECT_EQ(level(3, 2), 10);
    EXPECT_EQ(level(4, 3), 10);
    EXPECT_EQ(level(2, 2), 20);
    EXPECT_EQ(level(4, 4), 20);
    for (const auto& [c, r] : {std::pair{3, 1}, {1, 3}, {5, 3}, {3, 5}})
        EXPECT_EQ(level(c, r), 30);
    EXPECT_EQ(level(4, 5), 255);
    EXPECT_EQ(level(0, 0), 60);
    EXPECT_EQ(mLink.mTurn, 0);

    mLink.mPassCount = 2;
    mLink.mTurn = -80;
    mField.StepShownBlocks();
    EXPECT_EQ(level(3, 3), 0);
    EXPECT_EQ(level(3, 1), 0);
    EXPECT_EQ(level(4, 5), 175);
}

TEST_F(CGameFieldDrawingTest, ScalesAMovingImageAboutItsCornerOrTheOrigin)
{
    CImageRecord* picture = mImages.AddBlankRecord("picture", 40, 20, false);
    ASSERT_NE(picture, nullptr);
    mImages.PrepareRecord(picture);
    ConstantTrack scale{1.5f};
    PopupRecord record;
    record.mType = PopupRecord::kMovingImage;
    record.mSlot = picture->mFirstSlot;
    record.mX = 10;
    record.mY = 10;
    record.mScaleTrack = &scale.mTrack;
    const int32_t handle = mField.AddPopupRecord(record);
    PopupRecord hidden = record;
    hidden.mHidden = 1;
    mField.AddPopupRecord(hidden);
    mField.AddPopupRecord(PopupRecord{});

    for (uint8_t zoom : {0, 1}) {
        mField.Popup(handle).mZoomPosition = zoom;
        GameTest::RecordingGraphics g;
        mField.Draw(g.mGraphics, 400, 300);
        ASSERT_EQ(g.Ops().size(), 1u);
        EXPECT_EQ(g.Ops()[0].mOp, "BlitStretched");
        const int32_t corner = zoom ? 15 : 10;
        EXPECT_EQ(g.Ops()[0].mDestRect, (Lumo::Rect{400 + corner, 300 + corner, 60, 30}));
    }
    mField.RemovePopupRecord(handle);
    EXPECT_EQ(mField.AddPopupRecord(record), handle);
}

TEST_F(CGameFieldDrawingTest, ScorePopupsMoveWithTheirTrackAndFadeWithTheirColour)
{
    int32_t cel = -1;
    ASSERT_TRUE(mImages.FindByName("res\\blocks.png|3", &cel));
    ConstantTrack move{4.7f, -2.2f};
    ConstantTrack fade{1.0f, 1.0f, 1.0f, 0.5f};
    PopupRecord record;
    record.mType = PopupRecord::kScore;
    record.mSlot = cel;
    record.mX = 30;
    record.mY = 40;
    record.mMoveTrack = &move.mTrack;
    record.mColourTrack = &fade.mTrack;
    mField.AddPopupRecord(record);
    GameTest::RecordingGraphics g;
    mField.Draw(g.mGraphics, 400, 300);
    ASSERT_EQ(g.Ops().size(), 1u);
    EXPECT_EQ(g.Ops()[0].mX, 400 + 30 + 4);
    EXPECT_EQ(g.Ops()[0].mY, 300 + 40 - 2);
    EXPECT_EQ(g.Ops()[0].mSrcRect.mX, 2 * 64);
    EXPECT_EQ(g.Ops()[0].mColor, Lumo::Color(255, 255, 255, 127));
    EXPECT_FALSE(g.mGraphics.GetTintImages());
}

TEST_F(CGameFieldDrawingTest, ABonusInActionFadesWithTheProcessorsTrack)
{
    int32_t anim = -1;
    ASSERT_TRUE(mAnims.FindAnim("blk_c0", &anim));
    CAnimInstance* instance = mAnims.CreateInstance(anim, nullptr);
    ConstantTrack own{1.0f, 1.0f, 1.0f, 200.0f / 255.0f};
    ConstantTrack fade{0.5f};
    mLink.mLook.mAnim = instance;
    mLink.mLook.mColourTrack = &own.mTrack;
    mLink.mFade = &fade.mTrack;
    mField.Build(2, 2);
    CellRecord record = mField.Record(0);
    CFieldBlock* block = mField.AcquireBlock();
    record.mBlock = block;
    block->mBonus = reinterpret_cast<BonusRecord*>(&mLink);

    struct Case {
        bool mInAction;
        bool mVisible;
        int32_t mAlpha;
    };
    for (const Case& c : {Case{false, true, 200}, Case{true, true, 127}, Case{true, false, 127}}) {
        mField.Effects().mBonusInAction = c.mInAction;
        mLink.mLook.mVisible = c.mVisible;
        GameTest::RecordingGraphics g;
        mField.Draw(g.mGraphics, 0, 0);
        mField.DrawCellRecord(g.mGraphics, record, 0, 0, true);
        ASSERT_EQ(g.Ops().size(), 2u);
        EXPECT_EQ(g.Ops()[1].mColor.mAlpha, c.mAlpha);
    }
    mLink.mLook.mColourTrack = nullptr;
    mField.Effects().mBonusInAction = 0;
    GameTest::RecordingGraphics g;
    mField.DrawCellRecord(g.mGraphics, record, 0, 0, true);
    EXPECT_EQ(g.Ops()[1].mColor, kWhite);
}

// An L of two rows: the first row moves right by as much as the second row
// leans left, so the picture starts at x.
TEST_F(CGameFieldDrawingTest, DrawsAPieceMaskOnTheObliqueGrid)
{
    mField.Build(8, 8);
    const uint8_t mask[] = {1, 0, 1, 1};
    GameTest::RecordingGraphics g;
    mField.DrawPieceMask(2, 2, g.mGraphics, mask, 2, 100, 50);
    ASSERT_EQ(g.Ops().size(), 3u);
    const FieldPoint lean = mField.FieldToScreen({0.0f, mField.StepY()});
    const int32_t shift = -int32_t(lean.mX);
    EXPECT_EQ(shift, 25);
    EXPECT_EQ(g.Ops()[0].mX, 100 + shift);
    EXPECT_EQ(g.Ops()[0].mY, 50);
    EXPECT_EQ(g.Ops()[1].mX, 100 + int32_t(lean.mX) + shift);
    EXPECT_EQ(g.Ops()[1].mY, 50 + int32_t(lean.mY));
    EXPECT_EQ(g.Ops()[0].mSrcRect.mX, 2 * 64);
}

// The shell darkens the blocks it has not opened while it fades, and keeps
// the light levels while it acts.
TEST_F(CGameFieldDrawingTest, ShellModeDarkensTheBlocksItHasNotOpened)
{
    mField.ResetForLevel();
    mField.ResetBlockStates(3);
    CFieldBlock* opened = mField.Record(9).mBlock;
    opened->mShellState = 1;
    opened->mLightLevel = 17;
    ConstantTrack dark{0.5f};
    mLink.mShellTrack = &dark.mTrack;
    mLink.mShellPhase = 0;
    mField.StepShownBlocks();
    EXPECT_EQ(mField.Record(0).mBlock->mLightLevel, 127);
    EXPECT_EQ(opened->mLightLevel, 17);

    ConstantTrack light{1.0f};
    mLink.mShellTrack = &light.mTrack;
    mLink.mShellPhase = 1;
    mField.StepShownBlocks();
    EXPECT_EQ(mField.Record(0).mBlock->mLightLevel, 127);
    mLink.mShellPhase = 2;
    mField.StepShownBlocks();
    EXPECT_EQ(mField.Record(0).mBlock->mLightLevel, 255);
}

// While the randomize bonus runs, only the rings' blocks are drawn: each
// block's colour sprite (whatever its light level) where its ring puts it,
// the outer ring last.
TEST_F(CGameFieldDrawingTest, RandomizeModeDrawsTheRingsColourSprites)
{
    mField.ResetForLevel();
    CFieldBlock* first = mField.Record(mField.SpinElements()[0].mCell).mBlock;
    first->mLightLevel = 255;
    mField.ResetBlockStates(1);
    mField.UpdateSpinPoints();
    for (SpinRing& ring : mField.SpinRings())
        ring.mTrack->mRunning = 1;
    GameTest::RecordingGraphics g;
    mField.Draw(g.mGraphics, 400, 300);
    ASSERT_EQ(g.Ops().size(), 64u);
    const GameTest::DrawOp& last = g.Ops().back();
    EXPECT_EQ(last.mSrcRect.mX, 64 * first->mColour);
    EXPECT_EQ(last.mX, first->mDrawX + 400);
    EXPECT_EQ(g.Ops()[0].mSrcRect.mX % 64, 0);
    for (const GameTest::DrawOp& op : g.Ops())
        EXPECT_LT(op.mSrcRect.mX, 4 * 64);
}
