#include "framework/core/DebugPrintf.h"

#include "framework/core/StringUtils.h"
#include "platform/process/Debug.h"

namespace Lumo {

void DebugPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatStringV(format, args);
    va_end(args);
    Platform::OutputDebugStringA(text.c_str());
}

} // namespace Lumo
