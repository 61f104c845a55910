#include "tests/platform/windows/WindowFixture.h"

#include "platform/windows/Messages.h"
#include "platform/windows/Window.h"

#include <algorithm>
#include <iterator>
#include <utility>

using namespace Platform;

std::vector<MSG> WindowFixture::sCalls;
std::map<uint32_t, LRESULT> WindowFixture::sAnswers;

WindowFixture::WindowFixture()
{
    sCalls.clear();
    sAnswers.clear();
    WNDCLASSA windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = kClass;
    RegisterClassA(&windowClass);
}

WindowFixture::~WindowFixture()
{
    sCalls.clear();
    sAnswers.clear();
}

HWND WindowFixture::MakeWindow(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style)
{
    return CreateWindowExA(0, kClass, "Test", style, x, y, width, height);
}

std::vector<MSG> WindowFixture::Pump()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard)
        DispatchMessageA(&msg);
    return TakeCalls();
}

std::vector<MSG> WindowFixture::TakeCalls() { return std::exchange(sCalls, {}); }

void WindowFixture::AnswerWith(uint32_t message, LRESULT answer) { sAnswers[message] = answer; }

std::vector<MSG> WindowFixture::Only(const std::vector<MSG>& calls, std::initializer_list<uint32_t> messages)
{
    std::vector<MSG> kept;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept), [&](const MSG& m) {
        return std::find(messages.begin(), messages.end(), m.message) != messages.end();
    });
    return kept;
}

LRESULT WindowFixture::Procedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    MSG call;
    call.hwnd = window;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    sCalls.push_back(call);
    auto answer = sAnswers.find(message);
    if (answer != sAnswers.end())
        return answer->second;
    return DefWindowProcA(window, message, wParam, lParam);
}
