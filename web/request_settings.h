#pragma once
// Where connections go and which certificate authorities are trusted. The program takes both
// from its environment; tests and the local stand-in of the service use them to reach a
// server on this machine under the service's own host name.
//
//   YEJIAN_CONNECT_TO  comma-separated HOST:PORT:CONNECT-HOST:CONNECT-PORT entries: a request
//                      for HOST:PORT connects to CONNECT-HOST:CONNECT-PORT instead, while its
//                      address, Host header and certificate check keep HOST.
//   YEJIAN_CA_BUNDLE   a PEM file of CA certificates trusted besides the system's own.

#include <string>
#include <string_view>
#include <vector>

namespace yejian::web {

struct RequestSettings {
    std::vector<std::string> connect_to;
    // The system's CA bundle; empty means libcurl's built-in default.
    std::string system_ca_bundle;
    // Extra CA certificates trusted as well; empty means none.
    std::string extra_ca_bundle;

    static RequestSettings from_environment();
};

// The entries of a YEJIAN_CONNECT_TO value: cut at ",", trimmed of spaces, empty ones left out.
std::vector<std::string> parse_connect_to(std::string_view value);

// The PEM text of every trusted CA: the system bundle followed by the extra one. Files that
// cannot be read add nothing.
std::string trusted_ca_pem(const std::string& system_bundle, const std::string& extra_bundle);

} // namespace yejian::web
