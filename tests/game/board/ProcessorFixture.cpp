#include "tests/game/board/ProcessorFixture.h"

#include "game/data/CAnimPlayer.h"
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
    : mProcessor(ProcessorLinks{&App(), &mField, &mBall, &mTracks, &mImages, &mLevel, &mHost, nullptr})
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

int32_t ProcessorFixture::FramesFor(float speed) { return int32_t(std::ceil(CAnimPlayer::kEnd / speed)); }

} // namespace BoardTest
