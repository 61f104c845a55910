#pragma once

#include <cstdint>

namespace Lumo {

// The display name of an exception code; null for a code the table lacks.
const char* ExceptionName(uint32_t code);

} // namespace Lumo
