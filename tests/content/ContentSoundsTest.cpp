#include "platform/sound/WavReader.h"
#include "tests/content/ContentFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace ContentTest {
namespace {

std::vector<uint8_t> Bytes(const std::string& path)
{
    const std::string text = LumoTest::ReadFile(path);
    return {text.begin(), text.end()};
}

// What the jukebox plays: 24 effects, each audible, unclipped and as long as
// its use needs; the tally tick loops, so its ends must meet.
TEST(ContentSounds, EverySoundDecodesAndIsHeard)
{
    const double seconds[24] = {0.25, 0.5, 0.7, 0.4, 0.12, 0.15, 0.25, 0.35, 0.2, 0.3, 0.5, 0.25,
                                0.15, 0.5, 0.4, 0.3, 0.3, 0.8, 0.05, 1.2, 0.1, 0.04, 0.6, 0.4};
    for (int id = 0; id < 24; ++id) {
        char name[32];
        std::snprintf(name, sizeof name, "res/sfx/s%02d.wav", id);
        SCOPED_TRACE(name);
        const auto pcm = Platform::WavReader::Read(Bytes(ContentFiles::Made(name)));
        ASSERT_TRUE(pcm);
        EXPECT_EQ(pcm->format.nChannels, 1);
        EXPECT_EQ(pcm->format.wBitsPerSample, 16);
        EXPECT_EQ(pcm->format.nSamplesPerSec, 22050u);
        EXPECT_NEAR(pcm->FrameCount() / 22050.0, seconds[id], 0.001);
        const auto* samples = reinterpret_cast<const int16_t*>(pcm->bytes.data());
        int peak = 0;
        for (uint32_t i = 0; i < pcm->FrameCount(); ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        // -3 dBFS: loud enough to hear, clear of clipping.
        EXPECT_NEAR(peak, 23197, 40);
        EXPECT_LT(std::abs(samples[0]), 2000);
        EXPECT_LT(std::abs(samples[pcm->FrameCount() - 1]), 2000);
    }
}

// Each song starts at its own order and must loop inside its section, never
// running on into the next song.
TEST(ContentSounds, TheModuleHoldsSixSongsThatLoopOnTheirOwn)
{
    const std::vector<uint8_t> file = Bytes(ContentFiles::Made("res/music/zentrova.mod"));
    const std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> owner(
        openmpt_module_create_from_memory2(file.data(), file.size(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr),
        openmpt_module_destroy);
    openmpt_module* module = owner.get();
    ASSERT_TRUE(module);
    // The music player repeats for ever, as the jukebox does.
    openmpt_module_set_repeat_count(module, -1);
    EXPECT_EQ(openmpt_module_get_num_orders(module), 12);
    EXPECT_EQ(openmpt_module_get_num_channels(module), 4);
    constexpr int kRate = 22050;
    std::vector<int16_t> block(1024);
    for (int song = 0; song < 6; ++song) {
        SCOPED_TRACE(song);
        openmpt_module_set_position_order_row(module, song * 2, 0);
        double energy = 0;
        int frames = 0;
        while (frames < 20 * kRate) {
            const size_t got = openmpt_module_read_mono(module, kRate, block.size(), block.data());
            ASSERT_GT(got, 0u) << "the song ended instead of looping";
            for (size_t i = 0; i < got; ++i)
                energy += double(block[i]) * block[i];
            frames += int(got);
            const int order = openmpt_module_get_current_order(module);
            ASSERT_TRUE(order == song * 2 || order == song * 2 + 1) << "ran into order " << order;
        }
        EXPECT_GT(std::sqrt(energy / frames), 800.0) << "the song is near silent";
    }
}

} // namespace
} // namespace ContentTest
