#include "framework/graphics/codecs/JpegErrorManager.h"

#include "framework/core/AppLog.h"

namespace ImageLib {

namespace {

void LogJpegMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "[ERROR] JPEG: %s", text);
}

void JumpToRecovery(j_common_ptr info)
{
    (*info->err->output_message)(info);
    longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->recovery, 1);
}

} // namespace

jpeg_error_mgr* InstallJpegErrorManager(JpegErrorManager* manager)
{
    jpeg_error_mgr* error = jpeg_std_error(&manager->pub);
    error->error_exit = JumpToRecovery;
    error->output_message = LogJpegMessage;
    return error;
}

} // namespace ImageLib
