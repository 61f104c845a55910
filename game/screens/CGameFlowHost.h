#pragma once

#include <cstdint>

// What the screens of play (board widget, HUD panel, the game's commands) ask
// of the application that owns them: its paused and game-screen flags, and the
// moves between the menu, the level map and play.
class CGameFlowHost {
public:
    virtual ~CGameFlowHost() = default;
    // True while a menu or status window stands over play.
    virtual bool GamePaused() const = 0;
    virtual void SetGamePaused(bool paused) = 0;
    // True from the menu's appearance until the level-end windows hand over to the level map.
    virtual bool GameScreenShown() const = 0;
    virtual void SetGameScreenShown(bool shown) = 0;
    // Puts the menu backdrop in front and fades it in.
    virtual void ShowBackgroundWidget() = 0;
    // map = level-graph position / 10; from and to are positions 0..9 on that map.
    virtual void ShowLevelMap(int32_t map, int32_t from, int32_t to) = 0;
    virtual void StartSelectedLevel() = 0;
    // The ball back in sight for a level that starts.
    virtual void ShowBall() = 0;
    // Advances the level graph on the loading thread; play restarts when it is done.
    virtual void Reload() = 0;
    virtual void LoadCursor() = 0;
};
