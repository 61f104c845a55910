#include "framework/graphics/descriptor/DescParser.h"

#include "framework/core/StringUtils.h"
#include "framework/resources/SharedPak.h"

#include <cstdio>

namespace Lumo {

namespace {

// Deeper nesting is refused rather than recursed into.
constexpr int kMaxListDepth = 64;
// The most values one dereference may produce, so that defines built from
// copies of themselves cannot grow without bound.
constexpr int64_t kMaxDereferencedElements = int64_t(1) << 16;

int64_t CountElements(const DataElement* element)
{
    if (!element->mIsList)
        return 1;
    int64_t count = 1;
    for (const DataElement* child : static_cast<const ListDataElement*>(element)->mElementVector)
        count += CountElements(child);
    return count;
}

bool IsQuote(char c) { return c == '\'' || c == '"'; }

} // namespace

DescParser::~DescParser()
{
    for (auto& entry : mDefineMap)
        delete entry.second;
}

bool DescParser::Error(const std::string& message)
{
    mError = message;
    return false;
}

DataElement* DescParser::GetDefine(const std::string& name)
{
    auto found = mDefineMap.find(MakeUpperCase(name));
    return found == mDefineMap.end() ? nullptr : found->second;
}

bool DescParser::LoadDescriptor(const std::string& file)
{
    PakFileHandle* handle = PakOpen(file.c_str(), "rb");
    if (handle == nullptr)
        return false;
    mError.clear();
    mCurrentCommand.clear();
    mCurrentLine = 0;
    int lineCount = 0;
    bool atLineStart = true;
    bool inSingleQuotes = false;
    bool inDoubleQuotes = false;
    bool backslashPending = false;
    bool inComment = false;
    auto add = [&](char c) {
        if (mCurrentCommand.empty())
            mCurrentLine = lineCount + 1;
        mCurrentCommand += c;
    };
    auto addWithPending = [&](char c) {
        if (backslashPending)
            add('\\');
        backslashPending = false;
        add(c);
    };
    auto addQuote = [&](char c, bool* state) {
        if (backslashPending) {
            add('\\');
            add(c);
            backslashPending = false;
            return;
        }
        *state = !*state;
        add(c);
    };

    bool ok = true;
    for (;;) {
        const int read = PakGetChar(handle);
        if (read == EOF)
            break;
        const char c = char(read);
        if (c == '\r')
            continue;
        if (c == '\n')
            ++lineCount;
        if (atLineStart) {
            if (c == ' ' || c == '\t' || c == '\n')
                continue;
            atLineStart = false;
            if (c == '#') {
                inComment = true;
                continue;
            }
        }
        if (c == '\n') {
            atLineStart = true;
            if (inComment)
                inComment = false;
            else
                add(c);
            continue;
        }
        if (inComment)
            continue;
        const bool quoted = inSingleQuotes || inDoubleQuotes;
        if (c == '\\' && quoted) {
            if (backslashPending) {
                add('\\');
                add('\\');
            }
            backslashPending = !backslashPending;
        } else if (c == '\'' && !inDoubleQuotes) {
            addQuote(c, &inSingleQuotes);
        } else if (c == '"' && !inSingleQuotes) {
            addQuote(c, &inDoubleQuotes);
        } else if (c == ';' && !quoted) {
            if (!mCurrentCommand.empty() && !ParseCommand(mCurrentCommand)) {
                ok = false;
                break;
            }
            mCurrentCommand.clear();
            atLineStart = true;
            inSingleQuotes = inDoubleQuotes = backslashPending = inComment = false;
        } else {
            addWithPending(c);
        }
    }
    if (ok && !mCurrentCommand.empty())
        ok = ParseCommand(mCurrentCommand);
    mCurrentCommand.clear();
    mCurrentLine = 0;
    PakClose(handle);
    return ok;
}

bool DescParser::ParseCommand(const std::string& text)
{
    ListDataElement command;
    if (!ParseToList(text, &command, false, nullptr))
        return false;
    if (command.mElementVector.empty())
        return true;
    if (command.mElementVector.front()->mIsList)
        return Error("Missing Command");
    return HandleCommand(&command);
}

bool DescParser::ParseToList(const std::string& text, ListDataElement* out, bool inList, int* position)
{
    return ParseList(text, out, inList, position, 0);
}

bool DescParser::ParseList(const std::string& text, ListDataElement* out, bool inList, int* position, int depth)
{
    bool backslashPending = false;
    bool inSingleQuotes = false;
    bool inDoubleQuotes = false;
    SingleDataElement* word = nullptr;
    auto addToWord = [&](char c) {
        if (word == nullptr) {
            word = new SingleDataElement;
            out->mElementVector.push_back(word);
        }
        word->mValue += c;
    };

    size_t i = position != nullptr ? size_t(*position) : 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (backslashPending) {
            backslashPending = false;
            addToWord(c);
            continue;
        }
        if (c == '\\') {
            backslashPending = true;
            continue;
        }
        if (c == '\'' && !inDoubleQuotes)
            inSingleQuotes = !inSingleQuotes;
        else if (c == '"' && !inSingleQuotes)
            inDoubleQuotes = !inDoubleQuotes;
        if (inSingleQuotes || inDoubleQuotes) {
            addToWord(c);
        } else if (c == ')') {
            if (!inList)
                return Error("Unexpected List End");
            if (position != nullptr)
                *position = int(i + 1);
            return true;
        } else if (c == '(') {
            if (word != nullptr || depth >= kMaxListDepth)
                return Error("Unexpected List Start");
            auto* list = new ListDataElement;
            out->mElementVector.push_back(list);
            int next = int(i + 1);
            if (!ParseList(text, list, true, &next, depth + 1))
                return false;
            i = size_t(next) - 1;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == ',') {
            word = nullptr;
        } else {
            addToWord(c);
        }
    }
    if (inSingleQuotes)
        return Error("Unterminated Single Quotes");
    if (inDoubleQuotes)
        return Error("Unterminated Double Quotes");
    if (inList)
        return Error("Unterminated List");
    if (position != nullptr)
        *position = int(i);
    return true;
}

