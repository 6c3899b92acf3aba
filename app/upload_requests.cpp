#include "app/upload_requests.h"

#include "app/service_constants.h"
#include "text/url_encoding.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

namespace yejian::app {
namespace {

constexpr std::string_view delimiter = "-----------------------------7e02275259081e";
constexpr std::string_view boundary = "---------------------------7e02275259081e";

// '"', CR and LF would end the quoted file name or the part's header early.
std::string escape_file_name(std::string_view name8)
{
    std::string escaped;
    escaped.reserve(name8.size());
    for (char c : name8) {
        switch (c) {
        case '"': escaped += "%22"; break;
        case '\r': escaped += "%0D"; break;
        case '\n': escaped += "%0A"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string encoded_form_value(std::string_view text) { return text::url_encode(text, /*keep_unreserved=*/true); }

} // namespace

std::string service_origin() { return std::string("http://") + service::host; }

std::string upload_header_block(std::int64_t board_id)
{
    return "Accept: application/json\r\n"
           "X-Requested-With: XMLHttpRequest\r\n"
           "Content-Type: multipart/form-data; boundary=" + std::string(boundary) + "\r\n"
           "Referer: " + service_origin() + "/boards/" + std::to_string(board_id) + "/";
}

std::string edit_header_block(std::string_view pin_id)
{
    return "X-Request: JSON\r\n"
           "X-Requested-With: XMLHttpRequest\r\n"
           "Accept: application/json\r\n"
           "Content-Type: application/x-www-form-urlencoded; charset=utf-8\r\n"
           "Referer: " + service_origin() + "/pins/" + std::string(pin_id) + "/edit/";
}

std::string multipart_head(std::string_view name8)
{
    return std::string(delimiter) + "\r\n"
           "Content-Disposition: form-data; name=\"file\"; filename=\"" + escape_file_name(name8) + "\"\r\n"
           "Content-Type: image/jpeg\r\n"
           "\r\n";
}

std::string_view multipart_tail()
{
    static const std::string tail = "\r\n" + std::string(delimiter) + "--\r\n";
    return tail;
}

std::string multipart_body(std::string_view name8, std::string_view file_bytes)
{
    std::string body = multipart_head(name8);
    body.reserve(body.size() + file_bytes.size() + multipart_tail().size());
    body += file_bytes;
    body += multipart_tail();
    return body;
}

std::optional<std::string> multipart_body_from_file(std::string_view name8, const std::filesystem::path& file,
                                                    std::optional<std::uint64_t> memory_limit)
{
    // Only a regular file: opening a named pipe would wait for a writer that may never come,
    // and a device has no end.
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    const auto size = std::filesystem::file_size(file, error);
    std::ifstream in(file, std::ios::binary);
    if (error || !in.is_open())
        return std::nullopt;
    std::string body = multipart_head(name8);
    const std::size_t head_size = body.size();
    if (memory_limit && size > *memory_limit - std::min<std::uint64_t>(*memory_limit, head_size + multipart_tail().size()))
        return std::nullopt;
    try {
        // Room for the tail too, so appending it never moves the file bytes again.
        body.reserve(head_size + size + multipart_tail().size());
        body.resize(head_size + size);
    } catch (const std::exception&) { // bad_alloc, or a size beyond what a string can hold
        return std::nullopt;
    }
    in.read(body.data() + head_size, std::streamsize(size));
    // A file that shrank while it was read, or a read error, leaves the bytes incomplete.
    if (std::size_t(in.gcount()) != size)
        return std::nullopt;
    body += multipart_tail();
    return body;
}

std::string pin_form(std::int64_t board_id, std::string_view name8, std::int64_t file_id)
{
    return "board_id=" + std::to_string(board_id) + "&text=" + encoded_form_value(name8) + "&check=true&file_id=" +
           std::to_string(file_id) + "&via=1&share_button=0";
}

std::string edit_form(std::int64_t board_id, std::string_view name8, std::string_view source_link)
{
    return "board_id=" + std::to_string(board_id) + "&text=" + encoded_form_value(name8) +
           "&link=" + encoded_form_value(source_link) + "&";
}

bool is_plain_token(std::string_view text)
{
    if (text.empty())
        return false;
    for (unsigned char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!plain)
            return false;
    }
    return true;
}

std::int64_t whole_number_toward_zero(double number)
{
    if (!std::isfinite(number))
        return 0;
    const double whole = std::trunc(number);
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (whole >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (whole < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(whole);
}

std::int32_t integer_value_of_text(std::string_view text)
{
    // Fold full-width forms (U+FF01..U+FF5E, UTF-8 EF BC 81 .. EF BD 9E) and U+3000 to ASCII.
    std::string folded;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && b(0) == 0xE3 && b(1) == 0x80 && b(2) == 0x80) {
            folded += ' ';
            i += 3;
        } else if (i + 2 < text.size() && b(0) == 0xEF && (b(1) == 0xBC || b(1) == 0xBD) && b(2) >= 0x80 && b(2) <= 0xBF) {
            const unsigned code = 0xFF00 + ((b(1) - 0xBC) << 6) + (b(2) - 0x80);
            if (code >= 0xFF01 && code <= 0xFF5E) {
                folded += char(code - 0xFF01 + 0x21);
                i += 3;
                continue;
            }
            folded += text[i++];
        } else {
            folded += text[i++];
        }
    }
    std::size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= '\t' && folded[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-'))
        negative = folded[i++] == '-';
    std::int64_t value = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        value = value * 10 + (folded[i] - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            value = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1; // held, digits read on
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max())
        value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

} // namespace yejian::app
