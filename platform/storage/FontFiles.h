#pragma once

#include <string>

namespace Platform {

// The installed, scalable font file that stands in for the program's face
// (in bold when asked), and the face's index in it; false when there is none.
bool FindFontFile(const std::string& faceName, bool bold, std::string* path, int* index);

} // namespace Platform
