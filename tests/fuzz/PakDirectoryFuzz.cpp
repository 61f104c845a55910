// Mounts arbitrary bytes as an archive and reads whatever it accepts.

#include "framework/resources/PakDirectory.h"
#include "framework/resources/PakInterface.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void ReadEntry(PakInterface& pak, PakFileHandle* handle)
{
    char line[64];
    while (pak.GetLine(line, sizeof(line), handle))
        ;
    pak.Seek(handle, -3, 2);
    while (pak.GetChar(handle) >= 0) {
        pak.UngetChar('x', handle);
        pak.GetChar(handle);
    }
    pak.Seek(handle, 1, 0);
    std::vector<char> rest(4096);
    pak.Read(rest.data(), 3, int(rest.size() / 3), handle);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    std::vector<PakRecord> records;
    std::string error;
    if (ReadPakDirectory(bytes, size, &records, &error)) {
        for (const PakRecord& record : records) {
            if (record.start < 0 || record.size < 0 || uint64_t(record.start) + uint64_t(record.size) > size)
                std::abort();
        }
    }

    const FuzzInputFile archive(bytes, size, "fuzz.pak");
    PakInterface pak;
    if (pak.MountArchive(archive.Path()) != error.empty())
        std::abort();
    for (const PakRecord& record : records) {
        PakFileHandle* handle = pak.Open(record.name.c_str(), "rb");
        // Names that normalise to another key are looked for on disk: leave those.
        if (handle && handle->entry)
            ReadEntry(pak, handle);
        pak.Close(handle);
    }
    return 0;
}
