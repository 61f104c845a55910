#pragma once

#include <cstdint>

// "version.dll": the version resources of files. The program's libraries are
// built with this layer, so every module registered by name has one that
// names this layer's version as its product version; other files have none.
namespace Platform {

// The size of the file's version resource; 0 when it has none.
uint32_t GetFileVersionInfoSizeA(const char* path, uint32_t* handle);
// Copies the resource into data, which holds size bytes; 0 when the file has
// none or it does not fit.
int GetFileVersionInfoA(const char* path, uint32_t handle, uint32_t size, void* data);
// Finds a value of the resource by its path, such as the product version's
// "\StringFileInfo\040904B0\ProductVersion": a text inside the block and its
// length with the ending zero. 0 when the resource has no such value.
int VerQueryValueA(const void* block, const char* subBlock, void** value, uint32_t* length);

using GetFileVersionInfoSizeProc = uint32_t (*)(const char* path, uint32_t* handle);
using GetFileVersionInfoProc = int (*)(const char* path, uint32_t handle, uint32_t size, void* data);
using VerQueryValueProc = int (*)(const void* block, const char* subBlock, void** value, uint32_t* length);

// Registers "version.dll" with its three entry points.
void RegisterVersionModule();

} // namespace Platform
