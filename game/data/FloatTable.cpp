#include "game/data/FloatTable.h"

#include "platform/storage/Files.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

std::vector<float>& SharedFloatTable()
{
    static std::vector<float> table;
    return table;
}

int LoadFloatTable(const std::string& path)
{
    FILE* file = Platform::OpenFile(path.c_str(), "rb");
    if (!file)
        return 0;
    std::vector<float>& table = SharedFloatTable();
    int appended = 0;
    unsigned char bytes[4];
    while (appended < kMaxFloatTable && std::fread(bytes, 1, 4, file) == 4) {
        const uint32_t word = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                              uint32_t(bytes[3]) << 24;
        const float value = std::bit_cast<float>(word);
        table.push_back(std::isfinite(value) ? value : 0.0f);
        ++appended;
    }
    std::fclose(file);
    return appended;
}
