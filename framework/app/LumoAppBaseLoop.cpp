#include "framework/app/LumoAppBase.h"

#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/core/AppLog.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/process/Clock.h"
#include "platform/windows/Messages.h"
#include "platform/process/Process.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace Lumo {

using namespace Platform;

void LumoAppBase::RunUntilShutdown()
{
    const int outerLoopDepth = mMainLoopDepth;
    mMainLoopDepth = mPumpDepth + 1;
    while (!mShutdown) {
        mExitToTop = false;
        StepUntilIdle();
    }
    mMainLoopDepth = outerLoopDepth;
}

bool LumoAppBase::StepUntilIdle()
{
    bool updated = false;
    while (PumpAndStep(&updated)) {
        if (updated)
            return true;
    }
    return false;
}

bool LumoAppBase::PumpAndStep(bool* updated)
{
    if (updated)
        *updated = false;
    if (mExitToTop)
        return false;
    if (mStepState == 3)
        mStepState = 0;
    ++mPumpDepth;

    if (mStepState == 0) {
        MSG message;
        while (!mShutdown && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (!mDemoDialogOpen)
            DemoPlaybackStep();
        if (!ProcessQueuedInput())
            mStepState = 1;
    } else if (mDemoDialogOpen) {
        DrawFrame();
        Sleep(uint32_t(mFrameTime));
        mStepState = 3;
    } else if (mSingleStep == 2) {
        Sleep(uint32_t(mFrameTime));
        mStepState = 3;
    } else if (mSingleStep == 1) {
        mSingleStep = 2;
        UpdateTick();
        UpdateFraction(1.0f);
        DrawFrame();
    } else {
        const int updatesBefore = mUpdateCount;
        RunTimingStep(true);
        if (updated && mUpdateCount != updatesBefore)
            *updated = true;
    }
    --mPumpDepth;
    return true;
}

bool LumoAppBase::RunTimingStep(bool allowSleep)
{
    if (mShutdownFromOtherThread)
        RequestShutdown();

    const bool pacing = !mPlaying && mWaitForVSync && !mLastDrawWasEmpty && !mVSyncBroken && !mIsWindowed;
    const double rate = mRateMultiplier > 0.0 ? mRateMultiplier : 1.0;
    double stepMs = mFrameTime / rate;
    double updatesPerStep = 1.0;
    if (mWaitForVSync && mRefreshRate > 0) {
        stepMs = (1000.0 / mRefreshRate) / rate;
        updatesPerStep = float(1000.0 / (double(mFrameTime) * mRefreshRate));
    }

    if (mPlaying && (mUpdateCount < mJumpTarget || mJumpToEnd)) {
        if (!mDemoMute && !mStepOne) {
            mDemoMute = true;
            PushMute(true);
        }
        if (!mJumpDrawStamped) {
            mJumpDrawStamped = true;
            mJumpDrawTick = GetTickCount();
        }
        while (mUpdateCount < mJumpTarget || mJumpToEnd) {
            ResetTimingDebt();
            const int updatesBefore = mUpdateCount;
            if (UpdateTick()) {
                mUpdateFraction += updatesPerStep - 1.0;
                ProcessDeferredDeletes();
                while (mUpdateFraction >= 1.0) {
                    DemoPlaybackStep();
                    if (!UpdateTick())
                        break;
                    ProcessDeferredDeletes();
                    mUpdateFraction -= 1.0;
                }
                UpdateFraction(float(updatesPerStep));
                ProcessDeferredDeletes();
            }
            if (mUpdateCount == updatesBefore) {
                // The next pass pumps, and so applies the records due.
                mStepState = 3;
                if (!mDemoEnded)
                    return true;
                // Past the last record no update runs, so the jump is over.
                mJumpToEnd = false;
                mJumpTarget = mUpdateCount;
                break;
            }
            if (GetTickCount() - mJumpDrawTick >= 1000 || mStepOne) {
                mStepOne = false;
                mJumpDrawTick = GetTickCount();
                DrawFrame();
                return true;
            }
        }
        if (mDemoMute) {
            mDemoMute = false;
            if (mSoundManager)
                mSoundManager->StopAllSounds();
            PopMute(true);
        }
    }

    // A paused or stopped replay shows what it showed.
    if (mPaused || mRateMultiplier <= 0.0)
        return RestStep(stepMs, allowSleep, false);
    if ((mPlaying && mDemoEnded) || mIdlePaused)
        return RestStep(stepMs, allowSleep, true);

    const uint32_t now = timeGetTime();
    int slept = 0;
    if (!pacing)
        AccumulateTimingDebt();

    if (mStepState == 1) {
        bool drawBranch = false;
        ++mUpdatesSinceDraw;
        if (mUpdatesSinceDraw >= int(std::ceil(mRateMultiplier * 10)) && mLoadingDoneHandled)
            drawBranch = true;
        else if (pacing)
            drawBranch = mHasUpdatedSinceDraw && mTimingDebt < int(0.75 * stepMs);
        else
            drawBranch = mTimingDebt < stepMs;

        if (!drawBranch) {
            if (!mPlaying && mRateMultiplier == 1.0) {
                ++mVSyncProbeUpdates;
                if (mVSyncProbeUpdates >= uint32_t((mFrameTime + 999) / mFrameTime)) {
                    if (now - mVSyncProbeStamp <= 800) {
                        if (++mVSyncProbeCount >= 3)
                            mVSyncBroken = true;
                    } else {
                        mVSyncProbeCount = 0;
                    }
                    mVSyncProbeStamp = now;
                    mVSyncProbeUpdates = 0;
                }
            }
            if (UpdateTick())
                mStepState = 2;
            mHasUpdatedSinceDraw = true;
        } else {
            mStepState = 3;
            mUpdatesSinceDraw = 0;
            if (mHasUpdatedSinceDraw) {
                DrawFrame();
            } else {
                const int sleepMs = int(stepMs - mTimingDebt);
                if (sleepMs > 0) {
                    if (!allowSleep)
                        return false;
                    ++mSleepCount;
                    Sleep(uint32_t(sleepMs));
                    slept = sleepMs;
                }
            }
        }
    } else if (mStepState == 2) {
        mStepState = 3;
        mUpdateFraction += updatesPerStep - 1.0;
        ProcessDeferredDeletes();
        while (mUpdateFraction >= 1.0) {
            ++mUpdatesSinceDraw;
            DemoPlaybackStep();
            if (!UpdateTick())
                break;
            ProcessDeferredDeletes();
            mUpdateFraction -= 1.0;
        }
        UpdateFraction(float(updatesPerStep));
        ProcessDeferredDeletes();
        if (pacing)
            mTimingDebt = std::max(0.0, mTimingDebt - stepMs - 0.2);
        else
            mTimingDebt -= stepMs;
    }

    if (mLoadingRunning) {
        const int work = int(timeGetTime() - now) - slept;
        int yield = 2 * work - slept;
        if (yield > 250)
            yield = 250;
        if (yield >= 0) {
            if (!allowSleep)
                return false;
            Sleep(uint32_t(yield));
        }
    }
    ProcessDeferredDeletes();
    return true;
}

// With no update to run, no timing debt is ever paid off, and a step would
// never reach its sleep: the loop draws where asked (the draw also notices the
// end of the idle pause), sleeps one step and pumps, as a live run with
// nothing to do, and so keeps answering its window. A replay's records may run
// out inside an update, whose step then waits for its second half (state 2):
// that step ends here too, or the loop would spin without pumping.
bool LumoAppBase::RestStep(double stepMs, bool allowSleep, bool draw)
{
    if (mStepState == 1 || mStepState == 2) {
        mStepState = 3;
        ResetTimingDebt();
        if (draw)
            DrawFrame();
        if (!allowSleep)
            return false;
        ++mSleepCount;
        Sleep(uint32_t(std::max(stepMs, 1.0)));
    }
    ProcessDeferredDeletes();
    return true;
}

void LumoAppBase::AccumulateTimingDebt()
{
    const uint32_t now = timeGetTime();
    if (mLastDebtStamp != 0) {
        const int32_t elapsed = int32_t(now - mLastDebtStamp);
        mTimingDebt = std::min(mTimingDebt + elapsed, 200.0);
    }
    mLastDebtStamp = now;
}

void LumoAppBase::ResetTimingDebt()
{
    mTimingDebt = 0.0;
    mLastDebtStamp = timeGetTime();
}

bool LumoAppBase::UpdateTick()
{
    if (mIdlePaused)
        return false;
    if (mPlaying) {
        if (mLoadingFinished && !mLoadingDoneHandled && mDemoLoadingComplete)
            RunLoadingDoneTransition();
        if (mLoadingDoneHandled != mDemoLoadingComplete || DemoReadRecordHeader())
            return false;
    } else if (mLoadingFinished && !mLoadingDoneHandled) {
        RunLoadingDoneTransition();
        if (mRecording)
            DemoRecordKind(9);
    }
    const int updatesBefore = mUpdateCount;
    UpdateFrames();
    // An application that holds its updates while it loads does not move
    // the count: when the next record lies at a later count, the recorded run
    // never made this load, and the replay is past its records.
    if (mPlaying && mUpdateCount == updatesBefore && mLoadingFinished && !mLoadingDoneHandled) {
        EndReplayInUnrecordedLoad();
        return false;
    }
    return true;
}

void LumoAppBase::EndReplayInUnrecordedLoad()
{
    AppLog::GetInstance()->Printf(AppLog::kToFile,
                                  "The demo holds no end of this load: the replay has left its recording and ends");
    mDemoEnded = true;
    // The game shows again, and stays as it is.
    RunLoadingDoneTransition();
}

void LumoAppBase::RunLoadingDoneTransition()
{
    mLoadingDoneHandled = true;
    SetThreadPriority(THREAD_PRIORITY_NORMAL);
    mLoadingRunning = false;
    OnLoadingDone();
}

void LumoAppBase::UpdateFrames()
{
    ++mUpdateCount;
    if (!mMinimized && mWidgetManager->UpdateFrame())
        ++mUpdatesWithChanges;
    if (mMusicInterface)
        mMusicInterface->Update();
    SharedImageTable& shared = mImageServices->GetSharedImages();
    if (shared.IsSweepPending()) {
        std::lock_guard<CriticalSectionHolder> hold(GetDisplayLock());
        shared.SweepUnreferenced();
    }
}

// The per-frame logic lives in the fractional update, so it runs every step,
// with one update's worth when there is no vertical-sync pacing: a stored
// "WaitForVSync" of 0 must not stop the game.
void LumoAppBase::UpdateFraction(float fraction)
{
    if (!mMinimized)
        mWidgetManager->UpdateFrameF(fraction);
}

bool LumoAppBase::DrawFrame()
{
    bool drawn = false;
    const uint32_t start = timeGetTime();
    if (mDisplayLost) {
        PresentFrame(nullptr);
    } else {
        if (mShowOverlay) {
            if (mOverlayKind == 0)
                DrawFrameRateOverlay();
            else
                DrawMousePositionOverlay(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY);
            if (mPlaying)
                DrawPlaybackTimeOverlay();
        }
        if (start - mLastIdleCheck > 1000) {
            mLastIdleCheck = start;
            CheckScreensaverIdle(start);
        }
        if (!mIdlePaused) {
            mDrawing = true;
            const bool drewWidgets = mWidgetManager->DrawScreen();
            mDrawing = false;
            drawn = (drewWidgets || start - mLastPresentTime >= 1000 || mForcePresent) &&
                    int32_t(start - mNextPresentTime) >= 0;
        }
    }
    if (!drawn) {
        mHasUpdatedSinceDraw = false;
        mLastDrawWasEmpty = true;
        return false;
    }

    ++mDrawCount;
    mLastDrawWasEmpty = false;
    mDrawTime += int(timeGetTime() - start);

    Image* screen = mWidgetManager->mScreenImage;
    if (mShowOverlay && mOverlayImage && screen) {
        Graphics graphics(screen);
        const int overlayX = screen->GetWidth() - mOverlayImage->GetWidth() - 10;
        const int overlayY = screen->GetHeight() - mOverlayImage->GetHeight() - 10;
        graphics.DrawImage(mOverlayImage, overlayX, overlayY);
        if (mPlaying && mPlaybackOverlayImage)
            graphics.DrawImage(mPlaybackOverlayImage, screen->GetWidth() - mPlaybackOverlayImage->GetWidth() - 10,
                               screen->GetHeight() - mOverlayImage->GetHeight() -
                                   mPlaybackOverlayImage->GetHeight() - 15);
    }

    mLastPresentTime = timeGetTime();
    PresentFrame(nullptr);
    AccumulateTimingDebt();
    const uint32_t now = timeGetTime();
    mScreenBltTime += int(now - mLastPresentTime);

    if (mLoadingRunning) {
        const uint32_t spent = std::max<uint32_t>(now - start, 15);
        mNextPresentTime += spent + 35;
        if (int32_t(mNextPresentTime - now) <= 0)
            mNextPresentTime = now;
    } else {
        mNextPresentTime = now;
    }
    mHasUpdatedSinceDraw = false;
    mForcePresent = false;
    return true;
}

void LumoAppBase::DeferDelete(Widget* widget)
{
    mDeferredDeletes.push_back(DeferredDelete{mPumpDepth, widget});
}

// An object queued inside a nested pass may still be in use by the code that
// runs that nested loop (a dialog waiting for its result), so it goes only
// once the loop is back at a shallower depth. Only the passes of the main
// loop itself, whose caller uses no object, may delete what their own depth
// queued.
void LumoAppBase::ProcessDeferredDeletes()
{
    const bool mainLoopPass = mPumpDepth <= mMainLoopDepth;
    for (auto entry = mDeferredDeletes.begin(); entry != mDeferredDeletes.end();) {
        if (entry->mDepth > mPumpDepth || (mainLoopPass && entry->mDepth == mPumpDepth)) {
            Widget* object = entry->mObject;
            entry = mDeferredDeletes.erase(entry);
            delete object;
        } else {
            ++entry;
        }
    }
}

} // namespace Lumo
