#include "framework/widgets/EditWidget.h"

#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/TextEntryListener.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cstdlib>

namespace Lumo {

namespace {

constexpr int kKeyBack = 8;
constexpr int kKeyReturn = 13;
constexpr int kKeyShift = 16;
constexpr int kKeyControl = 17;
constexpr int kKeyEnd = 35;
constexpr int kKeyHome = 36;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;
constexpr int kKeyDelete = 46;
constexpr char kCharCopy = 3;
constexpr char kCharPaste = 22;
constexpr char kCharCut = 24;
constexpr char kCharUndo = 26;
constexpr int kCursorPointer = 0;
constexpr int kCursorText = 3;
constexpr int kTextMargin = 4;
constexpr int kCaretScreenMargin = 10;

constexpr int kDefaultColors[][3] = {{255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}};

} // namespace

EditWidget::EditWidget(int id, TextEntryListener* listener) : mId(id), mListener(listener)
{
    SetColorsRGB(kDefaultColors, 5);
}

EditWidget::~EditWidget() = default;

const std::string& EditWidget::TextRef()
{
    if (mPasswordChar == 0)
        return mText;
    if (mMaskedText.size() != mText.size())
        mMaskedText.assign(mText.size(), mPasswordChar);
    return mMaskedText;
}

bool EditWidget::WantsFocus()
{
    return true;
}

bool EditWidget::IsPartOfWord(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_';
}

void EditWidget::SetFont(Font* font, Font* widthFont)
{
    mFont = font;
    mWidthLimits.clear();
    if (widthFont != nullptr)
        mWidthLimits.emplace_back(widthFont, -1);
}

int EditWidget::DisplayWidth(size_t start, size_t end)
{
    if (mFont == nullptr)
        return 0;
    const std::string& display = TextRef();
    end = std::min(end, display.size());
    if (start >= end)
        return 0;
    return mFont->StringWidth(display.substr(start, end - start));
}

bool EditWidget::HasSelection() const
{
    return mSelectionAnchor != -1 && mSelectionAnchor != mCursorPos;
}

std::string EditWidget::SelectedText() const
{
    const auto from = static_cast<size_t>(std::min(mCursorPos, mSelectionAnchor));
    const auto to = static_cast<size_t>(std::max(mCursorPos, mSelectionAnchor));
    return mText.substr(from, to - from);
}

void EditWidget::RemoveSelection()
{
    const int from = std::min(mCursorPos, mSelectionAnchor);
    const int to = std::max(mCursorPos, mSelectionAnchor);
    mText.erase(static_cast<size_t>(from), static_cast<size_t>(to - from));
    mCursorPos = from;
    mSelectionAnchor = -1;
}

void EditWidget::ReplaceSelectionOrInsert(const std::string& text)
{
    if (HasSelection())
        RemoveSelection();
    mText.insert(static_cast<size_t>(mCursorPos), text);
    mCursorPos += static_cast<int>(text.size());
}

void EditWidget::PasteFirstLine(const std::string& clipboard)
{
    std::string accepted;
    for (char ch : clipboard) {
        if (ch == '\r' || ch == '\n')
            break;
        if (mFont != nullptr && mFont->CharWidth(ch) == 0)
            continue;
        if (mListener == nullptr || mListener->AllowChar(mId, ch))
            accepted += ch;
    }
    ReplaceSelectionOrInsert(accepted);
}

void EditWidget::UpdateCenterOffset()
{
    mCenterOffset = std::max(0, (mWidth - DisplayWidth(0, TextRef().size())) / 2);
}

void EditWidget::EnforceWidthLimits()
{
    if (mFont == nullptr || (mMaxPixels <= 0 && mWidthLimits.empty()))
        return;
    if (mWidthLimits.empty()) {
        while (!mText.empty() && mFont->StringWidth(mText) > mMaxPixels)
            mText.pop_back();
        return;
    }
    for (const auto& [font, maxWidth] : mWidthLimits) {
        const int limit = maxWidth > 0 ? maxWidth : mMaxPixels;
        if (limit <= 0)
            continue;
        while (!mText.empty() && font->StringWidth(mText) > limit)
            mText.pop_back();
    }
}

void EditWidget::ProcessKey(int key, char ch)
{
    if (key == kKeyShift || key == kKeyControl)
        return;
    const bool shift = mManager != nullptr && mManager->IsKeyDown(kKeyShift);
    const bool ctrl = mManager != nullptr && mManager->IsKeyDown(kKeyControl);
    bool clearSelection = !shift;
    if (shift && mSelectionAnchor == -1)
        mSelectionAnchor = mCursorPos;
    const std::string oldText = mText;
    const int oldCursor = mCursorPos;
    const int oldAnchor = mSelectionAnchor;
    bool changed = false;
    const int length = static_cast<int>(mText.size());

    if (ch == kCharCopy || ch == kCharCut) {
        if (HasSelection()) {
            if (mManager != nullptr)
                mManager->mApp->CopyToClipboard(SelectedText());
            if (ch == kCharCopy) {
                clearSelection = false;
            } else {
                RemoveSelection();
                changed = true;
            }
        }
    } else if (ch == kCharPaste) {
        const std::string clipboard = mManager != nullptr ? mManager->mApp->GetClipboard() : std::string();
        if (!clipboard.empty()) {
            PasteFirstLine(clipboard);
            changed = true;
        }
    } else if (ch == kCharUndo) {
        mLastEditPos = -1;
        std::swap(mText, mUndoText);
        std::swap(mCursorPos, mUndoCursor);
        std::swap(mSelectionAnchor, mUndoAnchor);
        clearSelection = false;
    } else if (key == kKeyLeft) {
        if (ctrl) {
            while (mCursorPos > 0 && !IsPartOfWord(mText[static_cast<size_t>(mCursorPos - 1)]))
                --mCursorPos;
            while (mCursorPos > 0 && IsPartOfWord(mText[static_cast<size_t>(mCursorPos - 1)]))
                --mCursorPos;
        } else if (!shift && mSelectionAnchor != -1) {
            mCursorPos = std::min(mCursorPos, mSelectionAnchor);
        } else {
            --mCursorPos;
        }
    } else if (key == kKeyRight) {
        if (ctrl) {
            while (mCursorPos < length - 1 && IsPartOfWord(mText[static_cast<size_t>(mCursorPos + 1)]))
                ++mCursorPos;
            while (mCursorPos < length - 1 && !IsPartOfWord(mText[static_cast<size_t>(mCursorPos + 1)]))
                ++mCursorPos;
        }
        if (!shift && mSelectionAnchor != -1)
            mCursorPos = std::max(mCursorPos, mSelectionAnchor);
        else
            ++mCursorPos;
    } else if (key == kKeyBack) {
        if (!mText.empty()) {
            if (HasSelection()) {
                RemoveSelection();
                changed = true;
            } else {
                if (mCursorPos > 0)
                    mText.erase(static_cast<size_t>(mCursorPos - 1), 1);
                --mCursorPos;
                mSelectionAnchor = -1;
                changed = mCursorPos != mLastEditPos;
                mLastEditPos = mCursorPos - 1;
            }
        }
    } else if (key == kKeyDelete) {
        if (!mText.empty()) {
            if (HasSelection()) {
                RemoveSelection();
                changed = true;
            } else {
                if (mCursorPos < length)
                    mText.erase(static_cast<size_t>(mCursorPos), 1);
                changed = mCursorPos != mLastEditPos;
                mLastEditPos = mCursorPos;
            }
        }
    } else if (key == kKeyHome) {
        mCursorPos = 0;
    } else if (key == kKeyEnd) {
        mCursorPos = length;
    } else if (key == kKeyReturn) {
        if (mListener != nullptr)
            mListener->TextEntered(mId, mText);
    } else {
        const bool ok = mListener == nullptr || mListener->AllowChar(mId, ch);
        const auto code = static_cast<signed char>(ch);
        if (code < 32 || (mFont != nullptr && mFont->CharWidth(ch) < 1) || !ok) {
            clearSelection = false;
        } else {
            if (HasSelection()) {
                RemoveSelection();
                changed = true;
            } else {
                changed = mCursorPos != mLastEditPos + 1;
                mLastEditPos = mCursorPos;
            }
            mText.insert(static_cast<size_t>(mCursorPos), 1, ch);
            mSelectionAnchor = -1;
            ++mCursorPos;
            FocusCursor(false);
        }
    }

    if (mMaxChars != -1 && static_cast<int>(mText.size()) > mMaxChars)
        mText.resize(static_cast<size_t>(std::max(0, mMaxChars)));
    EnforceWidthLimits();
    mCursorPos = std::clamp(mCursorPos, 0, static_cast<int>(mText.size()));
    if (mCursorPos != oldCursor) {
        mBlinkCounter = 0;
        mCaretShown = true;
    }
    if (mCentered)
        UpdateCenterOffset();
    FocusCursor(true);
    if (clearSelection || mSelectionAnchor == mCursorPos)
        mSelectionAnchor = -1;
    if (mListener != nullptr && !mListener->AllowText(mId, mText)) {
        mText = oldText;
        mCursorPos = oldCursor;
        mSelectionAnchor = oldAnchor;
    } else if (changed) {
        mUndoText = oldText;
        mUndoCursor = oldCursor;
        mUndoAnchor = oldAnchor;
    }
    MarkDirty();
}

void EditWidget::KeyDown(int key)
{
    if ((key < 'A' || key > 'Y') && (mListener == nullptr || mListener->AllowKey(mId, key)))
        ProcessKey(key, 0);
    Widget::KeyDown(key);
}

void EditWidget::KeyChar(char ch)
{
    ProcessKey(0, ch);
}

void EditWidget::FocusCursor(bool bigJump)
{
    const int step = bigJump ? 10 : 1;
    while (mCursorPos < mScrollPos) {
        mScrollPos = std::max(0, mScrollPos - step);
        MarkDirty();
    }
    if (mFont == nullptr || mWidth <= 8)
        return;
    const int last = static_cast<int>(TextRef().size()) - 1;
    while (mScrollPos < last &&
           DisplayWidth(0, static_cast<size_t>(mCursorPos)) - DisplayWidth(0, static_cast<size_t>(mScrollPos)) >=
               mWidth - 8) {
        mScrollPos = std::min(mScrollPos + step, last);
        MarkDirty();
    }
}

int EditWidget::GetCharAt(int x, int)
{
    const int localX = x - mCenterOffset;
    const auto scroll = static_cast<size_t>(std::max(0, mScrollPos));
    const size_t length = TextRef().size();
    int result = 0;
    for (size_t i = scroll; i < length; ++i) {
        const int before = DisplayWidth(scroll, i);
        const int through = DisplayWidth(scroll, i + 1);
        if ((before + through) / 2 + 5 <= localX)
            result = static_cast<int>(i) + 1;
    }
    return result;
}

void EditWidget::SelectWord()
{
    const std::string& display = TextRef();
    const int length = static_cast<int>(display.size());
    if (mCursorPos >= length)
        return;
    mSelectionAnchor = mCursorPos;
    while (mSelectionAnchor > 0 && IsPartOfWord(display[static_cast<size_t>(mSelectionAnchor - 1)]))
        --mSelectionAnchor;
    while (mCursorPos < length - 1 && IsPartOfWord(display[static_cast<size_t>(mCursorPos + 1)]))
        ++mCursorPos;
    if (mCursorPos < length)
        ++mCursorPos;
}

void EditWidget::SetText(const std::string& text, bool resetScroll)
{
    mText = text;
    mCursorPos = static_cast<int>(mText.size());
    mSelectionAnchor = 0;
    if (mCentered && !mText.empty())
        UpdateCenterOffset();
    if (resetScroll)
        mScrollPos = 0;
    else
        FocusCursor(true);
    MarkDirty();
}

void EditWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    if (mCentered)
        UpdateCenterOffset();
    FocusCursor(false);
}

