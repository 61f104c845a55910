#include "platform/storage/RegistryStore.h"

#include "platform/process/Log.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"
#include "platform/storage/Folders.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <sstream>
#include <vector>

namespace Platform {

namespace {

constexpr uint32_t kTypeString = 1;
constexpr uint32_t kTypeNumber = 4;
constexpr size_t kLargestFile = 16 * 1024 * 1024;
constexpr char kHexDigits[] = "0123456789abcdef";

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The parts of a key path joined by single "\", without empty parts.
std::string Normalized(const std::string& path)
{
    std::string out;
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (!part.empty())
                out += (out.empty() ? "" : "\\") + part;
            part.clear();
        } else {
            part += path[i];
        }
    }
    return out;
}

std::string Escaped(const std::string& text, const char* special)
{
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || byte == '%' || std::strchr(special, c)) {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool Unescaped(const std::string& text, std::string* out)
{
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        int high = HexValue(text[i + 1]);
        int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        *out += char(high * 16 + low);
        i += 2;
    }
    return true;
}

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t* number)
{
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + uint64_t(c - '0');
    }
    if (value > limit)
        return false;
    *number = value;
    return true;
}

std::string ValueText(const RegistryStore::Value& value)
{
    if (value.type == kTypeNumber && value.data.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[size_t(i)]);
        return "dword:" + std::to_string(number);
    }
    if (value.type == kTypeString)
        return "sz:" + Escaped(value.data, "");
    std::string out = "hex(" + std::to_string(value.type) + "):";
    for (char c : value.data) {
        auto byte = static_cast<unsigned char>(c);
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 15];
    }
    return out;
}

bool ParseValue(const std::string& text, RegistryStore::Value* value)
{
    uint64_t number = 0;
    if (text.rfind("dword:", 0) == 0) {
        if (!ParseNumber(text.substr(6), 0xFFFFFFFF, &number))
            return false;
        value->type = kTypeNumber;
        value->data.clear();
        for (int i = 0; i < 4; ++i)
            value->data += char((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (text.rfind("sz:", 0) == 0) {
        value->type = kTypeString;
        return Unescaped(text.substr(3), &value->data);
    }
    size_t close = text.find("):");
    if (text.rfind("hex(", 0) != 0 || close == std::string::npos ||
        !ParseNumber(text.substr(4, close - 4), 0xFFFFFFFF, &number))
        return false;
    std::string hex = text.substr(close + 2);
    if (hex.size() % 2 != 0)
        return false;
    value->type = uint32_t(number);
    value->data.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = HexValue(hex[i]);
        int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        value->data += char(high * 16 + low);
    }
    return true;
}

} // namespace

RegistryStore::RegistryStore(std::string path) : mPath(std::move(path))
{
    std::string text;
    const WholeFile read = ReadWholeFile(mPath, kLargestFile, &text);
    const int cause = errno;
    if (read == WholeFile::Missing)
        return;
    // Settings that may not be read are still the user's: set aside whole,
    // as is something that is not a plain file or too large to be settings.
    if (read != WholeFile::Read) {
        mDamaged = true;
        LogLine("The settings file \"" + mPath + "\" " +
                (read == WholeFile::Unreadable ? "cannot be read (" + std::string(std::strerror(cause)) + ")"
                                               : std::string("is not a settings file")) +
                "; starting with empty settings");
        return;
    }
    const std::vector<int> dropped = Parse(text);
    if (dropped.empty())
        return;
    mDamaged = true;
    std::string lines;
    for (int line : dropped)
        lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    LogLine("The settings file \"" + mPath + "\" is damaged; dropped line" + (dropped.size() > 1 ? "s " : " ") +
            lines);
}

RegistryStore::Key* RegistryStore::Find(const std::string& path)
{
    auto found = mKeys.find(LowerCase(Normalized(path)));
    return found == mKeys.end() ? nullptr : &found->second;
}

const RegistryStore::Key* RegistryStore::Find(const std::string& path) const
{
    auto found = mKeys.find(LowerCase(Normalized(path)));
    return found == mKeys.end() ? nullptr : &found->second;
}

RegistryStore::Key& RegistryStore::Make(const std::string& path)
{
    std::string normal = Normalized(path);
    for (size_t cut = normal.find('\\'); cut != std::string::npos; cut = normal.find('\\', cut + 1)) {
        std::string parent = normal.substr(0, cut);
        mKeys.try_emplace(LowerCase(parent), Key{parent, {}});
    }
    return mKeys.try_emplace(LowerCase(normal), Key{normal, {}}).first->second;
}

bool RegistryStore::HasKey(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return Find(path) != nullptr;
}

bool RegistryStore::CreateKey(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (Find(path))
        return true;
    Make(path);
    return Save();
}

bool RegistryStore::Get(const std::string& key, const std::string& name, Value* value) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    const Key* found = Find(key);
    if (!found)
        return false;
    auto entry = found->values.find(LowerCase(name));
    if (entry == found->values.end())
        return false;
    *value = entry->second.value;
    return true;
}

