#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <memory>
#include <string>

namespace Lumo {

class DialogButton;
class DialogListener;
class Font;
class WidgetAppHost;

// An in-game dialog: a framed box with a header, word-wrapped body, optional
// footer and zero, one or two buttons. The buttons are the dialog's siblings
// in the manager, kept in front of it. The player can drag the box about.
class Dialog : public Widget, public ButtonListener {
public:
    static constexpr int32_t kNoResult = 2147483647;
    static constexpr int kYesButtonId = 1000;
    static constexpr int kNoButtonId = 1001;

    // 0 no buttons, 1 yes and no, 2 OK and cancel, 3 one button labelled
    // with the footer.
    enum ButtonMode { kNoButtons = 0, kYesNo = 1, kOkCancel = 2, kFooterButton = 3 };

    WidgetAppHost* mApp;
    DialogListener* mListener;
    Image* mComponentImage = nullptr;
    std::unique_ptr<DialogButton> mYesButton;
    std::unique_ptr<DialogButton> mNoButton;
    std::string mHeader;
    std::string mFooter;
    std::string mLines;
    int32_t mButtonMode;
    std::unique_ptr<Font> mHeaderFont;
    std::unique_ptr<Font> mLinesFont;
    int32_t mTextJustification = 0;
    int32_t mLineSpacingOffset = 0;
    int32_t mButtonHeight = 24;
    Insets mBackgroundInsets;
    Insets mContentInsets{24, 24, 24, 24};
    int32_t mSpaceAfterHeader = 10;
    bool mDragging = false;
    int32_t mDragX = 0;
    int32_t mDragY = 0;
    int32_t mId;
    bool mIsModal;
    int32_t mResult = kNoResult;
    int32_t mButtonGap = 8;
    int32_t mButtonSideMargin = 0;

    // The application gives the dialog its fonts and its listener; without
    // one the dialog has neither.
    Dialog(WidgetAppHost* app, int id, bool isModal, const std::string& header, const std::string& lines,
           const std::string& footer, int buttonMode);
    ~Dialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics& graphics) override;
    void StackOrderChanged() override;
    void SetColor(int index, const Color& color) override;
    void Resize(int x, int y, int width, int height) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    virtual void SetButtonFont(Font* font);
    // Keep copies: the caller keeps its font.
    virtual void SetHeaderFont(Font* font);
    virtual void SetLinesFont(Font* font);
    virtual int GetPreferredHeight(int width);
    virtual bool IsModal();
    // Runs the main loop until a button is clicked, the dialog leaves the
    // tree or the loop ends; the result, or kNoResult.
    virtual int WaitForResult(bool closeAfter);

    void OnButtonPressed(int id) override;
    void OnButtonClicked(int id) override;

private:
    void EnsureFonts();
    void LayoutButtons();
    int BodyWidth(int width) const;
};

} // namespace Lumo
