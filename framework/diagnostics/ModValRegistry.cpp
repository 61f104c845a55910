#include "framework/diagnostics/ModValRegistry.h"

#include "platform/process/ProgramImage.h"

#include <cstring>
#include <deque>

namespace Lumo {

namespace {

constexpr char kMarker[] = {'L', 'U', 'M', 'O', 'M', 'O', 'D', 'V', 'A', 'L'};
constexpr size_t kMarkerLength = sizeof(kMarker);

// The image holds guard bytes between globals that the address checker
// forbids; this walk reads them on purpose, byte by byte.
__attribute__((no_sanitize("address"))) bool MarkerAt(const uint8_t* at)
{
    for (size_t i = 0; i < kMarkerLength; ++i) {
        if (at[i] != uint8_t(kMarker[i]))
            return false;
    }
    return true;
}

// The NUL-ended text from start, when it ends before limit.
__attribute__((no_sanitize("address"))) bool TextAt(const uint8_t* start, const uint8_t* limit, std::string* text)
{
    text->clear();
    for (const uint8_t* at = start; at < limit; ++at) {
        if (*at == 0)
            return true;
        text->push_back(char(*at));
    }
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::map<std::string, ModValFile>& ModValFileMap()
{
    static std::map<std::string, ModValFile> files;
    return files;
}

std::map<std::string, int32_t>& ModValNamedConstants()
{
    static std::map<std::string, int32_t> constants;
    return constants;
}

bool ModValSplitMarkerText(const std::string& text, std::string* file, int32_t* order, int32_t* line)
{
    size_t start = text.size();
    bool comma = false;
    while (start > 0 && (IsDigit(text[start - 1]) || (!comma && text[start - 1] == ','))) {
        comma = comma || text[start - 1] == ',';
        --start;
    }
    // A comma the tail began with belongs to the file name.
    while (start < text.size() && text[start] == ',') {
        ++start;
        comma = false;
    }
    const size_t split = text.find(',', start);
    if (!comma || start == 0 || split == std::string::npos || split == start || split + 1 == text.size())
        return false;
    *file = text.substr(0, start);
    *order = int32_t(std::strtol(text.c_str() + start, nullptr, 10));
    *line = int32_t(std::strtol(text.c_str() + split + 1, nullptr, 10));
    return true;
}

bool ModValFindMarkers(uint8_t* start, size_t length)
{
    bool found = false;
    const uint8_t* limit = start + length;
    for (size_t at = kModValMarkerOffset; at + kMarkerLength <= length; ++at) {
        if (!MarkerAt(start + at))
            continue;
        std::string text;
        std::string file;
        int32_t order = 0;
        int32_t line = 0;
        if (!TextAt(start + at + kMarkerLength, limit, &text) || !ModValSplitMarkerText(text, &file, &order, &line))
            continue;
        char* record = reinterpret_cast<char*>(start + at - kModValMarkerOffset);
        ModValFileMap()[file].mEntries[order] = ModValEntry{record, line};
        found = true;
    }
    return found;
}

bool ModValScanImage()
{
    for (const Platform::ImageRegion& region : Platform::GetProgramImageRegions()) {
        if (ModValFindMarkers(const_cast<uint8_t*>(region.start), region.length))
            return true;
    }
    return false;
}

ModValHolder* ModValRegisterRecord(char* record)
{
    std::string file;
    int32_t order = 0;
    int32_t line = 0;
    if (ModValSplitMarkerText(record + kModValTextOffset, &file, &order, &line))
        ModValFileMap()[file].mReparse = true;
    return ModValCreateHolder(record);
}

// Records live in writable data: nothing needs unprotecting first. Holders
// stay until the process ends.
ModValHolder* ModValCreateHolder(char* record)
{
    static std::deque<ModValHolder> holders;
    ModValHolder* holder = &holders.emplace_back();
    record[0] = 0;
    std::memcpy(record + kModValHolderOffset, &holder, sizeof(holder));
    return holder;
}

ModValHolder* ModValHolderOf(const char* record)
{
    ModValHolder* holder = nullptr;
    std::memcpy(&holder, record + kModValHolderOffset, sizeof(holder));
    return holder;
}

int32_t ModValue(char* record, int32_t literal)
{
    const ModValHolder* holder = record[0] != 0 ? ModValRegisterRecord(record) : ModValHolderOf(record);
    return holder->mChanged ? holder->mInt : literal;
}

double ModValue(char* record, double literal)
{
    const ModValHolder* holder = record[0] != 0 ? ModValRegisterRecord(record) : ModValHolderOf(record);
    return holder->mChanged ? holder->mDouble : literal;
}

const char* ModValue(char* record, const char* literal)
{
    const ModValHolder* holder = record[0] != 0 ? ModValRegisterRecord(record) : ModValHolderOf(record);
    return holder->mChanged ? holder->mString.c_str() : literal;
}

} // namespace Lumo
