#pragma once

#include <string>

namespace Lumo {

// Shows the report and, when an upload server is set, offers to send it:
// the crash window, the details window, then the upload with its retry
// prompt. Returns when the user is done.
void CreateCrashWindow(const std::string& text, const std::string& title);

// What the upload's poll does with a result of the crash report's transfer.
enum class UploadStep { kWait, kDone, kFailed };
UploadStep UploadStepFor(int transferResult);

} // namespace Lumo
