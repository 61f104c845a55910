#include "tests/lumoapp/AppFixture.h"

#include "framework/display/DDInterface.h"
#include "platform/process/Clock.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowSystem.h"

namespace LumoTest {
namespace {

using namespace Platform;

class CursorThreadTest : public AppFixture {
protected:
    ~CursorThreadTest() override
    {
        if (mApp)
            mApp->mPlaying = false;
    }
    void PointerAt(int x, int y)
    {
        POINT screen{x, y};
        ClientToScreen(mApp->mHWnd, &screen);
        WindowSystem::Current().Input().SetCursorPosition(screen);
    }
};

// The thread draws the software cursor itself only while frames are late;
// otherwise the next frame takes the wanted position along.
TEST_F(CursorThreadTest, MovesTheSoftwareCursorAtOnceOnlyWhenFramesAreLate)
{
    struct Case {
        const char* name;
        bool playing;
        bool frameDrawn;
        bool late;
        POINT lastSet;
        POINT displayCursor;
        POINT wanted;  // the display's position afterwards
        bool drawnNow; // drawn by the thread
        POINT lastSetAfter;
    };
    const Case cases[] = {
        {"late frames", false, true, true, {0, 0}, {7, 7}, {100, 50}, true, {100, 50}},
        {"frames on time", false, true, false, {0, 0}, {7, 7}, {100, 50}, false, {0, 0}},
        {"already there", false, true, true, {0, 0}, {100, 50}, {100, 50}, false, {0, 0}},
        {"before the first frame: its own last position", false, false, true, {100, 50}, {7, 7}, {7, 7}, false,
         {100, 50}},
        {"before the first frame, elsewhere", false, false, true, {3, 3}, {7, 7}, {100, 50}, true, {100, 50}},
        {"playback follows the recorded mouse", true, true, true, {0, 0}, {7, 7}, {30, 40}, true, {30, 40}},
    };
    ASSERT_NE(StartApp(), nullptr);
    Lumo::DDInterface& display = *mApp->mDDInterface;
    const int frameMs = display.mFrameMilliseconds;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointerAt(100, 50);
        mApp->mPlaying = c.playing;
        mApp->mDemoMouseX = 30;
        mApp->mDemoMouseY = 40;
        mApp->mDrawCount = c.frameDrawn ? 1 : 0;
        mApp->mNextPresentTime = timeGetTime() - uint32_t(c.late ? frameMs + 6 : frameMs + 5);
        display.mCursorX = c.displayCursor.x;
        display.mCursorY = c.displayCursor.y;
        display.mCursorDrawnX = display.mCursorDrawnY = -1;
        POINT lastSet = c.lastSet;
        mApp->MoveSoftwareCursor(lastSet);
        EXPECT_EQ(display.mCursorX, c.wanted.x);
        EXPECT_EQ(display.mCursorY, c.wanted.y);
        EXPECT_EQ(display.mCursorDrawnX != -1, c.drawnNow);
        EXPECT_EQ(lastSet.x, c.lastSetAfter.x);
        EXPECT_EQ(lastSet.y, c.lastSetAfter.y);
    }
}

} // namespace
} // namespace LumoTest
