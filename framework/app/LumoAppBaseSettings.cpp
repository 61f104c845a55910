#include "framework/app/LumoAppBase.h"

#include "platform/storage/Registry.h"

#include <algorithm>

namespace Lumo {

using namespace Platform;

namespace {

// Volumes are stored in hundredths, truncated; the margin keeps a value that
// was loaded from n hundredths saving as n, despite its float rounding.
int32_t VolumeToSetting(float volume)
{
    return int32_t(double(volume) * 100.0 + 1e-4);
}

// A window position that any desktop can hold; arithmetic on it cannot overflow.
int32_t ScreenCoordinate(int32_t value)
{
    return std::clamp(value, -32768, 32767);
}

} // namespace

std::string LumoAppBase::RegistryKeyPath(const std::string& name, std::string* valueName) const
{
    std::string key = mRegKey;
    if (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    std::string path = "SOFTWARE\\" + key;
    const size_t separator = name.rfind('\\');
    if (separator == std::string::npos) {
        *valueName = name;
    } else {
        path += "\\" + name.substr(0, separator);
        *valueName = name.substr(separator + 1);
    }
    return path;
}

bool LumoAppBase::StoreRegistryValue(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length)
{
    std::string valueName;
    const std::string path = RegistryKeyPath(name, &valueName);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    const bool stored = RegSetValueExA(key, valueName.c_str(), type, data, length) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

bool LumoAppBase::RegistryWrite(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length)
{
    if (mRegKey.empty())
        return false;
    if (mPlaying) {
        if (mManualShutdown)
            return true;
        DemoReadRecordHeader();
        mDemoNeedsHeader = true;
        return mDemoBuffer.ReadBits(1, false) == 1;
    }
    const bool written = StoreRegistryValue(name, type, data, length);
    // The value holds for this run only; the store has logged why.
    if (!written)
        TellPlayerOnce(GetString("SETTINGS_NOT_SAVED", "Your settings could not be saved."));
    if (mRecording) {
        DemoRecordKind(12);
        mDemoBuffer.WriteBits(written ? 1 : 0, 1);
    }
    return written;
}

bool LumoAppBase::RegistryWriteString(const std::string& name, const std::string& text)
{
    return RegistryWrite(name, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()));
}

bool LumoAppBase::RegistryWriteInteger(const std::string& name, int32_t value)
{
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(uint32_t(value) >> (8 * i));
    return RegistryWrite(name, REG_DWORD, bytes, 4);
}

bool LumoAppBase::RegistryWriteBoolean(const std::string& name, bool value)
{
    return RegistryWriteInteger(name, value ? 1 : 0);
}

bool LumoAppBase::RegistryRead(const std::string& name, uint32_t* type, uint8_t* buffer, uint32_t* length)
{
    if (mRegKey.empty())
        return false;
    if (mPlaying) {
        if (mManualShutdown)
            return false;
        DemoReadRecordHeader();
        mDemoNeedsHeader = true;
        if (mDemoBuffer.ReadBits(1, false) == 0)
            return false;
        *type = uint32_t(mDemoBuffer.ReadLong());
        const uint32_t recorded = uint32_t(mDemoBuffer.ReadLong());
        // The record's bytes are consumed whatever the capacity, so the
        // records after it stay aligned; a length the file cannot hold ends there.
        const int64_t remaining = std::max<int64_t>(DemoBitsLeft() / 8, 0);
        if (recorded > remaining)
            mDemoEnded = true;
        const uint32_t available = uint32_t(std::min<int64_t>(recorded, remaining));
        for (uint32_t i = 0; i < available; ++i) {
            const uint8_t byte = mDemoBuffer.ReadByte();
            if (i < *length)
                buffer[i] = byte;
        }
        if (recorded > *length)
            return false;
        *length = recorded;
        return true;
    }

    std::string valueName;
    const std::string path = RegistryKeyPath(name, &valueName);
    HKEY key = nullptr;
    bool read = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), &key) == ERROR_SUCCESS;
    if (read) {
        read = RegQueryValueExA(key, valueName.c_str(), type, buffer, length) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (mRecording) {
        DemoRecordKind(11);
        mDemoBuffer.WriteBits(read ? 1 : 0, 1);
        if (read) {
            mDemoBuffer.WriteLong(int32_t(*type));
            mDemoBuffer.WriteLong(int32_t(*length));
            mDemoBuffer.WriteBytes(buffer, int32_t(*length));
        }
    }
    return read;
}

bool LumoAppBase::RegistryReadString(const std::string& name, std::string* text)
{
    uint8_t buffer[1024] = {};
    uint32_t type = 0;
    uint32_t length = 1023;
    if (!RegistryRead(name, &type, buffer, &length) || type != REG_SZ)
        return false;
    buffer[length] = 0;
    *text = reinterpret_cast<const char*>(buffer);
    return true;
}

bool LumoAppBase::RegistryReadInteger(const std::string& name, int32_t* value)
{
    uint8_t bytes[4] = {};
    uint32_t type = 0;
    uint32_t length = 4;
    if (!RegistryRead(name, &type, bytes, &length) || type != REG_DWORD)
        return false;
    *value = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                     uint32_t(bytes[3]) << 24);
    return true;
}

