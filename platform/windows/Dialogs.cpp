#include "platform/windows/Dialogs.h"

#include "platform/process/Log.h"
#include "platform/windows/DialogWindow.h"
#include "platform/windows/TextCodec.h"
#include "platform/windows/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Platform {

namespace {

constexpr intptr_t kStarted = 42;
constexpr intptr_t kFileNotFound = 2;

Backend& Desktop() { return WindowSystem::Current().Desktop(); }

// Windows answers 0 when it cannot show a box; the text must still reach the
// player, so it goes to the terminal.
int ShowBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
            const std::vector<MessageBoxButton>& buttons, size_t defaultButton, size_t cancelButton)
{
    const int answer = Desktop().MessageBox(owner, text, caption, type, buttons, defaultButton, cancelButton);
    if (answer == 0)
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return answer;
}

// The buttons of each MessageBoxA type, left to right.
std::vector<MessageBoxButton> ButtonsOf(uint32_t type)
{
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL:
        return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
        return {{IDOK, "OK"}};
    }
}

// Closing the box is Cancel where there is one, else the default button.
int ShowTypedBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type)
{
    const std::vector<MessageBoxButton> buttons = ButtonsOf(type);
    const size_t preferred = std::min<size_t>((type >> 8) & 0x0F, buttons.size() - 1);
    size_t cancel = preferred;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].id == IDCANCEL)
            cancel = i;
    }
    return ShowBox(owner, text, caption, type, buttons, preferred, cancel);
}

} // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, uint32_t type)
{
    return ShowTypedBox(owner, Utf8FromCp1252(text ? text : ""), Utf8FromCp1252(caption ? caption : ""), type);
}

int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, uint32_t type)
{
    return ShowTypedBox(owner, Utf8FromWide(text ? text : L""), Utf8FromWide(caption ? caption : L""), type);
}

int MessageBoxWithButtons(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
                          const std::vector<std::string>& labels)
{
    std::vector<MessageBoxButton> buttons;
    for (const std::string& label : labels)
        buttons.push_back(MessageBoxButton{int(buttons.size()) + 1, Utf8FromCp1252(label)});
    if (buttons.empty())
        buttons.push_back(MessageBoxButton{1, "OK"});
    return ShowBox(owner, Utf8FromCp1252(text), Utf8FromCp1252(caption), type & 0xF0, buttons, 0, buttons.size() - 1);
}

std::unique_ptr<DialogWindow> OpenDialogWindow(const DialogLayout& layout) { return Desktop().OpenDialog(layout); }

bool SetClipboardText(const std::string& text) { return Desktop().SetClipboardText(Utf8FromCp1252(text)); }

bool GetClipboardText(std::string* text)
{
    std::string utf8;
    if (!text || !Desktop().GetClipboardText(&utf8))
        return false;
    *text = Cp1252FromUtf8(utf8);
    return true;
}

intptr_t ShellExecuteA(const char* operation, const char* file)
{
    // A leading "-" would reach the opener as an option.
    if (!operation || std::strcmp(operation, "open") != 0 || !file || !*file || *file == '-') {
        LogLine(std::string("ShellExecuteA: refused to ") + (operation ? operation : "(null)") + " \"" +
                (file ? file : "(null)") + "\"");
        return kFileNotFound;
    }
    return Desktop().OpenUrl(Utf8FromCp1252(file)) ? kStarted : kFileNotFound;
}

} // namespace Platform
