#include "framework/diagnostics/ModValReparse.h"

#include "framework/core/PathUtils.h"
#include "framework/core/StringUtils.h"
#include "framework/diagnostics/ModValParse.h"
#include "framework/diagnostics/ModValRegistry.h"
#include "platform/process/Process.h"
#include "platform/windows/Dialogs.h"

#include <cctype>
#include <fstream>

namespace Lumo {

namespace {

// Only grows.
int64_t gNewestTime = 0;

bool Fail(const std::string& text, const char* caption)
{
    Platform::MessageBoxA(nullptr, text.c_str(), caption, Platform::MB_ICONHAND);
    return false;
}

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool IsValueSite(const std::string& line, size_t i)
{
    if (i >= 2 && line[i - 1] == 'M' && !IsLetter(line[i - 2]))
        return true;
    return i >= 3 && line[i - 1] >= '1' && line[i - 1] <= '9' && line[i - 2] == 'M' && !IsLetter(line[i - 3]);
}

// Reads one source file, writing the literal of each value site into its
// record's holder.
class SourceScan {
public:
    SourceScan(const std::string& name, ModValFile& file) : mName(name), mFile(file), mCursor(file.mEntries.begin()) {}

    bool Run(std::istream& input)
    {
        std::string line;
        while (std::getline(input, line)) {
            ++mLine;
            if (line.size() > 8191)
                line.resize(8191);
            if (!ScanLine(line))
                return false;
        }
        switch (mState) {
        case State::kString:
            return Fail(FormatString("ERROR in %s on line %d: Error parsing quotes", mName.c_str(), mLine),
                        "MODVAL ERROR");
        case State::kLineComment:
            return Fail(FormatString("ERROR in %s on line %d: Error parsing c++ comment", mName.c_str(), mLine),
                        "MODVAL ERROR");
        case State::kBlockComment:
            return Fail(FormatString("ERROR in %s on line %d: Error parsing c comment", mName.c_str(), mLine),
                        "MODVAL ERROR");
        case State::kCode:
            break;
        }
        return true;
    }

private:
    enum class State { kCode, kString, kLineComment, kBlockComment };

    static bool EndsInBackslash(const std::string& line) { return !line.empty() && line.back() == '\\'; }

    bool ScanLine(const std::string& line)
    {
        if (mState == State::kLineComment) {
            if (!EndsInBackslash(line))
                mState = State::kCode;
            return true;
        }
        char previous = 0;
        size_t i = 0;
        while (i < line.size()) {
            if (mState == State::kBlockComment) {
                const size_t end = line.find("*/", i);
                if (end == std::string::npos)
                    return true;
                mState = State::kCode;
                i = end + 2;
                previous = 0;
                continue;
            }
            if (mState == State::kString) {
                size_t j = i;
                while (j < line.size() && line[j] != '"')
                    j += line[j] == '\\' ? 2 : 1;
                if (j > line.size())
                    return true; // continued on the next line
                if (j == line.size())
                    return Fail(FormatString("ERROR in %s on line %d: Error parsing quotes", mName.c_str(), mLine),
                                "MODVAL ERROR");
                mState = State::kCode;
                i = j + 1;
                previous = '"';
                continue;
            }
            const char c = line[i];
            if (c == '"') {
                mState = State::kString;
            } else if (c == '/' && previous == '/') {
                if (EndsInBackslash(line))
                    mState = State::kLineComment;
                return true;
            } else if (c == '*' && previous == '/') {
                mState = State::kBlockComment;
                ++i;
                continue;
            } else if (c == '(' && IsValueSite(line, i) && !TakeSite(line.substr(i + 1))) {
                return false;
            }
            previous = c;
            ++i;
        }
        if (mState == State::kString && !EndsInBackslash(line))
            return Fail(FormatString("ERROR in %s on line %d: Error parsing quotes", mName.c_str(), mLine),
                        "MODVAL ERROR");
        return true;
    }

    // A second site on one line takes the next entry of that line.
    bool TakeSite(const std::string& text)
    {
        while (mCursor != mFile.mEntries.end() && mCursor->second.mLine < mLine)
            ++mCursor;
        if (mCursor == mFile.mEntries.end() || mCursor->second.mLine != mLine)
            return true;
        char* record = (mCursor++)->second.mRecord;
        std::string literal;
        int32_t integer = 0;
        double floating = 0.0;
        if (!ModValParseString(text, &literal) && !ModValParseInt(text, &integer) &&
            !ModValParseDouble(text, &floating))
            return Fail(FormatString("ERROR in %s on line %d.  Parsing Error.", mName.c_str(), mLine), "MODVAL ERROR");
        ModValHolder* holder = record[0] != 0 ? ModValRegisterRecord(record) : ModValHolderOf(record);
        holder->mDouble = floating;
        holder->mInt = integer;
        holder->mString = literal;
        holder->mChanged = 1;
        return true;
    }

    const std::string& mName;
    ModValFile& mFile;
    std::map<int32_t, ModValEntry>::iterator mCursor;
    int32_t mLine = 0;
    State mState = State::kCode;
};

} // namespace

bool ModValReparse()
{
    if (gNewestTime == 0) {
        gNewestTime = GetFileModifiedTime(Platform::GetModuleFileNameA());
        ModValScanImage();
    }
    bool changed = false;
    std::string parsed;
    for (auto& [name, file] : ModValFileMap()) {
        if (!file.mReparse)
            continue;
        const int64_t time = GetFileModifiedTime(name);
        if (time > gNewestTime) {
            gNewestTime = time;
            changed = true;
        }
        parsed += (parsed.empty() ? "" : "\r\n  ") + name;
        std::ifstream input(name);
        if (!input)
            return Fail("ERROR: Unable to open " + name + " for reparsing.", "MODVAL ERROR!");
        if (!SourceScan(name, file).Run(input))
            return false;
    }
    if (changed)
        return true;
    const std::string warning =
        "WARNING: No file changes detected.  Files parsed: \r\n  " + (parsed.empty() ? std::string("none") : parsed);
    Platform::MessageBoxA(nullptr, warning.c_str(), "MODVAL WARNING!", Platform::MB_ICONEXCLAMATION);
    return false;
}

} // namespace Lumo