bool LumoAppBase::RegistryReadBoolean(const std::string& name, bool* value)
{
    int32_t number = 0;
    if (!RegistryReadInteger(name, &number))
        return false;
    *value = number != 0;
    return true;
}

void LumoAppBase::RegistryEraseValue(const std::string& name)
{
    if (mRegKey.empty())
        return;
    std::string valueName;
    const std::string path = RegistryKeyPath(name, &valueName);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, valueName.c_str());
    RegCloseKey(key);
}

void LumoAppBase::LoadSettings()
{
    mSettingsLoaded = true;
    mRegKey = GetString("RegistryKey", mRegKey);
    if (mRegKey.empty())
        return;

    // A hand-edited file may hold any number: each is held to what the
    // program itself would have saved.
    int32_t value = 0;
    if (RegistryReadInteger("MusicVolume", &value))
        mMusicVolume = float(std::clamp(value, 0, 100) / 100.0);
    if (RegistryReadInteger("SfxVolume", &value))
        mSfxVolume = float(std::clamp(value, 0, 100) / 100.0);
    if (RegistryReadInteger("Muted", &value))
        mMuteCount = std::clamp(value, 0, 1);
    if (RegistryReadInteger("ScreenMode", &value))
        mWindowed = value == 0;
    if (RegistryReadInteger("PreferredX", &value))
        mPreferredX = ScreenCoordinate(value);
    if (RegistryReadInteger("PreferredY", &value))
        mPreferredY = ScreenCoordinate(value);
    if (RegistryReadInteger("CustomCursors", &value))
        EnableCustomCursors(value != 0);
    if (RegistryReadInteger("WaitForVSync", &value))
        mWaitForVSync = value != 0;
    if (RegistryReadInteger("InProgress", &value))
        mLastRunClean = value == 0;

    if (!mIsScreenSaver)
        RegistryWriteInteger("InProgress", 1);
}

void LumoAppBase::SaveSettings()
{
    RegistryWriteInteger("MusicVolume", VolumeToSetting(mMusicVolume));
    RegistryWriteInteger("SfxVolume", VolumeToSetting(mSfxVolume));
    RegistryWriteInteger("Muted", mMuteCount - mAutoMuteCount > 0 ? 1 : 0);
    RegistryWriteInteger("ScreenMode", mWindowed ? 0 : 1);
    RegistryWriteInteger("PreferredX", mPreferredX);
    RegistryWriteInteger("PreferredY", mPreferredY);
    RegistryWriteBoolean("CustomCursors", mCustomCursorsEnabled);
    RegistryWriteInteger("InProgress", 0);
    RegistryWriteBoolean("WaitForVSync", mWaitForVSync);
    // A played demo answers the writes above from its records, but the start
    // wrote "InProgress" to the real settings: a clean end must clear it there.
    if (mPlaying && !mRegKey.empty()) {
        const uint8_t zero[4] = {};
        StoreRegistryValue("InProgress", REG_DWORD, zero, 4);
    }
}

} // namespace Lumo
