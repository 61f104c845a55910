#pragma once

#include <string>

namespace Platform {

// What a key does to the text of a multi-line "EDIT" control whose caret
// stays at the end: a printable character is added, Return ('\r') breaks the
// line with CR LF, Backspace ('\b') takes back the last character or line
// break; other control characters do nothing.
void TypeIntoEdit(std::string& text, char key);

} // namespace Platform
