#include "framework/core/StringUtils.h"
#include "framework/display/D3DTester.h"
#include "framework/display/DirectXErrorName.h"
#include "framework/display/DisplayAppHost.h"
#include "platform/display/Direct3D8.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/storage/Files.h"
#include "platform/storage/Folders.h"
#include "platform/process/Modules.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowConstants.h"

#include <cstring>
#include <ctime>

namespace Lumo {

using namespace Platform;

namespace {

constexpr uint32_t kRecordVersion = 2;

bool ReadDword(HKEY key, const char* name, uint32_t* value)
{
    uint32_t size = sizeof(*value);
    return RegQueryValueExA(key, name, nullptr, reinterpret_cast<uint8_t*>(value), &size) == ERROR_SUCCESS &&
           size == sizeof(*value);
}

bool ReadText(HKEY key, const char* name, std::string* text)
{
    char buffer[4096] = {};
    uint32_t size = sizeof(buffer) - 1;
    if (RegQueryValueExA(key, name, nullptr, reinterpret_cast<uint8_t*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    *text = std::string(buffer, strnlen(buffer, size));
    return true;
}

void WriteText(HKEY key, const char* name, const std::string& text)
{
    RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()), uint32_t(text.size() + 1));
}

} // namespace

bool D3DTester::ReadStoredResult()
{
    mFirstTest = true;
    if (!mKey)
        return false;
    uint32_t version = 0;
    if (!ReadDword(mKey, "Version", &version) || version != kRecordVersion)
        return false;
    uint32_t minimum = 0;
    uint32_t recommended = 0;
    if (!ReadDword(mKey, "MinVidMemory", &minimum) || !ReadDword(mKey, "RecVidMemory", &recommended) ||
        minimum != mMinVidMemory || recommended != mRecVidMemory)
        return false;
    uint8_t guid[16] = {};
    uint32_t size = sizeof(guid);
    if (RegQueryValueExA(mKey, "DisplayGUID", nullptr, guid, &size) != ERROR_SUCCESS || size != sizeof(guid) ||
        std::memcmp(guid, mDisplayGuid, sizeof(guid)) != 0)
        return false;
    if (!ReadText(mKey, "FailureReason", &mFailureReason) || !ReadText(mKey, "Warning", &mWarning))
        return false;
    mFirstTest = false;
    return mFailureReason.empty();
}

void D3DTester::WriteStoredResult()
{
    if (!mKey)
        return;
    const uint32_t version = kRecordVersion;
    RegSetValueExA(mKey, "Version", REG_DWORD, reinterpret_cast<const uint8_t*>(&version), sizeof(version));
    RegSetValueExA(mKey, "MinVidMemory", REG_DWORD, reinterpret_cast<const uint8_t*>(&mMinVidMemory),
                   sizeof(mMinVidMemory));
    RegSetValueExA(mKey, "RecVidMemory", REG_DWORD, reinterpret_cast<const uint8_t*>(&mRecVidMemory),
                   sizeof(mRecVidMemory));
    RegSetValueExA(mKey, "DisplayGUID", REG_BINARY, mDisplayGuid, sizeof(mDisplayGuid));
    WriteText(mKey, "FailureReason", mFailureReason);
    WriteText(mKey, "Warning", mWarning);
}

bool D3DTester::ProbeDirect3D8()
{
    HMODULE module = LoadLibraryA("d3d8.dll");
    if (!module)
        return false;
    bool identified = false;
    const auto create = reinterpret_cast<Direct3DCreate8Proc>(GetProcAddress(module, "Direct3DCreate8"));
    if (IDirect3D8* direct3D = create ? create(D3D8_SDK_VERSION) : nullptr) {
        D3DADAPTER_IDENTIFIER8 identifier;
        identified = SUCCEEDED(direct3D->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &identifier));
        if (identified) {
            std::memcpy(mDisplayGuid, identifier.DeviceIdentifier, sizeof(mDisplayGuid));
            mDriver = identifier.Driver;
            mDescription = identifier.Description;
        }
        direct3D->Release();
    }
    FreeLibrary(module);
    return identified;
}

void D3DTester::IdentifyAdapter()
{
    if (ProbeDirect3D8())
        return;
    DDDEVICEIDENTIFIER2 identifier;
    CheckHR(mDirectDraw->GetDeviceIdentifier(&identifier, 0), "GetDeviceIdentifier");
    std::memcpy(mDisplayGuid, identifier.guidDeviceIdentifier, sizeof(mDisplayGuid));
    mDriver = identifier.szDriver;
    mDescription = identifier.szDescription;
}

bool D3DTester::MeasureVideoMemory()
{
    const uint64_t width = uint64_t(GetSystemMetrics(SM_CXSCREEN));
    const uint64_t height = uint64_t(GetSystemMetrics(SM_CYSCREEN));
    const uint64_t bitsPerPixel = DisplayDesktop::Format().bitsPerPixel;
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_VIDEOMEMORY;
    uint32_t total = 0;
    uint32_t available = 0;
    const HRESULT result = mDirectDraw->GetAvailableVidMem(&caps, &total, &available);
    if (FAILED(result)) {
        SetWarning(FormatString("GetAvailableVidMem failed: %s", DirectXErrorName(result).c_str()));
        return true;
    }
    const uint32_t megabytes = uint32_t((bitsPerPixel / 8 * height * width + total) >> 20);
    if (megabytes < mMinVidMemory)
        return SetFailure("Not enough video memory.");
    if (megabytes < mRecVidMemory)
        SetWarning("Low video memory.");
    return true;
}

void D3DTester::ReadDriverYear()
{
    mDriverYear = 0;
    std::string path = mDriver;
    if (path.find_first_of("/\\") == std::string::npos)
        path = GetSystemDirectoryA() + "\\" + path;
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    FindClose(find);
    const std::time_t seconds = std::time_t(FileTimeToUnixTime(data.ftLastWriteTime));
    std::tm universal{};
    if (gmtime_r(&seconds, &universal))
        mDriverYear = universal.tm_year + 1900;
}

bool D3DTester::MatchListFile(std::FILE* file, const std::string& description)
{
    char line[4000];
    while (std::fgets(line, sizeof(line), file)) {
        const std::string piece = TrimSpace(line);
        if (!piece.empty() && FindNoCase(description.c_str(), piece.c_str()) >= 0)
            return true;
    }
    return false;
}

bool D3DTester::CheckCard(const std::string& description)
{
    if (std::FILE* refused = OpenFile("vhwb.dat", "r")) {
        const bool listed = MatchListFile(refused, description);
        std::fclose(refused);
        if (listed)
            return false;
    }
    if (std::FILE* accepted = OpenFile("vhw.dat", "r")) {
        const bool listed = MatchListFile(accepted, description);
        std::fclose(accepted);
        return listed;
    }
    return mDriverYear >= 2002 || FindNoCase(description.c_str(), "nvidia") >= 0 ||
           FindNoCase(description.c_str(), "radeon") >= 0 || FindNoCase(description.c_str(), "ati ") >= 0;
}

} // namespace Lumo
