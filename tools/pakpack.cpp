// pakpack [--real-times] <folder>... <archive>
// Packs every file below the folders into one archive, each named relative to
// its folder, in key order so the same folders always give the same bytes.
// A name found twice (in any letter case) is refused. File times are 0
// unless --real-times.

#include "framework/resources/PakWriter.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    bool realTimes = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--real-times") == 0) {
        realTimes = true;
        ++first;
    }
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: pakpack [--real-times] <folder>... <archive>\n");
        return 2;
    }
    PakWriter writer;
    std::string error;
    for (int i = first; i < argc - 1; ++i) {
        if (!writer.AddFolder(argv[i], realTimes, &error)) {
            std::fprintf(stderr, "pakpack: %s\n", error.c_str());
            return 1;
        }
    }
    writer.SortByKey();
    const std::string repeated = writer.RepeatedName();
    if (!repeated.empty()) {
        std::fprintf(stderr, "pakpack: %s is in more than one folder\n", repeated.c_str());
        return 1;
    }
    if (!writer.WriteFile(argv[argc - 1], &error)) {
        std::fprintf(stderr, "pakpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
