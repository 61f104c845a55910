#pragma once

#include <string>

namespace Lumo {

// Asked by an edit field about keys, characters and whole edits; the id is
// the field's. An owner that needs no checks answers true.
class TextEntryListener {
public:
    virtual ~TextEntryListener() = default;

    // Enter was pressed.
    virtual void TextEntered(int id, const std::string& text) = 0;
    virtual bool AllowKey(int id, int keyCode) = 0;
    // May change the character.
    virtual bool AllowChar(int id, char& ch) = 0;
    // False undoes the edit that produced the text.
    virtual bool AllowText(int id, const std::string& text) = 0;
};

} // namespace Lumo
