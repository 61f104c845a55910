#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// Message boxes, the clipboard and the browser, Win32 style. Main thread only.
namespace Platform {

// MessageBoxA buttons, icons and default button.
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_OKCANCEL = 0x01;
constexpr uint32_t MB_ABORTRETRYIGNORE = 0x02;
constexpr uint32_t MB_YESNOCANCEL = 0x03;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_RETRYCANCEL = 0x05;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONSTOP = 0x10;
constexpr uint32_t MB_ICONHAND = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr uint32_t MB_DEFBUTTON2 = 0x100;
constexpr uint32_t MB_DEFBUTTON3 = 0x200;

// Button ids that MessageBoxA returns.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Blocks until a button is pressed and returns its id. Texts are code page 1252.
// 0 when no box can be shown; the caption and text then go to stderr.
int MessageBoxA(HWND owner, const char* text, const char* caption, uint32_t type);
int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, uint32_t type);
// A box with buttons of its own, left to right; the first is the default,
// the last answers Escape and closing. Returns the pressed button's position
// counted from 1. Only the icon bits of the type count.
int MessageBoxWithButtons(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
                          const std::vector<std::string>& labels);

// Code page 1252 text on the desktop's clipboard; false when it cannot be set.
bool SetClipboardText(const std::string& text);
// False when the clipboard holds no text.
bool GetClipboardText(std::string* text);

// Opens a web address in the user's browser ("open" is the only operation).
// Above 32 when the browser was started, as on Windows; 2 otherwise.
intptr_t ShellExecuteA(const char* operation, const char* file);

} // namespace Platform
