#include "platform/windows/Cursor.h"

#include "platform/process/Log.h"
#include "platform/windows/WindowSystem.h"

#include <cstring>

namespace Platform {

namespace {

constexpr int32_t kLargestCursor = 256;

bool IsStandard(uint32_t id)
{
    switch (id) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_SIZENWSE:
    case IDC_SIZENESW:
    case IDC_SIZEWE:
    case IDC_SIZENS:
    case IDC_SIZEALL:
    case IDC_NO:
    case IDC_HAND:
        return true;
    default:
        return false;
    }
}

} // namespace

HCURSOR LoadCursorA(uint32_t id)
{
    return IsStandard(id) ? WindowSystem::Current().Cursors().LoadSystem(id) : nullptr;
}

HCURSOR CreateCursor(int32_t hotX, int32_t hotY, int32_t width, int32_t height, const void* andMask,
                     const void* xorMask)
{
    if (width <= 0 || height <= 0 || width > kLargestCursor || height > kLargestCursor || !andMask || !xorMask ||
        hotX < 0 || hotY < 0 || hotX >= width || hotY >= height) {
        LogLine("CreateCursor: refused a cursor of " + std::to_string(width) + " x " + std::to_string(height));
        return nullptr;
    }
    CursorRecord cursor;
    cursor.width = width;
    cursor.height = height;
    cursor.hotX = hotX;
    cursor.hotY = hotY;
    size_t bytes = size_t(CursorRecord::RowBytes(width)) * size_t(height);
    cursor.andMask.resize(bytes);
    cursor.xorMask.resize(bytes);
    std::memcpy(cursor.andMask.data(), andMask, bytes);
    std::memcpy(cursor.xorMask.data(), xorMask, bytes);
    return WindowSystem::Current().Cursors().Create(std::move(cursor));
}

bool DestroyCursor(HCURSOR cursor)
{
    WindowSystem& system = WindowSystem::Current();
    if (!system.Cursors().Destroy(cursor))
        return false;
    system.ShowCurrentCursor();
    return true;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    WindowSystem& system = WindowSystem::Current();
    HCURSOR previous = system.Cursors().Set(cursor);
    system.ShowCurrentCursor();
    return previous;
}

HCURSOR GetCursor() { return WindowSystem::Current().Cursors().Current(); }

int ShowCursor(bool show)
{
    WindowSystem& system = WindowSystem::Current();
    int count = system.Cursors().Show(show);
    system.ShowCurrentCursor();
    return count;
}

} // namespace Platform
