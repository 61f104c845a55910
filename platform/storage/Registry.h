#pragma once

#include "platform/storage/RegistryStore.h"

#include <cstdint>

// The registry calls of the program in their Win32 shape, over the installed
// RegistryStore. Only HKEY_CURRENT_USER exists; subkeys are separated by "\".
namespace Platform {

struct HKEY__;
using HKEY = HKEY__*;
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t(0x80000001));

constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;

constexpr int32_t ERROR_SUCCESS = 0;
constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
constexpr int32_t ERROR_INVALID_HANDLE = 6;
constexpr int32_t ERROR_WRITE_FAULT = 29;
constexpr int32_t ERROR_INVALID_PARAMETER = 87;
constexpr int32_t ERROR_MORE_DATA = 234;

// ERROR_FILE_NOT_FOUND when the key does not exist.
int32_t RegOpenKeyExA(HKEY key, const char* subKey, HKEY* result);
// Makes the key and the keys above it when missing.
int32_t RegCreateKeyExA(HKEY key, const char* subKey, HKEY* result);
int32_t RegCloseKey(HKEY key);

// Stores the bytes as given (a string without its terminating null stays so).
// ERROR_WRITE_FAULT when the settings file could not be written; the value
// still holds for this run.
int32_t RegSetValueExA(HKEY key, const char* name, uint32_t type, const uint8_t* data, uint32_t size);
// Without data only the size is asked. ERROR_MORE_DATA, with the size needed,
// when the buffer is too small.
int32_t RegQueryValueExA(HKEY key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size);
int32_t RegDeleteValueA(HKEY key, const char* name);

// Installs a store (null: the settings file "lumo/registry.txt" under the
// XDG config folder, read on first use); returns the previous one.
RegistryStore* SetRegistryStore(RegistryStore* store);

// Installs a store for the lifetime of a scope (tests).
class ScopedRegistryStore {
public:
    explicit ScopedRegistryStore(RegistryStore* store) : mPrevious(SetRegistryStore(store)) {}
    ~ScopedRegistryStore() { SetRegistryStore(mPrevious); }
    ScopedRegistryStore(const ScopedRegistryStore&) = delete;
    ScopedRegistryStore& operator=(const ScopedRegistryStore&) = delete;

private:
    RegistryStore* mPrevious;
};

} // namespace Platform
