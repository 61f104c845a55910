#pragma once

#include "framework/graphics/descriptor/DataElement.h"
#include "framework/graphics/descriptor/ListDataElement.h"
#include "framework/graphics/descriptor/SingleDataElement.h"

#include <map>
#include <string>
#include <vector>

namespace Lumo {

// Reads a descriptor file of ";"-ended commands, turns each into a tree of
// values and hands it to HandleCommand. It knows no command itself; derived
// parsers do, and they read their parameters through the conversions here.
class DescParser {
public:
    DescParser() = default;
    DescParser(const DescParser&) = delete;
    DescParser& operator=(const DescParser&) = delete;

    // Stores the message and returns false.
    virtual bool Error(const std::string& message);
    // The value defined under the name (any case), or null.
    virtual DataElement* GetDefine(const std::string& name);
    // False stops loading.
    virtual bool HandleCommand(ListDataElement* command) = 0;
    virtual ~DescParser();

    // False when the file cannot be opened (no message) or a command failed.
    bool LoadDescriptor(const std::string& file);
    bool ParseCommand(const std::string& text);
    // Reads values from *position (or 0) into out; inside a list it stops
    // after the closing ")" and leaves *position behind it.
    bool ParseToList(const std::string& text, ListDataElement* out, bool inList, int* position);
    // A number or a quoted text.
    bool IsImmediate(const std::string& text);
    // 'it''s' gives it's; a text not starting with a quote comes back as is.
    std::string Unquote(const std::string& text);
    // Quoted texts unquoted, numbers kept, names replaced by their defines.
    bool Dereference(ListDataElement* source, ListDataElement* out);
    bool DataToString(DataElement* source, std::string& out);
    bool DataToStringVector(DataElement* source, std::vector<std::string>& out);
    bool DataToIntVector(DataElement* source, std::vector<int>& out);
    bool DataToDoubleVector(DataElement* source, std::vector<double>& out);
    bool DataToList(DataElement* source, ListDataElement* out);
    std::string DataElementToString(DataElement* element);

    std::string mError;
    // Line on which the command being collected or run began; 0 outside loading.
    int mCurrentLine = 0;
    std::string mCurrentCommand;
    // Upper-cased names; the values are owned.
    std::map<std::string, DataElement*> mDefineMap;

private:
    bool ParseList(const std::string& text, ListDataElement* out, bool inList, int* position, int depth);
    bool DereferenceList(ListDataElement* source, ListDataElement* out, int64_t* budget);
    bool UnableToDereference(const std::string& name);
};

} // namespace Lumo
