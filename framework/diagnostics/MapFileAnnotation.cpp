#include "framework/diagnostics/MapFileAnnotation.h"

#include "framework/core/StringUtils.h"
#include "platform/process/CrashSignals.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace Lumo {

namespace {

using MapKey = std::pair<uint32_t, uint32_t>;
// A linker's map of a large program stays far below this.
constexpr uint64_t kLargestMap = 256 * 1024 * 1024;

struct MapFile {
    std::map<MapKey, std::string> mSymbols;
    std::map<MapKey, std::pair<std::string, int>> mLines;
};

bool ParseKey(const std::string& section, const std::string& offset, MapKey* key)
{
    return ParseHexString(section, &key->first) && ParseHexString(offset, &key->second);
}

void ReadMapLine(const std::string& s, std::string* currentFile, MapFile* map)
{
    if (s.size() > 22 && s[5] == ':') {
        MapKey key;
        if (!ParseKey(s.substr(1, 4), s.substr(6, 8), &key) || s[20] != ' ')
            return;
        const size_t end = s.find(' ', 21);
        if (end != std::string::npos)
            map->mSymbols[key] = s.substr(21, end - 21);
    } else if (s.compare(0, 12, "Line numbers") == 0) {
        const size_t open = s.find('(');
        const size_t close = s.rfind(')');
        *currentFile = open == std::string::npos ? std::string()
                                                 : s.substr(open + 1, close == std::string::npos || close < open
                                                                          ? std::string::npos
                                                                          : close - open - 1);
    } else if (!currentFile->empty() && s.size() == 80) {
        for (size_t k = 0; k < 4; ++k) {
            const size_t at = 20 * k;
            MapKey key;
            if (ParseKey(s.substr(at + 7, 4), s.substr(at + 12, 8), &key))
                map->mLines[key] = {*currentFile, std::atoi(s.substr(at, 6).c_str())};
        }
    }
}

// The entry with the greatest key not above the given one, in its section.
template <typename Value>
const std::pair<const MapKey, Value>* Holding(const std::map<MapKey, Value>& entries, const MapKey& key)
{
    auto above = entries.upper_bound(key);
    if (above == entries.begin())
        return nullptr;
    --above;
    return above->first.first == key.first ? &*above : nullptr;
}

} // namespace

bool ParseHexString(const std::string& text, uint32_t* value)
{
    uint32_t parsed = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        parsed = parsed * 16 + uint32_t(digit);
    }
    *value = parsed;
    return true;
}

void AnnotateWithMap(std::string& report, std::istream& input)
{
    MapFile map;
    std::string currentFile;
    std::string line;
    while (std::getline(input, line)) {
        // Lines end as a text-mode read leaves them.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ReadMapLine(line.substr(0, 4095), &currentFile, &map);
    }

    for (size_t p = 4; p < report.size(); ++p) {
        if (report[p] != ':')
            continue;
        MapKey key;
        if (!ParseKey(report.substr(p - 4, 4), report.substr(p + 1, 8), &key))
            continue;
        const auto* symbol = Holding(map.mSymbols, key);
        if (!symbol)
            continue;
        std::string annotation;
        if (!Platform::UnDecorateSymbolName(symbol->second, &annotation))
            annotation = symbol->second;
        if (key.second != symbol->first.second)
            annotation += FormatString("+0x%X", key.second - symbol->first.second);
        if (const auto* source = Holding(map.mLines, key))
            annotation += FormatString("\r\n    %s line %d +0x%X", source->second.first.c_str(), source->second.second,
                                       key.second - source->first.second);
        report.replace(p - 4, 13, annotation);
    }
}

void FindMapFileLine(std::string& report)
{
    std::vector<std::filesystem::path> maps;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
        if (entry.path().extension() == ".map")
            maps.push_back(entry.path());
    }
    if (maps.empty())
        return;
    // A FIFO by that name must not hold the crash report up.
    std::string bytes;
    if (Platform::ReadWholeFile(std::min_element(maps.begin(), maps.end())->string(), kLargestMap, &bytes) !=
        Platform::WholeFile::Read)
        return;
    std::istringstream input(bytes);
    AnnotateWithMap(report, input);
}

} // namespace Lumo
