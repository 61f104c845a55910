#include "framework/display/Display3D.h"

namespace Lumo {

Display3D::TestOutcome Display3D::RunTest(Platform::DirectDraw*, Platform::HWND, int, int)
{
    return TestOutcome{};
}

bool Display3D::InitFromDDInterface(DDInterface*)
{
    return false;
}

std::string Display3D::GetErrorText()
{
    return std::string();
}

} // namespace Lumo
