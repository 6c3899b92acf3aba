// multipart_body on a fuzzed file name and file bytes. The body is always 180 bytes besides
// the escaped name and the file, and an independent reader finds in it one part whose file
// name is the escaped name (no '"', CR or LF) and whose content is exactly the file's bytes.

#include "app/upload_requests.h"
#include "tests/fuzz/fuzz_check.h"

using namespace yejian;

namespace {

constexpr std::size_t framing_size = 180;

std::string escaped(std::string_view name)
{
    std::string result;
    for (char c : name) {
        if (c == '"')
            result += "%22";
        else if (c == '\r')
            result += "%0D";
        else if (c == '\n')
            result += "%0A";
        else
            result += c;
    }
    return result;
}

struct FilePart {
    std::string file_name;
    std::string_view content;
};

// Reads a body of one part: a delimiter line, header lines up to an empty line, the content,
// then CR LF, the delimiter and "--" CR LF at the very end. Traps when the body has another shape.
FilePart read_single_part(std::string_view body)
{
    const std::size_t line_end = body.find("\r\n");
    FUZZ_CHECK(line_end != std::string_view::npos);
    const std::string_view delimiter = body.substr(0, line_end);
    FUZZ_CHECK(delimiter.starts_with("--") && delimiter.size() > 2);
    const std::size_t headers_begin = line_end + 2;
    const std::size_t headers_end = body.find("\r\n\r\n", headers_begin);
    FUZZ_CHECK(headers_end != std::string_view::npos);
    const std::string_view headers = body.substr(headers_begin, headers_end - headers_begin);

    const std::string closing = "\r\n" + std::string(delimiter) + "--\r\n";
    const std::size_t content_begin = headers_end + 4;
    FUZZ_CHECK(body.size() >= content_begin + closing.size() && body.ends_with(closing));

    // Two header lines: the disposition with the quoted file name, then the content type.
    const std::size_t first_line_end = headers.find("\r\n");
    FUZZ_CHECK(first_line_end != std::string_view::npos);
    const std::string_view disposition = headers.substr(0, first_line_end);
    const std::string_view content_type = headers.substr(first_line_end + 2);
    FUZZ_CHECK(content_type == "Content-Type: image/jpeg");
    constexpr std::string_view disposition_start = "Content-Disposition: form-data; name=\"file\"; filename=\"";
    FUZZ_CHECK(disposition.starts_with(disposition_start) && disposition.ends_with('"'));
    const std::string_view file_name =
        disposition.substr(disposition_start.size(), disposition.size() - disposition_start.size() - 1);
    FUZZ_CHECK(file_name.find_first_of("\"\r\n") == std::string_view::npos);

    return {std::string(file_name), body.substr(content_begin, body.size() - closing.size() - content_begin)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parts = fuzz::split_input(fuzz::as_text(data, size), 2);
    const std::string_view name = parts[0], file = parts[1];
    const std::string body = app::multipart_body(name, file);
    const std::string escaped_name = escaped(name);

    FUZZ_CHECK(body.size() == framing_size + escaped_name.size() + file.size());
    const FilePart part = read_single_part(body);
    FUZZ_CHECK(part.file_name == escaped_name);
    FUZZ_CHECK(part.content == file);
    return 0;
}
