#include "framework/graphics/codecs/ImageLib.h"

#include "framework/resources/SharedPak.h"
#include "platform/codecs/J2kCodecApi.h"
#include "platform/process/Modules.h"

#include <cstdio>
#include <memory>

namespace ImageLib {

namespace {

using namespace Platform;

struct J2kEntryPoints {
    J2K_getVersion getVersion = nullptr;
    J2K_OpenCustom openCustom = nullptr;
    J2K_OpenFile openFile = nullptr;
    J2K_Close close = nullptr;
    J2K_GetInfo getInfo = nullptr;
    J2K_GetResolutionDimensions getResolutionDimensions = nullptr;
    J2K_Decode decode = nullptr;
    J2K_getLastError getLastError = nullptr;
    J2K_getErrorStr getErrorStr = nullptr;
};

HMODULE gCodecModule = nullptr;
J2kEntryPoints gEntries;
bool gEntriesLooked = false;

template <typename Function>
bool Look(const char* name, Function* out)
{
    *out = reinterpret_cast<Function>(GetProcAddress(gCodecModule, name));
    return *out != nullptr;
}

// Every entry but the error text must be there, and a recent enough codec.
bool LookUpEntries()
{
    bool found = Look("_J2K_getVersion@0", &gEntries.getVersion);
    found = Look("_J2K_OpenCustom@8", &gEntries.openCustom) && found;
    found = Look("_J2K_OpenFile@4", &gEntries.openFile) && found;
    found = Look("_J2K_Close@4", &gEntries.close) && found;
    found = Look("_J2K_GetInfo@16", &gEntries.getInfo) && found;
    found = Look("_J2K_GetResolutionDimensions@16", &gEntries.getResolutionDimensions) && found;
    found = Look("_J2K_Decode@20", &gEntries.decode) && found;
    found = Look("_J2K_getLastError@0", &gEntries.getLastError) && found;
    Look("_J2K_getErrorStr@4", &gEntries.getErrorStr);
    return found && gEntries.getVersion() >= kJ2kVersion;
}

bool SeekFile(void* userData, int32_t offset)
{
    return Lumo::PakSeek(static_cast<PakFileHandle*>(userData), offset, SEEK_SET) == 0;
}

int32_t ReadFile(void* buffer, int32_t size, void* userData)
{
    return Lumo::PakRead(buffer, 1, size, static_cast<PakFileHandle*>(userData));
}

void CloseFile(void*) {}

struct PakFileCloser {
    void operator()(PakFileHandle* file) const { Lumo::PakClose(file); }
};

} // namespace

void LoadJ2KCodec()
{
    if (gCodecModule == nullptr)
        gCodecModule = LoadLibraryA("j2k-codec.dll");
}

void UnloadJ2KCodec()
{
    if (gCodecModule != nullptr)
        FreeLibrary(gCodecModule);
    gCodecModule = nullptr;
    gEntriesLooked = false;
    gEntries = J2kEntryPoints();
}

Image* GetJPEG2000Image(const std::string& fileName)
{
    if (gCodecModule == nullptr)
        return nullptr;
    std::unique_ptr<PakFileHandle, PakFileCloser> file(Lumo::PakOpen(fileName.c_str(), "rb"));
    if (!file)
        return nullptr;
    if (!gEntriesLooked) {
        gEntriesLooked = true;
        if (!LookUpEntries()) {
            UnloadJ2KCodec();
            return nullptr;
        }
    }
    static const J2K_Callbacks kCallbacks = {SeekFile, ReadFile, CloseFile};
    void* handle = gEntries.openCustom(file.get(), &kCallbacks);
    if (handle == nullptr) {
        const int32_t code = gEntries.getLastError();
        if (gEntries.getErrorStr != nullptr)
            gEntries.getErrorStr(code);
        return nullptr;
    }
    int32_t width = 0;
    int32_t height = 0;
    int32_t components = 0;
    if (gEntries.getInfo(handle, &width, &height, &components) != J2K_ERROR_NONE ||
        gEntries.getResolutionDimensions(handle, 0, &width, &height) != J2K_ERROR_NONE || width <= 0 ||
        height <= 0 || int64_t(width) * height > kMaxPixels) {
        gEntries.close(handle);
        return nullptr;
    }
    auto image = std::make_unique<Image>(width, height);
    const int32_t size = width * height * 4;
    const int32_t result =
        gEntries.decode(handle, reinterpret_cast<uint8_t*>(image->GetBits()), size, "bpp=4,rl=0", width * 4);
    gEntries.close(handle);
    if (result != J2K_ERROR_NONE)
        return nullptr;
    uint32_t* bits = image->GetBits();
    for (size_t i = 0, count = size_t(width) * size_t(height); i < count; ++i)
        bits[i] |= 0xFF000000u;
    return image.release();
}

} // namespace ImageLib
