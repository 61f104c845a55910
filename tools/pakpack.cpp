// pakpack [--real-times] <folder> <archive>
// Packs every file below a folder into an archive, in key order so the same
// folder always gives the same bytes. File times are 0 unless --real-times.

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
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: pakpack [--real-times] <folder> <archive>\n");
        return 2;
    }
    PakWriter writer;
    std::string error;
    if (!writer.AddFolder(argv[first], realTimes, &error)) {
        std::fprintf(stderr, "pakpack: %s\n", error.c_str());
        return 1;
    }
    writer.SortByKey();
    if (!writer.WriteFile(argv[first + 1], &error)) {
        std::fprintf(stderr, "pakpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
