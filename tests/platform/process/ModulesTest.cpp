#include "platform/process/Modules.h"
#include "platform/process/Process.h"
#include "platform/process/VersionModule.h"
#include "platform/storage/Folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {
int Answer() { return 42; }
} // namespace

TEST(Modules, LoadsRegisteredModulesByFileNameAndResolvesEntries)
{
    RegisterModule("test-codec.dll", {{"_Open@8", reinterpret_cast<FARPROC>(&Answer)}});
    HMODULE module = LoadLibraryA(".\\TEST-Codec.DLL");
    ASSERT_NE(module, nullptr);
    auto open = reinterpret_cast<int (*)()>(GetProcAddress(module, "_Open@8"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open(), 42);
    EXPECT_EQ(GetProcAddress(module, "_open@8"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "_Missing@4"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
    UnregisterModule("test-codec.dll");
    EXPECT_EQ(LoadLibraryA("test-codec.dll"), nullptr);
}

TEST(Modules, HandleOutlivesUnregistration)
{
    RegisterModule("held.dll", {{"Entry", reinterpret_cast<FARPROC>(&Answer)}});
    HMODULE module = LoadLibraryA("held.dll");
    UnregisterModule("held.dll");
    EXPECT_NE(GetProcAddress(module, "Entry"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

// A module's file carries a product version; other files carry none.
TEST(Modules, ModuleFilesHaveAVersionResource)
{
    RegisterVersionModule();
    RegisterModule("versioned.dll", {{"Entry", reinterpret_cast<FARPROC>(&Answer)}});
    HMODULE module = LoadLibraryA("versioned.dll");
    const std::string path = GetModuleFileNameA(module);
    EXPECT_EQ(path, GetSystemDirectoryA() + "/versioned.dll");
    EXPECT_EQ(GetModuleFileNameA(nullptr), "");

    HMODULE version = LoadLibraryA("version.dll");
    const auto infoSize =
        reinterpret_cast<GetFileVersionInfoSizeProc>(GetProcAddress(version, "GetFileVersionInfoSizeA"));
    const auto info = reinterpret_cast<GetFileVersionInfoProc>(GetProcAddress(version, "GetFileVersionInfoA"));
    const auto query = reinterpret_cast<VerQueryValueProc>(GetProcAddress(version, "VerQueryValueA"));
    ASSERT_TRUE(infoSize && info && query);
    uint32_t handle = 7;
    const uint32_t size = infoSize(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    EXPECT_EQ(info(path.c_str(), handle, size - 1, block.data()), 0);
    ASSERT_NE(info(path.c_str(), handle, size, block.data()), 0);
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_NE(query(block.data(), "\\StringFileInfo\\040904B0\\ProductVersion", &value, &length), 0);
    const std::string text(static_cast<const char*>(value));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(length, text.size() + 1);
    EXPECT_EQ(query(block.data(), "\\StringFileInfo\\040904B0\\FileDescription", &value, &length), 0);

    EXPECT_EQ(infoSize(GetModuleFileNameA().c_str(), &handle), 0u);
    EXPECT_EQ(info(GetModuleFileNameA().c_str(), handle, size, block.data()), 0);
    FreeLibrary(version);
    FreeLibrary(module);
    UnregisterModule("versioned.dll");
}
