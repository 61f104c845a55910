#pragma once

#include <cstdint>

namespace Platform {

uint32_t GetCurrentProcessId();
uint32_t GetCurrentThreadId();

} // namespace Platform
