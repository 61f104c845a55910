#include "tests/resources/PakTestSupport.h"

#include "framework/resources/SharedPak.h"
#include "platform/storage/Files.h"

#include <gtest/gtest.h>

namespace PakTest {

std::string WriteArchive(const LumoTest::TempFolder& folder, const std::string& name, const PakWriter& writer)
{
    std::string error;
    EXPECT_TRUE(writer.WriteFile(folder / name, &error)) << error;
    return folder / name;
}

std::string WritePlainBytes(const LumoTest::TempFolder& folder, const std::string& name, const std::string& plain)
{
    folder.Write(name, PakWriter::Scramble(plain));
    return folder / name;
}

std::string ReadRest(PakInterfaceBase& pak, PakFileHandle* handle)
{
    std::string bytes;
    char buffer[7];
    while (int count = pak.Read(buffer, 1, sizeof(buffer), handle))
        bytes.append(buffer, size_t(count));
    return bytes;
}

std::string ReadFile(PakInterfaceBase& pak, const std::string& name)
{
    PakFileHandle* handle = pak.Open(name.c_str(), "rb");
    if (!handle)
        return "<missing>";
    std::string bytes = ReadRest(pak, handle);
    pak.Close(handle);
    return bytes;
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder) : mPrevious(Platform::GetCurrentDirectoryA())
{
    EXPECT_TRUE(Platform::SetCurrentDirectoryA(folder.c_str()));
}

ScopedCurrentFolder::~ScopedCurrentFolder() { Platform::SetCurrentDirectoryA(mPrevious.c_str()); }

ScopedSharedPak::ScopedSharedPak(PakInterface* instance) : mPrevious(Lumo::GetSharedPak()), mInstance(instance)
{
    Lumo::WithdrawSharedPak(mPrevious);
    if (instance)
        Lumo::PublishSharedPak(instance);
}

ScopedSharedPak::~ScopedSharedPak()
{
    Lumo::WithdrawSharedPak(mInstance);
    if (mPrevious)
        Lumo::PublishSharedPak(mPrevious);
}

DebugCapture::DebugCapture() : mPrevious(Platform::SetDebugSink([this](const char* text) { mText += text; })) {}

DebugCapture::~DebugCapture() { Platform::SetDebugSink(mPrevious); }

LogCapture::LogCapture() { Lumo::AppLog::GetInstance()->Open(mFolder.Path() + "/"); }

LogCapture::~LogCapture() { Lumo::AppLog::GetInstance()->Close(); }

std::string LogCapture::Text() const { return LumoTest::ReadFile(mFolder / "applog.txt"); }

} // namespace PakTest
