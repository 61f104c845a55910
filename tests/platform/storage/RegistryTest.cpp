#include "platform/process/Log.h"
#include "platform/storage/Registry.h"
#include "tests/support/FileSystemWithoutLinks.h"
#include "tests/support/PlantedTemporaries.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
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

TEST_F(RegistryFile, ADamagedFileKeepsWhatParsesAndIsSetAsideBeforeTheNextWrite)
{
    const struct {
        const char* text;
        const char* dropped; // the logged line numbers
        bool keptA;          // "A" of "SOFTWARE\T" survives
    } cases[] = {
        {"\"Orphan\"=dword:1\n[SOFTWARE\\T]\n\"A\"=dword:4\n", "line 1", true},  // a value before any key
        {"[SOFTWARE\\T]\n\"B\"=dword:4294967296\n\"A\"=dword:4\n", "line 2", true}, // a number too large
        {"[SOFTWARE\\T]\n\"A\"=dword:4\n\"B\"=hex(3):abc\n\"C\"=sz:%4\n", "lines 3, 4", true},
        {"[SOFTWARE\\T]\r\n\"A\"=dword:4\r\n\"B\"=text\r\ngarbage", "lines 3, 4", true},
        {"[%zz]\n\"A\"=dword:4\n[SOFTWARE\\T]\n", "lines 1, 2", false}, // values under a bad key go too
        {"\x89PNG\r\n\x1A\n", "lines 1, 2", false},
    };
    for (const auto& test : cases) {
        mFolder.Write("config/lumo/registry.txt", test.text);
        std::filesystem::remove(Path() + ".damaged");
        std::vector<std::string> logged;
        LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
        {
            RegistryStore store(Path());
            ScopedRegistryStore scope(&store);
            ASSERT_EQ(logged.size(), 1u) << test.text;
            EXPECT_NE(logged[0].find(std::string("dropped ") + test.dropped), std::string::npos) << logged[0];
            EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\T", "A").data,
                      test.keptA ? std::string("\4\0\0\0", 4) : std::string())
                << test.text;
            // Reading alone changes nothing on disk.
            EXPECT_EQ(LumoTest::ReadFile(Path()), test.text);

            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\T", &key), ERROR_SUCCESS);
            SetNumber(key, "Z", 5);
            RegCloseKey(key);
        }
        SetLogHook(previous);
        EXPECT_EQ(LumoTest::ReadFile(Path() + ".damaged"), test.text);
        RegistryStore reread(Path());
        ScopedRegistryStore rescope(&reread);
        EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\T", "Z").data, std::string("\5\0\0\0", 4)) << test.text;
        EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\T", "A").data.empty(), !test.keptA) << test.text;
    }
}

TEST_F(RegistryFile, WhatIsNoSettingsFileIsNeverReadAndIsSetAside)
{
    std::filesystem::create_directories(mFolder / "config/lumo");
    // A FIFO would block a reader for ever; a huge file is not settings either.
    ASSERT_EQ(::mkfifo(Path().c_str(), 0600), 0);
    {
        RegistryStore store(Path());
        ASSERT_TRUE(store.CreateKey("SOFTWARE\\T"));
    }
    EXPECT_TRUE(std::filesystem::is_fifo(Path() + ".damaged"));
    EXPECT_TRUE(std::filesystem::is_regular_file(Path()));

    std::filesystem::resize_file(Path(), 64u << 20);
    {
        RegistryStore store(Path());
        EXPECT_FALSE(store.HasKey("SOFTWARE\\T"));
        ASSERT_TRUE(store.CreateKey("SOFTWARE\\U"));
    }
    // The second copy does not replace the first.
    EXPECT_TRUE(std::filesystem::is_fifo(Path() + ".damaged"));
    EXPECT_EQ(std::filesystem::file_size(Path() + ".damaged.1"), 64u << 20);
    EXPECT_LT(std::filesystem::file_size(Path()), 1000u);
}

