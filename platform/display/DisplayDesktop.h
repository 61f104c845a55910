#pragma once

#include "platform/display/DirectDrawTypes.h"
#include "platform/display/DirectXResults.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace Platform {

// What the display calls learn of the desktop, and the faults tests ask them
// to report. The sdl backend fills it from the desktop; headless runs get a
// 32-bit desktop at 60 Hz that tests may change before they open a display.
struct DesktopFormat {
    uint32_t bitsPerPixel = 32;
    uint32_t redMask = 0x00FF0000;
    uint32_t greenMask = 0x0000FF00;
    uint32_t blueMask = 0x000000FF;
    // 0: the monitor rate cannot be read.
    uint32_t refreshRate = 60;
    uint32_t videoMemoryBytes = 256u << 20;
    // Bytes added to every surface row, so that code that assumes a tight
    // pitch shows up in tests.
    int32_t pitchPadding = 0;
    // The display adapter: its driver file (a bare name lies in the system
    // folder), description and device identifier. The layer's own device is
    // no card the self-test knows.
    std::string adapterDriver = "lumosoft.drv";
    std::string adapterDescription = "Lumo Software Rasterizer";
    std::array<uint8_t, 16> adapterGuid{0x4C, 0x75, 0x6D, 0x6F, 0x53, 0x6F, 0x66, 0x74,
                                        0x52, 0x61, 0x73, 0x74, 0x65, 0x72, 0x37, 0x01};

    // Fills the fields of an adapter identifier record (either interface's).
    template <size_t N>
    void CopyAdapterIdentity(char (&driver)[N], char (&description)[N], uint8_t (&guid)[16]) const
    {
        driver[adapterDriver.copy(driver, N - 1)] = '\0';
        description[adapterDescription.copy(description, N - 1)] = '\0';
        std::copy(adapterGuid.begin(), adapterGuid.end(), guid);
    }
};

class DisplayDesktop {
public:
    static DesktopFormat Format();
    static void SetFormat(const DesktopFormat& format);
    // Back to what the backend reports, with no faults pending.
    static void Reset();

    // The nth call (1 = the next) of the named method, counted from now,
    // fails with the result. Method names are those of the calls ("Blt",
    // "Lock", "CreateSurface", "DirectDrawCreateEx", ...).
    static void FailCall(const std::string& method, int32_t nth, HRESULT result);
    // DD_OK, or the result injected for this call of the method.
    static HRESULT Fault(const char* method);
};

} // namespace Platform
