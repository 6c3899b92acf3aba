#pragma once
// JSON in and out of the stand-in. Every text that reaches a JSON document may come from a
// client and need not be valid UTF-8, so dumping replaces bad sequences instead of throwing.

#include <nlohmann/json.hpp>

#include <string>

namespace yejian::standin {

using Json = nlohmann::ordered_json;

inline std::string json_text(const Json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Reads a whole UTF-8 JSON file; throws std::runtime_error naming the file on any failure.
Json read_json_file(const std::string& path);

} // namespace yejian::standin
