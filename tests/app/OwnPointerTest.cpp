#include "framework/display/DDInterface.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/Point.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace AppTest {
namespace {

constexpr int32_t kGiveUpAt = 20000;

struct Mode {
    const char* name;
    bool windowed;
};

void PrintTo(const Mode& mode, std::ostream* out)
{
    *out << mode.name;
}

// An opaque pixel of the picture as shown, within what a desktop of 16 bits
// keeps of red and blue (5 bits).
bool Near(uint32_t shown, uint32_t picture)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int32_t(shown >> shift & 0xFF) - int32_t(picture >> shift & 0xFF)) > 8)
            return false;
    return true;
}

// "Own mouse pointer" on: the game draws its pointer picture itself, and the
// arrow's tip must stand on the pixel that the mouse points at, where a click lands.
class OwnPointerTest : public ShippedGameTest, public testing::WithParamInterface<Mode> {};

TEST_P(OwnPointerTest, TheTipStandsWhereTheMousePoints)
{
    auto made = std::make_unique<ScriptedGame>();
    made->RegistryWriteInteger("ScreenMode", GetParam().windowed ? 0 : 1);
    made->RegistryWriteInteger("CustomCursors", 1);
    ScriptedGame& game = Start(std::move(made));

    std::unique_ptr<Lumo::MemoryImage> pointer(game.CreateImageFromFileAlt("res\\cursor_pointer.png", true));
    ASSERT_TRUE(pointer);
    const int32_t width = pointer->GetWidth(), height = pointer->GetHeight();
    const uint32_t* bits = pointer->GetPixelBits();
    // The tip: the first pixel of the picture's first row that shows.
    int32_t tip = 0;
    while (tip < width * height && (bits[tip] >> 24) == 0)
        ++tip;
    ASSERT_LT(tip, width * height);
    const int32_t tipX = tip % width, tipY = tip / width;

    // The middle, and near the corners, where the arrow is cut by the frame's edges.
    const std::vector<Lumo::Point> points = {{400, 300}, {3, 5}, {790, 590}, {640, 20}};
    size_t next = 0;
    int32_t drawsBefore = -1;
    game.mScript = [&](int update) {
        if (update == kGiveUpAt) {
            ADD_FAILURE() << "gave up at point " << next;
            game.RequestShutdown();
        }
        if (game.LoadingStateNow() != CGameApp::kLoadHandled || update < 100)
            return;
        const Lumo::Point at = points[next];
        const Lumo::DDInterface& display = *game.mDDInterface;
        if (drawsBefore < 0) {
            mSession.Desktop().InjectMouseMove(game.mHWnd, at.mX, at.mY);
            drawsBefore = 0;
            return;
        }
        // The cursor thread hands the position on; a frame drawn after that shows it.
        if (display.mCursorX != at.mX || display.mCursorY != at.mY)
            return;
        if (drawsBefore == 0) {
            drawsBefore = game.mDrawCount;
            return;
        }
        if (game.mDrawCount == drawsBefore)
            return;
        int32_t frameWidth = 0, frameHeight = 0;
        const std::vector<uint32_t> frame = mSession.Desktop().Frame(game.mHWnd, &frameWidth, &frameHeight);
        ASSERT_EQ(frameWidth, game.GetWidth());
        int32_t compared = 0;
        std::string off;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t shown = bits[y * width + x];
                const int32_t fx = at.mX + x - tipX, fy = at.mY + y - tipY;
                if ((shown >> 24) != 0xFF || fx < 0 || fy < 0 || fx >= frameWidth || fy >= frameHeight)
                    continue;
                ++compared;
                if (!Near(frame[size_t(fy * frameWidth + fx)], shown) && off.empty())
                    off = "picture pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is not at (" +
                          std::to_string(fx) + ", " + std::to_string(fy) + ")";
            }
        EXPECT_GT(compared, 10) << "at (" << at.mX << ", " << at.mY << ")";
        EXPECT_EQ(off, "") << "pointing at (" << at.mX << ", " << at.mY << ")";
        drawsBefore = -1;
        if (++next == points.size())
            game.RequestShutdown();
    };
    game.Run();
    EXPECT_EQ(next, points.size());
    EXPECT_TRUE(game.mFatalErrors.empty());
}

INSTANTIATE_TEST_SUITE_P(Modes, OwnPointerTest,
                         testing::Values(Mode{"window", true}, Mode{"fullscreen", false}),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

} // namespace
} // namespace AppTest
