#include "text/json_support.h"

#include "text/json_support_script.h" // generated from json_support.js

namespace yejian::text {

std::string_view json_support_script()
{
    return {embedded::json_support_script, sizeof embedded::json_support_script};
}

} // namespace yejian::text
