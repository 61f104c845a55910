#pragma once

#include "platform/storage/Files.h"

namespace Platform {

// A named mutex that marks the one running instance of a program: an
// exclusive lock on the file "<name>.lock" in the runtime folder, held until
// CloseHandle or the end of the process; a copy of the process made by
// fork() does not hold it. alreadyExists tells whether another
// holder has it (Windows' ERROR_ALREADY_EXISTS); the handle is then a plain
// reference to close. Null when the lock file cannot be made at all.
HANDLE CreateMutexA(const char* name, bool* alreadyExists);
bool CloseHandle(HANDLE mutex);

} // namespace Platform
