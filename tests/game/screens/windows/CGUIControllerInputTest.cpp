#include "framework/widgets/EditWidget.h"
#include "game/screens/windows/CGUIScrollbar.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

namespace GUITest {
namespace {

// Pointer positions are given in window coordinates and turned into screen ones.
class InputTest : public GUIFixture {
protected:
    InputTest() { Load(FixtureXml()); }

    void Open(int32_t id)
    {
        mGui->OpenWindow(id, true);
        mLeft = 400 - mGui->Window(id)->mWidth / 2;
    }
    void Move(int x, int y) { mGui->OnPointerMove(mLeft + x, y); }
    void Down(int x, int y, bool twice = false) { mGui->OnPointerDown(mLeft + x, y, twice); }
    void Up(int x, int y) { mGui->OnPointerUp(mLeft + x, y); }

    int32_t mLeft = 0;
};

TEST_F(InputTest, AButtonGivesItsCommandWhenReleasedOverIt)
{
    // Menu buttons: rect (40, 200 + 40 i, 200, 32), command ids 16 to 22.
    const struct {
        const char* name;
        std::vector<std::pair<char, std::pair<int, int>>> steps;
        std::vector<std::string> calls;
    } cases[] = {
        {"press and release", {{'m', {50, 245}}, {'d', {50, 245}}, {'u', {50, 245}}}, {"command 17 1"}},
        {"pressed, dragged away, released", {{'m', {50, 245}}, {'d', {50, 245}}, {'m', {300, 245}}, {'u', {300, 245}}},
         {}},
        {"leaves and comes back", {{'m', {50, 245}}, {'d', {50, 245}}, {'m', {300, 245}}, {'m', {60, 250}},
                                   {'u', {60, 250}}},
         {"command 17 1"}},
        {"released over a hovered button", {{'m', {50, 285}}, {'u', {50, 285}}}, {"command 18 1"}},
        {"straight to a neighbour", {{'m', {50, 205}}, {'m', {50, 245}}, {'d', {50, 245}}, {'u', {50, 245}}},
         {"command 17 1"}},
        {"beside every button", {{'m', {10, 245}}, {'d', {10, 245}}, {'u', {10, 245}}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(GUIWindowId::kMenu);
        mSpy.mCalls.clear();
        for (const auto& [kind, at] : c.steps) {
            if (kind == 'm')
                Move(at.first, at.second);
            else if (kind == 'd')
                Down(at.first, at.second);
            else
                Up(at.first, at.second);
        }
        EXPECT_EQ(mSpy.mCalls, c.calls);
        mGui->CloseWindow(true);
    }
}

TEST_F(InputTest, HoverPlaysTheHintSoundAndDisabledButtonsIgnoreThePointer)
{
    Open(GUIWindowId::kMenu);
    App().mSoundsPlayed.clear();
    Move(50, 205);
    EXPECT_EQ(mGui->Button(16)->mState, GUIButton::kHovered);
    EXPECT_EQ(App().mSoundsPlayed, std::vector<int>{21});
    Move(50, 245);
    EXPECT_EQ(mGui->Button(16)->mState, GUIButton::kIdle);
    mGui->Button(18)->mEnabled = false;
    Move(50, 285);
    Down(50, 285);
    Up(50, 285);
    EXPECT_TRUE(mSpy.mCalls.empty());
    EXPECT_EQ(mGui->Button(18)->mState, GUIButton::kIdle);

    // Input waits while the window is still rolling in.
    mGui->CloseWindow(true);
    mGui->OpenWindow(GUIWindowId::kMenu, false);
    Move(50, 205);
    Down(50, 205);
    Up(50, 205);
    EXPECT_TRUE(mSpy.mCalls.empty());
}

TEST_F(InputTest, CheckboxesToggleOnReleaseWherePointerIs)
{
    Open(14);
    Move(330, 170);
    Down(330, 170);
    Move(10, 10);
    Up(10, 10);
    EXPECT_EQ(mGui->Checkbox(0)->mValue, 1);
    EXPECT_EQ(App().mSoundsPlayed.back(), 18);
    mGui->Checkbox(1)->mValue = 7;
    Move(330, 200);
    Up(330, 200);
    EXPECT_EQ(mGui->Checkbox(1)->mValue, 1);
}

TEST_F(InputTest, SlidersStepByTheirArrowsAndFollowADrag)
{
    // Slider 0: rect 40,278,240,24; arrows 40..64 and 256..280; rail from 48, 184 long; dt 0.1.
    Open(14);
    const struct {
        const char* name;
        float start;
        int x;
        float value;
    } presses[] = {{"right arrow near the top", 0.95f, 260, 1.0f}, {"left arrow near the bottom", 0.05f, 45, 0.0f},
                   {"right arrow", 0.5f, 270, 0.6f}, {"on the rail", 0.0f, 48 + 92, 0.5f}};
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        mGui->SetSliderPos(0, p.start);
        Move(p.x, 280);
        Down(p.x, 280);
        Up(p.x, 280);
        EXPECT_NEAR(mGui->Slider(0)->mValue, p.value, 1e-5);
        EXPECT_EQ(mGui->Slider(0)->mNutX, 48 + int(mGui->Slider(0)->mValue * 184));
    }
    mSpy.mCalls.clear();
    Move(140, 280);
    Down(140, 280);
    Move(500, 280);
    EXPECT_EQ(mGui->Slider(0)->mNutX, 48 + 184);
    Move(501, 280);
    Up(501, 280);
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"slider 0 0.5", "slider 0 1 drag", "slider 0 1"}));
    EXPECT_EQ(mGui->Slider(0)->mState, GUISlider::kIdle);
}

