#pragma once

// Esc and the pause button during play, answered by the game's commands.
class CPauseHandler {
public:
    virtual ~CPauseHandler() = default;
    virtual void OnEscapeKey() = 0;
    virtual void TogglePause() = 0;
};
