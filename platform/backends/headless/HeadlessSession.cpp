#include "platform/backends/headless/HeadlessSession.h"

#include "platform/windows/WindowSystem.h"

namespace Platform {

HeadlessSession::HeadlessSession()
{
    auto desktop = std::make_unique<HeadlessBackend>();
    mDesktop = desktop.get();
    mPrevious = WindowSystem::Replace(std::make_unique<WindowSystem>(std::move(desktop)));
}

HeadlessSession::~HeadlessSession() { WindowSystem::Replace(std::move(mPrevious)); }

} // namespace Platform
