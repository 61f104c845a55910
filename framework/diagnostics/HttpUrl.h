#pragma once

#include <string>

namespace Lumo {

// A URL as the HTTP client splits it: "scheme://host:port/path", where every
// part but the host may be missing.
struct HttpUrl {
    std::string mProtocol;
    std::string mHost;
    int mPort = 80;
    std::string mPath = "/";

    static HttpUrl Split(const std::string& url);
    // The host, and ":port" when the port is not 80: what a Host header names.
    std::string HostAndPort() const;
};

} // namespace Lumo
