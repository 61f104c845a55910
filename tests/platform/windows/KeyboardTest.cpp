#include "platform/backends/sdl/SdlKeyMap.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/Window.h"
#include "tests/platform/windows/WindowFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Platform;

namespace {

// SDL2's numbers: characters are their own keycode, other keys are
// 0x40000000 plus their position (the USB usage id).
constexpr int32_t Positional(int32_t scancode) { return scancode | 0x40000000; }

struct SdlKeyCase {
    int32_t keycode;
    int32_t scancode;
    uint8_t expected;
};

TEST(SdlKeyMap, GivesWindowsCodes)
{
    const SdlKeyCase cases[] = {
        {'a', 4, 'A'},
        {'z', 29, 'Z'},
        {'a', 20, 'A'},    // letters follow the layout: "a" where QWERTY has "q"
        {0x444, 9, 'F'},   // a Cyrillic letter takes its position
        {'1', 30, '1'},
        {'0', 39, '0'},
        {'&', 30, '1'},    // the digit row of a French layout
        {0xE9, 31, '2'},
        {8, 42, VK_BACK},
        {9, 43, VK_TAB},
        {13, 40, VK_RETURN},
        {27, 41, VK_ESCAPE},
        {127, 76, VK_DELETE},
        {' ', 44, VK_SPACE},
        {Positional(58), 58, VK_F1},
        {Positional(59), 59, 0x71},
        {Positional(69), 69, VK_F12},
        {Positional(74), 74, VK_HOME},
        {Positional(77), 77, VK_END},
        {Positional(79), 79, VK_RIGHT},
        {Positional(80), 80, VK_LEFT},
        {Positional(81), 81, VK_DOWN},
        {Positional(82), 82, VK_UP},
        {Positional(225), 225, VK_SHIFT},
        {Positional(229), 229, VK_SHIFT},
        {Positional(224), 224, VK_CONTROL},
        {Positional(228), 228, VK_CONTROL},
        {Positional(226), 226, VK_MENU},
        {Positional(230), 230, VK_MENU},
        {Positional(88), 88, VK_RETURN}, // keypad Enter
        {Positional(89), 89, 0x61},      // keypad 1
        {'-', 45, VK_OEM_MINUS},
        {Positional(227), 227, 0},       // the logo key has no code
    };
    for (const SdlKeyCase& c : cases)
        EXPECT_EQ(VirtualKeyFromSdl(c.keycode, c.scancode), c.expected) << c.keycode << " at " << c.scancode;
}

struct Step {
    enum Kind { Down, Up, Type } kind;
    uint8_t key = 0;
    std::string text;
    bool right = false;
};

Step Down(uint8_t key, bool right = false) { return Step{Step::Down, key, "", right}; }
Step Up(uint8_t key) { return Step{Step::Up, key, "", false}; }
Step Type(const std::string& text) { return Step{Step::Type, 0, text, false}; }

using Sent = std::pair<uint32_t, WPARAM>;

struct TypingCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<Sent> expected;
};

class Keyboard : public WindowFixture {
protected:
    void SetUp() override
    {
        mWindow = MakeWindow();
        ShowWindow(mWindow, SW_SHOW);
        Pump();
    }

    std::vector<Sent> Play(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            if (step.kind == Step::Type)
                mDesktop.InjectText(step.text);
            else
                mDesktop.InjectKey(step.key, step.kind == Step::Down, step.right);
        }
        std::vector<Sent> sent;
        for (const MSG& m : Only(Pump(), {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR}))
            sent.emplace_back(m.message, m.wParam);
        return sent;
    }

    HWND mWindow = nullptr;
};

