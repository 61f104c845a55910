#include "framework/app/LumoAppBase.h"

#include "framework/core/Profiler.h"
#include "framework/core/StopwatchTimer.h"
#include "framework/core/StringUtils.h"
#include "framework/display/DDInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/sound/PlaySound.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/VirtualKeys.h"

namespace Lumo {

using namespace Platform;

bool LumoAppBase::DebugKeyDown(int key)
{
    const bool shift = mWidgetManager->IsKeyDown(VK_SHIFT);
    const bool ctrl = mWidgetManager->IsKeyDown(VK_CONTROL);
    const bool alt = mWidgetManager->IsKeyDown(VK_MENU);

    switch (key) {
    case 'R':
        // A failed re-read shows its error in a box, which swallows the key-ups.
        if (alt) {
            if (mDiagnostics->ModValReparse())
                PlaySoundA(kDebugSound, nullptr, SND_ASYNC);
            else
                ClearKeyStates();
        }
        return false;
    case VK_F3:
        if (shift) {
            mOverlayKind = mOverlayKind + 1 == 2 ? 0 : mOverlayKind + 1;
            mShowOverlay = true;
        } else {
            mShowOverlay = !mShowOverlay;
        }
        mWidgetManager->MarkAllDirty();
        if (mShowOverlay) {
            gFrameRateStopwatch.Start();
            mOverlayFrames = 0;
            mOverlayFrameRate = 0;
            mOverlayFrameRateReset = true;
        }
        return false;
    case VK_F8:
        if (shift) {
            if (mDDInterface)
                ResetDisplay(!mDDInterface->mIs3D, true);
            ShowMessageBoxA(FormatString("3D-Mode: %s", Is3DAccelerated() ? "ON" : "OFF"), "Mode Switch", MB_OK);
        } else {
            BuildVideoStats();
        }
        return true;
    case VK_F10:
        if (ctrl) {
            mRateMultiplier = mRateMultiplier == 0.25 ? 1.0 : 0.25;
        } else if (shift) {
            mSingleStep = 0;
            ResetTimingDebt();
        } else {
            mSingleStep = 1;
        }
        return true;
    case VK_F11:
        if (shift)
            DumpImages();
        else
            WriteScreenshot();
        return true;
    case VK_F2:
        if (!Profiler::IsActive()) {
            ResetTimingDebt();
            Profiler::Start();
        } else {
            Profiler::Stop();
            ShowMessageBoxA(Profiler::Report(), "Perf Results", MB_OK);
            ResetTimingDebt();
        }
        return false;
    default:
        return false;
    }
}

} // namespace Lumo
