#pragma once

#include <string>

namespace Platform {

// A text file that one process writes at a time: opening takes an exclusive
// lock on it and only then empties it, so a second process that opens the
// same file finds it in use and leaves it as it is. A link by the file's name
// is replaced by a file of the log's own, never written through; anything
// but a plain file is refused.
class LogFile {
public:
    enum class OpenResult { Opened, InUse, Failed };

    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Closes any file open before.
    OpenResult Open(const std::string& path);
    void Close();
    bool IsOpen() const { return mFd >= 0; }
    // Appends the bytes at once; nothing when no file is open.
    void Write(const std::string& bytes);

private:
    int mFd = -1;
};

} // namespace Platform
