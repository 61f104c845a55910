#pragma once

#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/Image.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetManager.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace WidgetTests {

// Every character is mCharWidth pixels wide; nothing is drawn.
class FixedFont : public Lumo::Font {
public:
    explicit FixedFont(int charWidth = 10) : mCharWidth(charWidth)
    {
        mAscent = 8;
        mHeight = 10;
        mLineSpacingOffset = 2;
    }
    int StringWidth(const std::string& text) override { return mCharWidth * int(text.size()); }
    int CharWidth(char) override { return mCharWidth; }
    void DrawString(Lumo::Graphics*, int, int, const std::string& text, const Lumo::Color&,
                    const Lumo::Rect&) override
    {
        mDrawn.push_back(text);
    }
    Lumo::Font* Duplicate() override { return new FixedFont(*this); }

    std::vector<std::string> mDrawn;

private:
    int mCharWidth;
};

// A destination that records its filled rectangles.
class FillRecorder : public Lumo::Image {
public:
    FillRecorder(int width, int height)
    {
        mWidth = width;
        mHeight = height;
    }
    void FillRect(const Lumo::Rect& rect, const Lumo::Color& color, int) override
    {
        mFills.push_back({rect, color});
    }
    struct Fill {
        Lumo::Rect mRect;
        Lumo::Color mColor;
    };
    std::vector<Fill> mFills;
};

// The application as the toolkit sees it: an 800 x 600 screen, an in-memory
// clipboard, fixed-width fonts and a deferred deletion run by the test.
class FakeAppHost : public Lumo::WidgetAppHost {
public:
    int GetWidth() override { return 800; }
    int GetHeight() override { return 600; }
    bool Is3DAccelerated() override { return false; }
    void SetCursor(int cursorNumber) override { mCursors.push_back(cursorNumber); }
    void CopyToClipboard(const std::string& text) override { mClipboard = text; }
    std::string GetClipboard() override
    {
        ++mClipboardReads;
        return mClipboard;
    }
    bool WantsSystemCaret() override { return false; }
    void ShowSystemCaret(int, int) override {}
    void MoveSystemCaret(int, int) override {}
    void HideSystemCaret() override {}
    bool LockScreenImage(Lumo::Image*) override
    {
        ++mLocks;
        return true;
    }
    void UnlockScreenImage(Lumo::Image*) override { ++mUnlocks; }
    Lumo::Font* CreateSysFont(const std::string&, int, int) override { return new FixedFont(); }
    bool PumpAndStep(bool*) override { return mPump ? mPump() : false; }
    void DeferDelete(Lumo::Widget* widget) override { mDeferred.push_back(widget); }
    Lumo::Dialog* MakeDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                             const std::string& footer, int buttonMode) override
    {
        return new Lumo::Dialog(this, id, isModal, header, lines, footer, buttonMode);
    }
    bool CloseDialogById(int id) override { return mCloseDialog ? mCloseDialog(id) : false; }
    Lumo::DialogListener* GetDialogListener() override { return mDialogListener; }
    void OnModalDialogOpened() override { ++mModalOpened; }
    void OnModalDialogClosed() override { ++mModalClosed; }

    void RunDeferredDeletes()
    {
        for (Lumo::Widget* widget : mDeferred)
            delete widget;
        mDeferred.clear();
    }

    std::vector<int> mCursors;
    std::string mClipboard;
    int mClipboardReads = 0;
    int mLocks = 0;
    int mUnlocks = 0;
    std::function<bool()> mPump;
    std::function<bool(int)> mCloseDialog;
    std::vector<Lumo::Widget*> mDeferred;
    Lumo::DialogListener* mDialogListener = nullptr;
    int mModalOpened = 0;
    int mModalClosed = 0;
};

// A widget that logs what the manager tells it, as "name:event".
class LogWidget : public Lumo::Widget {
public:
    LogWidget(std::vector<std::string>* log, std::string name, int x, int y, int width, int height)
        : mLog(log), mName(std::move(name))
    {
        mX = x;
        mY = y;
        mWidth = width;
        mHeight = height;
    }

    void Update() override
    {
        Widget::Update();
        Record("update");
        if (mOnUpdate)
            mOnUpdate();
    }
    void Draw(Lumo::Graphics&) override { Record("draw"); }
    void GotFocus() override
    {
        Widget::GotFocus();
        Record("focus");
    }
    void LostFocus() override
    {
        Widget::LostFocus();
        Record("unfocus");
    }
    void KeyChar(char ch) override { Record("char " + std::to_string(int(ch))); }
    void KeyUp(int key) override { Record("keyup " + std::to_string(key)); }
    void MouseEnter() override { Record("enter"); }
    void MouseLeave() override { Record("leave"); }
    void MouseDown(int x, int y, int button, int count) override
    {
        Record("down " + std::to_string(x) + "," + std::to_string(y) + " b" + std::to_string(button) + " c" +
               std::to_string(count));
    }
    void MouseUp(int x, int y, int button, int count) override
    {
        Record("up " + std::to_string(x) + "," + std::to_string(y) + " b" + std::to_string(button) + " c" +
               std::to_string(count));
    }
    void MouseDrag(int x, int y) override { Record("drag " + std::to_string(x) + "," + std::to_string(y)); }

    void Record(const std::string& event) { mLog->push_back(mName + ":" + event); }

    std::vector<std::string>* mLog;
    std::string mName;
    std::function<void()> mOnUpdate;
};

} // namespace WidgetTests
