#pragma once

#include "platform/storage/LogFile.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace Lumo {

// The program's one text log, "applog.txt" in the user data folder. A line is
// exactly the caller's formatted text; each is flushed at once so the file
// stays complete when the program crashes. Safe to use from several threads.
class AppLog {
public:
    // The flag bit that sends a line to the file; other bits write nothing.
    static constexpr int32_t kToFile = 2;

    static AppLog* GetInstance();

    // Replaces any earlier file; lines written while no file is open are lost.
    // Always true: a file that cannot be opened just drops every line. A log
    // that another process holds open is left untouched, and this one stays
    // closed.
    bool Open(const std::string& folder);
    void Close();
    bool IsOpen();
    // Whether the last Open found no file it could write (a log that another
    // process holds is not such a failure).
    bool OpenFailed();
    // Printf rules, cut at 1023 characters. Lines end in "\r\n" on disk, as
    // does every line feed inside the text.
    void Printf(int32_t flags, const char* format, ...) __attribute__((format(printf, 3, 4)));

private:
    AppLog() = default;

    std::mutex mMutex;
    Platform::LogFile mFile;
    bool mOpenFailed = false;
};

} // namespace Lumo
