#include "platform/windows/Dialogs.h"

#include "platform/process/Log.h"
#include "platform/windows/TextCodec.h"
#include "platform/windows/WindowSystem.h"

#include <cstdio>
#include <cstring>

namespace Platform {

namespace {

constexpr intptr_t kStarted = 42;
constexpr intptr_t kFileNotFound = 2;

Backend& Desktop() { return WindowSystem::Current().Desktop(); }

// Windows answers 0 when it cannot show a box; the text must still reach the
// player, so it goes to the terminal.
int ShowBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type)
{
    const int answer = Desktop().MessageBox(owner, text, caption, type);
    if (answer == 0)
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return answer;
}

} // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, uint32_t type)
{
    return ShowBox(owner, Utf8FromCp1252(text ? text : ""), Utf8FromCp1252(caption ? caption : ""), type);
}

int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, uint32_t type)
{
    return ShowBox(owner, Utf8FromWide(text ? text : L""), Utf8FromWide(caption ? caption : L""), type);
}

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
