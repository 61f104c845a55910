#include "framework/app/LumoAppBase.h"

#include "platform/windows/WindowConstants.h"

#include <algorithm>
#include <cstdlib>

namespace Lumo {

using namespace Platform;

void LumoAppBase::DemoRecordSync()
{
    while (mUpdateCount - mDemoNextUpdate > 15) {
        mDemoBuffer.WriteBits(15, 4);
        mDemoNextUpdate += 15;
        mDemoBuffer.WriteBits(0, 1);
        mDemoBuffer.WriteBits(31, 5);
    }
    mDemoBuffer.WriteBits(mUpdateCount - mDemoNextUpdate, 4);
    mDemoNextUpdate = mUpdateCount;
}

void LumoAppBase::DemoRecordKind(int32_t kind)
{
    DemoRecordSync();
    mDemoBuffer.WriteBits(0, 1);
    mDemoBuffer.WriteBits(kind, 5);
}

bool LumoAppBase::DemoReadRecordHeader()
{
    if (mDemoNeedsHeader) {
        // The smallest record takes 10 bits and the last byte's padding at
        // most 7, so fewer bits left are the end, not one more record.
        if (DemoBitsLeft() < 10)
            mDemoEnded = true;
        if (mDemoEnded)
            return true;
        mDemoNextUpdate += mDemoBuffer.ReadBits(4, false);
        mDemoIsShort = mDemoBuffer.ReadBits(1, false) == 1;
        mDemoCommand = mDemoBuffer.ReadBits(mDemoIsShort ? 1 : 5, false);
        mDemoNeedsHeader = false;
    }
    return mUpdateCount == mDemoNextUpdate;
}

void LumoAppBase::DemoSyncBuffer(Buffer& data)
{
    if (mPlaying) {
        if (mManualShutdown)
            return;
        DemoReadRecordHeader();
        mDemoNeedsHeader = true;
        const int32_t length = mDemoBuffer.ReadLong();
        // A length the stream cannot hold comes from a damaged file: what is
        // there is taken, and the demo ends.
        const int64_t remaining = std::max<int64_t>(DemoBitsLeft() / 8, 0);
        if (length < 0 || length > remaining)
            mDemoEnded = true;
        const int64_t count = std::clamp<int64_t>(length, 0, remaining);
        data.Clear();
        for (int64_t i = 0; i < count; ++i)
            data.WriteByte(mDemoBuffer.ReadByte());
    } else if (mRecording) {
        DemoRecordKind(18);
        mDemoBuffer.WriteLong(data.GetDataLen());
        mDemoBuffer.WriteBytes(data.GetDataPtr(), data.GetDataLen());
    }
}

void LumoAppBase::DemoSyncString(LumoAppBase* app, std::string& text)
{
    Buffer buffer;
    buffer.WriteString(text);
    app->DemoSyncBuffer(buffer);
    buffer.RewindRead();
    text = buffer.ReadString();
}

namespace {

// A value exchanged as a data block on the global application's demo.
template <typename Write, typename Read>
void DemoSyncValue(Write write, Read read)
{
    if (!gLumoApp)
        return;
    Buffer buffer;
    write(buffer);
    gLumoApp->DemoSyncBuffer(buffer);
    buffer.RewindRead();
    read(buffer);
}

} // namespace

void LumoAppBase::DemoSyncBool(bool& flag)
{
    DemoSyncValue([&](Buffer& buffer) { buffer.WriteBool(flag); },
                  [&](Buffer& buffer) { flag = buffer.ReadBool(); });
}

void LumoAppBase::DemoSyncInteger(int32_t& value)
{
    DemoSyncValue([&](Buffer& buffer) { buffer.WriteLong(value); },
                  [&](Buffer& buffer) { value = buffer.ReadLong(); });
}

void LumoAppBase::DemoRecordInput(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATEAPP:
        if (window == mHWnd) {
            DemoRecordKind(1);
            mDemoBuffer.WriteBits(wParam != 0 ? 1 : 0, 1);
        }
        return;
    case WM_CLOSE:
        if (window == mHWnd || window == mInvisHWnd)
            DemoRecordKind(6);
        return;
    case WM_SIZE:
        DemoRecordKind(2);
        mDemoBuffer.WriteBool(wParam == SIZE_MINIMIZED);
        // Maximising switches to full screen. Its own record kind carries
        // nothing, so players that pass over unknown kinds stay in step.
        if (wParam == SIZE_MAXIMIZED)
            DemoRecordKind(24);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        DemoRecordKind(3);
        mDemoBuffer.WriteBits(int32_t(wParam & 0xFF), 8);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        DemoRecordKind(4);
        mDemoBuffer.WriteBits(int32_t(wParam & 0xFF), 8);
        return;
    case WM_CHAR:
        DemoRecordKind(5);
        mDemoBuffer.WriteBits(0, 1);
        mDemoBuffer.WriteBits(int32_t(wParam & 0xFF), 8);
        return;
    case WM_MOUSEWHEEL:
        DemoRecordKind(21);
        mDemoBuffer.WriteBits(GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA, 8);
        return;
    default:
        break;
    }
    if (message < WM_MOUSEMOVE || message > WM_MBUTTONUP || message == WM_MBUTTONDBLCLK)
        return;

    const int32_t x = GET_X_LPARAM(lParam);
    const int32_t y = GET_Y_LPARAM(lParam);
    const int32_t dx = x - mDemoMouseX;
    const int32_t dy = y - mDemoMouseY;
    if (std::abs(dx) < 32 && std::abs(dy) < 32) {
        if (dx != 0 || dy != 0) {
            DemoRecordSync();
            mDemoBuffer.WriteBits(1, 1);
            mDemoBuffer.WriteBits(0, 1);
            mDemoBuffer.WriteBits(dx, 6);
            mDemoBuffer.WriteBits(dy, 6);
        }
    } else {
        DemoRecordKind(0);
        mDemoBuffer.WriteBits(x, 12);
        mDemoBuffer.WriteBits(y, 12);
    }

    int32_t button = 0;
    bool down = true;
    switch (message) {
    case WM_LBUTTONDOWN: button = 1; break;
    case WM_LBUTTONDBLCLK: button = 2; break;
    case WM_RBUTTONDOWN: button = -1; break;
    case WM_RBUTTONDBLCLK: button = -2; break;
    case WM_MBUTTONDOWN: button = 3; break;
    case WM_LBUTTONUP: button = 1; down = false; break;
    case WM_RBUTTONUP: button = -1; down = false; break;
    case WM_MBUTTONUP: button = 3; down = false; break;
    default: break;
    }
    if (button != 0) {
        DemoRecordSync();
        mDemoBuffer.WriteBits(1, 1);
        mDemoBuffer.WriteBits(1, 1);
        mDemoBuffer.WriteBits(down ? 1 : 0, 1);
        mDemoBuffer.WriteBits(button, 3);
    }
    mDemoMouseX = x;
    mDemoMouseY = y;
}

} // namespace Lumo
