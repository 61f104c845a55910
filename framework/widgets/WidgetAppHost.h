#pragma once

#include <string>

namespace Lumo {

class Dialog;
class DialogListener;
class Font;
class Image;
class Widget;

// What the widget toolkit asks of the application object. The application
// object implements it; the names are its own operations.
class WidgetAppHost {
public:
    virtual ~WidgetAppHost() = default;

    // The application's screen size.
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual bool Is3DAccelerated() = 0;
    // Cursors: 0 pointer, 1 hand, 2 drag, 3 text. Applied at once.
    virtual void SetCursor(int cursorNumber) = 0;

    // Clipboard text, exchanged with the demo by the application.
    virtual void CopyToClipboard(const std::string& text) = 0;
    virtual std::string GetClipboard() = 0;

    // The system caret that follows the edit field, when the application
    // wants one: shown (created 0 x 0 for the main window) at a position,
    // moved, hidden (and destroyed).
    virtual bool WantsSystemCaret() = 0;
    virtual void ShowSystemCaret(int x, int y) = 0;
    virtual void MoveSystemCaret(int x, int y) = 0;
    virtual void HideSystemCaret() = 0;

    // The screen image's lock around a draw pass; false when the image needs
    // no lock or the lock failed, and then no unlock follows.
    virtual bool LockScreenImage(Image* image) = 0;
    virtual void UnlockScreenImage(Image* image) = 0;

    // A new system font, owned by the caller.
    virtual Font* CreateSysFont(const std::string& faceName, int pointSize, int charSet) = 0;

    // One pass of the main loop; false once the loop is asked to end.
    virtual bool PumpAndStep(bool* updated) = 0;
    // Deletes the widget once the main loop is back at the current depth.
    virtual void DeferDelete(Widget* widget) = 0;

    // The dialog operations of the application object.
    virtual Dialog* MakeDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                               const std::string& footer, int buttonMode) = 0;
    virtual bool CloseDialogById(int id) = 0;
    virtual DialogListener* GetDialogListener() = 0;
    virtual void OnModalDialogOpened() = 0;
    virtual void OnModalDialogClosed() = 0;
};

} // namespace Lumo
