#include "platform/process/Modules.h"

#include <gtest/gtest.h>

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
