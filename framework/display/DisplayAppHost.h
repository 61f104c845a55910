#pragma once

#include "framework/core/Fraction.h"
#include "framework/graphics/Rect.h"
#include "platform/process/Modules.h"

#include <string>

namespace Lumo {

class ImageHost;

// What the display reads of the application and tells it. The application
// object derives from it; the display only holds a pointer.
class DisplayAppHost {
public:
    virtual ~DisplayAppHost() = default;

    // The host its images are made on.
    virtual ImageHost* GetImageHost() = 0;
    // The display library, loaded by the application before the display exists.
    virtual Platform::HMODULE GetDirectDrawModule() = 0;
    // A display start-up ran the 3D self-test afresh.
    virtual void NewD3DTestResult() {}
    // The minimised state of the main window: the 3D device draws nothing then.
    virtual bool IsMinimized() { return false; }
    // Keeps the text of a failed 3D step in the settings ("Test3D\RuntimeError").
    virtual void StoreD3DRuntimeError(const std::string&) {}
    // The settings key below "SOFTWARE\" that holds the self-test's record.
    virtual std::string GetRegistryKey() { return std::string(); }
    virtual bool IsPlayingBackDemo() { return false; }
    // Passes the self-test's outcome through the demo: recorded while
    // recording, replaced by the recorded one while playing back.
    virtual void SyncD3DTestResult(std::string&, std::string&, bool&) {}

    // Size of the draw buffer.
    int mWidth = 640;
    int mHeight = 480;
    int mFullScreenDepth = 16;
    // In an aspect-corrected presentation the draw buffer takes the display size.
    bool mFillAspect = false;
    bool mUseWindowAspect = false;
    Fraction mWindowAspect;
    Rect mScreenRect{0, 0, 0, 0};
    bool mPageFlip = true;
    // A system message box is shown in full screen.
    bool mPopUpMode = false;
    // The monitor rate could not be read or was outside 60 to 100 Hz.
    bool mRefreshRateUnusable = false;
    // The active state changed: the next present recomputes the cursor scale.
    bool mCursorRefresh = false;
    bool mUse3D = false;
    bool mTest3D = false;
    // Draw through the 3D device whenever the self-test does not fail,
    // whatever the card decision or a stored choice say.
    bool mForce3D = false;
    int mMinVidMemory = 6;
    int mRecVidMemory = 14;
};

} // namespace Lumo
