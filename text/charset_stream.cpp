#include "text/charset_stream.h"

#include "text/charset_conversion.h"
#include "text/text_helpers.h"

namespace yejian::text {

bool CharsetStream::Type(StreamType type)
{
    check_thread();
    if (open_ && position_ != 0)
        return false;
    type_ = type;
    return true;
}

bool CharsetStream::Open()
{
    check_thread();
    if (open_)
        return false;
    open_ = true;
    content_.clear();
    position_ = 0;
    return true;
}

bool CharsetStream::Close()
{
    check_thread();
    if (!open_)
        return false;
    open_ = false;
    content_.clear();
    position_ = 0;
    return true;
}

bool CharsetStream::Write(std::string_view bytes)
{
    check_thread();
    if (!open_ || type_ != StreamType::binary)
        return false;
    put(bytes);
    return true;
}

bool CharsetStream::Position(long position)
{
    check_thread();
    if (!open_ || position < 0)
        return false;
    position_ = static_cast<std::size_t>(position);
    return true;
}

bool CharsetStream::Charset(std::string_view charset)
{
    check_thread();
    if (open_ && position_ != 0)
        return false;
    charset_ = std::string(charset);
    charset_known_ = is_known_charset(charset);
    return charset_known_;
}

std::string CharsetStream::ReadText()
{
    check_thread();
    if (!open_ || type_ != StreamType::text || !charset_known_)
        return {};
    auto characters = decode_charset(take_rest(), charset_);
    if (!characters)
        return {};
    // Local text ends at its first zero character.
    characters->resize(std::min(characters->size(), characters->find(u'\0')));
    return encode_charset(*characters, local_charset).value_or(std::string());
}

bool CharsetStream::WriteText(std::string_view local_text)
{
    check_thread();
    if (!open_ || type_ != StreamType::text || !charset_known_)
        return false;
    local_text = text_before_zero(local_text);
    auto characters = decode_charset(local_text, local_charset);
    if (!characters)
        return false;
    auto bytes = encode_charset(*characters, charset_);
    if (!bytes)
        return false;
    put(*bytes);
    return true;
}

std::string CharsetStream::Read()
{
    check_thread();
    if (!open_ || type_ != StreamType::binary)
        return {};
    return take_rest();
}

void CharsetStream::put(std::string_view bytes)
{
    if (position_ > content_.size())
        content_.resize(position_, '\0');
    content_.replace(position_, std::min(bytes.size(), content_.size() - position_), bytes);
    position_ += bytes.size();
}

std::string CharsetStream::take_rest()
{
    std::string rest = position_ < content_.size() ? content_.substr(position_) : std::string();
    position_ = std::max(position_, content_.size());
    return rest;
}

} // namespace yejian::text
