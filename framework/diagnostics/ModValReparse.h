#pragma once

namespace Lumo {

// Re-reads the source files of the registered tweakable values and gives
// their holders the literals found there. True when a source file is newer
// than any seen before; every failure shows a message box and gives false.
bool ModValReparse();

} // namespace Lumo
