#include "game/screens/windows/CGUIScrollButton.h"

#include "game/screens/windows/GUIDrawSlot.h"

CGUIScrollButton::CGUIScrollButton(int id, Lumo::ButtonListener* listener, CGUIHost* host, int32_t image)
    : Lumo::ScrollbuttonWidget(id, listener), mImage(image), mHost(host)
{
}

CGUIScrollButton::~CGUIScrollButton() = default;

void CGUIScrollButton::Draw(Lumo::Graphics& graphics)
{
    const int32_t offset = mPressed && mHovered && !mDisabled ? 1 : 0;
    GUIDrawSlot(*mHost, graphics, mImage, offset, offset);
}
