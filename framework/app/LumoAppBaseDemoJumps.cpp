#include "framework/app/LumoAppBase.h"

#include "framework/core/StringUtils.h"
#include "platform/storage/Registry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace Lumo {

using namespace Platform;

namespace {

constexpr const char* kJumpTimeValue = "DemoJumpTime";

int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

std::vector<std::pair<std::string, int32_t>> LumoAppBase::DemoMarkerEntries() const
{
    std::vector<std::pair<std::string, int32_t>> entries;
    for (const DemoMarker& marker : mDemoMarkers) {
        if (marker.mUpdate <= mUpdateCount)
            continue;
        const int64_t seconds = (int64_t(mDemoTotalUpdates) - marker.mUpdate) * mFrameTime / 1000;
        entries.emplace_back(FormatString("%s (%02d:%02d:%02d)", marker.mName.c_str(), int(seconds / 3600),
                                          int((seconds / 60) % 60), int(seconds % 60)),
                             marker.mUpdate);
    }
    return entries;
}

bool LumoAppBase::JumpToDemoMarker(int32_t update)
{
    if (update <= mUpdateCount)
        return false;
    mJumpTarget = update;
    return true;
}

int32_t LumoAppBase::ParseJumpTime(const std::string& text)
{
    int64_t seconds = 0;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(':', start);
        const std::string field = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const int64_t value = std::strtol(field.c_str(), nullptr, 10);
        seconds = std::clamp<int64_t>(seconds * 60 + value, INT32_MIN, INT32_MAX);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return int32_t(seconds);
}

// The remembered text lives in the settings store itself: a playback must
// neither record it nor answer it from the demo.
std::string LumoAppBase::StoredDemoJumpTime() const
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ("SOFTWARE\\" + mRegKey).c_str(), &key) != ERROR_SUCCESS)
        return std::string();
    uint8_t text[1000] = {};
    uint32_t type = 0;
    uint32_t length = sizeof(text);
    std::string stored;
    if (RegQueryValueExA(key, kJumpTimeValue, &type, text, &length) == ERROR_SUCCESS && type == REG_SZ)
        stored.assign(reinterpret_cast<const char*>(text), strnlen(reinterpret_cast<const char*>(text), length));
    RegCloseKey(key);
    return stored;
}

void LumoAppBase::JumpToDemoTime(const std::string& text)
{
    const std::string entered = text.substr(0, 500);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ("SOFTWARE\\" + mRegKey).c_str(), &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, kJumpTimeValue, REG_SZ, reinterpret_cast<const uint8_t*>(entered.c_str()),
                       uint32_t(entered.size() + 1));
        RegCloseKey(key);
    }
    const int64_t seconds = ParseJumpTime(entered);
    mJumpTarget = ClampToInt32(int64_t(mDemoTotalUpdates) - (seconds + 1) * 1000 / mFrameTime);
}

} // namespace Lumo
