#include "platform/process/CrashSignals.h"

#include "platform/process/Process.h"
#include "platform/storage/TemporaryFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <semaphore.h>
#include <setjmp.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kSignalCount = int(sizeof(kFatalSignals) / sizeof(kFatalSignals[0]));
// Until the filter first shows progress.
constexpr uint32_t kFirstDeadlineSeconds = 15;
// A fault inside the report itself.
constexpr int kSecondFaultExitCode = 3;
// Room for the handler on a thread whose own stack has run out.
constexpr size_t kAltStackSize = 256 * 1024;

struct sigaction gPrevious[kSignalCount];
bool gInstalled = false;
std::atomic<ExceptionFilter> gFilter{nullptr};
std::atomic<SignalSafeReport> gFirstReport{nullptr};

ExceptionRecord gRecord;
std::atomic<bool> gHandling{false};
std::atomic<pid_t> gFaultingThread{0};
std::atomic<pid_t> gReporterThreadId{0};
std::atomic<int64_t> gDeadlineMillis{0};
std::atomic<bool> gRecordReady{false};
std::atomic<bool> gReportDone{false};
std::atomic<bool> gQuit{false};
sem_t gWake;
// Where a fault inside the stack walk goes back to.
sigjmp_buf gWalkEscape;
std::atomic<bool> gWalking{false};

pid_t ThreadIdNow() { return pid_t(::syscall(SYS_gettid)); }

int64_t MonotonicMillis()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

uint32_t ExceptionCodeOf(int signal, const siginfo_t* info, uint64_t stackPointer)
{
    switch (signal) {
    case SIGSEGV: {
        // A fault right at the stack pointer is a stack that ran out.
        const uint64_t address = reinterpret_cast<uint64_t>(info->si_addr);
        const uint64_t distance = address > stackPointer ? address - stackPointer : stackPointer - address;
        return distance < 65536 ? EXCEPTION_STACK_OVERFLOW : EXCEPTION_ACCESS_VIOLATION;
    }
    case SIGBUS:
        return info->si_code == BUS_ADRALN ? EXCEPTION_DATATYPE_MISALIGNMENT : EXCEPTION_IN_PAGE_ERROR;
    case SIGFPE:
        switch (info->si_code) {
        case FPE_INTDIV: return EXCEPTION_INT_DIVIDE_BY_ZERO;
        case FPE_INTOVF: return EXCEPTION_INT_OVERFLOW;
        case FPE_FLTDIV: return EXCEPTION_FLT_DIVIDE_BY_ZERO;
        case FPE_FLTOVF: return EXCEPTION_FLT_OVERFLOW;
        case FPE_FLTUND: return EXCEPTION_FLT_UNDERFLOW;
        case FPE_FLTRES: return EXCEPTION_FLT_INEXACT_RESULT;
        case FPE_FLTSUB: return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
        default: return EXCEPTION_FLT_INVALID_OPERATION;
        }
    case SIGILL:
        return info->si_code == ILL_PRVOPC || info->si_code == ILL_PRVREG ? EXCEPTION_PRIV_INSTRUCTION
                                                                          : EXCEPTION_ILLEGAL_INSTRUCTION;
    default:
        // abort(): the program declared that it cannot go on.
        return EXCEPTION_NONCONTINUABLE_EXCEPTION;
    }
}

void ReadContext(const void* raw, ThreadContext* context)
{
    *context = ThreadContext{};
#if defined(__x86_64__)
    const greg_t* r = static_cast<const ucontext_t*>(raw)->uc_mcontext.gregs;
    *context = ThreadContext{uint64_t(r[REG_RAX]), uint64_t(r[REG_RBX]), uint64_t(r[REG_RCX]), uint64_t(r[REG_RDX]),
                             uint64_t(r[REG_RSI]), uint64_t(r[REG_RDI]), uint64_t(r[REG_R8]),  uint64_t(r[REG_R9]),
                             uint64_t(r[REG_R10]), uint64_t(r[REG_R11]), uint64_t(r[REG_R12]), uint64_t(r[REG_R13]),
                             uint64_t(r[REG_R14]), uint64_t(r[REG_R15]), uint64_t(r[REG_RIP]), uint64_t(r[REG_RSP]),
                             uint64_t(r[REG_RBP]), uint64_t(r[REG_EFL]), uint16_t(r[REG_CSGSFS] & 0xFFFF),
                             uint16_t((r[REG_CSGSFS] >> 16) & 0xFFFF), uint16_t((r[REG_CSGSFS] >> 32) & 0xFFFF)};
#else
    (void)raw;
#endif
}

