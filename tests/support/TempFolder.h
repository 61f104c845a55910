#pragma once

#include <string>

namespace LumoTest {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return mPath; }
    // Path() + "/" + name
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }
    // Writes a file below the folder, creating its parent folders.
    void Write(const std::string& name, const std::string& bytes) const;

private:
    std::string mPath;
};

std::string ReadFile(const std::string& path);
std::string FixturePath(const std::string& name);

} // namespace LumoTest
