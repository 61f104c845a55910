#include "framework/widgets/EditWidget.h"

#include "framework/widgets/TextEntryListener.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

namespace WidgetTests {
namespace {

class Listener : public Lumo::TextEntryListener {
public:
    void TextEntered(int, const std::string& text) override { mEntered = text; }
    bool AllowKey(int, int) override { return true; }
    bool AllowChar(int, char&) override { return true; }
    bool AllowText(int, const std::string& text) override { return text != mRefused; }
    std::string mEntered;
    std::string mRefused = "\x01";
};

// One step of a scenario: a key pressed, a character typed, a modifier held
// or released.
struct Step {
    enum Kind { Key, Char, Press, Release } mKind;
    int mValue;
};

Step K(int key) { return Step{Step::Key, key}; }
Step C(char ch) { return Step{Step::Char, static_cast<unsigned char>(ch)}; }
Step Hold(int key) { return Step{Step::Press, key}; }
Step Let(int key) { return Step{Step::Release, key}; }

class EditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mManager.SetScreenRect(Lumo::Rect{0, 0, 800, 600}, Lumo::Rect{0, 0, 800, 600});
        mEdit.SetFont(&mFont, nullptr);
        mEdit.Resize(0, 0, 300, 20);
        mManager.AddChild(&mEdit);
        mManager.SetFocus(&mEdit);
    }
    void TearDown() override { mManager.RemoveAllChildren(false, false); }

    void Run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            if (step.mKind == Step::Key)
                mManager.KeyDown(step.mValue);
            else if (step.mKind == Step::Char)
                mManager.KeyChar(static_cast<char>(step.mValue));
            else if (step.mKind == Step::Press)
                mManager.KeyDown(step.mValue);
            else
                mManager.KeyUp(step.mValue);
        }
    }
    void Type(const std::string& text)
    {
        for (char ch : text)
            mManager.KeyChar(ch);
    }
    std::string Selection() const
    {
        if (mEdit.mSelectionAnchor == -1 || mEdit.mSelectionAnchor == mEdit.mCursorPos)
            return "";
        const int from = std::min(mEdit.mSelectionAnchor, mEdit.mCursorPos);
        const int to = std::max(mEdit.mSelectionAnchor, mEdit.mCursorPos);
        return mEdit.mText.substr(size_t(from), size_t(to - from));
    }

    FakeAppHost mApp;
    Lumo::WidgetManager mManager{&mApp};
    FixedFont mFont{10};
    Listener mListener;
    Lumo::EditWidget mEdit{5, &mListener};
};

TEST_F(EditTest, KeyboardScenarios)
{
    struct Scenario {
        const char* name;
        std::string start;
        int cursor;
        std::vector<Step> steps;
        std::string text;
        int caret;
        std::string selected;
    };
    const Scenario scenarios[] = {
        {"undo of typing empties, redo restores", "", 0, {C('a'), C('b'), C('c'), C(26)}, "", 0, ""},
        {"second undo redoes", "", 0, {C('a'), C('b'), C('c'), C(26), C(26)}, "abc", 3, ""},
        {"ctrl+right to the next word", "abc def", 0, {Hold(17), K(39)}, "abc def", 4, ""},
        {"ctrl+left to the word start", "abc def", 7, {Hold(17), K(37)}, "abc def", 4, ""},
        {"shift+right selects", "abcd", 0, {Hold(16), K(39), K(39)}, "abcd", 2, "ab"},
        {"left ends a selection at its start", "abcd", 0, {Hold(16), K(39), K(39), Let(16), K(37)}, "abcd", 0, ""},
        {"backspace at 0 deletes nothing", "abc", 0, {K(8)}, "abc", 0, ""},
        {"backspace removes before the caret", "abc", 2, {K(8)}, "ac", 1, ""},
        {"delete removes at the caret", "abc", 1, {K(46)}, "ac", 1, ""},
        {"typing replaces a selection", "abcd", 0, {Hold(16), K(39), K(39), Let(16), C('x')}, "xcd", 1, ""},
        {"home and end", "abc", 1, {K(36), K(35)}, "abc", 3, ""},
        {"control characters are refused", "ab", 2, {C(1), C('\xe9')}, "ab", 2, ""},
        {"letter keys are left to characters", "ab", 2, {K('A'), K('Z')}, "ab", 2, ""},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        mManager.KeyUp(16);
        mManager.KeyUp(17);
        mEdit.SetText(s.start, true);
        mEdit.mCursorPos = s.cursor;
        mEdit.mSelectionAnchor = -1;
        mEdit.mUndoText.clear();
        mEdit.mUndoCursor = 0;
        mEdit.mLastEditPos = -10;
        Run(s.steps);
        EXPECT_EQ(mEdit.mText, s.text);
        EXPECT_EQ(mEdit.mCursorPos, s.caret);
        EXPECT_EQ(Selection(), s.selected);
    }
}

