#pragma once

#include "platform/windows/WindowConstants.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>

// The message queue in its Win32 shape.
namespace Platform {

// Collects the desktop's events first. Character messages already stand
// behind the key messages that made them, as TranslateMessage would have
// put them. Paint and timer messages come when nothing else is queued.
// Main thread only.
bool PeekMessageA(MSG* msg, HWND window, uint32_t first, uint32_t last, uint32_t remove);
// Calls the window's procedure; 0 for a message without a window.
LRESULT DispatchMessageA(const MSG* msg);

// Safe from any thread. HWND_BROADCAST posts to every window and, for a
// registered message, to the process that registered it first; it fails
// when no window here and no such process took it. A null window posts a
// message that only the pump sees.
bool PostMessageA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// Calls the procedure at once (every window's for HWND_BROADCAST).
LRESULT SendMessageA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

// What Windows does with a message the procedure leaves: Alt+F4 and the
// close button close the window (WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE,
// which destroys it), minimise, maximise and restore commands act, and paint
// requests are validated. The screensaver and monitor commands do nothing here.
LRESULT DefWindowProcA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

// A message id between 0xC000 and 0xFFFF, the same for every use of the name
// (compared without regard to case); 0 when the ids run out.
uint32_t RegisterWindowMessageA(const char* name);

// WM_TIMER with wParam = id about every period (at least 10 ms); a second
// call with the same window and id restarts the timer. Returns the id, or 0.
uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t periodMs);
bool KillTimer(HWND window, uintptr_t id);

// Validates the window, so WM_PAINT stops coming until it is shown or exposed
// again. Nothing is drawn through it, so there is nothing to end.
bool BeginPaint(HWND window, PAINTSTRUCT* paint);

} // namespace Platform
