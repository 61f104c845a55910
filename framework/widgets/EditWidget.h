#pragma once

#include "framework/widgets/Widget.h"

#include <string>
#include <utility>
#include <vector>

namespace Lumo {

class Font;
class TextEntryListener;

// A single-line text field: caret and selection, horizontal scrolling,
// password masking, limits by characters or pixels, clipboard and a one-step
// undo that a second Ctrl+Z redoes.
class EditWidget : public Widget {
public:
    int32_t mId;
    std::string mText;
    std::string mMaskedText;
    Font* mFont = nullptr;
    // Per-font pixel limits; a limit of 0 or less stands for maxPixels.
    std::vector<std::pair<Font*, int32_t>> mWidthLimits;
    TextEntryListener* mListener;
    bool mCaretShown = false;
    bool mActiveUnfocused = false;
    bool mWordSelecting = false;
    int32_t mCursorPos = 0;
    // -1: no selection.
    int32_t mSelectionAnchor = -1;
    int32_t mBlinkCounter = 0;
    int32_t mBlinkDelay = 40;
    int32_t mScrollPos = 0;
    int32_t mMaxChars = -1;
    int32_t mMaxPixels = -1;
    char mPasswordChar = 0;
    std::string mUndoText;
    int32_t mUndoCursor = 0;
    int32_t mUndoAnchor = 0;
    int32_t mLastEditPos = 0;
    bool mCentered = false;
    int32_t mCenterOffset = 0;

    EditWidget(int id, TextEntryListener* listener);
    ~EditWidget() override;

    void MarkDirty() override;
    void Update() override;
    void Draw(Graphics& graphics) override;
    void Resize(int x, int y, int width, int height) override;
    bool WantsFocus() override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char ch) override;
    void KeyDown(int key) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    virtual void ProcessKey(int key, char ch);
    virtual void SelectWord();
    virtual void SetFont(Font* font, Font* widthFont);
    virtual void SetText(const std::string& text, bool resetScroll);
    virtual bool IsPartOfWord(char ch);
    virtual int GetCharAt(int x, int y);
    virtual void FocusCursor(bool bigJump);

    // The text as shown: the password characters when masked.
    const std::string& TextRef();

private:
    bool HasSelection() const;
    void RemoveSelection();
    std::string SelectedText() const;
    void ReplaceSelectionOrInsert(const std::string& text);
    int DisplayWidth(size_t start, size_t end);
    void UpdateCenterOffset();
    void EnforceWidthLimits();
    void PlaceSystemCaret();
    void PasteFirstLine(const std::string& clipboard);
};

} // namespace Lumo