// The link's target is written, and its folder, someone else's place, is
// left as it was.
TEST_F(RegistryFile, AWriteGoesThroughALinkAndLeavesTheFolderItLeadsTo)
{
    mFolder.Write("real/settings.txt", "[SOFTWARE\\T]\n\"A\"=dword:4\n");
    mFolder.Write("real/settings.txt.keep", "not a temporary");
    std::filesystem::create_directories(mFolder / "config/lumo");
    std::filesystem::create_symlink(mFolder / "real/settings.txt", Path());
    LumoTest::PlantedTemporaries planted(mFolder / "real", "settings.txt");

    RegistryStore store(Path());
    ASSERT_TRUE(store.Set("SOFTWARE\\T", "B", RegistryStore::Value{REG_SZ, "b"}));
    EXPECT_TRUE(std::filesystem::is_symlink(Path()));
    EXPECT_NE(LumoTest::ReadFile(mFolder / "real/settings.txt").find("\"B\"=sz:b"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(mFolder / "real/settings.txt.keep"));
    planted.ExpectLeft();
}

// A careful player's copy, made before something risky, is the player's: it
// outlasts a start and a save, while a write of ours cut off long ago goes.
TEST_F(RegistryFile, APlayersCopyOutlastsAStartAndASave)
{
    const std::string folder = mFolder / "config/lumo";
    const char* const copies[] = {"registry.txt.backup", "registry.txt.abc123"};
    mFolder.Write("config/lumo/registry.txt", "[SOFTWARE\\T]\n\"A\"=dword:4\n");
    for (const char* copy : copies) {
        mFolder.Write(std::string("config/lumo/") + copy, "the player's");
        std::filesystem::last_write_time(folder + "/" + copy,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    LumoTest::PlantedTemporaries planted(folder, "registry.txt");
    const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(mFolder.Path(), [&] {
        RegistryStore store(Path());
        for (const char* copy : copies)
            EXPECT_TRUE(std::filesystem::exists(folder + "/" + copy)) << "at the start: " << copy;
        ASSERT_TRUE(store.Set("SOFTWARE\\T", "B", RegistryStore::Value{REG_SZ, "b"}));
        for (const char* copy : copies)
            EXPECT_EQ(LumoTest::ReadFile(folder + "/" + copy), "the player's") << "after a save: " << copy;
        planted.ExpectSwept();
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
}

TEST_F(RegistryFile, AFolderThatCannotBeWrittenIsLoggedOncePerFailure)
{
    // A file where the folder should be: nothing can be made in it, even by root.
    mFolder.Write("config", "in the way");
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    RegistryStore store(Path());
    ScopedRegistryStore scope(&store);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\T", &key), ERROR_SUCCESS);
    for (uint32_t number : {1u, 2u, 3u})
        EXPECT_EQ(RegSetValueExA(key, "A", REG_DWORD, reinterpret_cast<const uint8_t*>(&number), 4), ERROR_WRITE_FAULT);
    RegCloseKey(key);
    SetLogHook(previous);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("registry.txt"), std::string::npos);
    // The values still hold for this run.
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "SOFTWARE\\T", "A").data, std::string("\3\0\0\0", 4));
}

// A full disk without links once left the settings file moved aside and no
// file in its place; each save tries the copy again until one is kept.
TEST_F(RegistryFile, ADamagedFileStaysUntilItsReplacementIsWritten)
{
    mFolder.Write("config/lumo/registry.txt", "garbage\n");
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    {
        RegistryStore store(Path());
        {
            LumoTest::FileSystemWithoutLinks full(LumoTest::FileSystemWithoutLinks::kFull);
            EXPECT_FALSE(store.CreateKey("SOFTWARE\\T"));
            EXPECT_FALSE(store.CreateKey("SOFTWARE\\U"));
        }
        EXPECT_EQ(LumoTest::ReadFile(Path()), "garbage\n");
        EXPECT_FALSE(std::filesystem::exists(Path() + ".damaged"));
        LumoTest::FileSystemWithoutLinks roomy(LumoTest::FileSystemWithoutLinks::kRoomy);
        EXPECT_TRUE(store.CreateKey("SOFTWARE\\V"));
    }
    SetLogHook(previous);
    EXPECT_EQ(LumoTest::ReadFile(Path() + ".damaged"), "garbage\n");
    EXPECT_NE(LumoTest::ReadFile(Path()).find("[SOFTWARE\\U]"), std::string::npos);
    const auto noCopy = [](const std::string& line) { return line.find("No copy of the damaged") == 0; };
    EXPECT_EQ(std::count_if(logged.begin(), logged.end(), noCopy), 1);
}

// Settings of mode 0200 were read as none, and the first change wrote empty
// ones over them at every start, without a word. They are logged, kept by a
// second name, which needs no right to read them, and only then replaced by
// a file the user may read; where no copy can be kept, nothing replaces them.
TEST_F(RegistryFile, SettingsThatMayNotBeReadAreKeptOrLeftInPlace)
{
    const std::string settings = "[SOFTWARE\\T]\n\"MusicVolume\"=dword:30\n";
    for (bool links : {true, false}) {
        mFolder.Write("config/lumo/registry.txt", settings);
        std::filesystem::remove(Path() + ".damaged");
        ASSERT_EQ(::chmod(Path().c_str(), 0200), 0);
        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(mFolder.Path(), [&] {
            std::optional<LumoTest::FileSystemWithoutLinks> withoutLinks;
            if (!links)
                withoutLinks.emplace(LumoTest::FileSystemWithoutLinks::kRoomy);
            std::vector<std::string> logged;
            SetLogHook([&](const std::string& line) { logged.push_back(line); });
            {
                RegistryStore store(Path());
                ASSERT_FALSE(logged.empty());
                EXPECT_EQ(logged[0], "The settings file \"" + Path() +
                                         "\" cannot be read (Permission denied); starting with empty settings");
                EXPECT_EQ(store.CreateKey("SOFTWARE\\U"), links);
                EXPECT_EQ(store.CreateKey("SOFTWARE\\V"), links);
            }
            if (links) {
                RegistryStore reread(Path());
                EXPECT_TRUE(reread.HasKey("SOFTWARE\\V"));
            } else {
                ASSERT_EQ(logged.size(), 2u);
                EXPECT_EQ(logged[1], "No copy of the damaged settings file could be kept; it is not written over");
            }
        });
        ASSERT_FALSE(end.timedOut);
        EXPECT_EQ(end.exitCode, 0) << "links " << links;
        EXPECT_EQ(LumoTest::ReadFile(links ? Path() + ".damaged" : Path()), settings) << "links " << links;
        EXPECT_EQ(std::filesystem::exists(Path() + ".damaged"), links);
        struct stat status = {};
        ASSERT_EQ(::stat(Path().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, links ? 0600u : 0200u);
    }
}

// With no second name and no room for a copy, a damaged file much larger
// than the settings that replace it was written over all the same.
TEST_F(RegistryFile, WhileNoCopyCanBeKeptADamagedFileIsNotWrittenOver)
{
    const std::string damaged = "[SOFTWARE\\T]\n" + std::string(100000, '#') + "\n";
    mFolder.Write("config/lumo/registry.txt", damaged);
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    {
        LumoTest::FileSystemWithoutLinks smallDisk(16 * 1024);
        RegistryStore store(Path());
        EXPECT_FALSE(store.CreateKey("SOFTWARE\\U"));
        EXPECT_FALSE(store.Set("SOFTWARE\\T", "A", RegistryStore::Value{REG_SZ, "a"}));
        // The values still hold for this run.
        RegistryStore::Value value;
        EXPECT_TRUE(store.Get("SOFTWARE\\T", "A", &value));
    }
    SetLogHook(previous);
    EXPECT_EQ(LumoTest::ReadFile(Path()), damaged);
    EXPECT_FALSE(std::filesystem::exists(Path() + ".damaged"));
    const auto noCopy = [](const std::string& line) { return line.find("No copy of the damaged") == 0; };
    EXPECT_EQ(std::count_if(logged.begin(), logged.end(), noCopy), 1);
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
