#include "platform/windows/EditTyping.h"

#include <gtest/gtest.h>

namespace {

TEST(EditTyping, KeysChangeTheTextAsAMultiLineEditControlDoes)
{
    struct Case {
        std::string before;
        std::string keys;
        std::string after;
    };
    const Case cases[] = {
        {"", "ab\rc", "ab\r\nc"},
        {"line\r\n", "\b", "line"},       // a line break goes as one
        {"x\r\n", "\b\b", ""},
        {"", "\b", ""},                   // nothing to take back
        {"a", "\t\x1b\x7f\x01", "a"},     // other control keys do nothing
        {"", "caf\xe9", "caf\xe9"},       // code page 1252 letters stay
    };
    for (const Case& c : cases) {
        std::string text = c.before;
        for (char key : c.keys)
            Platform::TypeIntoEdit(text, key);
        EXPECT_EQ(text, c.after) << c.keys;
    }
}

} // namespace
