#pragma once

#include <string>

namespace Platform {

// Writes the bytes to a temporary file beside the target, flushes them to
// the disk and renames the file into place, so that a crash leaves either
// the old file or the new one. A symbolic link is written through: its
// target is replaced, the link stays. The file keeps the permissions of the
// one it replaces; a new one gets those the user's umask gives. False on any
// failure, with the reason in error for the caller to report.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

// Keeps a file that could not be read whole from the next write: as
// "<path>.damaged", or, when earlier copies are there, the first free
// "<path>.damaged.N", so that no earlier copy is lost. The file stays in place
// for the write to replace. The name of the copy; empty when none was made.
std::string KeepDamagedCopy(const std::string& path);

// The file a path ends at once its symbolic links are followed; the path
// itself when it is no link or its target cannot be resolved.
std::string LinkTarget(const std::string& path);

// Removes the temporaries of earlier writes of this file that were cut off
// (a killed process leaves them); those of a write in progress are young and
// stay.
void RemoveStaleTemporaries(const std::string& path);

} // namespace Platform
