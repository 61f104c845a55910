#pragma once

// The system version answers the program asks for: this platform stands where
// the Windows 6 line stood, not the 9x family.
namespace Lumo {

constexpr bool IsWindows9xPlatform() { return false; }
constexpr bool IsWindowsMajor6OrLater() { return true; }

} // namespace Lumo
