#include "framework/core/PathUtils.h"

#include "platform/storage/Files.h"

#include <algorithm>
#include <filesystem>

namespace Lumo {

namespace {

constexpr char kSeparators[] = "\\/";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Folder ends in a separator. ".." of a folder that ends in ".." climbs one
// more level; the root has no parent and stays.
std::string ParentFolder(const std::string& folder, char separator)
{
    if (folder.size() == 1)
        return folder;
    size_t before = folder.find_last_of(kSeparators, folder.size() - 2);
    size_t start = before == std::string::npos ? 0 : before + 1;
    if (folder.compare(start, folder.size() - 1 - start, "..") == 0)
        return folder + ".." + separator;
    return folder.substr(0, start);
}

bool FindFirst(const std::string& pattern, Platform::WIN32_FIND_DATAA* data)
{
    Platform::HANDLE find = Platform::FindFirstFileA(pattern.c_str(), data);
    if (find == Platform::INVALID_HANDLE_VALUE)
        return false;
    Platform::FindClose(find);
    return true;
}

} // namespace

std::string AddTrailingSlash(const std::string& path)
{
    if (path.empty() || IsSeparator(path.back()))
        return path;
    return path + '\\';
}

std::string RemoveTrailingSlash(const std::string& path)
{
    if (!path.empty() && IsSeparator(path.back()))
        return path.substr(0, path.size() - 1);
    return path;
}

std::string PathDirectoryPart(const std::string& path)
{
    size_t last = path.find_last_of(kSeparators);
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::string ResolveRelativePath(const std::string& relative, const std::string& base)
{
    if (relative.size() > 1 && relative[1] == ':')
        return relative;
    bool backslashes = relative.find('\\') != std::string::npos || base.find('\\') != std::string::npos;
    char separator = backslashes ? '\\' : '/';
    std::string drive;
    std::string folder = base;
    if (folder.size() > 1 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    if (!folder.empty() && !IsSeparator(folder.back()))
        folder += separator;

    std::string rest = relative;
    while (!folder.empty()) {
        size_t cut = rest.find_first_of(kSeparators);
        if (cut == std::string::npos)
            break;
        std::string part = rest.substr(0, cut);
        rest.erase(0, cut + 1);
        if (part == ".")
            continue;
        if (part == "..") {
            folder = ParentFolder(folder, separator);
            continue;
        }
        // A leading separator starts from the root; a named folder ends the walk.
        folder = part.empty() ? std::string(1, separator) : folder + part + separator;
        break;
    }

    std::string result = drive + folder + rest;
    std::replace(result.begin(), result.end(), backslashes ? '/' : '\\', separator);
    return result;
}

bool FileExistsOnDisk(const std::string& path)
{
    Platform::WIN32_FIND_DATAA data;
    return FindFirst(path, &data);
}

int64_t GetFileModifiedTime(const std::string& path)
{
    Platform::WIN32_FIND_DATAA data;
    if (!FindFirst(path, &data))
        return 0;
    return Platform::FileTimeToUnixTime(data.ftLastWriteTime);
}

void CreateDirectoryPath(const std::string& path)
{
    for (size_t i = 1; i < path.size(); ++i) {
        if (IsSeparator(path[i]))
            Platform::CreateDirectoryA(path.substr(0, i).c_str());
    }
    Platform::CreateDirectoryA(path.c_str());
}

bool IsSymbolicLink(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_symlink(std::filesystem::symlink_status(Platform::NativePath(path), error));
}

bool DeleteFolderTree(const std::string& path)
{
    // A link in the folder's place leads to what is not the tree's to delete.
    if (path.size() < 2 || IsSymbolicLink(RemoveTrailingSlash(path)))
        return false;
    std::string folder = IsSeparator(path.back()) ? path : path + '\\';
    Platform::WIN32_FIND_DATAA data;
    Platform::HANDLE find = Platform::FindFirstFileA((folder + "*.*").c_str(), &data);
    if (find == Platform::INVALID_HANDLE_VALUE)
        return false;
    bool removed = true;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string entry = folder + name;
        bool isFolder = (data.dwFileAttributes & Platform::FILE_ATTRIBUTE_DIRECTORY) && !IsSymbolicLink(entry);
        if (isFolder ? !DeleteFolderTree(entry) : !Platform::DeleteFileA(entry.c_str()))
            removed = false;
    } while (Platform::FindNextFileA(find, &data));
    Platform::FindClose(find);
    return Platform::RemoveDirectoryA(folder.c_str()) && removed;
}

} // namespace Lumo
