#include "game/board/levels/LevelCommands.h"

#include "framework/core/AppLog.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <cstring>
#include <unordered_map>

namespace {

struct CommandEntry {
    LevelCommandHandler mHandler;
    int32_t mArguments;
    // The range each argument, read as a float, must lie in.
    float mLow;
    float mHigh;
};

struct CommandTable {
    std::vector<CommandEntry> mEntries;
    std::unordered_map<std::string, int32_t> mNames;
};

CommandTable& Table()
{
    static CommandTable table;
    return table;
}

bool IsArgSeparator(char c) { return c == ';' || c == ',' || c == ' ' || c == '\t'; }
bool IsCountSeparator(char c) { return c == ';' || c == ',' || c == ' '; }

} // namespace

void RegisterLevelCommands()
{
    CommandTable& table = Table();
    table.mEntries.assign(1, CommandEntry{&SetBallSpeedCommand, 2, kMinSpeed, kMaxSpeed});
    table.mNames.clear();
    table.mNames["set_ballspeed"] = 0;
}

bool AppendLevelCommand(std::vector<uint32_t>& words, const TiXmlElement* cmd)
{
    const std::string name = XmlTextAttribute(cmd, "name");
    const CommandTable& table = Table();
    const auto found = table.mNames.find(name);
    if (found == table.mNames.end())
        return false;
    const CommandEntry& entry = table.mEntries[size_t(found->second)];
    const size_t start = words.size();
    words.push_back(uint32_t(found->second));
    ParseCommandArgs(words, XmlTextAttribute(cmd, "params"));
    const int32_t given = int32_t(words.size() - start - 1);
    if (given != entry.mArguments) {
        words.resize(start);
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR level command %s - %d arguments, needs %d",
                                            name.c_str(), given, entry.mArguments);
        return false;
    }
    for (size_t i = start + 1; i < words.size(); ++i) {
        if (!XmlValueInRange(cmd, "params", WordFloat(words[i]), entry.mLow, entry.mHigh)) {
            words.resize(start);
            return false;
        }
    }
    return true;
}

int32_t CountTokens(const char* text)
{
    int32_t count = 0;
    bool open = false;
    for (const char* c = text ? text : ""; *c; ++c) {
        if (IsCountSeparator(*c)) {
            if (open)
                ++count;
            open = false;
        } else {
            open = true;
        }
    }
    return open ? count + 1 : count;
}

void ParseCommandArgs(std::vector<uint32_t>& words, const char* text)
{
    const char* c = text ? text : "";
    while (*c) {
        while (*c && IsArgSeparator(*c))
            ++c;
        const char* start = c;
        while (*c && !IsArgSeparator(*c))
            ++c;
        if (c == start)
            break;
        const std::string token(start, c);
        if (token.find('.') != std::string::npos)
            words.push_back(FloatWord(TextToFloat(token.c_str())));
        else
            words.push_back(uint32_t(TextToInt(token.c_str())));
    }
}

int32_t SetBallSpeedCommand(CLevelCommandTarget& target, const uint32_t* args)
{
    target.SetBallSpeeds(WordFloat(args[0]), WordFloat(args[1]));
    return 2;
}

void RunLevelCommands(CLevelCommandTarget& target, const std::vector<uint32_t>& words, int32_t first, int32_t count)
{
    const CommandTable& table = Table();
    size_t at = size_t(first);
    for (int32_t i = 0; i < count && at < words.size(); ++i) {
        const uint32_t number = words[at];
        if (number >= table.mEntries.size() || at + 1 + size_t(table.mEntries[number].mArguments) > words.size())
            return;
        at += size_t(table.mEntries[number].mHandler(target, words.data() + at + 1)) + 1;
    }
}

uint32_t FloatWord(float value)
{
    uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

float WordFloat(uint32_t word)
{
    float value = 0.0f;
    std::memcpy(&value, &word, sizeof value);
    return value;
}
