#include "platform/storage/Registry.h"

#include "platform/storage/Folders.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace Platform {

namespace {

std::mutex gMutex;
RegistryStore* gInstalled = nullptr;
std::map<uintptr_t, std::string> gOpenKeys; // handle to key path
uintptr_t gNextKey = 0x1000;

RegistryStore& Store()
{
    static std::unique_ptr<RegistryStore> settingsFile;
    if (gInstalled)
        return *gInstalled;
    if (!settingsFile)
        settingsFile = std::make_unique<RegistryStore>(ConfigHomeFolder() + "/lumo/registry.txt");
    return *settingsFile;
}

// The path of a root or open key; false for anything else.
bool PathOf(HKEY key, std::string* path)
{
    if (key == HKEY_CURRENT_USER) {
        path->clear();
        return true;
    }
    auto found = gOpenKeys.find(reinterpret_cast<uintptr_t>(key));
    if (found == gOpenKeys.end())
        return false;
    *path = found->second;
    return true;
}

int32_t Open(HKEY key, const char* subKey, HKEY* result, bool create)
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::string path;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    if (!PathOf(key, &path))
        return ERROR_INVALID_HANDLE;
    if (subKey && *subKey)
        path += "\\" + std::string(subKey);
    bool exists = create ? Store().CreateKey(path) || Store().HasKey(path) : Store().HasKey(path);
    if (!exists)
        return ERROR_FILE_NOT_FOUND;
    uintptr_t handle = gNextKey++;
    gOpenKeys.emplace(handle, path);
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

} // namespace

int32_t RegOpenKeyExA(HKEY key, const char* subKey, HKEY* result) { return Open(key, subKey, result, false); }

int32_t RegCreateKeyExA(HKEY key, const char* subKey, HKEY* result) { return Open(key, subKey, result, true); }

int32_t RegCloseKey(HKEY key)
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gOpenKeys.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int32_t RegSetValueExA(HKEY key, const char* name, uint32_t type, const uint8_t* data, uint32_t size)
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::string path;
    if (!PathOf(key, &path))
        return ERROR_INVALID_HANDLE;
    if (!data && size > 0)
        return ERROR_INVALID_PARAMETER;
    RegistryStore::Value value;
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data), data ? size : 0);
    if (Store().Set(path, name ? name : "", value))
        return ERROR_SUCCESS;
    return Store().HasKey(path) ? ERROR_WRITE_FAULT : ERROR_FILE_NOT_FOUND;
}

int32_t RegQueryValueExA(HKEY key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size)
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::string path;
    if (!PathOf(key, &path))
        return ERROR_INVALID_HANDLE;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    RegistryStore::Value value;
    if (!Store().Get(path, name ? name : "", &value))
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value.type;
    uint32_t needed = uint32_t(value.data.size());
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data)
        value.data.copy(reinterpret_cast<char*>(data), needed);
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

int32_t RegDeleteValueA(HKEY key, const char* name)
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::string path;
    if (!PathOf(key, &path))
        return ERROR_INVALID_HANDLE;
    return Store().Erase(path, name ? name : "") ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

RegistryStore* SetRegistryStore(RegistryStore* store)
{
    std::lock_guard<std::mutex> lock(gMutex);
    return std::exchange(gInstalled, store);
}

} // namespace Platform