void EditWidget::MouseDown(int x, int y, int, int clickCount)
{
    mSelectionAnchor = -1;
    mCursorPos = GetCharAt(x, y);
    if (clickCount > 1) {
        mWordSelecting = true;
        SelectWord();
    }
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseDrag(int x, int y)
{
    if (mSelectionAnchor == -1)
        mSelectionAnchor = mCursorPos;
    mCursorPos = GetCharAt(x, y);
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseUp(int x, int y, int, int)
{
    if (mSelectionAnchor == mCursorPos)
        mSelectionAnchor = -1;
    if (mWordSelecting) {
        mSelectionAnchor = -1;
        mCursorPos = GetCharAt(x, y);
        mWordSelecting = false;
        SelectWord();
    }
    MarkDirty();
}

void EditWidget::MouseEnter()
{
    if (mManager != nullptr)
        mManager->mApp->SetCursor(kCursorText);
}

void EditWidget::MouseLeave()
{
    if (mManager != nullptr)
        mManager->mApp->SetCursor(kCursorPointer);
}

void EditWidget::PlaceSystemCaret()
{
    WidgetAppHost* app = mManager->mApp;
    const Point at = ToAbsolutePosition();
    const auto clampToScreen = [](int value, int size) {
        if (value < kCaretScreenMargin)
            return kCaretScreenMargin;
        return value > size - kCaretScreenMargin ? size - kCaretScreenMargin : value;
    };
    app->MoveSystemCaret(clampToScreen(at.mX, app->GetWidth()), clampToScreen(at.mY, app->GetHeight()));
}

void EditWidget::Update()
{
    Widget::Update();
    if (!mFocused)
        return;
    if (mManager != nullptr && mManager->mApp->WantsSystemCaret())
        PlaceSystemCaret();
    if (++mBlinkCounter > mBlinkDelay) {
        MarkDirty();
        mBlinkCounter = 0;
        mCaretShown = !mCaretShown;
    }
}

void EditWidget::GotFocus()
{
    Widget::GotFocus();
    if (mManager != nullptr && mManager->mApp->WantsSystemCaret()) {
        mManager->mApp->ShowSystemCaret(0, 0);
        PlaceSystemCaret();
    }
    mCaretShown = true;
    mBlinkCounter = 0;
    MarkDirty();
}

void EditWidget::LostFocus()
{
    Widget::LostFocus();
    if (mManager != nullptr && mManager->mApp->WantsSystemCaret())
        mManager->mApp->HideSystemCaret();
    mCaretShown = false;
    MarkDirty();
}

void EditWidget::MarkDirty()
{
    if (mParent == nullptr)
        mDirty = true;
    else if (GetColor(0).mAlpha == 255)
        mParent->MarkChildDirty(this);
    else
        mParent->MarkChildDirtyFull(this);
}

void EditWidget::Draw(Graphics& graphics)
{
    graphics.SetColor(GetColor(0));
    graphics.FillRect(0, 0, mWidth, mHeight);
    if (mFont != nullptr) {
        const std::string shown = TextRef().substr(std::min(TextRef().size(), static_cast<size_t>(mScrollPos)));
        const bool active = mFocused || mActiveUnfocused;
        const int top = (mHeight - mFont->GetHeight()) / 2;
        for (int pass = 0; pass < 2; ++pass) {
            Graphics copy(graphics);
            copy.SetFont(mFont);
            if (pass == 0) {
                copy.NarrowClipRect(kTextMargin, 0, mWidth - 8, mHeight);
                copy.SetColor(GetColor(2));
            } else {
                const auto scroll = static_cast<size_t>(mScrollPos);
                int caret = DisplayWidth(0, static_cast<size_t>(mCursorPos)) - DisplayWidth(0, scroll);
                int other = caret + 2;
                if (HasSelection())
                    other = DisplayWidth(0, static_cast<size_t>(mSelectionAnchor)) - DisplayWidth(0, scroll);
                if (!mCaretShown)
                    caret += 2;
                caret = std::clamp(caret, 0, std::max(0, mWidth - 8)) + mCenterOffset;
                other = std::clamp(other, 0, std::max(0, mWidth - 8)) + mCenterOffset;
                copy.NarrowClipRect(std::min(caret, other) + kTextMargin, top, std::abs(other - caret),
                                    mFont->GetHeight());
                if (active) {
                    copy.SetColor(GetColor(3));
                    copy.FillRect(0, 0, mWidth, mHeight);
                }
                copy.SetColor(GetColor(active ? 4 : 2));
            }
            copy.DrawText(shown, mCenterOffset + kTextMargin, top + mFont->GetAscent());
        }
    }
    graphics.SetColor(GetColor(1));
    graphics.DrawRect(0, 0, mWidth - 1, mHeight - 1);
}

} // namespace Lumo
