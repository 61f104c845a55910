#include "game/data/effects/CFadeGroup.h"

#include "framework/core/RandomNumber.h"
#include "tests/game/data/SampleTables.h"

#include <gtest/gtest.h>

namespace GameTest {
namespace {

class FadeGroupTest : public SampleTables {
protected:
    FadeGroupTest()
    {
        App().AddImage("res\\star.png", 36, 9);
        App().AddImage("res\\cloud.png", 96, 48);
        LoadTables();
    }

    int32_t Slot(const char* name)
    {
        int32_t slot = -1;
        EXPECT_TRUE(mImages.FindByName(name, &slot)) << name;
        mImages.FetchSlotImage(slot);
        return slot;
    }
    int32_t Anim(const std::vector<int32_t>& frames)
    {
        int32_t id = -1;
        EXPECT_TRUE(mAnims.AddAnim(frames, 0, int32_t(frames.size()), CAnimTrack(), &id));
        return id;
    }

    CFadeGroup mGroups{mImages, mAnims};
};

TEST_F(FadeGroupTest, AGroupFadesOneImageInAndOutAtItsSpeed)
{
    mGroups.Reset();
    TiXmlDocument document;
    document.Parse("<lights><group min_fadespeed=\"0.25\" max_fadespeed=\"0.25\">"
                   "<img pos=\"10,20\" src=\"res\\cloud.png|1\"/><img pos=\"1,2\" src=\"res\\none.png\"/></group>"
                   "<group min_fadespeed=\"0.1\" max_fadespeed=\"0.2\"><img src=\"res\\none.png\"/></group></lights>");
    mGroups.LoadFromXml(document.RootElement());
    ASSERT_EQ(mGroups.Groups().size(), 1u) << "a group without a known image is dropped";
    ASSERT_EQ(mGroups.Entries().size(), 1u);
    EXPECT_EQ(mGroups.Entries()[0].x, 10);
    Slot("res\\cloud.png|1");

    // 0.25 per update: above 1.0 on the fifth update, then the other way.
    std::vector<int32_t> states;
    for (int i = 0; i < 10; ++i) {
        mGroups.Update();
        states.push_back(mGroups.Groups()[0].state);
    }
    EXPECT_EQ(states, (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(mGroups.Groups()[0].current, 0);

    mGroups.Update();
    RecordingGraphics g;
    g.mGraphics.SetTintImages(true);
    g.mGraphics.SetColor(Lumo::Color(255, 255, 255, 40));
    mGroups.Draw(g.mGraphics);
    ASSERT_EQ(g.Ops().size(), 1u);
    EXPECT_EQ(g.Ops()[0].mX, 10);
    EXPECT_EQ(g.Ops()[0].mColor.mAlpha, 40) << "63 fading in, held below the context's alpha";
    EXPECT_EQ(g.mGraphics.GetColor().mAlpha, 40);
}

TEST_F(FadeGroupTest, ThePictureCrossFadesBetweenFramesAndEndsItsDrawWhenFramesShareAnImage)
{
    const int32_t star = Slot("res\\star.png|1");
    const int32_t cloud = Slot("res\\cloud.png|1");
    CrossFadeLight picture;
    mGroups.InitLight(Anim({star, star, star}), picture, 0.5f, 0.5f);
    EXPECT_EQ(picture.currentImage, star);
    EXPECT_EQ(picture.nextImage, star);

    mGroups.InitLight(Anim({star, cloud}), picture, 0.5f, 0.5f);
    EXPECT_EQ(picture.nextImage, cloud);
    for (int i = 0; i < 3; ++i)
        mGroups.StepLight(picture);
    ASSERT_EQ(picture.state, 0);
    EXPECT_EQ(picture.currentImage, cloud);
    EXPECT_EQ(picture.nextImage, star);
    mGroups.StepLight(picture);
    RecordingGraphics g;
    mGroups.DrawLight(picture, 5, 6, g.mGraphics);
    ASSERT_EQ(g.Ops().size(), 2u);
    EXPECT_EQ(g.Ops()[0].mSource->GetWidth(), 36);
    EXPECT_EQ(g.Ops()[0].mColor.mAlpha, 255);
    EXPECT_EQ(g.Ops()[1].mSource->GetWidth(), 96);
    EXPECT_EQ(g.Ops()[1].mColor.mAlpha, 255 - 127);

    CrossFadeLight single;
    mGroups.InitLight(Anim({cloud}), single, 0.5f, 0.5f);
    single.isStatic = false;
    for (int i = 0; i < 12; ++i)
        mGroups.StepLight(single);
    EXPECT_EQ(single.nextImage, cloud);

    picture.isStatic = true;
    const CrossFadeLight before = picture;
    for (int i = 0; i < 12; ++i)
        mGroups.StepLight(picture);
    EXPECT_EQ(picture.level, before.level);
    EXPECT_EQ(picture.nextImage, before.nextImage);
}

} // namespace
} // namespace GameTest
