#include "framework/widgets/DialogButtonLabels.h"

namespace Lumo {

std::string gDialogYesLabel;
std::string gDialogNoLabel;
std::string gDialogOkLabel;
std::string gDialogCancelLabel;

} // namespace Lumo
