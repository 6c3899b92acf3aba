#pragma once

namespace yejian::web {

// Registers the components of the web library: the request object (under the first of the
// request ProgIDs, on libcurl, configured from the environment when it is created) and the
// process-wide cookie store. Idempotent and thread-safe; the library's own entry points call
// it before they create anything.
void register_web_components();

} // namespace yejian::web
