#include "platform/process/VersionModule.h"

#include "platform/process/Modules.h"

#include <cstring>
#include <string>
#include <strings.h>

namespace Platform {

namespace {

// A resource is its own length (32 bits), then pairs of zero-ended texts:
// the value's path and the value.
std::string ResourceOf(const char* path)
{
    if (!path || !IsRegisteredModule(path))
        return std::string();
    const std::string pairs = std::string("\\StringFileInfo\\040904B0\\ProductVersion") + '\0' +
                              LUMO_PLATFORM_VERSION + '\0';
    const uint32_t length = uint32_t(sizeof(uint32_t) + pairs.size());
    return std::string(reinterpret_cast<const char*>(&length), sizeof(length)) + pairs;
}

} // namespace

uint32_t GetFileVersionInfoSizeA(const char* path, uint32_t* handle)
{
    if (handle)
        *handle = 0;
    return uint32_t(ResourceOf(path).size());
}

int GetFileVersionInfoA(const char* path, uint32_t, uint32_t size, void* data)
{
    const std::string resource = ResourceOf(path);
    if (resource.empty() || !data || size < resource.size())
        return 0;
    std::memcpy(data, resource.data(), resource.size());
    return 1;
}

int VerQueryValueA(const void* block, const char* subBlock, void** value, uint32_t* length)
{
    if (!block || !subBlock || !value || !length)
        return 0;
    const char* bytes = static_cast<const char*>(block);
    uint32_t total = 0;
    std::memcpy(&total, bytes, sizeof(total));
    const char* end = bytes + total;
    for (const char* at = bytes + sizeof(total); at < end;) {
        const char* path = at;
        const char* text = path + strnlen(path, size_t(end - path)) + 1;
        if (text >= end)
            return 0;
        const size_t textLength = strnlen(text, size_t(end - text));
        if (text + textLength >= end)
            return 0;
        if (::strcasecmp(path, subBlock) == 0) {
            *value = const_cast<char*>(text);
            *length = uint32_t(textLength + 1);
            return 1;
        }
        at = text + textLength + 1;
    }
    return 0;
}

void RegisterVersionModule()
{
    RegisterModule("version.dll",
                   {{"GetFileVersionInfoSizeA", reinterpret_cast<FARPROC>(&GetFileVersionInfoSizeA)},
                    {"GetFileVersionInfoA", reinterpret_cast<FARPROC>(&GetFileVersionInfoA)},
                    {"VerQueryValueA", reinterpret_cast<FARPROC>(&VerQueryValueA)}});
}

} // namespace Platform
