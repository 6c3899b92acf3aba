#include "text/url_encoding.h"

#include "text/code_pages.h"
#include "text/text_helpers.h"

namespace yejian::text {
namespace {

bool is_kept(unsigned char byte)
{
    return byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z');
}

} // namespace

std::string url_encode(std::string_view text, bool keep_unreserved, bool as_utf8)
{
    text = text_before_zero(text);
    if (text.empty())
        return {};
    const std::string bytes = as_utf8 ? ansi_to_utf8(text) : std::string(text);
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (keep_unreserved && is_kept(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0x0F];
        }
    }
    return encoded;
}

} // namespace yejian::text
