#include "framework/app/LumoAppBase.h"

#include "framework/widgets/WidgetManager.h"
#include "platform/windows/VirtualKeys.h"

namespace Lumo {

int64_t LumoAppBase::DemoBitsLeft() const
{
    return int64_t(mDemoBuffer.GetDataLen()) * 8 - mDemoBuffer.GetReadPosition();
}

void LumoAppBase::DemoPlaybackStep()
{
    if (!mPlaying || mShutdown)
        return;
    do {
        if (mUpdateCount != mDemoNextUpdate || mDemoEnded)
            return;
        if (DemoReadRecordHeader() && !mDemoEnded) {
            mDemoNeedsHeader = true;
            ApplyDemoRecord();
        }
    } while (!mShutdown);
}

void LumoAppBase::ApplyDemoRecord()
{
    if (mDemoIsShort) {
        if (mDemoCommand == 0) {
            mDemoMouseX += mDemoBuffer.ReadBits(6, true);
            mDemoMouseY += mDemoBuffer.ReadBits(6, true);
            ReplayMouseMove();
        } else {
            const bool down = mDemoBuffer.ReadBits(1, false) == 1;
            const int button = mDemoBuffer.ReadBits(3, true);
            // The live dispatch moves the pointer for every mouse message, a
            // press or release in place included; the widgets may only then
            // learn what lies under it (a window opened since the last move).
            const Point at = ReplayMouseMove();
            if (down)
                mWidgetManager->MouseDown(at.mX, at.mY, button);
            else
                mWidgetManager->MouseUp(at.mX, at.mY, button);
        }
        return;
    }

    switch (mDemoCommand) {
    case 0:
        mDemoMouseX = mDemoBuffer.ReadBits(12, false);
        mDemoMouseY = mDemoBuffer.ReadBits(12, false);
        ReplayMouseMove();
        break;
    case 1:
        mActivated = mDemoBuffer.ReadBits(1, false) == 1;
        UpdateActiveState();
        if (mActivated && !mIsWindowed)
            mWidgetManager->MarkAllDirty();
        if (mIsOpeningURL && !mActivated)
            OnUrlOpened(mOpeningURL);
        break;
    case 2: {
        const bool minimized = mDemoBuffer.ReadBool();
        if (!mShutdown && minimized != mMinimized) {
            mMinimized = minimized;
            if (minimized) {
                PushMute(true);
            } else {
                PopMute(true);
                mWidgetManager->MarkAllDirty();
            }
        }
        UpdateActiveState();
        break;
    }
    case 3:
        // Through the live dispatch, so the keys the framework takes (Alt+Enter,
        // the debug keys) do here what they did in the recorded run. The record
        // does not tell a system key; Alt held without Ctrl is what made one.
        DispatchKeyDown(mDemoBuffer.ReadBits(8, false),
                        mWidgetManager->IsKeyDown(Platform::VK_MENU) && !mWidgetManager->IsKeyDown(Platform::VK_CONTROL));
        break;
    case 4:
        mWidgetManager->KeyUp(mDemoBuffer.ReadBits(8, false));
        break;
    case 5: {
        const bool wide = mDemoBuffer.ReadBits(1, false) == 1;
        const int32_t character = mDemoBuffer.ReadBits(wide ? 16 : 8, false);
        mWidgetManager->KeyChar(char(character & 0xFF));
        break;
    }
    case 6:
        RequestShutdown();
        break;
    case 7:
        mMouseIn = true;
        ApplyCursor();
        break;
    case 8:
        mWidgetManager->MouseExit();
        mMouseIn = false;
        ApplyCursor();
        break;
    case 9:
        mDemoLoadingComplete = true;
        break;
    case 21:
        mWidgetManager->MouseWheel(mDemoBuffer.ReadBits(8, true));
        break;
    case 24:
        ChangeWindowedMode(false);
        break;
    case 23:
        ReadDemoDisplayMode();
        break;
    default:
        break;
    }
}

// Recorded positions are the window's, as the messages carried them; the
// widgets got them mapped to the play area (a full screen may stretch it).
Point LumoAppBase::ReplayMouseMove()
{
    Point at{mDemoMouseX, mDemoMouseY};
    mWidgetManager->MapMouseToScreen(&at.mX, &at.mY);
    mWidgetManager->MouseMoveInput(at.mX, at.mY);
    return at;
}

void LumoAppBase::ReadDemoDisplayMode()
{
    mWindowed = mIsWindowed = mDemoBuffer.ReadBool();
    mRefreshRate = mDemoBuffer.ReadByte();
}

void LumoAppBase::ToggleDemoSound()
{
    if (GetMusicVolume() == 0.0f) {
        SetMusicVolume(mDemoMusicVolume);
    } else {
        mDemoMusicVolume = GetMusicVolume();
        SetMusicVolume(0.0f);
    }
    if (GetSfxVolume() == 0.0f) {
        SetSfxVolume(mDemoSfxVolume);
    } else {
        mDemoSfxVolume = GetSfxVolume();
        SetSfxVolume(0.0f);
    }
}

} // namespace Lumo
