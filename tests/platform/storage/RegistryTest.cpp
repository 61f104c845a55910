#include "platform/process/Log.h"
#include "platform/storage/Registry.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace Platform;

namespace {

void SetString(HKEY key, const char* name, const std::string& text)
{
    ASSERT_EQ(RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size())),
              ERROR_SUCCESS);
}

void SetNumber(HKEY key, const char* name, uint32_t number)
{
    ASSERT_EQ(RegSetValueExA(key, name, REG_DWORD, reinterpret_cast<const uint8_t*>(&number), 4), ERROR_SUCCESS);
}

// The value's type and bytes, or type 0 when it cannot be read.
RegistryStore::Value Read(HKEY root, const char* path, const char* name)
{
    RegistryStore::Value value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, &key) != ERROR_SUCCESS)
        return value;
    uint8_t buffer[256];
    uint32_t size = sizeof(buffer);
    if (RegQueryValueExA(key, name, &value.type, buffer, &size) == ERROR_SUCCESS)
        value.data.assign(reinterpret_cast<const char*>(buffer), size);
    else
        value.type = 0;
    RegCloseKey(key);
    return value;
}

class Registry : public ::testing::Test {
protected:
    RegistryStore mStore;
    ScopedRegistryStore mScope{&mStore};
};

TEST_F(Registry, KeysExistOnceCreatedWithTheirParents)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova", &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova\\Test3D", &key), ERROR_SUCCESS);
    SetNumber(key, "RuntimeError", 1);
    RegCloseKey(key);

    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\dravikgames", &parent), ERROR_SUCCESS);
    HKEY child = nullptr;
    ASSERT_EQ(RegOpenKeyExA(parent, "ZENTROVA\\test3d", &child), ERROR_SUCCESS);
    uint32_t number = 0;
    uint32_t size = 4;
    EXPECT_EQ(RegQueryValueExA(child, "runtimeerror", nullptr, reinterpret_cast<uint8_t*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(number, 1u);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(child), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(child, "RuntimeError", nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    RegCloseKey(parent);
}

TEST_F(Registry, ValuesKeepTheirTypeAndExactBytes)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Test", &key), ERROR_SUCCESS);
    SetString(key, "Name", "Ann");
    SetNumber(key, "MusicVolume", 30);
    const uint8_t blob[] = {0, 1, 0xFF};
    ASSERT_EQ(RegSetValueExA(key, "Blob", REG_BINARY, blob, 3), ERROR_SUCCESS);

    RegistryStore::Value name = Read(key, nullptr, "Name");
    EXPECT_EQ(name.type, REG_SZ);
    EXPECT_EQ(name.data, "Ann"); // no terminating null was stored, none comes back
    EXPECT_EQ(Read(key, nullptr, "MusicVolume").data, std::string("\x1E\0\0\0", 4));
    EXPECT_EQ(Read(key, nullptr, "Blob").type, REG_BINARY);
    EXPECT_EQ(Read(key, nullptr, "Blob").data, std::string("\0\1\xFF", 3));

    // Too small a buffer fails and tells the size needed; no buffer asks only the size.
    uint8_t small[2];
    uint32_t size = sizeof(small);
    uint32_t type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Name", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3u);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Name", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(RegQueryValueExA(key, "Name", &type, small, nullptr), ERROR_INVALID_PARAMETER);

    SetString(key, "NAME", "Bo");
    EXPECT_EQ(Read(key, nullptr, "name").data, "Bo");
    EXPECT_EQ(RegDeleteValueA(key, "Name"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "Name"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(key, nullptr, "Name").type, 0u);
    RegCloseKey(key);
}

class RegistryFile : public ::testing::Test {
protected:
    std::string Path() const { return mFolder / "config/lumo/registry.txt"; }

    LumoTest::TempFolder mFolder;
};

TEST_F(RegistryFile, WhatIsWrittenIsReadBackByTheNextRun)
{
    const std::string awkward = "a\\b=\"c\"%\x01\xE9\n[x]";
    {
        RegistryStore store(Path());
        ScopedRegistryStore scope(&store);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova", &key), ERROR_SUCCESS);
        SetString(key, "Player", awkward);
        SetString(key, awkward.c_str(), "");
        SetNumber(key, "PreferredX", uint32_t(-1));
        const uint8_t odd[] = {7, 7};
        RegSetValueExA(key, "Short", REG_DWORD, odd, 2);
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Empty [key]", &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    RegistryStore store(Path());
    ScopedRegistryStore scope(&store);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova", "Player").data, awkward);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova", awkward.c_str()).type, REG_SZ);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova", "PreferredX").data,
              std::string("\xFF\xFF\xFF\xFF", 4));
    RegistryStore::Value odd = Read(HKEY_CURRENT_USER, "SOFTWARE\\DravikGames\\Zentrova", "Short");
    EXPECT_EQ(odd.type, REG_DWORD);
    EXPECT_EQ(odd.data, std::string("\7\7", 2));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Empty [key]", &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryFile, EachChangeReplacesTheWholeFile)
{
    RegistryStore store(Path());
    ScopedRegistryStore scope(&store);
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Test", &key);
    SetNumber(key, "InProgress", 1);
    std::string before = LumoTest::ReadFile(Path());
    EXPECT_NE(before.find("\"InProgress\"=dword:1"), std::string::npos);
    SetNumber(key, "InProgress", 0);
    std::string after = LumoTest::ReadFile(Path());
    EXPECT_NE(after.find("\"InProgress\"=dword:0"), std::string::npos);
    EXPECT_EQ(after.find("dword:1"), std::string::npos);
    RegCloseKey(key);
    // Nothing but the file itself is left in its folder.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mFolder / "config/lumo")) {
        EXPECT_EQ(entry.path().filename(), "registry.txt");
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(RegistryFile, ADamagedFileIsLoggedAndReadAsEmpty)
{
    const char* damaged[] = {
        "\"Orphan\"=dword:1\n",                          // a value before any key
        "[SOFTWARE\\T]\n\"A\"=dword:4294967296\n",       // a number too large
        "[SOFTWARE\\T]\n\"A\"=hex(3):abc\n",              // half a byte
        "[SOFTWARE\\T]\n\"A\"=sz:%4\n",                   // a cut escape
        "[SOFTWARE\\T]\n\"A\"=text\n",                    // an unknown kind
        "[SOFTWARE\\T]\n\"A\"=dword:1\ngarbage",         // a stray last line
        "\x89PNG\r\n\x1A\n",                              // not a settings file at all
    };
    for (const char* text : damaged) {
        mFolder.Write("config/lumo/registry.txt", text);
        std::vector<std::string> logged;
        LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
        RegistryStore store(Path());
        SetLogHook(previous);
        ScopedRegistryStore scope(&store);
        EXPECT_EQ(logged.size(), 1u) << text;
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\T", &key), ERROR_FILE_NOT_FOUND) << text;

        // The next change writes a sound file over it.
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\T", &key), ERROR_SUCCESS);
        SetNumber(key, "A", 5);
        RegCloseKey(key);
        RegistryStore reread(Path());
        ScopedRegistryStore rescope(&reread);
        EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\T", "A").data, std::string("\5\0\0\0", 4)) << text;
    }
}

TEST_F(RegistryFile, AMissingFileIsQuietlyEmpty)
{
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    RegistryStore store(Path());
    SetLogHook(previous);
    EXPECT_TRUE(logged.empty());
    EXPECT_FALSE(store.HasKey("SOFTWARE"));
    EXPECT_FALSE(std::filesystem::exists(Path()));
}

} // namespace
