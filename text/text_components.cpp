#include "text/text_components.h"

#include "platform/components.h"
#include "text/charset_stream.h"
#include "text/script_engine.h"

#include <memory>
#include <mutex>

namespace yejian::text {

void register_text_components()
{
    static std::once_flag once;
    std::call_once(once, [] {
        platform::register_component(stream_prog_id, [] { return std::make_shared<CharsetStream>(); });
        platform::register_component(script_engine_prog_id, [] { return std::make_shared<ScriptEngine>(); });
    });
}

} // namespace yejian::text
