#include "tests/resources/PakTestSupport.h"

#include "framework/resources/SharedPak.h"

#include <gtest/gtest.h>

#include <memory>

using LumoTest::TempFolder;

TEST(SharedPak, TheFirstInstanceIsPublishedUntilItGoes)
{
    PakTest::ScopedSharedPak none(nullptr);
    PakTest::DebugCapture log;
    auto first = std::make_unique<PakInterface>();
    EXPECT_EQ(Lumo::GetSharedPak(), first.get());
    EXPECT_NE(log.Text().find("gPakInterfaceP_"), std::string::npos);
    PakInterface second;
    EXPECT_EQ(Lumo::GetSharedPak(), first.get());
    first.reset();
    EXPECT_EQ(Lumo::GetSharedPak(), nullptr);
}

TEST(SharedPak, WrappersReachTheSharedInstance)
{
    TempFolder dir;
    PakWriter writer;
    writer.Add("res\\gui.xml", "\r\nxy");
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "main.pak", writer)));
    PakTest::ScopedSharedPak shared(&pak);

    PakFileHandle* handle = Lumo::PakOpen("RES/GUI.XML", "rb");
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(handle->entry, nullptr);
    EXPECT_EQ(Lumo::PakGetChar(handle), '\n');
    EXPECT_EQ(Lumo::PakSeek(handle, -1, 2), 0);
    EXPECT_EQ(Lumo::PakTell(handle), 3);
    char c = 0;
    EXPECT_EQ(Lumo::PakRead(&c, 1, 4, handle), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_EQ(Lumo::PakAtEnd(handle), 1);
    EXPECT_EQ(Lumo::PakClose(handle), 0);
}

TEST(SharedPak, WithoutAnInstanceWrappersUseTheDisk)
{
    TempFolder dir;
    dir.Write("Res/Gui.xml", "\r\nxy");
    PakTest::ScopedSharedPak none(nullptr);

    PakFileHandle* handle = Lumo::PakOpen((dir.Path() + "\\res\\GUI.XML").c_str(), "rb");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->entry, nullptr);
    EXPECT_EQ(handle->position, 0);
    EXPECT_EQ(Lumo::PakGetChar(handle), '\r');
    EXPECT_EQ(Lumo::PakSeek(handle, -1, 2), 0);
    EXPECT_EQ(Lumo::PakTell(handle), 3);
    char bytes[4] = {};
    EXPECT_EQ(Lumo::PakRead(bytes, 1, 4, handle), 1);
    EXPECT_STREQ(bytes, "y");
    EXPECT_NE(Lumo::PakAtEnd(handle), 0);
    EXPECT_EQ(Lumo::PakClose(handle), 0);

    EXPECT_EQ(Lumo::PakOpen((dir.Path() + "/missing").c_str(), "rb"), nullptr);
    EXPECT_EQ(Lumo::PakOpen(nullptr, "rb"), nullptr);
    // Writing goes through the same name mapping.
    handle = Lumo::PakOpen((dir.Path() + "\\RES\\new.bin").c_str(), "wb");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Lumo::PakClose(handle), 0);
    EXPECT_EQ(LumoTest::ReadFile(dir / "Res/new.bin"), "");
}
