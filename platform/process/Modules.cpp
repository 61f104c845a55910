#include "platform/process/Modules.h"

#include "platform/storage/Folders.h"

#include <algorithm>
#include <cctype>
#include <list>
#include <mutex>

namespace Platform {

struct ModuleRecord {
    std::string key;
    EntryTable entries;
    int loads = 0;
    bool registered = true;
};

namespace {

std::mutex gMutex;
// A list keeps records at fixed addresses: a handle stays valid after the
// module is unregistered, until its last FreeLibrary.
std::list<ModuleRecord> gModules;

std::string KeyOf(const std::string& name)
{
    size_t cut = name.find_last_of("\\/");
    std::string key = cut == std::string::npos ? name : name.substr(cut + 1);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return key;
}

ModuleRecord* FindRegistered(const std::string& key)
{
    for (ModuleRecord& record : gModules)
        if (record.registered && record.key == key)
            return &record;
    return nullptr;
}

void DropUnused()
{
    gModules.remove_if([](const ModuleRecord& r) { return !r.registered && r.loads == 0; });
}

} // namespace

void RegisterModule(const std::string& name, EntryTable entries)
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::string key = KeyOf(name);
    if (ModuleRecord* old = FindRegistered(key))
        old->registered = false;
    gModules.push_back(ModuleRecord{key, std::move(entries)});
    DropUnused();
}

void UnregisterModule(const std::string& name)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (ModuleRecord* old = FindRegistered(KeyOf(name)))
        old->registered = false;
    DropUnused();
}

HMODULE LoadLibraryA(const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard<std::mutex> lock(gMutex);
    ModuleRecord* record = FindRegistered(KeyOf(name));
    if (record)
        ++record->loads;
    return record;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (!module || !name)
        return nullptr;
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = module->entries.find(name);
    return it == module->entries.end() ? nullptr : it->second;
}

std::string GetModuleFileNameA(HMODULE module)
{
    if (!module)
        return std::string();
    std::lock_guard<std::mutex> lock(gMutex);
    return GetSystemDirectoryA() + "/" + module->key;
}

bool IsRegisteredModule(const std::string& path)
{
    std::lock_guard<std::mutex> lock(gMutex);
    return FindRegistered(KeyOf(path)) != nullptr;
}

bool FreeLibrary(HMODULE module)
{
    if (!module)
        return false;
    std::lock_guard<std::mutex> lock(gMutex);
    if (module->loads <= 0)
        return false;
    --module->loads;
    DropUnused();
    return true;
}

} // namespace Platform
