#include "platform/windows/CursorTable.h"

#include <utility>

namespace Platform {

namespace {
uintptr_t IdOf(HCURSOR cursor) { return reinterpret_cast<uintptr_t>(cursor); }
} // namespace

HCURSOR CursorTable::LoadSystem(uint32_t id)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mSystem.find(id);
    if (found != mSystem.end())
        return found->second;
    CursorRecord cursor;
    cursor.systemId = id;
    HCURSOR handle = reinterpret_cast<HCURSOR>(mNextId++);
    mCursors.emplace(IdOf(handle), std::move(cursor));
    mSystem.emplace(id, handle);
    return handle;
}

HCURSOR CursorTable::Create(CursorRecord cursor)
{
    std::lock_guard<std::mutex> lock(mMutex);
    HCURSOR handle = reinterpret_cast<HCURSOR>(mNextId++);
    mCursors.emplace(IdOf(handle), std::move(cursor));
    return handle;
}

bool CursorTable::Destroy(HCURSOR cursor)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mCursors.find(IdOf(cursor));
    if (found == mCursors.end() || found->second.systemId != 0)
        return false;
    mCursors.erase(found);
    if (mCurrent == cursor)
        mCurrent = nullptr;
    return true;
}

HCURSOR CursorTable::Set(HCURSOR cursor)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (cursor && !mCursors.count(IdOf(cursor)))
        cursor = nullptr;
    return std::exchange(mCurrent, cursor);
}

HCURSOR CursorTable::Current() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCurrent;
}

int CursorTable::Show(bool show)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return show ? ++mShowCount : --mShowCount;
}

bool CursorTable::TakeChange(HCURSOR* handle, std::optional<CursorRecord>* shown)
{
    std::lock_guard<std::mutex> lock(mMutex);
    HCURSOR visible = mShowCount >= 0 ? mCurrent : nullptr;
    if (mShownOnce && visible == mShownHandle)
        return false;
    mShownOnce = true;
    mShownHandle = visible;
    *handle = visible;
    *shown = visible ? std::optional<CursorRecord>(mCursors.at(IdOf(visible))) : std::nullopt;
    return true;
}

} // namespace Platform
