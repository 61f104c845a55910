#include "framework/resources/PakDiskFile.h"

#include "platform/storage/Files.h"

#include <cstdio>

namespace PakDiskFile {

namespace {

FILE* StreamOf(PakFileHandle* handle) { return handle ? handle->file : nullptr; }

} // namespace

PakFileHandle* Open(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    FILE* file = Platform::OpenFile(name, mode);
    return file ? new PakFileHandle{nullptr, 0, file} : nullptr;
}

int Close(PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    int result = file ? std::fclose(file) : EOF;
    delete handle;
    return result;
}

int Seek(PakFileHandle* handle, long offset, int origin)
{
    FILE* file = StreamOf(handle);
    return file ? std::fseek(file, offset, origin) : -1;
}

long Tell(PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    return file ? std::ftell(file) : -1;
}

int Read(void* buffer, int elementSize, int count, PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    if (!file || elementSize <= 0 || count <= 0)
        return 0;
    return int(std::fread(buffer, size_t(elementSize), size_t(count), file));
}

int GetChar(PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    return file ? std::fgetc(file) : EOF;
}

int UngetChar(int c, PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    return file ? std::ungetc(c, file) : EOF;
}

char* GetLine(char* buffer, int size, PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    return file && size > 0 ? std::fgets(buffer, size, file) : nullptr;
}

int AtEnd(PakFileHandle* handle)
{
    FILE* file = StreamOf(handle);
    return file ? std::feof(file) : 1;
}

} // namespace PakDiskFile
