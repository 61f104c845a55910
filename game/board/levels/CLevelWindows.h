#pragma once

#include <cstdint>

// The windows of the level flow, opened by the window system.
class CLevelWindows {
public:
    virtual ~CLevelWindows() = default;

    // Opens a result or start window: the HUD panel slides off and the game pauses.
    virtual void OpenStatusWindow(int32_t id) = 0;
    // Opens window id over the current screen (the stage window on a stage change);
    // immediate non-zero skips the transition.
    virtual void OpenWindow(int32_t id, int32_t immediate) = 0;
    // Closes the open window and shows the level map standing at the graph position.
    virtual void ShowLevelMap(int32_t position) = 0;
};