TEST_F(InputTest, ListRowsAreSelectedAndScrolled)
{
    // List 0: rect 40,160; yoffs 26, selection offset -20, line step 28, 6 rows.
    Open(17);
    const struct {
        int32_t count;
        int y;
        int32_t first;
        int32_t selection;
    } cases[] = {{10, 167, 0, 0}, {10, 160 + 6 + 28 * 2 + 1, 0, 2}, {10, 331, 0, 5}, {10, 160 + 6, 0, -1},
                 {10, 200, 4, 5}, {3, 331, 0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        mGui->SetListCount(c.count);
        mGui->ListBox(0)->mSelection = -1;
        mGui->SetListScroll(0, c.first);
        Move(100, c.y);
        Down(100, c.y);
        EXPECT_EQ(mGui->ListBox(0)->mSelection, c.selection);
    }
    mGui->SetListCount(10);
    Down(100, 200, true);
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"profile"});

    // The wheel scrolls the hovered list a line at a time within its lines.
    mGui->ScrollList(-120);
    Move(100, 200);
    mGui->SetListScroll(0, 3);
    mGui->ScrollList(-120);
    EXPECT_EQ(mGui->ListBox(0)->mFirstVisible, 4);
    mGui->ScrollList(-120);
    EXPECT_EQ(mGui->ListBox(0)->mFirstVisible, 4);
    mGui->ScrollList(120);
    EXPECT_EQ(mGui->ListBox(0)->mFirstVisible, 3);
    EXPECT_DOUBLE_EQ(mGui->ListBox(0)->mScrollbar->mPosition, 3.0);
}

TEST_F(InputTest, RemovingALineKeepsScrollAndSelectionInTheList)
{
    Open(17);
    const struct {
        int32_t count, first, selection, line;
        int32_t countAfter, firstAfter, selectionAfter;
    } cases[] = {
        {10, 4, 9, 9, 9, 3, 8},  // the last page moves up with the list
        {10, 0, 2, 1, 9, 0, 2},  // a line above the last page leaves the scroll alone
        {4, 0, 3, 3, 3, 0, 2},   // a short list never scrolls
        {1, 0, 0, 0, 0, 0, -1},  // the last line goes: no selection is left
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        mGui->SetListCount(c.count);
        mGui->SetListScroll(0, c.first);
        mGui->ListBox(0)->mSelection = c.selection;
        mGui->RemoveListLine(c.line);
        EXPECT_EQ(mGui->ListBox(0)->mLineCount, c.countAfter);
        EXPECT_EQ(mGui->ListBox(0)->mFirstVisible, c.firstAfter);
        EXPECT_EQ(mGui->ListBox(0)->mSelection, c.selectionAfter);
    }
}

TEST_F(InputTest, TypedCharactersNeedAGlyphInTheEditBoxFont)
{
    // Edit box 0 uses "normal"; it lacks lower-case letters, "1", "!", the euro sign and "e" with an acute accent.
    mHost.mFonts[0]->mMissing = "abcdefghijklmnopqrstuvwxyz1!\x80\xE9";
    const struct {
        char typed;
        bool allowed;
        char becomes;
    } cases[] = {{'A', true, 'A'}, {'q', true, 'Q'}, {'\xE9', true, '\xC9'}, {'!', false, 0},
                 {'\0', false, 0}, {'\x80', false, 0}, {'@', true, '@'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(static_cast<unsigned char>(c.typed)));
        char ch = c.typed;
        EXPECT_EQ(mGui->AllowChar(0, ch), c.allowed);
        if (c.allowed) {
            EXPECT_EQ(ch, c.becomes);
        }
    }
    // The key that types a symbol gives its unshifted character on the US layout.
    mHost.mFonts[0]->mMissing = "!";
    char bang = '!';
    EXPECT_TRUE(mGui->AllowChar(0, bang));
    EXPECT_EQ(bang, '1');
    // An edit box that does not exist refuses everything.
    char ch = 'A';
    EXPECT_FALSE(mGui->AllowChar(5, ch));

    mGui->TextEntered(1, "NEW");
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"choice 1 NEW"});
    mGui->EditBox(1)->mWidget->SetText("SOMEONE", true);
    EXPECT_EQ(mGui->GetEditText(1), "SOMEONE");
    mGui->ClearEditText();
    EXPECT_EQ(mGui->GetEditText(1), "");
    EXPECT_EQ(mGui->EditBox(0)->mWidget->mMaxChars, 8);
}

} // namespace
} // namespace GUITest
