#include "platform/display/DisplayDesktop.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace AppTest {
namespace {

using Platform::DesktopFormat;

// Frames are compared this often: one drawn frame in five of the test game's.
constexpr int kEvery = 100;

// How far a 565 channel may lie from the narrowed 32-bit one. One layer
// drawn into 565 comes within one step, or two where the translucent blend
// keeps ((256 - alpha) >> 3) / 32 of the destination and the
// premultiplied source is cut to 5 and 6 bits before it is added: both floor.
// The game lays up to several such layers (backdrop, panels, fades), and the
// kept games reach seven steps at the most, where a field's blocks fly in
// over the level map as it fades.
constexpr int kSteps = 7;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A kept game and the archive it was recorded on.
struct KeptGame {
    const char* name;
    const char* demo;
    const char* archive;
};

void PrintTo(const KeptGame& game, std::ostream* out)
{
    *out << game.name;
}

// The three channels of a 565 pixel.
struct Channels {
    int32_t red, green, blue;

    int32_t FurthestFrom(const Channels& other) const
    {
        return std::max({std::abs(red - other.red), std::abs(green - other.green), std::abs(blue - other.blue)});
    }
};

// A 32-bit frame's pixel narrowed to 565 as the display's conversion tables
// place an 8-bit channel into 5 and 6 bits.
uint16_t Narrowed(uint32_t argb)
{
    return uint16_t((argb >> 16 & 0xFF) * 31 / 255 << 11 | (argb >> 8 & 0xFF) * 63 / 255 << 5 | (argb & 0xFF) * 31 / 255);
}

Channels Of(uint16_t pixel)
{
    return {pixel >> 11, pixel >> 5 & 0x3F, pixel & 0x1F};
}

// The 565 channels a shown 16-bit frame's pixel was widened from, each as
// value * 255 / maximum.
Channels Unwidened(uint32_t argb)
{
    auto channel = [](uint32_t wide, int32_t maximum) { return (int32_t(wide & 0xFF) * maximum + 254) / 255; };
    return {channel(argb >> 16, 31), channel(argb >> 8, 63), channel(argb, 31)};
}

class SixteenBitFramesTest : public ShippedGameTest, public testing::WithParamInterface<KeptGame> {
protected:
    // The kept game replayed on a desktop of the format, with each shown
    // every kEvery updates.
    void Replay(const DesktopFormat& desktop, const std::function<void(int, const std::vector<uint32_t>&)>& each)
    {
        Platform::DisplayDesktop::Reset();
        Platform::DisplayDesktop::SetFormat(desktop);
        if (GetParam().archive)
            ShipArchive(GetParam().archive);
        std::filesystem::remove(DataFile("users.dat"));
        std::filesystem::remove(DataFile("scores.dat"));
        ScriptedGame& game = Start(std::make_unique<ScriptedGame>("-play", GetParam().demo));
        game.mScript = [&](int update) {
            if (update % kEvery != 0)
                return;
            int32_t width = 0, height = 0;
            const std::vector<uint32_t> frame = mSession.Desktop().Frame(game.mHWnd, &width, &height);
            ASSERT_EQ(width, kWidth);
            ASSERT_EQ(height, kHeight);
            each(update, frame);
        };
        game.Run();
        EXPECT_TRUE(game.mFatalErrors.empty());
        EXPECT_FALSE(game.RanOutIdle());
        mGame.reset();
    }
};

// On a 16-bit desktop the game draws at 16 bits: every frame of a kept game
// drawn into 565 is the frame drawn at 32 bits narrowed to 565, pixel by
// pixel, within what 565's floors add up to.
TEST_P(SixteenBitFramesTest, AreTheThirtyTwoBitFramesNarrowed)
{
    DesktopFormat sixteen;
    sixteen.bitsPerPixel = 16;
    sixteen.redMask = 0xF800;
    sixteen.greenMask = 0x07E0;
    sixteen.blueMask = 0x001F;

    // The narrowed 32-bit frames, kept on disk: a whole game's are large.
    const std::filesystem::path kept = mFolder / "narrowed.frames";
    std::vector<int> updates;
    {
        std::ofstream out(kept, std::ios::binary);
        Replay(DesktopFormat{}, [&](int update, const std::vector<uint32_t>& frame) {
            std::vector<uint16_t> narrowed(frame.size());
            for (size_t i = 0; i < frame.size(); ++i)
                narrowed[i] = Narrowed(frame[i]);
            out.write(reinterpret_cast<const char*>(narrowed.data()), std::streamsize(narrowed.size() * 2));
            updates.push_back(update);
        });
    }
    ASSERT_FALSE(updates.empty());

    std::ifstream in(kept, std::ios::binary);
    size_t compared = 0;
    int failedFrames = 0;
    Replay(sixteen, [&](int update, const std::vector<uint32_t>& frame) {
        ASSERT_LT(compared, updates.size());
        ASSERT_EQ(update, updates[compared]);
        ++compared;
        std::vector<uint16_t> narrowed(frame.size());
        in.read(reinterpret_cast<char*>(narrowed.data()), std::streamsize(narrowed.size() * 2));
        size_t off = 0;
        std::ostringstream first;
        for (size_t i = 0; i < frame.size(); ++i) {
            const Channels shown = Unwidened(frame[i]);
            const Channels wanted = Of(narrowed[i]);
            if (shown.FurthestFrom(wanted) <= kSteps)
                continue;
            if (off++ < 5)
                first << " (" << i % kWidth << ", " << i / kWidth << "): " << shown.red << " " << shown.green << " "
                      << shown.blue << " for " << wanted.red << " " << wanted.green << " " << wanted.blue << ";";
        }
        if (off > 0 && failedFrames++ < 10)
            ADD_FAILURE() << "update " << update << ": " << off << " pixels off, first" << first.str();
    });
    EXPECT_EQ(compared, updates.size());
    EXPECT_EQ(failedFrames, 0);
}

INSTANTIATE_TEST_SUITE_P(KeptGames, SixteenBitFramesTest,
                         testing::Values(KeptGame{"game", LUMO_FIXTURES_DIR "/demo/game.dmo", nullptr},
                                         KeptGame{"tour", LUMO_FIXTURES_DIR "/demo/tour.dmo", ZENTROVA_QUICK_PAK}),
                         [](const testing::TestParamInfo<KeptGame>& info) { return std::string(info.param.name); });

} // namespace
} // namespace AppTest
