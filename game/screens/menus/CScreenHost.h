#pragma once

namespace Lumo {
class Image;
}
class CTitleScreen;

// What the title and menu screens ask of the application that shows them.
class CScreenHost {
public:
    virtual ~CScreenHost() = default;

    // The turning wheel drawn while loading; null when its picture is missing.
    virtual Lumo::Image* LoadingWheel() = 0;
    // Brings up the menu over the board.
    virtual void ShowGameScreen() = 0;
    // The title has faded out: take it out of the widget tree and delete it later.
    virtual void TitleScreenGone(CTitleScreen* title) = 0;
};
