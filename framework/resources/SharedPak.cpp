#include "framework/resources/SharedPak.h"

#include "framework/resources/PakDiskFile.h"
#include "framework/resources/PakInterface.h"
#include "platform/process/Debug.h"
#include "platform/process/Process.h"

#include <atomic>
#include <cstdio>

namespace Lumo {

namespace {

// The process-wide slot named "gPakInterfaceP_<process id>".
std::atomic<PakInterface*> gSharedPak{nullptr};

} // namespace

PakInterface* GetSharedPak() { return gSharedPak.load(); }

bool PublishSharedPak(PakInterface* instance)
{
    PakInterface* expected = nullptr;
    if (!gSharedPak.compare_exchange_strong(expected, instance))
        return false;
    char line[64];
    std::snprintf(line, sizeof(line), "PakInterface published as gPakInterfaceP_%d\n",
                  int(Platform::GetCurrentProcessId()));
    Platform::OutputDebugStringA(line);
    return true;
}

void WithdrawSharedPak(PakInterface* instance)
{
    PakInterface* expected = instance;
    gSharedPak.compare_exchange_strong(expected, nullptr);
}

PakFileHandle* PakOpen(const char* name, const char* mode)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->Open(name, mode) : PakDiskFile::Open(name, mode);
}

int PakClose(PakFileHandle* handle)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->Close(handle) : PakDiskFile::Close(handle);
}

int PakSeek(PakFileHandle* handle, long offset, int origin)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->Seek(handle, offset, origin) : PakDiskFile::Seek(handle, offset, origin);
}

long PakTell(PakFileHandle* handle)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->Tell(handle) : PakDiskFile::Tell(handle);
}

int PakRead(void* buffer, int elementSize, int count, PakFileHandle* handle)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->Read(buffer, elementSize, count, handle) : PakDiskFile::Read(buffer, elementSize, count, handle);
}

int PakGetChar(PakFileHandle* handle)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->GetChar(handle) : PakDiskFile::GetChar(handle);
}

int PakAtEnd(PakFileHandle* handle)
{
    PakInterface* pak = GetSharedPak();
    return pak ? pak->AtEnd(handle) : PakDiskFile::AtEnd(handle);
}

} // namespace Lumo