bool RegistryStore::Set(const std::string& key, const std::string& name, const Value& value)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Key* found = Find(key);
    if (!found)
        return false;
    auto entry = found->values.try_emplace(LowerCase(name), NamedValue{name, value});
    entry.first->second.value = value;
    return Save();
}

bool RegistryStore::Erase(const std::string& key, const std::string& name)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Key* found = Find(key);
    if (!found || found->values.erase(LowerCase(name)) == 0)
        return false;
    Save();
    return true;
}

std::string RegistryStore::Serialize() const
{
    std::string out = "; Lumo settings\n";
    for (const auto& entry : mKeys) {
        out += "\n[" + Escaped(entry.second.path, "[]") + "]\n";
        for (const auto& value : entry.second.values)
            out += "\"" + Escaped(value.second.name, "\"") + "\"=" + ValueText(value.second.value) + "\n";
    }
    return out;
}

std::vector<int> RegistryStore::Parse(const std::string& text)
{
    mKeys.clear();
    std::vector<int> dropped;
    Key* current = nullptr;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        std::string name;
        if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
            // The values under a key that cannot be read have no key to go to.
            current = Unescaped(line.substr(1, line.size() - 2), &name) && !Normalized(name).empty()
                          ? &Make(name)
                          : nullptr;
            if (!current)
                dropped.push_back(number);
            continue;
        }
        size_t close = line.find('"', 1);
        Value value;
        if (!current || line[0] != '"' || close == std::string::npos || close + 1 >= line.size() ||
            line[close + 1] != '=' || !Unescaped(line.substr(1, close - 1), &name) ||
            !ParseValue(line.substr(close + 2), &value)) {
            dropped.push_back(number);
            continue;
        }
        current->values[LowerCase(name)] = NamedValue{name, value};
    }
    return dropped;
}

bool RegistryStore::Save()
{
    if (mPath.empty())
        return true;
    size_t cut = mPath.find_last_of('/');
    if (cut != std::string::npos && cut > 0)
        CreateFolderPath(mPath.substr(0, cut));
    std::string error;
    if (mDamaged) {
        // What could not be read is kept for the user, not written over:
        // until a copy is kept or the file is gone, the values live only in
        // this run, and every save tries the copy again.
        std::string copy;
        if (!KeepDamagedCopy(mPath, &copy)) {
            if (!mSaveFailing)
                LogLine("No copy of the damaged settings file could be kept; it is not written over");
            mSaveFailing = true;
            return false;
        }
        if (!copy.empty())
            LogLine("The damaged settings file is kept as \"" + copy + "\"");
        mDamaged = false;
    }
    const bool saved = WriteFileAtomically(mPath, Serialize(), &error);
    // One failing disk is one line, not one per value.
    if (!saved && !mSaveFailing)
        LogLine(error);
    mSaveFailing = !saved;
    return saved;
}

} // namespace Platform
