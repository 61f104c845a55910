#pragma once

#include <string>

namespace Lumo {

// A URL as the HTTP client splits it: "scheme://host:port/path", where every
// part but the host may be missing.
struct HttpUrl {
    static constexpr int kMaxPort = 65535;

    std::string mProtocol;
    std::string mHost;
    // 0 when the URL's port is none a connection can use.
    int mPort = 80;
    std::string mPath = "/";

    static HttpUrl Split(const std::string& url);
    // The host, and ":port" when the port is not 80: what a Host header names.
    std::string HostAndPort() const;
};

} // namespace Lumo
