#include "platform/display/DisplayDesktop.h"

#include "platform/windows/Window.h"

#include <SDL.h>

#include <cstring>
#include <optional>

namespace Platform {

namespace {

struct PendingFault {
    int32_t callsLeft;
    HRESULT result;
};

struct DesktopState {
    std::mutex lock;
    std::optional<DesktopFormat> format;
    std::multimap<std::string, PendingFault> faults;
};

DesktopState& State()
{
    static DesktopState state;
    return state;
}

// A 16-bit desktop keeps its masks; anything deeper is shown as 32-bit RGB.
DesktopFormat FromBackend()
{
    DesktopFormat format;
    if (std::strcmp(GetPlatformName(), "sdl") != 0)
        return format;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return format;
    format.refreshRate = mode.refresh_rate > 0 ? uint32_t(mode.refresh_rate) : 0;
    int bits = 0;
    uint32_t red = 0, green = 0, blue = 0, alpha = 0;
    if (SDL_PixelFormatEnumToMasks(mode.format, &bits, &red, &green, &blue, &alpha) && bits == 16) {
        format.bitsPerPixel = 16;
        format.redMask = red;
        format.greenMask = green;
        format.blueMask = blue;
    }
    return format;
}

} // namespace

DesktopFormat DisplayDesktop::Format()
{
    DesktopState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    if (!state.format)
        state.format = FromBackend();
    return *state.format;
}

void DisplayDesktop::SetFormat(const DesktopFormat& format)
{
    DesktopState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    state.format = format;
}

void DisplayDesktop::Reset()
{
    DesktopState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    state.format.reset();
    state.faults.clear();
}

void DisplayDesktop::FailCall(const std::string& method, int32_t nth, HRESULT result)
{
    DesktopState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    state.faults.insert({method, PendingFault{nth, result}});
}

HRESULT DisplayDesktop::Fault(const char* method)
{
    DesktopState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    HRESULT result = DD_OK;
    auto [first, last] = state.faults.equal_range(method);
    for (auto it = first; it != last;) {
        if (--it->second.callsLeft == 0) {
            result = it->second.result;
            it = state.faults.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

} // namespace Platform
