#include "tests/lumoapp/AppFixture.h"

#include "framework/widgets/WidgetManager.h"
#include "platform/backends/headless/HeadlessBackend.h"

namespace LumoTest {
namespace {

using namespace Platform;

class IntegrationTest : public AppFixture {};

// The program's whole road: start, run the loop under the fake clock, take
// injected mouse and keys through the desktop into a widget, close, and leave
// the settings and the log behind.
TEST_F(IntegrationTest, RunsTakesInputAndShutsDownWithItsSettingsSaved)
{
    ASSERT_NE(StartApp(), nullptr);
    InputWidget widget;
    widget.Resize(0, 0, 320, 240);
    mApp->mWidgetManager->AddChild(&widget);
    mApp->mWidgetManager->SetFocus(&widget);
    mApp->mMusicVolume = 0.5f;

    HeadlessBackend& desktop = mSession.Desktop();
    mApp->mOnUpdate = [&] {
        const int update = mApp->mUpdateCount;
        if (update == 50) {
            desktop.InjectMouseMove(mApp->mHWnd, 40, 50);
            desktop.InjectButton(mApp->mHWnd, MouseButton::Left, true, 40, 50);
            desktop.InjectButton(mApp->mHWnd, MouseButton::Left, false, 40, 50);
            desktop.InjectKey('K', true);
            desktop.InjectKey('K', false);
        } else if (update == 120) {
            desktop.InjectWindowEvent(mApp->mHWnd, NativeEvent::Kind::CloseRequested);
        } else if (update == 1000) {
            mApp->RequestShutdown(); // the close never arrived
        }
    };
    mApp->Run();

    EXPECT_TRUE(mApp->mManualShutdown);
    EXPECT_GE(mApp->mUpdateCount, 120);
    EXPECT_LT(mApp->mUpdateCount, 1000);
    ASSERT_EQ(widget.mDowns.size(), 1u);
    EXPECT_EQ(widget.mDowns[0].x, 40);
    EXPECT_EQ(widget.mDowns[0].y, 50);
    EXPECT_EQ(widget.mKeys, std::vector<int>{'K'});
    EXPECT_GT(mApp->mDrawCount.load(), 0);
    EXPECT_GT(mApp->mSleepCount, 0);

    EXPECT_EQ(StoredInteger("MusicVolume"), 50);
    EXPECT_EQ(StoredInteger("InProgress"), 0);
    mApp->mWidgetManager->RemoveChild(&widget);
    mApp.reset();
    std::FILE* log = std::fopen((mFolder / "applog.txt").c_str(), "rb");
    EXPECT_NE(log, nullptr);
    if (log)
        std::fclose(log);
}

} // namespace
} // namespace LumoTest
