#pragma once

#include <string>
#include <vector>

// The process-wide scratch table of floats: LoadFloatTable appends to it and
// the curve loader empties it and builds its points from it.
std::vector<float>& SharedFloatTable();

// Appends the 32-bit little-endian floats of a disk file (never an archive
// entry); values that are not finite are stored as 0. Returns how many were
// appended: exactly the whole values the file holds (at most kMaxFloatTable,
// so that a device named as a file cannot fill memory), none when it cannot
// be opened.
constexpr int kMaxFloatTable = 1 << 16;
int LoadFloatTable(const std::string& path);