// The walk passes through this handler and the signal frame first: the stack
// proper starts at the faulting instruction. A stack that the walk cannot
// read (the fault may have wrecked it) faults again inside it: the handler
// then comes back here and the stack is the faulting instruction alone.
void ReadStack(ExceptionRecord* record)
{
    void* frames[kMaxStackFrames + 8];
    volatile int count = 0;
    sigset_t before;
    ::pthread_sigmask(SIG_SETMASK, nullptr, &before);
    if (::sigsetjmp(gWalkEscape, 1) == 0) {
        sigset_t fatal;
        ::sigemptyset(&fatal);
        for (int each : kFatalSignals)
            ::sigaddset(&fatal, each);
        ::pthread_sigmask(SIG_UNBLOCK, &fatal, nullptr);
        gWalking = true;
        count = ::backtrace(frames, kMaxStackFrames + 8);
    }
    gWalking = false;
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    int start = 0;
    while (start < count && reinterpret_cast<uint64_t>(frames[start]) != record->ExceptionAddress)
        ++start;
    record->FrameCount = 0;
    if (start == count) {
        record->Frames[record->FrameCount++] = record->ExceptionAddress;
        return;
    }
    for (int i = start; i < count && record->FrameCount < kMaxStackFrames; ++i)
        record->Frames[record->FrameCount++] = reinterpret_cast<uint64_t>(frames[i]);
}

// Holds the calling thread until the report is over or its time has run out.
void WaitForReport()
{
    const timespec slice = {0, 10 * 1000 * 1000};
    while (!gReportDone.load() && MonotonicMillis() < gDeadlineMillis.load())
        ::nanosleep(&slice, nullptr);
}

// Everything here is safe in a signal handler.
void OnFatalSignal(int signal, siginfo_t* info, void* raw)
{
    const pid_t self = ThreadIdNow();
    if (gHandling.exchange(true)) {
        if (self == gFaultingThread.load() && gWalking.load())
            ::siglongjmp(gWalkEscape, 1);
        // A fault inside the report ends the process at once; a fault of
        // another thread waits for the report that is running.
        if (self == gFaultingThread.load() || self == gReporterThreadId.load())
            ::_exit(kSecondFaultExitCode);
        WaitForReport();
        ::_exit(kSecondFaultExitCode);
    }
    // Before anything that could fault or hang: from here on the reporter
    // keeps the time, and threads that fault meanwhile wait for this report.
    gDeadlineMillis = MonotonicMillis() + int64_t(kFirstDeadlineSeconds) * 1000;
    gFaultingThread = self;
    const bool handOver = gFilter.load() && gReporterThreadId.load() != 0 && self != gReporterThreadId.load();
    if (handOver)
        ::sem_post(&gWake);
    ReadContext(raw, &gRecord.Context);
    gRecord.ExceptionAddress = gRecord.Context.Rip;
    gRecord.ExceptionCode = ExceptionCodeOf(signal, info, gRecord.Context.Rsp);
    gRecord.ThreadId = uint32_t(self);
    ReadStack(&gRecord);

    if (SignalSafeReport first = gFirstReport.load())
        first(gRecord);
    gRecordReady = true;
    if (handOver)
        WaitForReport();

    // The system's own handling ends the process as the fault would have.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    ::sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    sigset_t unblock;
    ::sigemptyset(&unblock);
    ::sigaddset(&unblock, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

void ReporterLoop()
{
    gReporterThreadId = ThreadIdNow();
    while (::sem_wait(&gWake) != 0 && errno == EINTR) {
    }
    if (gQuit) {
        gReporterThreadId = 0;
        return;
    }
    // A faulting thread stuck on its way to the record (in the walk, say)
    // must not keep the process alive either.
    const timespec slice = {0, 10 * 1000 * 1000};
    while (!gRecordReady.load()) {
        if (MonotonicMillis() >= gDeadlineMillis.load())
            ::_exit(kSecondFaultExitCode);
        ::nanosleep(&slice, nullptr);
    }
    if (ExceptionFilter filter = gFilter.load())
        filter(gRecord);
    gReportDone = true;
}

void Install()
{
    ::sem_init(&gWake, 0, 0);
    // The first walk loads the unwinder; the handler must not be the one to do it.
    void* warmUp[4];
    ::backtrace(warmUp, 4);

    static thread_local const AlternateSignalStack installerStack;

    struct sigaction action = {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    ::sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kFatalSignals[i], &action, &gPrevious[i]);

    gQuit = false;
    gReporterThreadId = 0;
    // Left to run until the process ends: nothing may wait for it at exit.
    StartThread(ReporterLoop).detach();
    // The handler hands over only once the reporter is listening.
    const timespec slice = {0, 1000 * 1000};
    while (gReporterThreadId.load() == 0)
        ::nanosleep(&slice, nullptr);
    gInstalled = true;
}

} // namespace

AlternateSignalStack::AlternateSignalStack() : mMemory(new char[kAltStackSize]), mPrevious{}
{
    stack_t own = {};
    own.ss_sp = mMemory.get();
    own.ss_size = kAltStackSize;
    ::sigaltstack(&own, &mPrevious);
}

AlternateSignalStack::~AlternateSignalStack() { ::sigaltstack(&mPrevious, nullptr); }

ExceptionFilter SetUnhandledExceptionFilter(ExceptionFilter filter, SignalSafeReport first)
{
    gFirstReport = first;
    const ExceptionFilter previous = gFilter.exchange(filter);
    if (!gInstalled)
        Install();
    return previous;
}

void RemoveUnhandledExceptionFilter()
{
    if (!gInstalled)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kFatalSignals[i], &gPrevious[i], nullptr);
    gQuit = true;
    ::sem_post(&gWake);
    // A later install starts a reporter of its own on a fresh semaphore.
    const timespec slice = {0, 1000 * 1000};
    for (int i = 0; i < 1000 && gReporterThreadId.load() != 0; ++i)
        ::nanosleep(&slice, nullptr);
    gFilter = nullptr;
    gFirstReport = nullptr;
    gInstalled = false;
}

