#include "framework/graphics/descriptor/DescParser.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace FontTests {
namespace {

// Keeps every command as text, with the line it began on.
class RecordingParser : public Lumo::DescParser {
public:
    bool HandleCommand(Lumo::ListDataElement* command) override
    {
        commands.push_back(std::to_string(mCurrentLine) + ":" + DataElementToString(command));
        return failOn.empty() || DataElementToString(command->mElementVector[0]) != failOn;
    }

    std::vector<std::string> commands;
    std::string failOn;
};

std::vector<std::string> Load(const std::string& text, bool* ok = nullptr, std::string* error = nullptr)
{
    LumoTest::TempFolder folder;
    folder.Write("font.txt", text);
    RecordingParser parser;
    const bool loaded = parser.LoadDescriptor(folder / "font.txt");
    if (ok != nullptr)
        *ok = loaded;
    if (error != nullptr)
        *error = parser.mError;
    return parser.commands;
}

TEST(DescParserFile, CommandsLinesAndComments)
{
    EXPECT_EQ((std::vector<std::string>{"1:(A, 1)", "1:(B, 2)"}), Load("A 1; B 2;"));
    EXPECT_EQ((std::vector<std::string>{"2:(Long, x, y, z)", "6:(Last)"}),
              Load("\r\n  Long x\r\n y\n   z ;\n\nLast"));
    EXPECT_EQ((std::vector<std::string>{"2:(A, 1)", "3:(B, #, not, comment)"}),
              Load("# heading\nA 1; # after a semicolon\nB # not comment;\n   # indented comment\n"));
    EXPECT_EQ((std::vector<std::string>{"1:(S, 'a;b', \"c;d\")"}), Load("S 'a;b' \"c;d\";"));
    // A backslash does not protect a semicolon outside quotes; the tokeniser drops it.
    EXPECT_EQ((std::vector<std::string>{"1:(A, x)", "1:(B)"}), Load("A x\\;B"));
    // Inside quotes a backslash keeps the quote from closing.
    EXPECT_EQ((std::vector<std::string>{"1:(Q, 'it's')"}), Load("Q 'it\\'s';"));
}

TEST(DescParserFile, StopsAtTheFirstFailingCommandAndFailsSilentlyWithoutFile)
{
    LumoTest::TempFolder folder;
    folder.Write("f.txt", "A;\nStop;\nC;");
    RecordingParser parser;
    parser.failOn = "Stop";
    EXPECT_FALSE(parser.LoadDescriptor(folder / "f.txt"));
    EXPECT_EQ((std::vector<std::string>{"1:(A)", "2:(Stop)"}), parser.commands);
    EXPECT_EQ(0, parser.mCurrentLine);
    EXPECT_EQ("", parser.mCurrentCommand);
    EXPECT_FALSE(parser.LoadDescriptor(folder / "none.txt"));
    EXPECT_EQ("", parser.mError);
}

TEST(DescParserTokens, ListsAndErrors)
{
    RecordingParser parser;
    ASSERT_TRUE(parser.ParseCommand("Cmd (1, 2 (3 4)) word"));
    EXPECT_EQ("0:(Cmd, (1, 2, (3, 4)), word)", parser.commands.back());
    const struct {
        const char* text;
        const char* error;
    } errors[] = {
        {"Cmd word(1)", "Unexpected List Start"}, {"Cmd 1)", "Unexpected List End"},
        {"Cmd (1 (2)", "Unterminated List"},     {"Cmd 'abc", "Unterminated Single Quotes"},
        {"Cmd \"abc", "Unterminated Double Quotes"}, {"(1) Cmd", "Missing Command"},
    };
    for (const auto& entry : errors) {
        parser.mError.clear();
        EXPECT_FALSE(parser.ParseCommand(entry.text)) << entry.text;
        EXPECT_EQ(entry.error, parser.mError) << entry.text;
    }
    const size_t before = parser.commands.size();
    EXPECT_TRUE(parser.ParseCommand("  \n\t "));
    EXPECT_EQ(before, parser.commands.size());
    // Nesting far beyond any descriptor is refused, not recursed into.
    EXPECT_FALSE(parser.ParseCommand("Cmd " + std::string(10000, '(')));
}

TEST(DescParserValues, UnquoteTable)
{
    RecordingParser parser;
    const std::pair<const char*, const char*> cases[] = {
        {"'abc'", "abc"}, {"'it''s'", "it's"}, {"\"'\"", "'"}, {"''", "'"}, {"plain", "plain"}, {"'a'''", "a''"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(expected, parser.Unquote(text)) << text;
}

TEST(DescParserValues, DefinesAndConversions)
{
    RecordingParser parser;
    parser.mDefineMap["CHARS"] = new Lumo::ListDataElement;
    auto* chars = static_cast<Lumo::ListDataElement*>(parser.mDefineMap["CHARS"]);
    chars->mElementVector.push_back(new Lumo::SingleDataElement("A"));
    chars->mElementVector.push_back(new Lumo::SingleDataElement("B"));
    parser.mDefineMap["TITLE"] = new Lumo::SingleDataElement("'Hello'");

    std::vector<std::string> texts;
    Lumo::SingleDataElement byName("chars");
    ASSERT_TRUE(parser.DataToStringVector(&byName, texts));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), texts);

    Lumo::ListDataElement mixed;
    mixed.mElementVector = {new Lumo::SingleDataElement("'x'"), new Lumo::SingleDataElement("Title"),
                            new Lumo::SingleDataElement("-5")};
    ASSERT_TRUE(parser.DataToStringVector(&mixed, texts));
    EXPECT_EQ((std::vector<std::string>{"x", "'Hello'", "-5"}), texts);

    std::string text;
    Lumo::SingleDataElement title("TITLE");
    ASSERT_TRUE(parser.DataToString(&title, text));
    EXPECT_EQ("Hello", text);
    Lumo::SingleDataElement undefined("Nobody");
    ASSERT_TRUE(parser.DataToString(&undefined, text));
    EXPECT_EQ("Nobody", text);

    // A single define where a list is wanted fails without a message of its own.
    parser.mError.clear();
    EXPECT_FALSE(parser.DataToStringVector(&title, texts));
    EXPECT_EQ("", parser.mError);
    EXPECT_FALSE(parser.DataToStringVector(&undefined, texts));
    EXPECT_EQ("Unable to Dereference \"Nobody\"", parser.mError);

    std::vector<int> numbers;
    Lumo::ListDataElement digits;
    digits.mElementVector = {new Lumo::SingleDataElement("1"), new Lumo::SingleDataElement("0x10")};
    ASSERT_TRUE(parser.DataToIntVector(&digits, numbers));
    EXPECT_EQ((std::vector<int>{1, 16}), numbers);
    EXPECT_FALSE(parser.DataToIntVector(&byName, numbers));

    Lumo::ListDataElement copy;
    ASSERT_TRUE(parser.DataToList(&byName, &copy));
    EXPECT_EQ("(A, B)", parser.DataElementToString(&copy));
}

TEST(DescParserValues, SelfCopyingDefinesCannotGrowWithoutBound)
{
    RecordingParser parser;
    parser.mDefineMap["X"] = new Lumo::SingleDataElement("1");
    Lumo::ListDataElement doubling;
    for (int i = 0; i < 16; ++i)
        doubling.mElementVector.push_back(new Lumo::SingleDataElement("x"));
    bool failed = false;
    for (int round = 0; round < 10 && !failed; ++round) {
        auto* grown = new Lumo::ListDataElement;
        if (!parser.Dereference(&doubling, grown)) {
            failed = true;
            delete grown;
            break;
        }
        delete parser.mDefineMap["X"];
        parser.mDefineMap["X"] = grown;
    }
    EXPECT_TRUE(failed);
}

} // namespace
} // namespace FontTests
