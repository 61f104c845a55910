#include "tests/game/board/play/ProcessorFixture.h"

#include "game/board/field/CFieldBlock.h"
#include "game/data/animation/CAnimPlayer.h"
#include "tests/game/board/field/FieldPicture.h"
#include "game/data/CGameConfig.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace BoardTest {

int32_t RecordingLevel::Count(const std::string& call) const
{
    return int32_t(std::count(mCalls.begin(), mCalls.end(), call));
}

ProcessorFixture::ProcessorFixture()
    : mProcessor(ProcessorLinks{&App(), &mField, &mBall, &mTracks, &mImages, &mAnims, &mLevel, &mHost, nullptr})
{
    mSceneObjects.LoadFromXml(Root("sceneobjects.xml"));
    EXPECT_TRUE(LoadField(SampleText()));
    mField.ResetForLevel();
    EXPECT_TRUE(LoadGameConfig(Root("globals.xml"), mTracks, mAnims, mImages));
    EXPECT_TRUE(LoadHudControls(
        [](const std::string&) -> Lumo::Font* { return new GameTest::FixedWidthFont(8, 8, 10); }, mTracks, mAnims,
        mImages));
    mBall.LoadFromXml(Root("balls.xml"));
    mBall.SetBallIndex(0);
    mProcessor.Init();
}

ProcessorFixture::~ProcessorFixture()
{
    mProcessor.Shutdown();
    FreeHudControls();
    CGameConfig::parsed = CGameConfig::Values();
    CGameConfig::live = CGameConfig::Values();
    CGameConfig::names = CGameConfig::Names();
    CGameConfig::HudControlsLoaded = false;
}

const TiXmlElement* ProcessorFixture::Parse(const std::string& xml)
{
    mDocuments.emplace_back();
    mDocuments.back().Parse(xml.c_str());
    return mDocuments.back().RootElement();
}

void ProcessorFixture::Frames(int32_t n, float dt)
{
    for (int32_t i = 0; i < n; ++i)
        mProcessor.DispatchFinished(dt);
}

void ProcessorFixture::SetRules()
{
    CGridParameters rules;
    rules.mBlockTypes = 4;
    rules.mMaxGroups = 6;
    rules.mGenerationsPerTurn = 1;
    rules.mMaxGroupSize = 8;
    EXPECT_TRUE(mField.Grid().SetParameters(rules));
}

void ProcessorFixture::ExpectFieldConsistent()
{
    for (int32_t cell = 0; cell < mField.CellCount(); ++cell) {
        const CFieldBlock* block = mField.Record(cell).mBlock;
        ASSERT_NE(block, nullptr) << cell;
        EXPECT_EQ(block->mRow * mField.Width() + block->mColumn, cell);
        EXPECT_TRUE(CCellGrid::IsOccupied(mField.Grid().Cell(cell)));
        EXPECT_EQ(block->mColour, CCellGrid::ColourOf(mField.Grid().Cell(cell))) << cell;
        EXPECT_EQ(block->mMotionTrack, nullptr);
        EXPECT_EQ(mField.Record(cell).mLeaving, nullptr);
        EXPECT_EQ(mField.Record(cell).mArriving, nullptr);
    }
    EXPECT_EQ(mField.ActiveBlocks(), mField.CellCount());
    EXPECT_TRUE(mField.DetachedBlocks().empty());
    EXPECT_EQ(mProcessor.GroupStore().Used(), 0u);
    EXPECT_EQ(mProcessor.ChainStore().Used(), 0u);
}

void ProcessorFixture::Fill(const std::vector<std::string>& rows)
{
    BoardTest::SetCells(mField, rows);
    for (int32_t cell = 0; cell < mField.CellCount(); ++cell) {
        CFieldBlock* block = mField.AcquireBlock();
        block->mColumn = cell % mField.Width();
        block->mRow = cell / mField.Width();
        block->mColour = CCellGrid::ColourOf(mField.Grid().Cell(cell));
        mField.Record(cell).mBlock = block;
    }
}

bool ProcessorFixture::RunUntilIdle()
{
    for (int32_t n = 0; n < 3000; ++n) {
        if (mProcessor.LiveProcesses() == 1 && mProcessor.PendingBlockMoves() == 0)
            return true;
        mProcessor.DispatchFinished(1.0f);
        mField.StepLineEntries();
    }
    return false;
}

int32_t ProcessorFixture::FramesFor(float speed) { return int32_t(std::ceil(CAnimPlayer::kEnd / speed)); }

} // namespace BoardTest
