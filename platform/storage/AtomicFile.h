#pragma once

#include <string>

namespace Platform {

// Writes the bytes to a temporary file beside the target, flushes them to
// the disk and renames the file into place, so that a crash leaves either
// the old file or the new one. False (and logged) on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace Platform
