#include "platform/Process.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

uint32_t GetCurrentProcessId() { return uint32_t(::getpid()); }

uint32_t GetCurrentThreadId() { return uint32_t(::syscall(SYS_gettid)); }

} // namespace Platform
