#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace Lumo {

// Every character a hexadecimal digit, read most significant first; an empty
// text gives 0 and succeeds.
bool ParseHexString(const std::string& text, uint32_t* value);

// Rewrites each "ssss:oooooooo" logical address of the report as the symbol
// of a linker map file that holds it, with its source line when the map
// lists one. Reads the first "*.map" file of the current folder; without one
// the text stays as it is.
void FindMapFileLine(std::string& report);
// The same with the map given.
void AnnotateWithMap(std::string& report, std::istream& map);

} // namespace Lumo
