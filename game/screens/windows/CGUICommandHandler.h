#pragma once

#include <cstdint>
#include <string>

class CAnimTrack;
struct CGUITrackEntry;

// The game's reactions to the window system: command ids of buttons, window
// hooks, the options controls, the profile list, and the tracks that other
// components run on the controller's player.
class CGUICommandHandler {
public:
    virtual ~CGUICommandHandler() = default;

    // A released button: its command id and the value 1.
    virtual void OnGuiCommand(int32_t commandId, int32_t value) = 0;
    // The new current window starts to fade in.
    virtual void OnWindowShowing(int32_t windowId) = 0;
    // Its contents are fully in.
    virtual void OnWindowShown(int32_t windowId) = 0;
    // The border of the window that was current has gone and no window follows.
    virtual void OnWindowClosed(int32_t windowId) = 0;
    // A finished control track of a kind the controller does not handle itself.
    virtual void OnWindowAction(int32_t kind) = 0;
    virtual void ApplyVolumeSlider(int32_t slider, float value, bool dragging) = 0;
    // A double click on the profile list.
    virtual void OnProfileSelected() = 0;
    // Enter in an edit box.
    virtual void OnProfileListChoice(int32_t editId, const std::string& text) = 0;
    // The level controller's score popup step of the given kind.
    virtual void ShowScorePopup(int32_t kind) = 0;
    // Finished tracks of the HUD panel (kinds 2 to 5) and of the text labels (kind 10).
    virtual void OnHudTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry) = 0;
    virtual void OnTextLabelTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry) = 0;
};
