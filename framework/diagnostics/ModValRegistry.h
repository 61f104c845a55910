#pragma once

#include "framework/diagnostics/ModValHolder.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace Lumo {

// One marked literal of a source file.
struct ModValEntry {
    char* mRecord;
    int32_t mLine;
};

struct ModValFile {
    // Set once a record of the file is registered: only such files are re-read.
    bool mReparse = false;
    std::map<int32_t, ModValEntry> mEntries; // by ordering number
};

// By source file name.
std::map<std::string, ModValFile>& ModValFileMap();
// Identifiers a literal may name instead of a number.
std::map<std::string, int32_t>& ModValNamedConstants();

// The file name, ordering number and line of a marker text: the longest tail
// of digits with at most one comma gives the two numbers. False when there
// is no such tail with both numbers, or nothing before it.
bool ModValSplitMarkerText(const std::string& text, std::string* file, int32_t* order, int32_t* line);
// Files the marker records found in the bytes; true when there were some.
bool ModValFindMarkers(uint8_t* start, size_t length);
// Files the records of the program's image; true when there were some.
bool ModValScanImage();
// Registers a record: its file is re-read from now on, and it gets a holder.
ModValHolder* ModValRegisterRecord(char* record);
ModValHolder* ModValCreateHolder(char* record);
ModValHolder* ModValHolderOf(const char* record);

// The declaring side's accessors: the literal until a reparse changes it.
int32_t ModValue(char* record, int32_t literal);
double ModValue(char* record, double literal);
const char* ModValue(char* record, const char* literal);

} // namespace Lumo
