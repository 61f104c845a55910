#include "platform/windows/WindowTable.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace Platform {

namespace {

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

uintptr_t IdOf(HWND window) { return reinterpret_cast<uintptr_t>(window); }

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

} // namespace

bool WindowTable::AddClass(const std::string& name, WNDPROC proc, uint32_t style)
{
    if (!proc)
        return false;
    std::lock_guard<std::mutex> lock(mMutex);
    return mClasses.emplace(LowerCase(name), WindowClass{proc, style}).second;
}

HWND WindowTable::Add(const std::string& className, WindowRecord record)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mClasses.find(LowerCase(className));
    if (found == mClasses.end())
        return nullptr;
    record.proc = found->second.proc;
    record.classStyle = found->second.style;
    uintptr_t id = mNextId++;
    mWindows.emplace(id, std::move(record));
    return reinterpret_cast<HWND>(id);
}

void WindowTable::Remove(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mWindows.erase(IdOf(window));
    for (HWND* held : {&mActive, &mFocus, &mCapture}) {
        if (*held == window)
            *held = nullptr;
    }
}

std::optional<WindowRecord> WindowTable::Get(HWND window) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mWindows.find(IdOf(window));
    if (found == mWindows.end())
        return std::nullopt;
    return found->second;
}

bool WindowTable::Update(HWND window, const std::function<void(WindowRecord&)>& change)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mWindows.find(IdOf(window));
    if (found == mWindows.end())
        return false;
    change(found->second);
    return true;
}

std::vector<HWND> WindowTable::All() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<HWND> all;
    for (const auto& entry : mWindows)
        all.push_back(reinterpret_cast<HWND>(entry.first));
    return all;
}

HWND WindowTable::At(POINT screen) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto shows = [&](const WindowRecord& w) { return w.visible && !w.minimized && Contains(w.rect, screen); };
    auto active = mWindows.find(IdOf(mActive));
    if (active != mWindows.end() && shows(active->second))
        return mActive;
    for (auto it = mWindows.rbegin(); it != mWindows.rend(); ++it) {
        if (shows(it->second))
            return reinterpret_cast<HWND>(it->first);
    }
    return nullptr;
}

HWND WindowTable::Active() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mActive;
}

void WindowTable::SetActive(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mActive = window;
}

HWND WindowTable::Focus() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFocus;
}

HWND WindowTable::SetFocus(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return std::exchange(mFocus, window);
}

HWND WindowTable::Capture() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCapture;
}

HWND WindowTable::SetCapture(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return std::exchange(mCapture, window);
}

} // namespace Platform
