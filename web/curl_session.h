#pragma once
// What every libcurl transfer of the process shares: the one global initialisation and a
// share handle through which connections, name lookups and TLS sessions are reused across
// requests.

#include <curl/curl.h>

namespace yejian::web {

// Initialises libcurl once per process (thread-safe) and returns the process's share handle.
// Both live until the process ends.
CURLSH* curl_shared_state();

} // namespace yejian::web
