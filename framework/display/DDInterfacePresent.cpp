#include "framework/display/DDInterface.h"

#include "framework/display/DDImage.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/DisplayAppHost.h"
#include "framework/graphics/Graphics.h"
#include "platform/windows/Window.h"

#include <mutex>

namespace Lumo {

using namespace Platform;

namespace {

using Hold = std::lock_guard<CriticalSectionHolder>;

RECT ToRECT(const Rect& rect)
{
    return RECT{rect.mX, rect.mY, rect.mX + rect.mWidth, rect.mY + rect.mHeight};
}

Rect Moved(const Rect& rect, int dx, int dy)
{
    return Rect{rect.mX + dx, rect.mY + dy, rect.mWidth, rect.mHeight};
}

bool IsEmpty(const Rect& rect)
{
    return rect.mWidth <= 0 || rect.mHeight <= 0;
}

} // namespace

Rect DDInterface::CursorRect(int x, int y) const
{
    return Rect{x - mCursorWidth / 2, y - mCursorHeight / 2, mCursorWidth, mCursorHeight};
}

POINT DDInterface::ClientOrigin() const
{
    POINT origin;
    ClientToScreen(mHWnd, &origin);
    return origin;
}

bool DDInterface::Redraw(const Rect* dirtyRect)
{
    Hold hold(mDisplayLock);
    if (!mInitialized)
        return false;
    DDBLTFX fx;
    fx.dwSize = sizeof(DDBLTFX);
    mPresenting = true;
    if (mIs3D) {
        if (!D3DInterface::gD3DErrorText.empty()) {
            mPresenting = false;
            mIs3D = false;
            return false;
        }
        mD3DInterface->Flush();
    }

    RECT source;
    RECT dest;
    if (dirtyRect && !mAspectCorrected) {
        source = dest = ToRECT(*dirtyRect);
    } else {
        dest = ToRECT(mPresentRect);
        source = RECT{0, 0, mWidth, mHeight};
    }
    if (mAspectCorrected)
        fx.dwDDFX |= DDBLTFX_ARITHSTRETCHY;
    const POINT origin = ClientOrigin();
    dest = RECT{dest.left + origin.x, dest.top + origin.y, dest.right + origin.x, dest.bottom + origin.y};

    const int presentMode = mIsWindowed ? 2 : 1;
    if (presentMode != mPresentMode || mApp->mCursorRefresh) {
        mPresentMode = presentMode;
        SetCursorScale(dest.right - dest.left, source.right - source.left);
        mApp->mCursorRefresh = false;
    }

    DDSURFACEDESC waited;
    if (SUCCEEDED(mDrawSurface->Lock(nullptr, &waited, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        mDrawSurface->Unlock(nullptr);

    HRESULT result;
    const char* step;
    if (mIsWindowed && !mDrawInVideoMemory) {
        mCursorDrawnX = mCursorX;
        mCursorDrawnY = mCursorY;
        DrawCursor(mDrawSurface, false);
        result = mPrimarySurface->Blt(&dest, mDrawSurface, &source, DDBLT_WAIT, &fx);
        if (mCursorAreaSaved) {
            RestoreCursorArea(mDrawSurface);
            // The old area still holds what lies under the cursor on the screen.
            mCursorAreaSaved = true;
        }
        step = "Redraw Windowed";
    } else if (mIsWindowed) {
        mCursorDrawnX = mCursorX;
        mCursorDrawnY = mCursorY;
        DrawCursor(mSecondSurface, true);
        result = mPrimarySurface->Blt(&dest, mSecondSurface, &source, DDBLT_WAIT, &fx);
        step = "Redraw Windowed";
    } else if (!mApp->mPopUpMode && mApp->mPageFlip) {
        if (!mDrawInVideoMemory)
            mSecondSurface->Blt(&dest, mDrawSurface, &source, DDBLT_WAIT, &fx);
        mCursorDrawnX = mCursorX;
        mCursorDrawnY = mCursorY;
        DrawCursor(mSecondSurface, true);
        result = mPrimarySurface->Flip(nullptr, DDFLIP_WAIT);
        step = "Redraw FullScreen Flip";
    } else {
        result = mPrimarySurface->Blt(&dest, mDrawSurface, &source, DDBLT_WAIT, &fx);
        step = "Redraw FullScreen Blt";
    }
    mPresenting = false;
    return !CheckResult(result, step);
}

void DDInterface::SetCursorScale(int numerator, int denominator)
{
    if (denominator != -1) {
        mCursorScaleNumerator = numerator;
        mCursorScaleDenominator = denominator;
    }
    if (!mCursorImage)
        return;
    const int scaleNumerator = mIsWindowed ? mWidth : mCursorScaleNumerator;
    const int scaleDenominator = mIsWindowed ? mWidth : mCursorScaleDenominator;
    const int imageWidth = mCursorImage->GetWidth(), imageHeight = mCursorImage->GetHeight();
    if (imageWidth <= 0 || imageHeight <= 0 || scaleDenominator <= 0)
        return;
    int width = imageWidth * scaleNumerator / scaleDenominator;
    int height = imageHeight * width / imageWidth;
    if (width > mCursorAreaWidth) {
        width = mCursorAreaWidth;
        height = mCursorAreaWidth * imageHeight / imageWidth;
    }
    if (height > mCursorAreaHeight) {
        height = mCursorAreaHeight;
        width = mCursorAreaHeight * imageWidth / imageHeight;
    }
    mScaledCursorRect = Rect{0, 0, width, height};
    mCursorWidth = width;
    mCursorHeight = height;
    if (!mScaledCursorAreaImage)
        return;
    // Kept in memory with alpha, so it is blended pixel by pixel.
    mScaledCursorAreaImage->hasTranslucency = true;
    mScaledCursorAreaImage->Clear();
    mScaledCursorAreaImage->MarkBitsChanged();
    Graphics graphics(mScaledCursorAreaImage);
    graphics.DrawImageSized(mCursorImage, width, height);
}

void DDInterface::DrawCursor(IDirectDrawSurface* surface, bool screenCoordinates)
{
    if (!mCursorImage || !mPrimarySurface || !surface) {
        mCursorAreaSaved = false;
        return;
    }
    const Rect cursor = CursorRect(mCursorDrawnX, mCursorDrawnY);
    Rect shown = cursor.Intersect(mPresentRect);
    int offsetX = shown.mX - cursor.mX, offsetY = shown.mY - cursor.mY;
    if (screenCoordinates) {
        const POINT origin = ClientOrigin();
        shown = Moved(shown, origin.x, origin.y);
    }
    RECT from = ToRECT(shown);
    RECT area = ToRECT(Rect{offsetX, offsetY, shown.mWidth, shown.mHeight});
    HRESULT saved = mOldCursorArea->Blt(&area, surface, &from, DDBLT_WAIT, nullptr);
    if (FAILED(saved)) {
        DDSURFACEDESC desc;
        mPrimarySurface->GetSurfaceDesc(&desc);
        const Rect inside = shown.Intersect(Rect{0, 0, int32_t(desc.dwWidth), int32_t(desc.dwHeight)});
        offsetX += inside.mX - shown.mX;
        offsetY += inside.mY - shown.mY;
        shown = inside;
        from = ToRECT(shown);
        area = ToRECT(Rect{offsetX, offsetY, shown.mWidth, shown.mHeight});
        saved = mOldCursorArea->Blt(&area, surface, &from, DDBLT_WAIT, nullptr);
    }
    mCursorAreaSaved = SUCCEEDED(saved);

    if (surface == mDrawSurface && !mIs3D) {
        Graphics graphics(mScreenImage);
        graphics.DrawImageSrcRect(mScaledCursorAreaImage, cursor.mX, cursor.mY, mScaledCursorRect);
        return;
    }
    mNewCursorArea->Blt(&area, mOldCursorArea, &area, DDBLT_WAIT, nullptr);
    Graphics graphics(mNewCursorAreaImage);
    graphics.DrawImageSrcRect(mScaledCursorAreaImage, 0, 0, mScaledCursorRect);
    surface->Blt(&from, mNewCursorArea, &area, DDBLT_WAIT, nullptr);
}

void DDInterface::RestoreCursorArea(IDirectDrawSurface* surface)
{
    if (!mCursorAreaSaved || !mPrimarySurface)
        return;
    const Rect cursor = CursorRect(mCursorDrawnX, mCursorDrawnY);
    const Rect shown = cursor.Intersect(Rect{0, 0, mWidth, mHeight});
    RECT to = ToRECT(shown);
    RECT area = ToRECT(Rect{shown.mX - cursor.mX, shown.mY - cursor.mY, shown.mWidth, shown.mHeight});
    surface->Blt(&to, mOldCursorArea, &area, DDBLT_WAIT, nullptr);
    mCursorAreaSaved = false;
}

void DDInterface::MoveCursor(IDirectDrawSurface* surface, int x, int y)
{
    if (!mCursorImage || !mPrimarySurface) {
        mCursorAreaSaved = false;
        return;
    }
    const POINT origin = ClientOrigin();
    // A cursor rectangle on the screen and where its visible part lies in an area.
    struct Placed {
        Rect screen;
        Rect area;
    };
    auto place = [&](int cx, int cy) {
        const Rect cursor = CursorRect(cx, cy);
        const Rect shown = cursor.Intersect(mPresentRect);
        return Placed{Moved(shown, origin.x, origin.y),
                      Rect{shown.mX - cursor.mX, shown.mY - cursor.mY, shown.mWidth, shown.mHeight}};
    };
    const Placed before = place(mCursorDrawnX, mCursorDrawnY);
    Placed after = place(x, y);

    RECT from = ToRECT(after.screen);
    RECT area = ToRECT(after.area);
    if (FAILED(mNewCursorArea->Blt(&area, surface, &from, DDBLT_WAIT, nullptr))) {
        DDSURFACEDESC desc;
        mPrimarySurface->GetSurfaceDesc(&desc);
        const Rect inside = after.screen.Intersect(Rect{0, 0, int32_t(desc.dwWidth), int32_t(desc.dwHeight)});
        after.area = Rect{after.area.mX + inside.mX - after.screen.mX, after.area.mY + inside.mY - after.screen.mY,
                          inside.mWidth, inside.mHeight};
        after.screen = inside;
        from = ToRECT(after.screen);
        area = ToRECT(after.area);
        mNewCursorArea->Blt(&area, surface, &from, DDBLT_WAIT, nullptr);
    }

    // Where old and new cursors overlap, the new area gets the true
    // background and the old area the cursor at its new place.
    const int dx = x - mCursorDrawnX, dy = y - mCursorDrawnY;
    const Rect overlap = Rect{dx, dy, mCursorWidth, mCursorHeight}.Intersect(Rect{0, 0, mCursorWidth, mCursorHeight});
    if (!IsEmpty(overlap)) {
        RECT oldPart = ToRECT(overlap);
        RECT newPart = ToRECT(Moved(overlap, -dx, -dy));
        mNewCursorArea->Blt(&newPart, mOldCursorArea, &oldPart, DDBLT_WAIT, nullptr);
        Graphics graphics(mOldCursorAreaImage);
        graphics.DrawImageSrcRect(mScaledCursorAreaImage, dx, dy, mScaledCursorRect);
    }

    RECT oldScreen = ToRECT(before.screen);
    RECT oldArea = ToRECT(before.area);
    surface->Blt(&oldScreen, mOldCursorArea, &oldArea, DDBLT_WAIT, nullptr);
    RECT whole = ToRECT(Rect{0, 0, mCursorWidth, mCursorHeight});
    mOldCursorArea->Blt(&whole, mNewCursorArea, &whole, DDBLT_WAIT, nullptr);

    Graphics graphics(mNewCursorAreaImage);
    graphics.DrawImageSrcRect(mScaledCursorAreaImage, 0, 0, mScaledCursorRect);
    surface->Blt(&from, mNewCursorArea, &area, DDBLT_WAIT, nullptr);
    mCursorDrawnX = x;
    mCursorDrawnY = y;
}

bool DDInterface::SetCursorImage(Image* image)
{
    Hold hold(mDisplayLock);
    if (image == mCursorImage)
        return false;
    mCursorImage = image;
    if (image)
        SetCursorScale(-1, -1);
    return true;
}

void DDInterface::SetCursorPos(int x, int y)
{
    mCursorX = x;
    mCursorY = y;
    if (mPresenting)
        return;
    Hold hold(mDisplayLock);
    if (mCursorAreaSaved) {
        MoveCursor(mPrimarySurface, x, y);
    } else {
        mCursorDrawnX = x;
        mCursorDrawnY = y;
        DrawCursor(mPrimarySurface, true);
    }
}

} // namespace Lumo
