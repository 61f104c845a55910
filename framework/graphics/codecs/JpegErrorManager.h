#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ImageLib {

// libjpeg reports a fatal error by calling error_exit, which must not return:
// it logs the message and jumps back to the recovery point the caller set.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf recovery;
};

// Points the manager's handlers at the logging jump; the caller then sets the recovery point.
jpeg_error_mgr* InstallJpegErrorManager(JpegErrorManager* manager);

} // namespace ImageLib
