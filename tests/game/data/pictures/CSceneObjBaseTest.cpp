#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/data/animation/CTrackBase.h"

#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

class CSceneObjBaseTest : public GameTest::GameFixture {
protected:
    void SetUp() override
    {
        Parse(mImagesFile, "<root><img src=\"res\\star.png\" start=\"1\" end=\"2\" w=\"9\" h=\"9\" dx=\"9\" dy=\"0\"/>"
                           "<img src=\"res\\cloud.png\" start=\"1\" end=\"1\" w=\"9\" h=\"9\" dx=\"0\" dy=\"0\"/></root>");
        mImages.LoadFromXml(mImagesFile.RootElement());
        Parse(mTracksFile, "<root><so_move speed=\"0.5\"><x src=\"0 1\"/><y src=\"0 1\"/></so_move>"
                           "<so_col speed=\"0.25\" dorestart=\"1\"><x src=\"1 1\"/><y src=\"1 1\"/><z src=\"1 1\"/>"
                           "<w src=\"1 0\"/></so_col></root>");
        mTracks.LoadFromXml(mTracksFile.RootElement(), mCurves);
        Parse(mAnimsFile, "<root><twinkle><frames src=\"res\\star.png\" start=\"1\" end=\"2\" curve=\"af2\"/>"
                          "<af2 speed=\"0.1\" dorestart=\"1\"><x src=\"0 1.5\"/></af2></twinkle></root>");
        mAnims.LoadFromXml(mAnimsFile.RootElement());
        Parse(mObjectsFile,
              "<root>"
              "<o name=\"plain\" image=\"res\\cloud.png|1\" x=\"10\" y=\"-4\" scale=\"2,3\"/>"
              "<o name=\"full\" image=\"res\\cloud.png|1\" frame_animation=\"twinkle\" track_animation=\"so_move\""
              " color_animation=\"so_col\"/>"
              "<o name=\"moving\" image=\"res\\cloud.png|1\" frame_animation=\"nothing\" track_animation=\"so_move\"/>"
              "<o name=\"lost\" image=\"res\\none.png|1\"/>"
              "</root>");
        mObjects.LoadFromXml(mObjectsFile.RootElement());
    }

    static void Parse(TiXmlDocument& document, const char* xml) { document.Parse(xml); }

    int32_t Definition(const char* name)
    {
        int32_t index = -1;
        EXPECT_TRUE(mObjects.FindDefinition(name, &index)) << name;
        return index;
    }

    TiXmlDocument mImagesFile, mTracksFile, mAnimsFile, mObjectsFile;
    CImageTable mImages{&App()};
    CCurveBase mCurves;
    CTrackBase mTracks;
    CAnimBase mAnims{mImages, mTracks, mCurves};
    CSceneObjBase mObjects{mImages, mAnims, mTracks};
    CAnimPlayer mPlayer, mColorPlayer;
};

TEST_F(CSceneObjBaseTest, LoadsDefinitionsAndResolvesTheirNames)
{
    EXPECT_TRUE(LogHas("SceneObjBase: loaded 4 objects."));
    EXPECT_TRUE(LogHas("ERROR: CSceneObjBase - loading lost - wrong image"));
    const CSceneObjDef& plain = mObjects.Definitions()[size_t(Definition("plain"))];
    EXPECT_EQ(plain.mX, 10);
    EXPECT_EQ(plain.mY, -4);
    EXPECT_EQ(plain.mScaleX, 2);
    EXPECT_EQ(plain.mScaleY, 3);
    EXPECT_FALSE(plain.mHasFrameAnim || plain.mHasMoveTrack || plain.mHasColorTrack);

    const CSceneObjDef& moving = mObjects.Definitions()[size_t(Definition("moving"))];
    EXPECT_FALSE(moving.mHasFrameAnim);
    EXPECT_TRUE(moving.mHasMoveTrack);
    EXPECT_EQ(mObjects.Definitions()[size_t(Definition("lost"))].mSlot, -2);
}

