#pragma once

#include "framework/resources/PakFileHandle.h"
#include "platform/storage/Files.h"

// The file operations every content reader goes through, in their fixed order.
class PakInterfaceBase {
public:
    // Wide names are not supported: always null.
    virtual PakFileHandle* Open(const wchar_t* name, const wchar_t* mode) = 0;
    virtual PakFileHandle* Open(const char* name, const char* mode) = 0;
    virtual int Close(PakFileHandle* handle) = 0;
    // origin 0 from the start, 1 from the current position, 2 from the end.
    virtual int Seek(PakFileHandle* handle, long offset, int origin) = 0;
    virtual long Tell(PakFileHandle* handle) = 0;
    // Number of whole elements read.
    virtual int Read(void* buffer, int elementSize, int count, PakFileHandle* handle) = 0;
    // The next byte, carriage returns skipped; -1 at the end.
    virtual int GetChar(PakFileHandle* handle) = 0;
    virtual int UngetChar(int c, PakFileHandle* handle) = 0;
    // Wide lines are not supported: reads nothing and returns buffer.
    virtual wchar_t* GetLine(wchar_t* buffer, int size, PakFileHandle* handle) = 0;
    // One line, like fgets.
    virtual char* GetLine(char* buffer, int size, PakFileHandle* handle) = 0;
    virtual int AtEnd(PakFileHandle* handle) = 0;
    virtual Platform::HANDLE FindFirst(const char* pattern, Platform::WIN32_FIND_DATAA* data) = 0;
    virtual bool FindNext(Platform::HANDLE find, Platform::WIN32_FIND_DATAA* data) = 0;
    virtual bool FindEnd(Platform::HANDLE find) = 0;

protected:
    ~PakInterfaceBase() = default;
};
