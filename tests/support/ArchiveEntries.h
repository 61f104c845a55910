#pragma once

#include <string>
#include <vector>

namespace LumoTest {

// One file of an archive, its bytes plain.
struct ArchiveEntry {
    std::string mName;
    std::string mData;
};

// Every entry of the archive file in the order it stands; empty when the file
// cannot be read or is damaged.
std::vector<ArchiveEntry> ReadArchiveEntries(const std::string& path);

// Writes entries as an archive file, the entry named name (in any letter case)
// holding data instead; false when it cannot be written.
bool WriteArchiveWith(const std::vector<ArchiveEntry>& entries, const std::string& path, const std::string& name,
                      const std::string& data);

} // namespace LumoTest
