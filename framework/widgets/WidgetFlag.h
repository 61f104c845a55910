#pragma once

#include <cstdint>

namespace Lumo {

// The bits that the update, draw and input passes carry down the widget tree.
namespace WidgetFlag {
constexpr uint32_t Update = 1;
constexpr uint32_t DirtyEachUpdate = 2;
constexpr uint32_t Draw = 4;
constexpr uint32_t Clip = 8;
constexpr uint32_t MouseInput = 16;
constexpr uint32_t Focusable = 32;
} // namespace WidgetFlag

} // namespace Lumo
