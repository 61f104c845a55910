#pragma once

#include <map>
#include <string>

// Libraries loaded by name, as LoadLibrary finds a DLL: here a registry of
// in-process modules, each a table of named entry points.
namespace Platform {

using HMODULE = struct ModuleRecord*;
using FARPROC = void*;
using EntryTable = std::map<std::string, FARPROC>;

// Registers (or replaces) a module under its file name; the folder part of a
// name is ignored and names compare without regard to case.
void RegisterModule(const std::string& name, EntryTable entries);
void UnregisterModule(const std::string& name);

// Null when no module of that name is registered.
HMODULE LoadLibraryA(const char* name);
// Null when the module has no entry of that name (names compare exactly).
FARPROC GetProcAddress(HMODULE module, const char* name);
// Each LoadLibraryA is matched by one FreeLibrary.
bool FreeLibrary(HMODULE module);

// The module's file, in the system folder as a system library's would be;
// empty for no module.
std::string GetModuleFileNameA(HMODULE module);
// Whether a module of the path's file name is registered.
bool IsRegisteredModule(const std::string& path);

} // namespace Platform
