#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

// The letters or digits that tell one temporary from another.
constexpr size_t kTemporaryTagLength = 6;
// How much longer a temporary's path is than the file's.
constexpr size_t kTemporaryNameGrowth = 12 + kTemporaryTagLength;

// The temporary of "folder/name" is "folder/.name.~lumo-tmp-" and a tag. A
// person names a copy "users.dat.backup" or "users.dat.laptop", never with
// that infix, so a sweep that takes only such names takes only what a write
// of ours left; the dot in front keeps it out of a plain listing. Builds the
// name into out, room bytes with its terminator; safe in a signal handler.
// False when the path names no file or out has no room.
bool MakeTemporaryName(const char* path, const char* tag, char* out, size_t room);

// A number as kTemporaryTagLength letters or digits, not terminated; two
// numbers below 62 to the sixth give two tags. Safe in a signal handler.
void MakeTemporaryTag(uint64_t number, char* tag);

// Whether a file's name (without its folder) is one MakeTemporaryName makes.
bool IsTemporaryName(const std::string& name);

// Removes from the folder the temporaries that writes cut off (a killed
// process) left there, logging each one's name: regular files of such names,
// the user's own with no second name, older than any write takes. Once a run
// for each folder; a folder whose path passes through a link anywhere is not
// swept, nor is anything followed through a link.
void SweepStaleTemporaries(const std::string& folder);

} // namespace Platform