TEST_F(Keyboard, KeysBecomeKeyAndCharacterMessages)
{
    const TypingCase cases[] = {
        {"letter", {Down('A'), Type("a"), Up('A')}, {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}}},
        {"shifted", {Down(VK_SHIFT), Down('A'), Type("A")}, {{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'A'}, {WM_CHAR, 'A'}}},
        {"ctrl+c", {Down(VK_CONTROL), Down('C'), Up('C'), Up(VK_CONTROL)},
         {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'C'}, {WM_CHAR, 3}, {WM_KEYUP, 'C'}, {WM_KEYUP, VK_CONTROL}}},
        {"ctrl+v", {Down(VK_CONTROL), Down('V')}, {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'V'}, {WM_CHAR, 22}}},
        {"ctrl+x", {Down(VK_CONTROL), Down('X')}, {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'X'}, {WM_CHAR, 24}}},
        {"ctrl+z", {Down(VK_CONTROL), Down('Z')}, {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'Z'}, {WM_CHAR, 26}}},
        {"ctrl drops the desktop's text", {Down(VK_CONTROL), Down('A'), Type("a")},
         {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'A'}, {WM_CHAR, 1}}},
        {"backspace", {Down(VK_BACK)}, {{WM_KEYDOWN, VK_BACK}, {WM_CHAR, 8}}},
        {"ctrl+backspace", {Down(VK_CONTROL), Down(VK_BACK)},
         {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_BACK}, {WM_CHAR, 0x7F}}},
        {"return", {Down(VK_RETURN)}, {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}}},
        {"tab", {Down(VK_TAB)}, {{WM_KEYDOWN, VK_TAB}, {WM_CHAR, 9}}},
        {"escape", {Down(VK_ESCAPE)}, {{WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}}},
        {"no character for arrows", {Down(VK_LEFT), Up(VK_LEFT)}, {{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}}},
        {"alt+return", {Down(VK_MENU), Down(VK_RETURN), Up(VK_RETURN), Up(VK_MENU)},
         {{WM_SYSKEYDOWN, VK_MENU},
          {WM_SYSKEYDOWN, VK_RETURN},
          {WM_SYSCHAR, 13},
          {WM_SYSKEYUP, VK_RETURN},
          {WM_SYSKEYUP, VK_MENU}}},
        {"alt+r", {Down(VK_MENU), Down('R'), Type("r")}, {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'R'}, {WM_SYSCHAR, 'r'}}},
        {"ctrl+alt is no system key", {Down(VK_CONTROL), Down(VK_MENU), Down('D')},
         {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_MENU}, {WM_KEYDOWN, 'D'}}},
        {"altgr characters are text", {Down(VK_MENU, true), Down('Q'), Type("@")},
         {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'Q'}, {WM_CHAR, '@'}}},
        {"f10 is a system key", {Down(VK_F10), Up(VK_F10)}, {{WM_SYSKEYDOWN, VK_F10}, {WM_SYSKEYUP, VK_F10}}},
        {"text in code page 1252", {Type("\xC3\xA9\xE2\x82\xAC\xE2\x84\xA2")}, {{WM_CHAR, 0xE9}, {WM_CHAR, 0x80}, {WM_CHAR, 0x99}}},
        {"a character code page 1252 lacks", {Type("\xCE\xA9")}, {{WM_CHAR, '?'}}},
    };
    for (const TypingCase& c : cases) {
        EXPECT_EQ(Play(c.steps), c.expected) << c.name;
        mDesktop.InjectWindowEvent(mWindow, NativeEvent::Kind::Deactivated);
        mDesktop.InjectWindowEvent(mWindow, NativeEvent::Kind::Activated);
        Pump();
    }
}

TEST_F(Keyboard, KeyParametersFollowWindows)
{
    mDesktop.InjectKey('A', true);
    mDesktop.InjectKey('A', true, false, true);
    mDesktop.InjectKey('A', false);
    mDesktop.InjectKey(VK_CONTROL, true, true);
    mDesktop.InjectKey(VK_MENU, true);
    mDesktop.InjectKey(VK_CONTROL, false, true);
    mDesktop.InjectKey(VK_F4, true);
    std::vector<MSG> keys = Only(Pump(), {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP});
    ASSERT_EQ(keys.size(), 7u);
    EXPECT_EQ(keys[0].lParam, 1);                                      // first press
    EXPECT_EQ(keys[1].lParam, 1 | (1 << 30));                          // held: repeat
    EXPECT_EQ(uint32_t(keys[2].lParam), 1u | (1u << 30) | (1u << 31)); // released
    EXPECT_EQ(keys[3].lParam, 1 | (1 << 24));                          // right Ctrl is an extended key
    EXPECT_EQ(keys[6].message, WM_SYSKEYDOWN);                         // Alt+F4
    EXPECT_EQ(keys[6].lParam & (1 << 29), 1 << 29);                    // with Alt held
}

TEST_F(Keyboard, LosingTheFocusForgetsHeldModifiers)
{
    // Alt+Tab away: the Alt release goes to another program.
    EXPECT_EQ(Play({Down(VK_MENU)}), (std::vector<Sent>{{WM_SYSKEYDOWN, VK_MENU}}));
    mDesktop.InjectWindowEvent(mWindow, NativeEvent::Kind::Deactivated);
    mDesktop.InjectWindowEvent(mWindow, NativeEvent::Kind::Activated);
    EXPECT_EQ(Play({Down('A'), Type("a")}), (std::vector<Sent>{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}}));
}

TEST_F(Keyboard, KeysGoToTheFocusWindowOrNowhere)
{
    HWND other = MakeWindow();
    EXPECT_EQ(SetFocus(other), mWindow);
    mDesktop.InjectKey('B', true);
    std::vector<MSG> keys = Only(Pump(), {WM_KEYDOWN});
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].hwnd, other);

    mDesktop.InjectWindowEvent(mWindow, NativeEvent::Kind::Deactivated);
    Pump();
    SetFocus(nullptr);
    mDesktop.InjectKey('B', true);
    EXPECT_TRUE(Only(Pump(), {WM_KEYDOWN}).empty());
}

} // namespace
