#pragma once

#include "platform/windows/CursorRecord.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace Platform {

// The cursors made or loaded, the one set, and the show count.
class CursorTable {
public:
    // The same handle for every load of an id.
    HCURSOR LoadSystem(uint32_t id);
    HCURSOR Create(CursorRecord cursor);
    // Standard cursors are shared and stay.
    bool Destroy(HCURSOR cursor);

    HCURSOR Set(HCURSOR cursor);
    HCURSOR Current() const;
    // Returns the new show count; the cursor shows while it is 0 or more.
    int Show(bool show);

    // The cursor the screen should show (none when hidden), when it differs
    // from the one last taken; false when nothing changed.
    bool TakeChange(HCURSOR* handle, std::optional<CursorRecord>* shown);

private:
    mutable std::mutex mMutex;
    std::map<uintptr_t, CursorRecord> mCursors;
    std::map<uint32_t, HCURSOR> mSystem;
    uintptr_t mNextId = 0x10000;
    HCURSOR mCurrent = nullptr;
    int mShowCount = 0;
    HCURSOR mShownHandle = nullptr;
    bool mShownOnce = false;
};

} // namespace Platform
