#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>
#include <string>

// A text or glyph button; its index in the controller's array is its command id.
struct GUIButton {
    enum Kind : int32_t { kText = 1, kGlyph = 2 };
    enum State : int32_t { kIdle = 0, kHovered = 1, kPushed = 2 };

    int32_t mKind = kText;
    int32_t mFont = -1;
    int32_t mHoverFont = -1;
    int32_t mState = kIdle;
    Lumo::Rect mRect{};
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mIdle = -2;
    int32_t mHover = -2;
    int32_t mPush = -2;
    std::string mCaption;
    bool mNoHint = false;
    bool mEnabled = true;
};