bool DescParser::IsImmediate(const std::string& text)
{
    if (text.empty())
        return false;
    const char c = text[0];
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || IsQuote(c);
}

std::string DescParser::Unquote(const std::string& text)
{
    if (text.empty() || !IsQuote(text[0]))
        return text;
    const char quote = text[0];
    std::string result;
    bool afterQuote = false;
    for (char c : text) {
        if (c == quote) {
            if (afterQuote)
                result += quote;
            afterQuote = true;
        } else {
            result += c;
            afterQuote = false;
        }
    }
    return result;
}

bool DescParser::UnableToDereference(const std::string& name)
{
    return Error("Unable to Dereference \"" + name + "\"");
}

bool DescParser::Dereference(ListDataElement* source, ListDataElement* out)
{
    int64_t budget = kMaxDereferencedElements;
    return DereferenceList(source, out, &budget);
}

bool DescParser::DereferenceList(ListDataElement* source, ListDataElement* out, int64_t* budget)
{
    for (DataElement* element : source->mElementVector) {
        if (element->mIsList) {
            auto* list = new ListDataElement;
            out->mElementVector.push_back(list);
            if (--*budget < 0 || !DereferenceList(static_cast<ListDataElement*>(element), list, budget))
                return false;
            continue;
        }
        const std::string& text = static_cast<SingleDataElement*>(element)->mValue;
        if (!text.empty() && IsQuote(text[0])) {
            out->mElementVector.push_back(new SingleDataElement(Unquote(text)));
        } else if (IsImmediate(text)) {
            out->mElementVector.push_back(new SingleDataElement(text));
        } else {
            DataElement* define = GetDefine(text);
            if (define == nullptr)
                return UnableToDereference(text);
            *budget -= CountElements(define);
            if (*budget < 0)
                return false;
            out->mElementVector.push_back(define->Duplicate());
        }
        --*budget;
    }
    return true;
}

bool DescParser::DataToString(DataElement* source, std::string& out)
{
    if (source->mIsList)
        return false;
    const std::string& text = static_cast<SingleDataElement*>(source)->mValue;
    DataElement* define = GetDefine(text);
    if (define == nullptr) {
        out = Unquote(text);
        return true;
    }
    if (define->mIsList)
        return false;
    out = Unquote(static_cast<SingleDataElement*>(define)->mValue);
    return true;
}

bool DescParser::DataToStringVector(DataElement* source, std::vector<std::string>& out)
{
    ListDataElement dereferenced;
    ListDataElement* list = &dereferenced;
    if (source->mIsList) {
        if (!Dereference(static_cast<ListDataElement*>(source), &dereferenced))
            return false;
    } else {
        const std::string& name = static_cast<SingleDataElement*>(source)->mValue;
        DataElement* define = GetDefine(name);
        if (define == nullptr)
            return UnableToDereference(name);
        if (!define->mIsList)
            return false;
        list = static_cast<ListDataElement*>(define);
    }
    out.clear();
    for (DataElement* element : list->mElementVector) {
        if (element->mIsList)
            return false;
        out.push_back(static_cast<SingleDataElement*>(element)->mValue);
    }
    return true;
}

bool DescParser::DataToIntVector(DataElement* source, std::vector<int>& out)
{
    std::vector<std::string> texts;
    if (!DataToStringVector(source, texts))
        return false;
    out.clear();
    for (const std::string& text : texts) {
        int32_t value = 0;
        if (!ParseInt(text, &value))
            return false;
        out.push_back(value);
    }
    return true;
}

bool DescParser::DataToDoubleVector(DataElement* source, std::vector<double>& out)
{
    std::vector<std::string> texts;
    if (!DataToStringVector(source, texts))
        return false;
    out.clear();
    for (const std::string& text : texts) {
        double value = 0;
        if (!ParseDouble(text, &value))
            return false;
        out.push_back(value);
    }
    return true;
}

bool DescParser::DataToList(DataElement* source, ListDataElement* out)
{
    if (source->mIsList)
        return Dereference(static_cast<ListDataElement*>(source), out);
    DataElement* define = GetDefine(static_cast<SingleDataElement*>(source)->mValue);
    if (define == nullptr || !define->mIsList)
        return false;
    *out = *static_cast<ListDataElement*>(define);
    return true;
}

std::string DescParser::DataElementToString(DataElement* element)
{
    if (!element->mIsList)
        return static_cast<SingleDataElement*>(element)->mValue;
    std::string text = "(";
    const auto& elements = static_cast<ListDataElement*>(element)->mElementVector;
    for (size_t i = 0; i < elements.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += DataElementToString(elements[i]);
    }
    return text + ")";
}

} // namespace Lumo
