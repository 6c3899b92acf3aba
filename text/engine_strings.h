#pragma once
// Strings between the program (UTF-8) and the script engine, which keeps strings as CESU-8:
// a character beyond U+FFFF is held as its two UTF-16 surrogates, each written like a
// three-byte UTF-8 sequence, so the scripts see the string lengths and indexes JavaScript
// defines.

#include <string>
#include <string_view>

namespace yejian::text {

// UTF-8 as the engine's CESU-8; bytes that do not form valid UTF-8 become U+FFFD.
std::string utf8_to_engine(std::string_view utf8);

// An engine string as UTF-8: surrogate pairs become one four-byte sequence; lone surrogates
// and bytes that form no character become U+FFFD.
std::string engine_to_utf8(std::string_view engine_text);

} // namespace yejian::text
