#include "platform/windows/EditTyping.h"

#include <algorithm>

namespace Platform {

void TypeIntoEdit(std::string& text, char key)
{
    if (key == '\r') {
        text += "\r\n";
    } else if (key == '\b') {
        const size_t taken = text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0 ? 2 : 1;
        text.erase(text.size() - std::min(taken, text.size()));
    } else if (static_cast<unsigned char>(key) >= 0x20 && key != 0x7F) {
        text += key;
    }
}

} // namespace Platform
