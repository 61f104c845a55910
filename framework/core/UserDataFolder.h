#pragma once

#include <string>

// The folder that the user's files (profiles, scores, the log, caches) are
// named by prefixing: empty for the working folder, else ending in a
// separator. Set once during start-up, then only read.
namespace Lumo {

std::string GetUserDataFolder();
// Appends "\" to a non-empty path that ends in neither separator.
void SetUserDataFolder(const std::string& path);

} // namespace Lumo
