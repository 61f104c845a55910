#include "framework/app/LumoAppBase.h"

#include "framework/core/StringUtils.h"
#include "framework/core/UserDataFolder.h"
#include "framework/display/DDInterface.h"
#include "platform/storage/Files.h"
#include "platform/process/Process.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

namespace Lumo {

using namespace Platform;

namespace {

// A decimal number as the runtime's atoi reads it; 0 when there is none,
// and held to the 32-bit range.
int32_t DecimalValue(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return int32_t(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

} // namespace

void LumoAppBase::ReadCommandLine()
{
    const std::string line = GetCommandLineA();
    size_t start = 0;
    bool complete = true;
    if (!line.empty() && line[0] == '"') {
        const size_t closing = line.find('"', 1);
        complete = closing != std::string::npos;
        start = complete ? closing + 1 : line.size();
    }
    const size_t blank = complete ? line.find(' ', start) : std::string::npos;
    if (blank != std::string::npos)
        SplitCommandLine(line.substr(blank + 1));
    mCommandLineRead = true;
}

void LumoAppBase::SplitCommandLine(const std::string& text)
{
    std::string name;
    std::string value;
    bool quoted = false;
    bool inValue = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        bool ends = false;
        if (ch == '"') {
            quoted = !quoted;
            ends = !quoted;
        } else if (ch == ' ' && !quoted) {
            ends = true;
        } else if (ch == '=') {
            inValue = true;
        } else if (inValue) {
            value += ch;
        } else {
            name += ch;
        }
        if ((ends || i + 1 == text.size()) && !name.empty()) {
            ApplyCommandLineSwitch(name, value);
            name.clear();
            value.clear();
            inValue = false;
        } else if (ends) {
            value.clear();
            inValue = false;
        }
    }
}

void LumoAppBase::ApplyCommandLineSwitch(const std::string& name, const std::string& value)
{
    if (name == "-play") {
        mPlaying = true;
        mRecording = false;
    } else if (name == "-record") {
        mRecording = true;
        mPlaying = false;
    } else if (name == "-recnum") {
        int32_t count = DecimalValue(value);
        if (count <= 0)
            count = 5;
        const int32_t highest = FindHighestDemoNumber(mDemoPrefix, count, true);
        mDemoFileName = MakeDemoPathAbsolute(mDemoPrefix + FormatString("%d.dmo", highest + 1));
        mRecording = true;
        mPlaying = false;
    } else if (name == "-playnum") {
        const int32_t age = std::max(DecimalValue(value), 1) - 1;
        const int32_t highest = FindHighestDemoNumber(mDemoPrefix, age, false);
        mDemoFileName = MakeDemoPathAbsolute(mDemoPrefix + FormatString("%d.dmo", highest - age));
        mPlaying = true;
        mRecording = false;
    } else if (name == "-demofile") {
        mDemoFileName = MakeDemoPathAbsolute(value);
    } else if (name == "-screensaver") {
        mIsScreenSaver = true;
    } else if (name == "-changedir") {
        mProgramFolder = value;
    } else if (name == "-crash") {
        mDiagnostics->ReportCrashNow();
    } else if (name == "-3d") {
        mForce3D = true;
    } else {
        ShowFatalErrorA(GetString("INVALID_COMMANDLINE_PARAM", "Invalid command line parameter: ") + name);
        if (mDDInterface && mDDInterface->mDD7)
            mDDInterface->mDD7->RestoreDisplayMode();
        ExitWithCode(1);
    }
}

// Numbered demos are listed, deleted, recorded and played in the user data
// folder alone, so that rotation sees the files it made.
int32_t LumoAppBase::FindHighestDemoNumber(const std::string& prefix, int32_t limit, bool deleteOldest)
{
    const std::string folder = GetUserDataFolder();
    std::set<int32_t> numbers;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + prefix + "*.dmo").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string fileName = found.cFileName;
            if (fileName.size() <= prefix.size() + 4)
                continue;
            const std::string digits = fileName.substr(prefix.size(), fileName.size() - prefix.size() - 4);
            if (StringToLower(fileName.substr(fileName.size() - 4)) != ".dmo" ||
                digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
                continue;
            numbers.insert(DecimalValue(digits));
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    if (deleteOldest && !numbers.empty() && int64_t(numbers.size()) > int64_t(limit) - 1)
        DeleteFileA((folder + prefix + FormatString("%d.dmo", *numbers.begin())).c_str());
    return numbers.empty() ? 0 : *numbers.rbegin();
}

std::string LumoAppBase::MakeDemoPathAbsolute(const std::string& name)
{
    const bool absolute =
        IsAbsolutePath(name) || (name.size() >= 2 && (name[1] == ':' || (name.size() >= 3 && name[2] == '\\')));
    return absolute ? name : GetUserDataFolder() + name;
}

} // namespace Lumo
