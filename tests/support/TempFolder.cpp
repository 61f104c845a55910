#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace LumoTest {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    mPath = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

void TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::filesystem::path path = std::filesystem::path(mPath) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string FixturePath(const std::string& name) { return std::string(LUMO_FIXTURES_DIR) + "/" + name; }

} // namespace LumoTest
