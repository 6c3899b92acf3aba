#include "text/code_pages.h"

#include "platform/components.h"
#include "text/charset_conversion.h"
#include "text/charset_stream.h"
#include "text/text_components.h"
#include "text/text_helpers.h"

namespace yejian::text {
namespace {

constexpr std::string_view default_source_charset = "UTF-8";

// iconv knows the Windows code pages as "CP" + number (CP936 is GBK with the euro sign at 0x80).
std::string charset_of_code_page(int code_page)
{
    if (code_page == code_page_utf8)
        return "UTF-8";
    return "CP" + std::to_string(code_page);
}

std::u16string_view up_to_zero(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

} // namespace

std::string convert_code_page(std::string_view bytes, std::string_view from_charset,
                              std::string_view to_charset, std::optional<long> start_position)
{
    if (from_charset.empty())
        from_charset = default_source_charset;
    if (to_charset.empty())
        to_charset = local_charset;
    register_text_components();
    platform::ComponentScope components;
    auto stream = platform::create_component_as<CharsetStream>(stream_prog_id);
    if (!stream)
        return {};
    // A step the stream refuses yields nothing and the sequence goes on: an unknown charset
    // leaves the text empty, and so the result.
    stream->Type(StreamType::binary);
    stream->Open();
    stream->Write(bytes);
    stream->Position(0);
    stream->Type(StreamType::text);
    stream->Charset(from_charset);
    const std::string local_text = stream->ReadText();
    stream->Close();
    stream->Open();
    stream->Charset(to_charset);
    stream->WriteText(local_text);
    stream->Position(0);
    stream->Type(StreamType::binary);
    if (start_position)
        stream->Position(*start_position);
    return stream->Read();
}

std::u16string multibyte_to_utf16(std::string_view text, int code_page)
{
    return decode_charset(text_before_zero(text), charset_of_code_page(code_page)).value_or(std::u16string());
}

std::string utf16_to_multibyte(std::u16string_view text, int code_page)
{
    return encode_charset(up_to_zero(text), charset_of_code_page(code_page)).value_or(std::string());
}

std::string ansi_to_utf8(std::string_view text, int code_page)
{
    return utf16_to_multibyte(multibyte_to_utf16(text, code_page), code_page_utf8);
}

} // namespace yejian::text
