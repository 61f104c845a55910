#pragma once

#include <cstdint>

// The call shapes of the JPEG 2000 codec module "j2k-codec.dll", looked up by
// name. A handle is the codec's own; error codes are 0 for success.
namespace Platform {

// The stream of a custom open: the codec reads the whole file through it.
struct J2K_Callbacks {
    // To the absolute offset; false when the file cannot get there.
    bool (*seek)(void* userData, int32_t offset);
    // Up to size bytes; the count read (0 at the end).
    int32_t (*read)(void* buffer, int32_t size, void* userData);
    void (*close)(void* userData);
};

constexpr int32_t kJ2kVersion = 0x120000;

constexpr int32_t J2K_ERROR_NONE = 0;
constexpr int32_t J2K_ERROR_ARGUMENT = 1;
constexpr int32_t J2K_ERROR_READ = 2;
constexpr int32_t J2K_ERROR_FORMAT = 3;
constexpr int32_t J2K_ERROR_DECODE = 4;
constexpr int32_t J2K_ERROR_BUFFER = 5;
constexpr int32_t J2K_ERROR_OPTION = 6;

using J2K_getVersion = int32_t (*)();
using J2K_OpenCustom = void* (*)(void* userData, const J2K_Callbacks* callbacks);
using J2K_OpenFile = void* (*)(const char* fileName);
using J2K_Close = void (*)(void* handle);
using J2K_GetInfo = int32_t (*)(void* handle, int32_t* width, int32_t* height, int32_t* components);
// The size at a resolution level (0 full, each level halves, rounding up).
using J2K_GetResolutionDimensions = int32_t (*)(void* handle, int32_t level, int32_t* width, int32_t* height);
// Options "bpp=4" (blue, green, red, opaque alpha per pixel) and "rl=N"
// (resolution level), comma separated; rows pitch bytes apart.
using J2K_Decode = int32_t (*)(void* handle, uint8_t* buffer, int32_t size, const char* options, int32_t pitch);
using J2K_getLastError = int32_t (*)();
using J2K_getErrorStr = const char* (*)(int32_t code);

} // namespace Platform
