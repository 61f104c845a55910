#pragma once

#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "framework/core/AppLog.h"
#include "platform/process/Debug.h"
#include "tests/support/TempFolder.h"

#include <string>

namespace PakTest {

// Writes a built archive below folder and returns its path.
std::string WriteArchive(const LumoTest::TempFolder& folder, const std::string& name, const PakWriter& writer);
// Scrambles plain archive bytes (possibly damaged on purpose) into a file below folder.
std::string WritePlainBytes(const LumoTest::TempFolder& folder, const std::string& name, const std::string& plain);

// Everything left in an open file, read with Read.
std::string ReadRest(PakInterfaceBase& pak, PakFileHandle* handle);
// The whole file opened with mode "rb", or "<missing>" when it does not open.
std::string ReadFile(PakInterfaceBase& pak, const std::string& name);

// Runs in another current folder for its lifetime.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder);
    ~ScopedCurrentFolder();

private:
    std::string mPrevious;
};

// Makes instance (or none) the shared one for its lifetime.
class ScopedSharedPak {
public:
    explicit ScopedSharedPak(PakInterface* instance);
    ~ScopedSharedPak();

private:
    PakInterface* mPrevious;
    PakInterface* mInstance;
};

// Collects the debugger output for its lifetime.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    const std::string& Text() const { return mText; }

private:
    std::string mText;
    Platform::DebugSink mPrevious;
};

// Sends the application log to a fresh file for its lifetime.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::string Text() const;

private:
    LumoTest::TempFolder mFolder;
};

} // namespace PakTest
