#pragma once

#include "platform/display/DirectXResults.h"

#include <string>

namespace Lumo {

// The published name of a display, 3D or sound result; a code without one
// gives its value in lower-case hexadecimal.
std::string DirectXErrorName(Platform::HRESULT result);

} // namespace Lumo
