#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TiXmlElement;

// What the level commands change in the game.
class CLevelCommandTarget {
public:
    virtual ~CLevelCommandTarget() = default;
    // The ball's two speed values and their working copies for the level.
    virtual void SetBallSpeeds(float first, float second) = 0;
};

// A handler reads its argument words from args and returns how many it used.
using LevelCommandHandler = int32_t (*)(CLevelCommandTarget& target, const uint32_t* args);

// Fills the process-wide command table and name map; runs before the levels load.
void RegisterLevelCommands();
// Appends the command that element cmd names ("name") with the words of its
// "params". An unknown name is skipped silently; params of another length than
// the command reads are logged and skipped, so that no command reads its
// neighbour's words, and so are params outside the range the command takes.
bool AppendLevelCommand(std::vector<uint32_t>& words, const TiXmlElement* cmd);

// Tokens separated by blanks, commas or semicolons (tabs do not separate).
int32_t CountTokens(const char* text);
// Appends one word per token: the float bits when the token holds ".", else its integer.
void ParseCommandArgs(std::vector<uint32_t>& words, const char* text);

// Reads two float words into the ball's speeds; returns 2.
int32_t SetBallSpeedCommand(CLevelCommandTarget& target, const uint32_t* args);

// Runs count commands from words[first]: each is its number, then its arguments.
void RunLevelCommands(CLevelCommandTarget& target, const std::vector<uint32_t>& words, int32_t first, int32_t count);

uint32_t FloatWord(float value);
float WordFloat(uint32_t word);
