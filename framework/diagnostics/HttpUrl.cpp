#include "framework/diagnostics/HttpUrl.h"

#include <cstdlib>

namespace Lumo {

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
        split.mPort = std::atoi(split.mHost.c_str() + colon + 1);
        split.mHost.resize(colon);
    }
    return split;
}

std::string HttpUrl::HostAndPort() const
{
    return mPort == 80 ? mHost : mHost + ":" + std::to_string(mPort);
}

} // namespace Lumo
