#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <memory>

namespace Lumo {
class EditWidget;
}

struct GUIEditBox {
    std::unique_ptr<Lumo::EditWidget> mWidget;
    Lumo::Rect mRect{};
    Lumo::Rect mPos{};
    Lumo::Color mBackground{0, 0, 0, 0};
    int32_t mFont = -1;
};
