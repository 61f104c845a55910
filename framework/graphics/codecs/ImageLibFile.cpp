#include "framework/graphics/codecs/ImageLibFile.h"

#include "framework/resources/SharedPak.h"

#include <cstdio>

namespace ImageLib {

File::File(const std::string& name) : mHandle(Lumo::PakOpen(name.c_str(), "rb")) {}

File::~File()
{
    if (mHandle != nullptr)
        Lumo::PakClose(mHandle);
}

int64_t File::Remaining()
{
    const long position = Lumo::PakTell(mHandle);
    if (position < 0 || Lumo::PakSeek(mHandle, 0, SEEK_END) != 0)
        return 0;
    const long end = Lumo::PakTell(mHandle);
    Lumo::PakSeek(mHandle, position, SEEK_SET);
    return end > position ? end - position : 0;
}

bool File::Read(void* buffer, size_t size)
{
    if (size == 0)
        return true;
    return Lumo::PakRead(buffer, 1, int(size), mHandle) == int(size);
}

size_t File::ReadUpTo(void* buffer, size_t size)
{
    if (size == 0)
        return 0;
    const int count = Lumo::PakRead(buffer, 1, int(size), mHandle);
    return count > 0 ? size_t(count) : 0;
}

int File::ReadByte()
{
    uint8_t byte = 0;
    return Read(&byte, 1) ? byte : -1;
}

bool File::ReadU16(uint16_t* value)
{
    uint8_t bytes[2];
    if (!Read(bytes, 2))
        return false;
    *value = uint16_t(bytes[0] | (bytes[1] << 8));
    return true;
}

} // namespace ImageLib
