#pragma once

#include <sys/types.h>

#include <string>

namespace Platform {

// What to do with a symbolic link where the file is to be written.
enum class AtLink {
    // The link is the user's way to keep the file elsewhere: its target is replaced.
    kWriteThrough,
    // A file no one should be able to redirect: the link itself is replaced.
    kReplace,
};

// Writes the bytes to a temporary file beside the target, flushes them to
// the disk and renames the file into place, so that a crash leaves either
// the old file or the new one. The file keeps the permissions of the plain
// file it replaces, but its owner may always read it; a new one gets those
// the user's umask gives. False on any failure, with the reason in error for
// the caller to report. Then the folder, unless a link led there, is rid of
// what writes cut off left in it (SweepStaleTemporaries).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         AtLink atLink = AtLink::kWriteThrough);

// Keeps a file that could not be read whole from the next write: as
// "<path>.damaged", or, when earlier copies are there, the first free
// "<path>.damaged.N", so that no earlier copy is lost. The copy is a second
// name for the file or, where the file system takes no more names, a copy of
// its bytes, of any size; either way the file stays in place until a write
// replaces it. True with the copy's name, or with an empty name when no file
// is there to keep; false while a file is there of which no copy could be
// made: it must not be written over then.
bool KeepDamagedCopy(const std::string& path, std::string* copy);

// The calls through which these files are linked and written; tests put in
// ones that fail as a file system without links or without room does.
struct FileCalls {
    int (*link)(const char* from, const char* to);
    ssize_t (*write)(int fd, const void* bytes, size_t count);
};
// Returns the calls in use before.
FileCalls SetFileCalls(const FileCalls& calls);

// The file a path ends at once its symbolic links are followed; the path
// itself when it is no link or its target cannot be resolved.
std::string LinkTarget(const std::string& path);

} // namespace Platform
