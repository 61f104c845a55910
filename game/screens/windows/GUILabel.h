#pragma once

#include <cstdint>
#include <string>

class CAnimTrack;

// A text, image, label-group or random-group label of a window.
struct GUILabel {
    enum Flag : int32_t {
        kFormat = 0x01,
        kCentered = 0x02,
        kGroup = 0x04,
        kRandomGroup = 0x08,
        kZoomAfterCount = 0x10,
        kCounting = 0x20,
        kZoomPhase = 0x40,
        kImage = 0x80,
    };

    // x, or the group id of a group label.
    int32_t mX = 0;
    // y, or the group count of a group label.
    int32_t mY = 0;
    // Font slot of a text label, image slot of an image label.
    int32_t mFontOrImage = -1;
    int32_t mFlags = 0;
    // Half width of a text or image label; the current label group of a group label.
    int32_t mHalfWidthOrGroup = 0;
    int32_t mShown = 0;
    int32_t mTarget = 0;
    int32_t mCurrent = 0;
    int32_t mFollowUp = 0;
    CAnimTrack* mTrack = nullptr;
    float mTargetF = 0.0f;
    std::string mText;
    std::string mFormat;
    // A group label whose ids lie outside the tables draws nothing.
    bool mBroken = false;

    bool Has(int32_t flag) const { return (mFlags & flag) != 0; }
    bool IsGroup() const { return Has(kGroup) || Has(kRandomGroup); }
};
