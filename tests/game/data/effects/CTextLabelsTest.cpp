#include "game/data/effects/CTextLabels.h"

#include "game/data/CGameConfig.h"
#include "game/data/JukeBox.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/effects/CControlTracks.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

namespace GameTest {
namespace {

// The window system's track table, reduced to what the labels ask of it.
class FakeControlTracks : public CControlTracks {
public:
    void StartTrack(CAnimTrack* track, int32_t kind, int32_t a, int32_t) override
    {
        track->mOwnerTag = mNextTag++;
        mPlayer.Attach(track);
        mStarted.push_back({kind, a});
    }
    void StopTrack(CAnimTrack* track) override
    {
        mPlayer.Detach(track);
        track->mOwnerTag = CAnimTrack::kNone;
        ++mStopped;
    }

    CAnimPlayer mPlayer;
    int32_t mNextTag = 0;
    std::vector<std::pair<int32_t, int32_t>> mStarted;
    int mStopped = 0;
};

class TextLabelsTest : public GameFixture {
protected:
    TextLabelsTest()
    {
        CGameConfig::hiscoreLayout.entryFont = CGameConfig::kNormal;
        CGameConfig::hiscoreLayout.spdTyping = 0.25f;
        CGameConfig::hiscoreLayout.spdCounting = 0.5f;
        CGameConfig::live.fonts[CGameConfig::kNormal] = &mFont;
        CTextLabels::Get().Attach(&mTracks, &mControl);
        JukeBox::Get().SetPlayers(nullptr, App().mSoundManager.get());
    }
    ~TextLabelsTest() override
    {
        for (int32_t handle = 0; handle < CTextLabels::kCount; ++handle)
            CTextLabels::Get().Finish(handle);
        CTextLabels::Get().Attach(nullptr, nullptr);
        JukeBox::Get().Clear();
        JukeBox::Get().SetPlayers(nullptr, nullptr);
        CGameConfig::live.fonts[CGameConfig::kNormal] = nullptr;
        CGameConfig::hiscoreLayout = CGameConfig::HiscoreLayout();
    }

    // The text a label shows with its track at time t.
    std::string Shown(int32_t handle, float t)
    {
        if (CAnimTrack* timer = CTextLabels::Get().GetLabel(handle).timer)
            timer->mTime = t;
        mFont.mDraws.clear();
        RecordingGraphics g;
        CTextLabels::Get().Draw(handle, g.mGraphics, 200);
        return mFont.mDraws.empty() ? "<nothing>" : mFont.mDraws.back().mText;
    }

    FixedWidthFont mFont;
    CTrackBase mTracks;
    FakeControlTracks mControl;
};

TEST_F(TextLabelsTest, TypedTextShowsOneCharacterMoreThanItsShareOfTheTime)
{
    CTextLabels& labels = CTextLabels::Get();
    const int32_t handle = labels.Create("ABCD", 40, 50);
    ASSERT_EQ(handle, 0);
    labels.StartTyping(handle);
    EXPECT_EQ(mControl.mStarted, (std::vector<std::pair<int32_t, int32_t>>{{CTextLabels::kTrackKind, 0}}));
    EXPECT_FLOAT_EQ(labels.GetLabel(handle).timer->mSpeed, 0.25f);
    for (const auto& [t, text] : {std::pair{0.0f, "A"}, {0.5f, "ABC"}, {0.9999f, "ABCD"}})
        EXPECT_EQ(Shown(handle, t), text) << t;
    EXPECT_EQ(mFont.mDraws.back().mX, 40);
    EXPECT_EQ(mFont.mDraws.back().mColor, Lumo::Color(255, 255, 255, 200));

    labels.OnAnimFinished(handle);
    EXPECT_EQ(Shown(handle, 0.0f), "ABCD");
    labels.Finish(handle);
    EXPECT_EQ(std::string(labels.GetLabel(handle).text), "ABCD");
    EXPECT_EQ(Shown(handle, 0.0f), "<nothing>");
}

TEST_F(TextLabelsTest, NumbersCountUpWhileTheCountSoundLoops)
{
    CTextLabels& labels = CTextLabels::Get();
    const int32_t handle = labels.Create(nullptr, 0, 0);
    labels.Start(handle, 1234);
    EXPECT_EQ(JukeBox::Get().FindPlaying(JukeBox::kLoopSample), 0);
    EXPECT_EQ(Shown(handle, 0.5f), "617");
    EXPECT_EQ(Shown(handle, 0.0f), "0");
    labels.Complete(handle);
    EXPECT_EQ(Shown(handle, 0.5f), "1234");
    EXPECT_EQ(JukeBox::Get().PlayingCount(), 0);
}

TEST_F(TextLabelsTest, EightLabelsAtMostAndEachFinishGivesItsTrackBack)
{
    CTextLabels& labels = CTextLabels::Get();
    for (int32_t i = 0; i < CTextLabels::kCount; ++i)
        EXPECT_EQ(labels.Create("x", 0, 0), i);
    EXPECT_EQ(labels.Create("x", 0, 0), CTextLabels::kNone);
    EXPECT_EQ(mTracks.Running().Used(), 8u);

    labels.StartTyping(3);
    labels.StartTyping(3);
    EXPECT_EQ(mControl.mStopped, 1) << "a restarted label leaves its old entry";
    EXPECT_EQ(mControl.mPlayer.mActive.size(), 1u);
    labels.Finish(3);
    labels.Finish(5);
    EXPECT_EQ(mControl.mStopped, 2) << "a label never started has no entry to give back";
    EXPECT_TRUE(mControl.mPlayer.mActive.empty());
    EXPECT_EQ(mTracks.Running().Used(), 6u);
    labels.Finish(CTextLabels::kNone);
    EXPECT_EQ(labels.Create("y", 0, 0), 3);
}

} // namespace
} // namespace GameTest
