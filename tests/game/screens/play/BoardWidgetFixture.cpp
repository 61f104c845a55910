#include "tests/game/screens/play/BoardWidgetFixture.h"

#include "game/board/play/CBall.h"
#include "game/data/effects/CParticleSystem.h"

#include <cmath>

namespace BoardTest {

BoardWidgetFixture::BoardWidgetFixture()
    : mLevels({mField.Grid(), mPieces, mGraphs, mProfiles, mHiscores, mLevelHost, mWindows, mField.ReservedColour()}),
      mPanel(CGamePanelServices{.mTracks = &mTracks,
                                .mImages = &mImages,
                                .mAnims = &mAnims,
                                .mPieces = &mPieces,
                                .mGui = &mGui,
                                .mProcessor = &mProcessor,
                                .mFlow = &mFlow,
                                .mPause = &mPause}),
      mBoard(CBoardServices{.mApp = &App(),
                            .mGui = &mGui,
                            .mProcessor = &mProcessor,
                            .mLevel = &mLevels,
                            .mField = &mField,
                            .mBall = &mBall,
                            .mBackground = &mBackground,
                            .mAnims = &mAnims,
                            .mTracks = &mTracks,
                            .mCurves = &mCurves,
                            .mParticles = &CParticleSystem::Get(),
                            .mPanel = &mPanel,
                            .mFlow = &mFlow,
                            .mPause = &mPause})
{
    mBoard.SetFieldBonuses(&mBonuses);
    mFlow.mPaused = false;
    mPanel.LoadFromXml(Root("gamepanel.xml")->FirstChildElement("gamepanel"));
    mPanel.Reset();
    mBoard.Resize(0, 0, 800, 600);
    LoadLevels(mLevels, mGraphs, mShapes);
    mProfiles.Init(App());
    mProfiles.Add("ann");
    mProfiles.SelectByName("ann");
}

void BoardWidgetFixture::StartPlay()
{
    PlayLevel(mLevels, mWindows, 0, 0);
    ResetBoard();
}

void BoardWidgetFixture::ResetBoard()
{
    SetRules();
    Fill({"00123", "01230", "12301", "23012", "30120"});
    mBall.ClearState(~0u);
    mBall.PlaceOnCell(2, 2);
    mField.SetExcludedCell(2, 2);
    mBoard.CenterOnField();
    mBoard.ResumePlay();
}

void BoardWidgetFixture::Steps(int32_t n, float dt)
{
    for (int32_t i = 0; i < n; ++i)
        mBoard.UpdateFraction(dt);
}

bool BoardWidgetFixture::StepUntilLanded()
{
    for (int32_t i = 0; i < 1000 && mBall.Has(CBall::kFlying); ++i)
        mBoard.UpdateFraction(1.0f);
    return !mBall.Has(CBall::kFlying);
}

void BoardWidgetFixture::CellPoint(const CGameField& field, int32_t column, int32_t row, int32_t* x, int32_t* y)
{
    const FieldPoint centre = field.CellCenterToScreen(column, row);
    *x = 400 + int32_t(std::lround(centre.mX + field.Origin().mX));
    *y = 300 + int32_t(std::lround(centre.mY + field.Origin().mY));
}

void BoardWidgetFixture::PointAt(int32_t column, int32_t row)
{
    int32_t x = 0;
    int32_t y = 0;
    CellPoint(mField, column, row, &x, &y);
    mBoard.MouseMove(x, y);
}

void BoardWidgetFixture::Click(int32_t column, int32_t row)
{
    PointAt(column, row);
    int32_t x = 0;
    int32_t y = 0;
    CellPoint(mField, column, row, &x, &y);
    mBoard.MouseDown(x, y, 0, 1);
    mBoard.MouseUp(x, y, 0, 1);
}

void BoardWidgetFixture::MakeBusy(float settleTimer)
{
    mProcessor.ProcessGroups(CCellGrid::GroupOf(mField.Grid().Cell(0, 0)), false);
    mProcessor.SetStepTiming(settleTimer, mProcessor.StepDelaySpeed());
}

} // namespace BoardTest
