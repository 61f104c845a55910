#pragma once

#include "framework/resources/PakFileHandle.h"

// The stdio calls behind a handle of a disk file (one without an entry).
// A handle without a stream fails each call.
namespace PakDiskFile {

// Opens through the platform's name mapping, so "\" and any case find the file.
PakFileHandle* Open(const char* name, const char* mode);
// Closes the stream and deletes the handle.
int Close(PakFileHandle* handle);
int Seek(PakFileHandle* handle, long offset, int origin);
long Tell(PakFileHandle* handle);
int Read(void* buffer, int elementSize, int count, PakFileHandle* handle);
int GetChar(PakFileHandle* handle);
int UngetChar(int c, PakFileHandle* handle);
char* GetLine(char* buffer, int size, PakFileHandle* handle);
int AtEnd(PakFileHandle* handle);

} // namespace PakDiskFile
