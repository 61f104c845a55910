#pragma once

#include "framework/graphics/Rect.h"
#include "framework/widgets/WidgetContainer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Lumo {

class Graphics;
class Image;
class WidgetAppHost;

// The root of the widget tree: turns the application's input into calls on
// widgets, keeps hover, press, focus and modality, and runs the update and
// draw passes. It owns nothing in the tree.
class WidgetManager : public WidgetContainer {
public:
    struct ModalRecord {
        Widget* mWidget;
        Widget* mPreviousModal;
        Widget* mPreviousFocus;
        FlagsMod mPreviousBehindModal;
    };

    struct OverlayRequest {
        Widget* mWidget;
        int32_t mLevel;
    };

    static constexpr int32_t kNoPendingLevel = 0x7FFFFFFF;

    Widget* mCtrlTabWidget = nullptr;
    Graphics* mCurrentGraphics = nullptr;
    WidgetAppHost* mApp;
    Image* mScreenImage = nullptr;
    Widget* mPopupWidget = nullptr;
    std::vector<OverlayRequest> mPendingOverlays;
    int32_t mLowestPendingLevel = kNoPendingLevel;
    bool mHasFocus = true;
    Widget* mFocusWidget = nullptr;
    Widget* mPressedWidget = nullptr;
    Widget* mHoverWidget = nullptr;
    Widget* mModalWidget = nullptr;
    FlagsMod mLostFocusMod;
    FlagsMod mBehindModalMod;
    FlagsMod mDefaultBehindModalMod{0, 48};
    std::vector<ModalRecord> mModalHistory;
    Rect mScreenRect{0, 0, 0, 0};
    Rect mMouseRect{0, 0, 0, 0};
    bool mMouseInWindow = false;
    int32_t mLastMouseX = 0;
    int32_t mLastMouseY = 0;
    // Bits: 1 left, 2 right, 4 middle.
    uint32_t mHeldButtons = 0;
    uint32_t mDownButtons = 0;
    uint32_t mLastInputUpdate = 0;
    std::array<bool, 255> mKeyDown{};
    int32_t mLastDownButton = 0;
    uint32_t mDefaultFlags = 0x3D;

    explicit WidgetManager(WidgetAppHost* app);
    ~WidgetManager() override;

    void ForgetWidget(Widget* widget) override;
    void SetFocus(Widget* widget) override;

    void SetScreenRect(const Rect& screenRect, const Rect& mouseRect);
    void MapMouseToScreen(int* x, int* y) const;
    bool MouseMoveInput(int x, int y);
    // Codes: 1 left, 2 left double, -1 right, -2 right double, 3 middle.
    bool MouseDown(int x, int y, int code);
    bool MouseUp(int x, int y, int code);
    bool MouseExit();
    void MouseWheel(int delta);
    bool KeyChar(char ch);
    bool KeyDown(int key);
    bool KeyUp(int key);
    void AppGotFocus();
    void AppLostFocus();
    void ReleaseHeldButtons();
    // Without a modifier the default behind-modal modifier is used.
    void PushModal(Widget* widget);
    void PushModal(Widget* widget, const FlagsMod& behindModal);
    void PopModal(Widget* widget);
    bool UpdateFrame();
    bool UpdateFrameF(float fraction);
    bool DrawScreen();
    Widget* WidgetAt(int x, int y, int* localX, int* localY);

    // After a widget was added, moved, resized, shown or hidden.
    void RecheckMouse();
    void MouseMove(int x, int y);
    void DrawPendingOverlays(int32_t limit);
    bool IsKeyDown(int key) const;
    // Clears a leaving widget from the saved entries of the modal history.
    void ForgetInModalHistory(Widget* widget);

private:
    uint32_t CurrentFlags() const;
    PassFlags InitPassFlags() const;
    Widget* SearchAt(WidgetContainer* container, uint32_t flags, bool* pastModal, int x, int y, int* localX,
                     int* localY);
    void EnterWidget(Widget* widget);
    void LeaveWidget(Widget* widget);
    void MouseDrag(int x, int y);
    void SendHeldButtonsUp(Widget* widget, uint32_t bits);
    void SetModalWidget(Widget* widget, const FlagsMod& behindModal);
};

} // namespace Lumo
