#include "platform/windows/WindowRecord.h"

#include "platform/windows/TextCodec.h"
#include "platform/windows/WindowConstants.h"

namespace Platform {

RECT WindowRecord::Client() const
{
    return RECT{rect.left + insets.left, rect.top + insets.top, rect.right - insets.right, rect.bottom - insets.bottom};
}

bool WindowRecord::FullScreen() const
{
    return (style & WS_POPUP) && !(style & WS_CAPTION) && (exStyle & WS_EX_TOPMOST);
}

NativeWindowState WindowRecord::Native() const
{
    NativeWindowState state;
    state.title = Utf8FromCp1252(title);
    state.client = Client();
    state.visible = visible;
    state.minimized = minimized;
    state.maximized = maximized;
    state.fullScreen = FullScreen();
    return state;
}

} // namespace Platform
