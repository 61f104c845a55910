#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// The settings store behind the registry calls: keys named by paths whose
// parts are separated by "\", each holding typed values of raw bytes. Key
// and value names compare without regard to case and keep the case they were
// made with. A store with a file reads it when made and writes it whole,
// atomically, after every change; one without a file lives in memory (tests).
class RegistryStore {
public:
    struct Value {
        uint32_t type = 0;
        std::string data;
    };

    RegistryStore() = default;
    // A missing file is an empty store. Of a damaged file every line that
    // parses is kept and the others are logged; the file is set aside as
    // "<path>.damaged" (numbered after earlier copies) before the first
    // change writes a new one, and so is a file that cannot be read at all.
    // While no copy can be kept, no change writes over the file.
    explicit RegistryStore(std::string path);

    bool HasKey(const std::string& path) const;
    // Also makes every key above it.
    bool CreateKey(const std::string& path);
    bool Get(const std::string& key, const std::string& name, Value* value) const;
    // False when the key does not exist or the file cannot be written; the
    // value is kept for this run either way.
    bool Set(const std::string& key, const std::string& name, const Value& value);
    // False when there was no such value.
    bool Erase(const std::string& key, const std::string& name);

private:
    struct NamedValue {
        std::string name;
        Value value;
    };
    struct Key {
        std::string path;
        std::map<std::string, NamedValue> values; // by lower-case name
    };

    Key* Find(const std::string& path);
    const Key* Find(const std::string& path) const;
    Key& Make(const std::string& path);
    // Logs a failure once until a save succeeds again.
    bool Save();
    // The file's text: "[key]" lines, each followed by its values as
    // "name"=dword:N, "name"=sz:text or "name"=hex(type):bytes, with %XX escapes.
    std::string Serialize() const;
    // Replaces the contents with what parses; the numbers of the lines that
    // do not.
    std::vector<int> Parse(const std::string& text);

    mutable std::mutex mMutex;
    std::map<std::string, Key> mKeys; // by lower-case path
    std::string mPath;
    bool mDamaged = false;
    bool mSaveFailing = false;
};

} // namespace Platform
