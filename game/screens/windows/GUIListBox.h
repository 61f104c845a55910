#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CGUIScrollbar;

struct GUIListBox {
    // The text of line i; false skips the line.
    using LineSource = std::function<bool(int32_t line, std::string* text)>;

    std::unique_ptr<CGUIScrollbar> mScrollbar;
    Lumo::Rect mScrollbarRect{};
    LineSource mLines;
    int32_t mMaxLines = 0;
    int32_t mFirstVisible = 0;
    int32_t mLineCount = 0;
    Lumo::Rect mRect{};
    int32_t mFont = -1;
    int32_t mXOffs = 0;
    int32_t mYOffs = 0;
    int32_t mLineStep = 0;
    int32_t mSelectionXOffs = 0;
    int32_t mSelectionWidth = 0;
    int32_t mSelection = -1;
    int32_t mSelectionYOffs = 0;
    int32_t mSelectionHeight = 0;
    Lumo::Color mSelectionColor{0, 0, 0, 0};
};
