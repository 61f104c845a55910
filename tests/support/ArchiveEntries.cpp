#include "tests/support/ArchiveEntries.h"

#include "framework/resources/PakDirectory.h"
#include "framework/resources/PakWriter.h"
#include "tests/support/TempFolder.h"

#include <strings.h>

namespace LumoTest {

std::vector<ArchiveEntry> ReadArchiveEntries(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    std::vector<PakRecord> records;
    std::string error;
    if (!ReadPakDirectory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &records, &error))
        return {};
    std::vector<ArchiveEntry> entries;
    for (const PakRecord& record : records)
        entries.push_back({record.name, PakWriter::Scramble(bytes.substr(size_t(record.start), size_t(record.size)))});
    return entries;
}

bool WriteArchiveWith(const std::vector<ArchiveEntry>& entries, const std::string& path, const std::string& name,
                      const std::string& data)
{
    PakWriter writer;
    for (const ArchiveEntry& entry : entries)
        writer.Add(entry.mName, strcasecmp(entry.mName.c_str(), name.c_str()) == 0 ? data : entry.mData);
    std::string error;
    return writer.WriteFile(path, &error);
}

} // namespace LumoTest
