#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/ImageDrawing.h"

#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

class CAnimBaseTest : public GameTest::GameFixture {
protected:
    void SetUp() override
    {
        TiXmlDocument images;
        images.Parse("<root><img src=\"res\\ball.png\" start=\"1\" end=\"4\" w=\"8\" h=\"8\" dx=\"8\" dy=\"0\"/>"
                     "<img src=\"res\\star01.png\" start=\"1\" end=\"1\" w=\"4\" h=\"4\" dx=\"0\" dy=\"0\"/>"
                     "<img src=\"res\\star02.png\" start=\"1\" end=\"1\" w=\"4\" h=\"4\" dx=\"0\" dy=\"0\"/></root>");
        mImages.LoadFromXml(images.RootElement());
    }

    void Load(const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        mAnims.LoadFromXml(document.RootElement());
    }

    std::vector<int32_t> Run(const std::string& name)
    {
        int32_t id = -1;
        EXPECT_TRUE(mAnims.FindAnim(name, &id)) << name;
        const CAnimBase::Record* record = mAnims.AnimRecord(id);
        return std::vector<int32_t>(mAnims.Frames().begin() + record->mFirstFrame,
                                    mAnims.Frames().begin() + record->mEndFrame);
    }

    int32_t SlotOf(const std::string& name)
    {
        int32_t slot = -1;
        mImages.FindByName(name, &slot);
        return slot;
    }

    CImageTable mImages{&App()};
    CCurveBase mCurves;
    CTrackBase mTracks;
    CAnimBase mAnims{mImages, mTracks, mCurves};
};

TEST_F(CAnimBaseTest, NamesFramesFromCelsAndPatterns)
{
    Load("<root>"
         "<roll><frames src=\"res\\ball.png\" start=\"1\" end=\"3\" curve=\"af3\"/>"
         "<af3 speed=\"0.05\" dorestart=\"1\"><x src=\"0 2.5\"/></af3></roll>"
         "<twinkle><frames src=\"res\\star%02d.png\" start=\"1\" end=\"2\"/>"
         "<frames src=\"res\\ball.png\" start=\"4\" end=\"4\"/><frames src=\"res\\ball.png\" start=\"3\" end=\"1\"/>"
         "<frames src=\"res\\ball.png\"/></twinkle>"
         "<gaps><frames src=\"res\\ball.png\" start=\"3\" end=\"5\" curve=\"af2\"/><af2 speed=\"0.5\"><x src=\"0 1.5\"/></af2></gaps>"
         "<unsafe><frames src=\"res\\star%s.png\" start=\"1\" end=\"2\"/></unsafe>"
         "</root>");
    EXPECT_EQ(Run("roll"), (std::vector<int32_t>{SlotOf("res\\ball.png|1"), SlotOf("res\\ball.png|2"),
                                                 SlotOf("res\\ball.png|3")}));
    EXPECT_EQ(Run("twinkle"), (std::vector<int32_t>{SlotOf("res\\star01.png|1"), SlotOf("res\\star02.png|1"),
                                                    SlotOf("res\\ball.png|4")}));
    EXPECT_EQ(Run("gaps"), (std::vector<int32_t>{SlotOf("res\\ball.png|3"), SlotOf("res\\ball.png|4")}));
    EXPECT_TRUE(LogHas("Animbase: error loading res\\ball.png|5"));
    EXPECT_TRUE(Run("unsafe").empty());
    EXPECT_TRUE(LogHas("Animbase: bad frame pattern res\\star%s.png"));
    EXPECT_TRUE(LogHas("Animbase: loaded 4 animations."));

    // The curve carries over to the next animation until another is named.
    int32_t roll = -1, twinkle = -1;
    mAnims.FindAnim("roll", &roll);
    mAnims.FindAnim("twinkle", &twinkle);
    EXPECT_EQ(mAnims.AnimRecord(twinkle)->mDefinition.mSpeed, 0.05f);
    EXPECT_TRUE(mAnims.AnimRecord(roll)->mDefinition.mRestart);
    EXPECT_NE(mAnims.AnimRecord(roll)->mDefinition.mCurve, nullptr);
}

TEST_F(CAnimBaseTest, LaterNameWinsAndAFirstAnimationWithoutCurveIsInert)
{
    Load("<root><a><frames src=\"res\\ball.png\" start=\"1\" end=\"1\"/></a>"
         "<a><frames src=\"res\\ball.png\" start=\"2\" end=\"2\"/></a></root>");
    EXPECT_EQ(mAnims.AnimCount(), 2u);
    EXPECT_EQ(Run("a"), (std::vector<int32_t>{SlotOf("res\\ball.png|2")}));
    const CAnimTrack& definition = mAnims.AnimRecord(0)->mDefinition;
    EXPECT_EQ(definition.mSpeed, 0.0f);
    EXPECT_EQ(definition.mRepeatCount, 1);
    EXPECT_EQ(definition.mTime, 0.0f);
    EXPECT_TRUE(LogHas("Animbase: a has no curve"));
}

