#include "framework/diagnostics/HttpUrl.h"

#include <cerrno>
#include <cstdlib>

namespace Lumo {

namespace {

// The port as the C number reader takes it (blanks, a sign, digits up to the
// first non-digit), but a number no port can have is 0, which connects
// nowhere, rather than another port it would wrap to.
int ReadPort(const std::string& text)
{
    errno = 0;
    const long port = std::strtol(text.c_str(), nullptr, 10);
    return errno == 0 && port > 0 && port <= HttpUrl::kMaxPort ? int(port) : 0;
}

} // namespace

HttpUrl HttpUrl::Split(const std::string& url)
{
    HttpUrl split;
    size_t restStart = 0;
    const size_t slashes = url.find("//");
    if (slashes != std::string::npos) {
        // Less the colon before the slashes.
        split.mProtocol = slashes > 0 ? url.substr(0, slashes - 1) : std::string();
        restStart = slashes + 2;
    }
    const std::string rest = url.substr(restStart);
    const size_t slash = rest.find('/');
    split.mHost = rest.substr(0, slash);
    if (slash != std::string::npos)
        split.mPath = rest.substr(slash);
    const size_t colon = split.mHost.find(':');
    if (colon != std::string::npos) {
        split.mPort = ReadPort(split.mHost.substr(colon + 1));
        split.mHost.resize(colon);
    }
    return split;
}

std::string HttpUrl::HostAndPort() const
{
    return mPort == 80 ? mHost : mHost + ":" + std::to_string(mPort);
}

} // namespace Lumo
