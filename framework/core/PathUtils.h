#pragma once

#include <cstdint>
#include <string>

// "\" and "/" both separate path components here.
namespace Lumo {

// "\" appended unless the path is empty or already ends in a separator.
std::string AddTrailingSlash(const std::string& path);
std::string RemoveTrailingSlash(const std::string& path);
// The part before the last separator, or "" when there is none.
std::string PathDirectoryPart(const std::string& path);
// Joins relative to base, folding leading "." and ".." components into base.
// A relative path with a drive ("c:...") comes back as it is; one with a
// leading separator starts from the root.
std::string ResolveRelativePath(const std::string& relative, const std::string& base);

// Whether a file or folder of that name exists on disk (archives aside).
bool FileExistsOnDisk(const std::string& path);
// Last-write time in seconds since 1970-01-01 UTC, 0 when nothing matches.
int64_t GetFileModifiedTime(const std::string& path);
// Creates every folder along the path; folders that exist are left alone.
void CreateDirectoryPath(const std::string& path);
// Removes the folder with everything below it; false when anything stayed.
// Symbolic links below it are removed themselves, never followed; a link
// given as the folder is left whole, and false.
bool DeleteFolderTree(const std::string& path);
// Whether the name itself is a symbolic link (dangling or not).
bool IsSymbolicLink(const std::string& path);

} // namespace Lumo