TEST_F(CAnimBaseTest, InstancesShowTheFrameTheirCurveGivesWithinTheRun)
{
    Load("<root><spin><frames src=\"res\\ball.png\" start=\"1\" end=\"4\" curve=\"over\"/>"
         "<over speed=\"0.1\"><x src=\"-2 2.7 9\"/></over></spin></root>");
    CAnimPlayer player;
    CAnimInstance* instance = mAnims.CreateInstance(0, &player);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->mTrack->mPlayer, &player);
    EXPECT_FALSE(instance->mTrack->mAttached);
    EXPECT_EQ(mTracks.Running().Used(), 1u);

    instance->mTrack->mTime = 0.5f;
    EXPECT_EQ(mAnims.GetFrameImage(*instance), SlotOf("res\\ball.png|3"));
    instance->mTrack->mTime = 0.0f;
    EXPECT_EQ(mAnims.GetFrameImage(*instance), SlotOf("res\\ball.png|1"));
    instance->mTrack->mTime = 1.0f;
    EXPECT_EQ(mAnims.GetFrameImage(*instance), SlotOf("res\\ball.png|4"));

    mAnims.ReleaseInstance(instance);
    mAnims.ReleaseInstance(instance);
    EXPECT_EQ(mTracks.Running().Used(), 0u);
    EXPECT_EQ(mAnims.Instances().Used(), 0u);
    EXPECT_EQ(mAnims.CreateInstance(7, &player), nullptr);
}

TEST_F(CAnimBaseTest, AddedAnimationsAndResetInstances)
{
    Load("<root><one><frames src=\"res\\ball.png\" start=\"1\" end=\"1\" curve=\"c\"/><c speed=\"0.5\"><x src=\"0 0\"/></c></one></root>");
    CAnimTrack definition;
    definition.mSpeed = 0.25f;
    definition.mOwnerTag = 4;
    definition.mAttached = 1;
    int32_t id = -1;
    const std::vector<int32_t> frames = {SlotOf("res\\ball.png|2"), SlotOf("res\\ball.png|3"), SlotOf("res\\ball.png|4")};
    EXPECT_FALSE(mAnims.AddAnim(frames, 2, 4, definition, &id));
    ASSERT_TRUE(mAnims.AddAnim(frames, 1, 3, definition, &id));
    EXPECT_EQ(id, 1);
    EXPECT_EQ(mAnims.AnimRecord(id)->mDefinition.mOwnerTag, CAnimTrack::kNone);
    EXPECT_FALSE(mAnims.AnimRecord(id)->mDefinition.mAttached);

    CAnimPlayer player;
    CAnimInstance* instance = mAnims.CreateInstance(0, &player);
    player.Attach(instance->mTrack);
    instance->mTrack->mOwnerTag = 12;
    mAnims.ResetInstance(id, instance);
    EXPECT_EQ(instance->mTrack->mSpeed, 0.25f);
    EXPECT_EQ(instance->mTrack->mOwnerTag, 12);
    EXPECT_TRUE(instance->mTrack->mAttached);
    EXPECT_EQ(mAnims.GetFrameImage(*instance), SlotOf("res\\ball.png|3"));
}

TEST_F(CAnimBaseTest, FetchesTheFramesImagesAndDrawsTheCel)
{
    App().AddImage("res\\ball.png", 32, 8);
    App().AddImage("res\\star01.png", 4, 4);
    Load("<root><roll><frames src=\"res\\ball.png\" start=\"1\" end=\"4\" curve=\"c\"/><c speed=\"1\"><x src=\"0 0\"/></c>"
         "</roll></root>");
    CAnimPlayer player;
    CAnimInstance* instance = mAnims.CreateInstance(0, &player);
    mAnims.FetchFrameImages(*instance);
    EXPECT_EQ(App().mImageLoads, (std::vector<std::string>{"res\\ball.png"}));

    GameTest::RecordingGraphics recording;
    DrawImageCel(mAnims.GetFrameImage(*instance), mImages, recording.mGraphics, 10, 20);
    DrawImageCel(SlotOf("res\\star01.png|1"), mImages, recording.mGraphics, 0, 0);
    DrawImageCel(-2, mImages, recording.mGraphics, 0, 0);
    ASSERT_EQ(recording.Ops().size(), 1u);
    EXPECT_EQ(recording.Ops()[0].mX, 10);
    EXPECT_EQ(recording.Ops()[0].mSrcRect, (Lumo::Rect{0, 0, 8, 8}));
}

} // namespace
