#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds archive files: the packer's output and the tests' archives.
class PakWriter {
public:
    // False, adding nothing, when the name is longer than a record holds.
    bool Add(const std::string& name, const std::string& data, uint64_t fileTime = 0);
    // Adds every file below folder, named relative to it with "\" separators,
    // with file time 0 unless realTimes. False, with error, when the folder
    // cannot be read or a name does not fit.
    bool AddFolder(const std::string& folder, bool realTimes, std::string* error);
    // Orders entries byte-wise by their upper-cased names, then by the names.
    void SortByKey();
    // After SortByKey: the first name another entry shares in any letter case,
    // or "" when every name is unique. Such an archive would hide one of them.
    std::string RepeatedName() const;

    // The archive before scrambling, entries in the order they stand.
    std::string PlainBytes() const;
    std::string Bytes() const { return Scramble(PlainBytes()); }
    // Through a temporary file renamed into place, replacing a link by that
    // name rather than writing through it. False, with error, when the
    // archive is too large or cannot be written.
    bool WriteFile(const std::string& path, std::string* error) const;

    // Scrambles plain bytes, and unscrambles scrambled ones.
    static std::string Scramble(std::string bytes);

private:
    struct Entry {
        std::string name;
        std::string data;
        uint64_t fileTime;
    };
    std::vector<Entry> mEntries;
};
