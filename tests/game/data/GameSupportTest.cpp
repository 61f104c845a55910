#include "framework/core/AppLog.h"
#include "framework/graphics/images/MemoryImage.h"
#include "tests/game/support/GameFixture.h"

#include <memory>

namespace {

class GameSupportTest : public GameTest::GameFixture {};

// The doubles other game tests lean on: pictures from memory, a drawing
// context that records, and a log that survives the application's start.
TEST_F(GameSupportTest, ServesPicturesRecordsDrawsAndKeepsTheLog)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "before");
    GameTest::GameTestApp& app = App();
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "after");
    EXPECT_TRUE(LogHas("before"));
    EXPECT_TRUE(LogHas("after"));

    app.AddImage("res\\Blocks.png", 4, 2, 0xFF102030u);
    std::unique_ptr<Lumo::MemoryImage> image(app.CreateImageFromFileAlt("RES/blocks.png", true));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 4);
    EXPECT_EQ(image->GetPixelBits()[7], 0xFF102030u);
    EXPECT_EQ(app.CreateImageFromFile("res\\none.png", "res\\_none.png", true), nullptr);
    EXPECT_EQ(app.mImageLoads, (std::vector<std::string>{"RES/blocks.png", "res\\none.png;res\\_none.png"}));

    GameTest::RecordingGraphics recording;
    recording.mGraphics.Translate(10, 20);
    recording.mGraphics.DrawImageSrcRect(image.get(), 1, 2, Lumo::Rect{1, 0, 3, 2});
    ASSERT_EQ(recording.Ops().size(), 1u);
    EXPECT_EQ(recording.Ops()[0].mOp, "Blit");
    EXPECT_EQ(recording.Ops()[0].mX, 11);
    EXPECT_EQ(recording.Ops()[0].mY, 22);
    EXPECT_EQ(recording.Ops()[0].mSrcRect, (Lumo::Rect{1, 0, 3, 2}));

    app.PlaySoundById(18);
    EXPECT_EQ(app.mSoundsPlayed, (std::vector<int>{18}));
    app.mMusicInterface->FadeIn(0, 0, 0.5f, true);
    EXPECT_EQ(app.Music().mCalls.back(), "FadeIn 0 0 0.5 1");
    EXPECT_TRUE(app.Music().IsPlaying(0));
}

} // namespace
