#pragma once

#include <string>

namespace Lumo {

// The dialogs' button labels; empty until the start-up routine sets them.
extern std::string gDialogYesLabel;
extern std::string gDialogNoLabel;
extern std::string gDialogOkLabel;
extern std::string gDialogCancelLabel;

} // namespace Lumo