TEST_F(CSceneObjBaseTest, SpawnsAndRespawnsReusingOrFreeingTracks)
{
    CSceneObj instance;
    mObjects.Spawn(Definition("plain"), instance, &mPlayer, &mColorPlayer);
    EXPECT_EQ(instance.mFrameAnim, nullptr);
    EXPECT_EQ(instance.mMoveTrack, nullptr);
    EXPECT_EQ(instance.mColorTrack, nullptr);
    EXPECT_EQ(instance.mX, 10);

    mObjects.Spawn(Definition("full"), instance, &mPlayer, &mColorPlayer);
    ASSERT_NE(instance.mFrameAnim, nullptr);
    ASSERT_NE(instance.mColorTrack, nullptr);
    EXPECT_EQ(instance.mColorTrack->mPlayer, &mColorPlayer);
    EXPECT_EQ(instance.mMoveTrack->mPlayer, &mPlayer);
    EXPECT_EQ(instance.mColorTrack->mSpeed, 0.25f);
    EXPECT_FALSE(instance.mMoveTrack->mAttached);
    EXPECT_EQ(mTracks.Running().Used(), 3u);

    // Tracks that stay are reused; the colour track the new definition lacks is freed.
    mPlayer.Attach(instance.mMoveTrack);
    CAnimTrack* const move = instance.mMoveTrack;
    mObjects.Spawn(Definition("moving"), instance, &mPlayer, &mColorPlayer);
    EXPECT_EQ(instance.mMoveTrack, move);
    EXPECT_TRUE(move->mAttached);
    EXPECT_EQ(instance.mColorTrack, nullptr);
    EXPECT_EQ(instance.mFrameAnim, nullptr);
    EXPECT_EQ(mTracks.Running().Used(), 1u);

    // A move track started for another player leaves the first one.
    CAnimPlayer other;
    int32_t moveDefinition = -1;
    ASSERT_TRUE(mTracks.FindTrack("so_move", &moveDefinition));
    mObjects.SetMoveTrack(true, &other, instance, moveDefinition);
    EXPECT_TRUE(mPlayer.mActive.empty());
    EXPECT_EQ(move->mPlayer, &other);
}

TEST_F(CSceneObjBaseTest, SwitchingAFrameAnimationKeepsItsInstance)
{
    CSceneObj instance;
    mObjects.Spawn(Definition("full"), instance, &mPlayer, &mColorPlayer);
    CAnimInstance* const anim = instance.mFrameAnim;
    mPlayer.Attach(anim->mTrack);
    anim->mTrack->mRunning = 1;
    anim->mTrack->mRestart = 0;
    anim->mTrack->mSpeed = 2.0f;
    mPlayer.Update(1.0f);
    ASSERT_EQ(mPlayer.mFinished.size(), 1u);

    mObjects.SetFrameAnim(true, 0, instance, &mPlayer);
    EXPECT_EQ(instance.mFrameAnim, anim);
    EXPECT_EQ(mPlayer.mFinished[0], nullptr);
    EXPECT_EQ(anim->mTrack->mSpeed, 0.1f);

    mObjects.SetFrameAnim(false, 0, instance, &mPlayer);
    EXPECT_EQ(instance.mFrameAnim, nullptr);
    EXPECT_EQ(mAnims.Instances().Used(), 0u);
}

TEST_F(CSceneObjBaseTest, FetchesTheImagesItWillDraw)
{
    App().AddImage("res\\star.png", 18, 9);
    App().AddImage("res\\cloud.png", 9, 9);
    CSceneObj still, animated;
    mObjects.Spawn(Definition("plain"), still, &mPlayer, &mColorPlayer);
    mObjects.Spawn(Definition("full"), animated, &mPlayer, &mColorPlayer);
    mObjects.FetchImages(animated);
    EXPECT_EQ(App().mImageLoads, (std::vector<std::string>{"res\\star.png"}));
    mObjects.FetchImages(still);
    mObjects.FetchImages(still);
    EXPECT_EQ(App().mImageLoads, (std::vector<std::string>{"res\\star.png", "res\\cloud.png"}));
}

} // namespace
