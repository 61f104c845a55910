#include "platform/display/DisplayDesktop.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <vector>

namespace AppTest {
namespace {

using Platform::DesktopFormat;

// Moments of the kept demo: the menu coming in, and play on the second level.
constexpr int kMenuAt = 1500;
constexpr int kPlayAt = 4000;

// The frames the window showed at those moments.
struct ShownFrames {
    std::vector<uint32_t> menu;
    std::vector<uint32_t> play;
};

class SixteenBitFramesTest : public ShippedGameTest {
protected:
    // The kept demo replayed on a desktop of the format, its frames taken at
    // a moment of the menu and one of play.
    ShownFrames Replay(const DesktopFormat& desktop)
    {
        Platform::DisplayDesktop::Reset();
        Platform::DisplayDesktop::SetFormat(desktop);
        std::filesystem::remove(DataFile("users.dat"));
        std::filesystem::remove(DataFile("scores.dat"));
        ScriptedGame& game = Start(std::make_unique<ScriptedGame>("-play", LUMO_FIXTURES_DIR "/demo/game.dmo"));
        ShownFrames frames;
        auto shown = [&] {
            int32_t width = 0, height = 0;
            return mSession.Desktop().Frame(game.mHWnd, &width, &height);
        };
        game.mScript = [&](int update) {
            if (update == kMenuAt)
                frames.menu = shown();
            if (update == kPlayAt) {
                frames.play = shown();
                game.RequestShutdown();
            }
        };
        game.Run();
        EXPECT_TRUE(game.mFatalErrors.empty());
        mGame.reset();
        return frames;
    }
};

// How far the 16-bit frame lies from the 32-bit one: the mean of the channels'
// differences, and the share of pixels with a channel further off than far.
struct Distance {
    double mean = 0;
    double farShare = 0;
};

Distance Between(const std::vector<uint32_t>& wide, const std::vector<uint32_t>& narrow, int32_t far)
{
    Distance distance;
    size_t farPixels = 0;
    for (size_t i = 0; i < wide.size(); ++i) {
        int32_t worst = 0;
        for (int shift : {16, 8, 0}) {
            const int32_t difference = std::abs(int32_t(wide[i] >> shift & 0xFF) - int32_t(narrow[i] >> shift & 0xFF));
            distance.mean += difference;
            worst = std::max(worst, difference);
        }
        farPixels += worst > far ? 1 : 0;
    }
    distance.mean /= double(wide.size() * 3);
    distance.farShare = double(farPixels) / double(wide.size());
    return distance;
}

// A first start draws full screen at 16 bits: the game drawn into 565 shows
// what it shows at 32 bits, within what 565's coarser channels round away.
TEST_F(SixteenBitFramesTest, ShowWhatThirtyTwoBitFramesShow)
{
    DesktopFormat sixteen;
    sixteen.bitsPerPixel = 16;
    sixteen.redMask = 0xF800;
    sixteen.greenMask = 0x07E0;
    sixteen.blueMask = 0x001F;
    const ShownFrames wide = Replay(DesktopFormat{});
    const ShownFrames narrow = Replay(sixteen);
    for (const auto& [name, a, b] : {std::tuple{"menu", &wide.menu, &narrow.menu}, {"play", &wide.play, &narrow.play}}) {
        ASSERT_EQ(a->size(), size_t(800 * 600)) << name;
        ASSERT_EQ(b->size(), a->size()) << name;
        const Distance distance = Between(*a, *b, 32);
        EXPECT_LT(distance.mean, 8.0) << name;
        EXPECT_LT(distance.farShare, 0.001) << name;
    }
}

} // namespace
} // namespace AppTest
