#include "tests/display/DisplayFixture.h"

#include "platform/display/DevicePixels.h"
#include "platform/display/Direct3DTypes.h"

#include <bit>
#include <vector>

using namespace Platform;

namespace {

// The 3D device's 16-bit formats: every raw value widens in rows as it does
// alone, and narrows back to itself.
class DevicePixelsTest : public DisplayTest::DisplayFixture {};

TEST_F(DevicePixelsTest, SixteenBitRowsWidenAndNarrowEveryValueExactly)
{
    struct Format {
        const char* name;
        uint32_t alpha, red, green, blue;
    };
    const Format formats[] = {
        {"565", 0, 0xF800, 0x07E0, 0x001F},
        {"555", 0, 0x7C00, 0x03E0, 0x001F},
        {"1555", 0x8000, 0x7C00, 0x03E0, 0x001F},
        {"4444", 0xF000, 0x0F00, 0x00F0, 0x000F},
    };
    std::vector<uint16_t> raw(65536);
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = uint16_t(i);
    for (const Format& format : formats) {
        void* made = nullptr;
        DirectDrawCreateEx(nullptr, &made, IID_IDirectDraw7, nullptr);
        auto* directDraw = static_cast<IDirectDraw7*>(made);
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = 1;
        desc.dwHeight = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB | (format.alpha ? DDPF_ALPHAPIXELS : 0);
        desc.ddpfPixelFormat.dwRGBBitCount = 16;
        desc.ddpfPixelFormat.dwRGBAlphaBitMask = format.alpha;
        desc.ddpfPixelFormat.dwRBitMask = format.red;
        desc.ddpfPixelFormat.dwGBitMask = format.green;
        desc.ddpfPixelFormat.dwBBitMask = format.blue;
        IDirectDrawSurface7* surface = nullptr;
        ASSERT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
        std::array<uint32_t, 256> palette;
        const DevicePixels pixels = DevicePixels::Of(surface, palette);
        surface->Release();
        directDraw->Release();
        ASSERT_EQ(pixels.kind, DevicePixels::Kind::Packed16) << format.name;
        const uint32_t masks[4] = {format.alpha, format.red, format.green, format.blue};
        const uint32_t used = format.alpha | format.red | format.green | format.blue;
        std::vector<uint32_t> argb(raw.size());
        // An odd count leaves a tail for the pixel-by-pixel form.
        pixels.WidenRow(reinterpret_cast<const uint8_t*>(raw.data()), int32_t(raw.size() - 3), argb.data());
        pixels.WidenRow(reinterpret_cast<const uint8_t*>(raw.data() + raw.size() - 3), 3, argb.data() + raw.size() - 3);
        std::vector<uint16_t> back(raw.size());
        pixels.NarrowRow(argb.data(), int32_t(raw.size() - 5), reinterpret_cast<uint8_t*>(back.data()));
        pixels.NarrowRow(argb.data() + raw.size() - 5, 5, reinterpret_cast<uint8_t*>(back.data() + raw.size() - 5));
        int wrong = 0;
        for (size_t i = 0; i < raw.size(); ++i) {
            uint32_t expected = 0;
            for (int c = 0; c < 4; ++c) {
                const int shift = std::countr_zero(masks[c]);
                const uint32_t value = masks[c] ? (raw[i] & masks[c]) >> shift : 0;
                expected |= (masks[c] ? value * 255 / (masks[c] >> shift) : 255) << (24 - 8 * c);
            }
            wrong += argb[i] != expected || back[i] != (raw[i] & used) ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0) << format.name;
    }
}

} // namespace