TEST_F(EditTest, LimitsAndRefusals)
{
    mEdit.mMaxChars = 3;
    Type("abcd");
    EXPECT_EQ(mEdit.mText, "abc");
    mEdit.mMaxChars = -1;
    mEdit.SetText("", true);
    mEdit.mMaxPixels = 45;
    Type("abcdef");
    EXPECT_EQ(mEdit.mText, "abcd");
    mEdit.mMaxPixels = -1;
    mListener.mRefused = "abcdx";
    mEdit.mCursorPos = 4;
    Type("x");
    EXPECT_EQ(mEdit.mText, "abcd");
    EXPECT_EQ(mEdit.mCursorPos, 4);
    mManager.KeyDown(13);
    EXPECT_EQ(mListener.mEntered, "abcd");
}

TEST_F(EditTest, ClipboardCopiesRealTextAndPastesTheFirstLine)
{
    mEdit.mPasswordChar = '*';
    mEdit.SetText("secret", true);
    EXPECT_EQ(mEdit.TextRef(), "******");
    mManager.KeyChar(3);
    EXPECT_EQ(mApp.mClipboard, "secret");
    mManager.KeyChar(24);
    EXPECT_EQ(mEdit.mText, "");
    mApp.mClipboard = "ab\ncd";
    mApp.mClipboardReads = 0;
    mManager.KeyChar(22);
    EXPECT_EQ(mEdit.mText, "ab");
    EXPECT_EQ(mEdit.mCursorPos, 2);
    // One read: the clipboard read is recorded in demos.
    EXPECT_EQ(mApp.mClipboardReads, 1);
}

TEST_F(EditTest, PasswordFieldDrawsMaskCharacters)
{
    mEdit.mPasswordChar = '*';
    mEdit.SetText("abc", true);
    FillRecorder screen(800, 600);
    Lumo::Graphics graphics(&screen);
    mEdit.Draw(graphics);
    ASSERT_FALSE(mFont.mDrawn.empty());
    for (const std::string& text : mFont.mDrawn)
        EXPECT_EQ(text, "***");
}

TEST_F(EditTest, MouseSelectsWordsAndSetTextSelectsAll)
{
    mEdit.SetText("abc def", true);
    EXPECT_EQ(Selection(), "abc def");
    EXPECT_EQ(mEdit.mCursorPos, 7);
    // The caret goes after character i from x = 10 * i + 10 on.
    mManager.MouseDown(45, 5, 1);
    mManager.MouseUp(45, 5, 1);
    EXPECT_EQ(mEdit.mCursorPos, 4);
    mManager.MouseDown(45, 5, 2);
    mManager.MouseUp(45, 5, 2);
    EXPECT_EQ(Selection(), "def");
    mManager.MouseDown(5, 5, 1);
    mManager.MouseMoveInput(25, 5);
    mManager.MouseUp(25, 5, 1);
    EXPECT_EQ(Selection(), "ab");
}

TEST_F(EditTest, CaretBlinksEveryFortyOneUpdatesWhileFocused)
{
    EXPECT_TRUE(mEdit.mCaretShown);
    for (int i = 0; i < 40; ++i)
        mManager.UpdateFrame();
    EXPECT_TRUE(mEdit.mCaretShown);
    mManager.UpdateFrame();
    EXPECT_FALSE(mEdit.mCaretShown);
    mManager.SetFocus(nullptr);
    for (int i = 0; i < 41; ++i)
        mManager.UpdateFrame();
    EXPECT_FALSE(mEdit.mCaretShown);
}

} // namespace
} // namespace WidgetTests