void ExtendCrashDeadline(uint32_t seconds)
{
    gDeadlineMillis = MonotonicMillis() + int64_t(seconds) * 1000;
}

bool WriteFileFromSignal(const char* path, const char* bytes, size_t length)
{
    // The bytes go to a file of their own first and then take the name, so
    // that the name shows a whole report at every moment and a link by that
    // name is replaced, not written through. The process's number is the
    // temporary's tag: no other process writes by that name now.
    char tag[kTemporaryTagLength];
    MakeTemporaryTag(uint64_t(::getpid()), tag);
    char temporary[4096];
    if (!MakeTemporaryName(path, tag, temporary, sizeof temporary))
        return false;

    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temporary, kFlags, 0644);
    // One left by an earlier process of the same number.
    if (fd < 0 && errno == EEXIST && ::unlink(temporary) == 0)
        fd = ::open(temporary, kFlags, 0644);
    if (fd < 0)
        return false;
    size_t written = 0;
    while (written < length) {
        const ssize_t count = ::write(fd, bytes + written, length - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        written += size_t(count);
    }
    const bool whole = written == length && ::fsync(fd) == 0;
    if (::close(fd) == 0 && whole && ::rename(temporary, path) == 0)
        return true;
    ::unlink(temporary);
    return false;
}

bool GetLogicalAddress(uint64_t address, std::string* modulePath, uint32_t* section, uint32_t* offset)
{
    Dl_info info = {};
    link_map* module = nullptr;
    if (::dladdr1(reinterpret_cast<void*>(address), &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) ==
            0 ||
        !module)
        return false;
    *modulePath = info.dli_fname ? info.dli_fname : "";
    struct Search {
        uint64_t address;
        uintptr_t base;
        uint32_t section = 0;
        uint32_t offset = 0;
    } search{address, module->l_addr};
    ::dl_iterate_phdr(
        [](dl_phdr_info* phdr, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (phdr->dlpi_addr != s->base)
                return 0;
            uint32_t loaded = 0;
            for (int i = 0; i < phdr->dlpi_phnum; ++i) {
                const auto& header = phdr->dlpi_phdr[i];
                if (header.p_type != PT_LOAD)
                    continue;
                ++loaded;
                const uint64_t start = phdr->dlpi_addr + header.p_vaddr;
                if (s->address >= start && s->address < start + header.p_memsz) {
                    s->section = loaded;
                    s->offset = uint32_t(s->address - start);
                    return 1;
                }
            }
            return 0;
        },
        &search);
    if (search.section == 0)
        return false;
    *section = search.section;
    *offset = search.offset;
    return true;
}

bool GetSymbolFromAddress(uint64_t address, std::string* name, uint64_t* displacement)
{
    Dl_info info = {};
    if (::dladdr(reinterpret_cast<void*>(address), &info) == 0 || !info.dli_sname)
        return false;
    if (!UnDecorateSymbolName(info.dli_sname, name))
        *name = info.dli_sname;
    *displacement = address - reinterpret_cast<uint64_t>(info.dli_saddr);
    return true;
}

bool UnDecorateSymbolName(const std::string& decorated, std::string* readable)
{
    int status = 0;
    char* text = abi::__cxa_demangle(decorated.c_str(), nullptr, nullptr, &status);
    if (status == 0 && text)
        *readable = text;
    std::free(text);
    return status == 0;
}

std::string GetSystemVersionText()
{
    utsname system = {};
    if (::uname(&system) != 0)
        return std::string();
    return std::string(system.sysname) + " " + system.release + " " + system.version + " " + system.machine;
}

} // namespace Platform
