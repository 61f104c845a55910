#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// One fuzz input as a file for readers that take a path: written into a
// folder of its own and removed with it when the input is done, so that no
// run leaves anything in the temporary folder.
class FuzzInputFile {
public:
    FuzzInputFile(const uint8_t* bytes, size_t size, const std::string& name)
    {
        std::string folder = (std::filesystem::temp_directory_path() / "lumo-fuzz-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            std::abort();
        mFolder = folder;
        mPath = mFolder + "/" + name;
        std::ofstream(mPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes), std::streamsize(size));
    }
    ~FuzzInputFile()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mFolder, ignored);
    }
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;

    const std::string& Path() const { return mPath; }

private:
    std::string mFolder;
    std::string mPath;
};
