#pragma once
// The support script every JSON object loads into its engine: the member counter get__count,
// JSON.stringify/JSON.parse where the engine lacks them, toJSON members where Date lacks one,
// and toJSONString/parseJSON on every object. Its text is json_support.js, built in.

#include <string_view>

namespace yejian::text {

std::string_view json_support_script();

} // namespace yejian::text
