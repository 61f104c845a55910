#include "framework/core/AppLog.h"

#include "framework/core/UserDataFolder.h"
#include "platform/storage/Files.h"

#include <cstdarg>
#include <cstdio>

namespace Lumo {

AppLog* AppLog::GetInstance()
{
    static AppLog instance;
    return &instance;
}

bool AppLog::Open(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mOpenFailed = mFile.Open(Platform::NativePath(GetUserDataFolder() + folder + "applog.txt")) ==
                  Platform::LogFile::OpenResult::Failed;
    return true;
}

void AppLog::Close()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFile.Close();
}

bool AppLog::IsOpen()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFile.IsOpen();
}

bool AppLog::OpenFailed()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mOpenFailed;
}

void AppLog::Printf(int32_t flags, const char* format, ...)
{
    char text[1024] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (!(flags & kToFile))
        return;

    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n')
            line += '\r';
        line += *c;
    }
    line += "\r\n";
    std::lock_guard<std::mutex> lock(mMutex);
    mFile.Write(line);
}

} // namespace Lumo
