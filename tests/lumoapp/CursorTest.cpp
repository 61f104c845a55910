#include "tests/lumoapp/AppFixture.h"

#include "framework/display/DDInterface.h"
#include "framework/graphics/images/MemoryImage.h"
#include "platform/windows/Cursor.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowSystem.h"

#include <cstdlib>

namespace LumoTest {
namespace {

using namespace Platform;

class CursorTest : public AppFixture {
protected:
    ~CursorTest() override
    {
        if (mApp)
            mApp->mPlaying = false;
    }
};

// Which pointer shows for each cursor id: the system's own, the framework's
// hand cursors, or the custom image drawn by the display.
TEST_F(CursorTest, ApplyCursorPicksThePointerForEachState)
{
    ASSERT_NE(StartApp(), nullptr);
    Lumo::MemoryImage custom(mApp.get());
    custom.SetSize(4, 4);
    POINT inside{10, 10};
    ClientToScreen(mApp->mHWnd, &inside);
    WindowSystem::Current().Input().SetCursorPosition(inside);

    enum class Shows { Arrow, Hand, Dragging, IBeam, Wait, No, Hidden };
    struct Case {
        const char* name;
        int cursor;
        bool mouseIn;
        bool customOn;
        bool playing;
        bool hasImage;
        Shows system;
        bool drawsImage;
    };
    const Case cases[] = {
        {"outside the window", 1, false, true, false, true, Shows::Arrow, false},
        {"hand", 1, true, false, false, false, Shows::Hand, false},
        {"dragging", 2, true, false, false, false, Shows::Dragging, false},
        {"text", 3, true, false, false, false, Shows::IBeam, false},
        {"wait", 10, true, false, false, false, Shows::Wait, false},
        {"none", 11, true, false, false, false, Shows::Hidden, false},
        {"unknown id", 40, true, true, false, false, Shows::Arrow, false},
        {"custom image", 1, true, true, false, true, Shows::Hidden, true},
        {"custom image while custom cursors are off", 1, true, false, false, true, Shows::Hand, false},
        {"id 12 is always custom", 12, true, false, false, true, Shows::Hidden, true},
        {"playback refuses the real pointer inside", 1, true, false, true, true, Shows::No, true},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        mApp->mCursorNum = each.cursor;
        mApp->mMouseIn = each.mouseIn;
        mApp->mCustomCursorsEnabled = each.customOn;
        mApp->mPlaying = each.playing;
        for (Lumo::Image*& image : mApp->mCursorImages)
            image = each.hasImage ? &custom : nullptr;
        mApp->ApplyCursor();

        HCURSOR expected = nullptr;
        switch (each.system) {
        case Shows::Arrow: expected = LoadCursorA(IDC_ARROW); break;
        case Shows::Hand: expected = mApp->mHandCursor; break;
        case Shows::Dragging: expected = mApp->mDraggingCursor; break;
        case Shows::IBeam: expected = LoadCursorA(IDC_IBEAM); break;
        case Shows::Wait: expected = LoadCursorA(IDC_WAIT); break;
        case Shows::No: expected = LoadCursorA(IDC_NO); break;
        case Shows::Hidden: break;
        }
        EXPECT_EQ(GetCursor(), expected);
        EXPECT_EQ(mApp->mDDInterface->mCursorImage, each.drawsImage ? &custom : nullptr);
        EXPECT_EQ(mApp->mSysCursor, !each.drawsImage);
    }
    for (Lumo::Image*& image : mApp->mCursorImages)
        image = nullptr;
    mApp->mPlaying = false;
    mApp->ApplyCursor();
}

// The scaled copy of the cursor is made again after the application comes
// back, so a cursor image that changed while it was away shows as it is now.
TEST_F(CursorTest, ComingBackScalesTheCursorAfresh)
{
    ASSERT_NE(StartApp(), nullptr);
    Lumo::DDInterface& display = *mApp->mDDInterface;
    Lumo::MemoryImage cursor(mApp.get());
    const auto paint = [&](uint32_t rgb) {
        cursor.SetBits(std::vector<uint32_t>(8 * 8, 0xFF000000 | rgb).data(), 8, 8, true);
    };
    paint(0xFF0000);
    ASSERT_TRUE(display.SetCursorImage(&cursor));
    display.mCursorX = 100;
    display.mCursorY = 100;
    POINT shownAt{100, 100};
    ClientToScreen(mApp->mHWnd, &shownAt);
    // The scaled copy passes a smooth stretch, which may take a step off a channel.
    const auto shows = [&](uint32_t rgb) {
        display.Redraw(nullptr);
        const uint32_t pixel = display.mPrimarySurface->PixelAt(shownAt.x, shownAt.y);
        for (int shift : {0, 8, 16})
            if (std::abs(int(pixel >> shift & 0xFF) - int(rgb >> shift & 0xFF)) > 2)
                return false;
        return true;
    };
    ASSERT_TRUE(shows(0xFF0000));

    paint(0x0000FF);
    Send(WM_ACTIVATEAPP, 0, 0);
    Send(WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(shows(0x0000FF));
    display.SetCursorImage(nullptr);
}

} // namespace
} // namespace LumoTest
