#pragma once

#include "platform/process/Clock.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/windows/WindowTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <vector>

// A fresh headless desktop under a fake clock, with a window class whose
// procedure records every call and leaves the rest to DefWindowProcA.
class WindowFixture : public ::testing::Test {
protected:
    static constexpr const char* kClass = "TestWindow";
    // The main window's style: captioned, with a minimise box.
    static constexpr uint32_t kFramed = 0x82CA0000;

    WindowFixture();
    ~WindowFixture() override;

    // Outer rectangle (x, y, w, h) on the screen.
    Platform::HWND MakeWindow(int32_t x = 100, int32_t y = 100, int32_t width = 806, int32_t height = 629,
                    uint32_t style = kFramed);
    // Dispatches until the queue is empty; returns every procedure call made meanwhile.
    std::vector<Platform::MSG> Pump();
    // The calls recorded since the last Pump or TakeCalls.
    std::vector<Platform::MSG> TakeCalls();
    // The procedure answers the message itself instead of leaving it to DefWindowProcA.
    void AnswerWith(uint32_t message, Platform::LRESULT answer);

    static std::vector<Platform::MSG> Only(const std::vector<Platform::MSG>& calls,
                                           std::initializer_list<uint32_t> messages);

    Platform::FakeClock mClock{1000000};
    Platform::ScopedClock mClockScope{&mClock};
    Platform::HeadlessSession mSession;
    Platform::HeadlessBackend& mDesktop = mSession.Desktop();

private:
    static Platform::LRESULT Procedure(Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                       Platform::LPARAM lParam);
    static std::vector<Platform::MSG> sCalls;
    static std::map<uint32_t, Platform::LRESULT> sAnswers;
};
