#pragma once
// The texts and bodies of the three requests that turn one file into a pin: the multipart
// upload, the pin creation form and the pin edit form, with their header blocks. Pure
// functions, so every byte that goes on the wire can be checked without a server.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace yejian::app {

// The service's origin for every request after the sign-in: "http://" + host.
std::string service_origin();

// The four header lines of the upload, naming the row's board in its Referer.
std::string upload_header_block(std::int64_t board_id);

// The five header lines of the pin edit, naming the pin in its Referer.
std::string edit_header_block(std::string_view pin_id);

// Bytes of the multipart body around the file: the first part ends right before the file
// bytes, the second follows them. `name8` is the description in UTF-8; '"', CR and LF in it are
// written as %22, %0D and %0A, as browsers write form-data file names, so no name can break
// the body.
std::string multipart_head(std::string_view name8);
std::string_view multipart_tail();

// The whole multipart body for `name8` and the file's bytes (180 bytes besides the two).
std::string multipart_body(std::string_view name8, std::string_view file_bytes);

// The whole multipart body with the file read straight into it, so a large file is held once.
// None when the path is empty or the file cannot be read whole (gone, a folder, unreadable,
// shrinking while read, or too large for memory): sending an empty file part instead could
// make a pin without its picture. A file that is readable and empty gives an empty part.
// A body larger than `memory_limit` bytes is refused too: on a system that promises memory it
// does not have, a file larger than what is free would end the program instead.
std::optional<std::string> multipart_body_from_file(std::string_view name8, const std::filesystem::path& file,
                                                    std::optional<std::uint64_t> memory_limit = std::nullopt);

std::string pin_form(std::int64_t board_id, std::string_view name8, std::int64_t file_id);
std::string edit_form(std::int64_t board_id, std::string_view name8, std::string_view source_link);

// A pin id that may stand in an address and a header line: ASCII letters, digits, "-" and "_".
bool is_plain_token(std::string_view text);

// The file id read from an upload answer's number: truncated toward zero; 0 for what is not a
// finite number, and held to the 64-bit range.
std::int64_t whole_number_toward_zero(double number);

// The integer value of the pause box's text: full-width ASCII forms and the ideographic space
// count as their ASCII forms, leading white space is skipped, an optional sign is taken, and
// decimal digits are read up to the first other character; no digit gives 0. Held to the
// 32-bit range.
std::int32_t integer_value_of_text(std::string_view text);

} // namespace yejian::app
