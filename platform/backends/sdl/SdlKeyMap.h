#pragma once

#include <cstdint>

namespace Platform {

// The Windows virtual-key code of an SDL key: by the key's character where
// it has one that Windows names (letters follow the keyboard layout, as on
// Windows), else by its position. 0 for keys Windows has no code for.
uint8_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode);

} // namespace Platform
