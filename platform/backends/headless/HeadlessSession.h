#pragma once

#include "platform/backends/headless/HeadlessBackend.h"

#include <memory>

namespace Platform {

class WindowSystem;

// A fresh headless desktop with no windows, classes, timers or messages,
// installed for the lifetime of the object (tests). The one before comes back
// afterwards.
class HeadlessSession {
public:
    HeadlessSession();
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    HeadlessBackend& Desktop() { return *mDesktop; }

private:
    HeadlessBackend* mDesktop;
    std::unique_ptr<WindowSystem> mPrevious;
};

} // namespace Platform
