#pragma once

#include "framework/resources/PakFileHandle.h"

class PakInterface;

// The process's one archive layer and the file calls every content reader uses.
// Without a shared instance the calls work on disk files through stdio.
namespace Lumo {

// Null until an instance is published.
PakInterface* GetSharedPak();
// Publishes instance unless one is published already; true when it was.
bool PublishSharedPak(PakInterface* instance);
// Withdraws instance if it is the published one.
void WithdrawSharedPak(PakInterface* instance);

PakFileHandle* PakOpen(const char* name, const char* mode);
int PakClose(PakFileHandle* handle);
int PakSeek(PakFileHandle* handle, long offset, int origin);
long PakTell(PakFileHandle* handle);
int PakRead(void* buffer, int elementSize, int count, PakFileHandle* handle);
int PakGetChar(PakFileHandle* handle);
int PakAtEnd(PakFileHandle* handle);

} // namespace Lumo
