#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The last-chance handler of fatal faults, in the shape of an unhandled-
// exception filter: a fault (bad memory access, bad instruction, arithmetic
// fault, abort) becomes an exception record with the exception codes below,
// the registers of the faulting thread and its stack of return addresses.
namespace Platform {

constexpr uint32_t EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002;
constexpr uint32_t EXCEPTION_ACCESS_VIOLATION = 0xC0000005;
constexpr uint32_t EXCEPTION_IN_PAGE_ERROR = 0xC0000006;
constexpr uint32_t EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001D;
constexpr uint32_t EXCEPTION_NONCONTINUABLE_EXCEPTION = 0xC0000025;
constexpr uint32_t EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008C;
constexpr uint32_t EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008E;
constexpr uint32_t EXCEPTION_FLT_INEXACT_RESULT = 0xC000008F;
constexpr uint32_t EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090;
constexpr uint32_t EXCEPTION_FLT_OVERFLOW = 0xC0000091;
constexpr uint32_t EXCEPTION_FLT_UNDERFLOW = 0xC0000093;
constexpr uint32_t EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094;
constexpr uint32_t EXCEPTION_INT_OVERFLOW = 0xC0000095;
constexpr uint32_t EXCEPTION_PRIV_INSTRUCTION = 0xC0000096;
constexpr uint32_t EXCEPTION_STACK_OVERFLOW = 0xC00000FD;

// The registers of the faulting thread (x86-64; zero elsewhere).
struct ThreadContext {
    uint64_t Rax, Rbx, Rcx, Rdx, Rsi, Rdi, R8, R9, R10, R11, R12, R13, R14, R15;
    uint64_t Rip, Rsp, Rbp;
    uint64_t EFlags;
    uint16_t SegCs, SegGs, SegFs;
};

constexpr int kMaxStackFrames = 64;

struct ExceptionRecord {
    uint32_t ExceptionCode;
    // The faulting instruction.
    uint64_t ExceptionAddress;
    uint32_t ThreadId;
    ThreadContext Context;
    // The faulting instruction first, then the return addresses outwards.
    uint64_t Frames[kMaxStackFrames];
    int FrameCount;
};

// Runs in the fault itself, so it may only do what is safe in a signal
// handler: it writes the first, short report before anything can go wrong.
using SignalSafeReport = void (*)(const ExceptionRecord& record);
// Runs once, for the first fault of the process, on a reporter thread of its
// own while the faulting thread waits; the process ends when it returns. It
// must show progress (ExtendCrashDeadline) or it is cut off: a filter that
// hangs, say on a lock the faulting thread held, cannot keep the process alive.
using ExceptionFilter = void (*)(const ExceptionRecord& record);

// Installs the handler for the first time, or swaps the filters; returns the
// previous filter (null when there was none).
ExceptionFilter SetUnhandledExceptionFilter(ExceptionFilter filter, SignalSafeReport first);
// Puts the system's handling back and ends the reporter thread.
void RemoveUnhandledExceptionFilter();
// The filter may run for this many more seconds before it is cut off.
void ExtendCrashDeadline(uint32_t seconds);

// Gives the thread that makes it a signal stack of its own for as long as it
// lives, so that the handler still runs when the thread's stack has run out;
// the thread's previous one comes back at the end.
class AlternateSignalStack {
public:
    AlternateSignalStack();
    ~AlternateSignalStack();
    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

private:
    std::unique_ptr<char[]> mMemory;
    stack_t mPrevious;
};

// Safe in a signal handler: the file is replaced whole by the bytes (a link
// of that name too, not what it leads to). False on failure, with the file
// left as it was.
bool WriteFileFromSignal(const char* path, const char* bytes, size_t length);

// The module that holds the address, its loaded segment (counted from 1) and
// the offset in it; false when no module holds it.
bool GetLogicalAddress(uint64_t address, std::string* modulePath, uint32_t* section, uint32_t* offset);
// The readable name of the function that holds the address and the distance
// from its start; false when the address has no symbol.
bool GetSymbolFromAddress(uint64_t address, std::string* name, uint64_t* displacement);
// The readable form of a compiler's symbol name; false when it has none.
bool UnDecorateSymbolName(const std::string& decorated, std::string* readable);
// The operating system's name, release and version.
std::string GetSystemVersionText();

} // namespace Platform
