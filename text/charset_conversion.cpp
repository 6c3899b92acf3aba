#include "text/charset_conversion.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace yejian::text {
namespace {

constexpr const char* utf16_host_order =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

constexpr char16_t replacement_character = 0xFFFD;

// iconv takes switches such as "//TRANSLIT" or "//IGNORE" inside the name; they would change
// the substitution rules above, so a name with "/" (or a zero byte, or absurd length) is not a
// charset here.
bool acceptable_name(std::string_view charset)
{
    return !charset.empty() && charset.size() < 64 && charset.find('/') == std::string_view::npos &&
           charset.find('\0') == std::string_view::npos;
}

class IconvHandle {
public:
    IconvHandle(std::string_view to, std::string_view from)
    {
        if (acceptable_name(to) && acceptable_name(from))
            handle_ = iconv_open(std::string(to).c_str(), std::string(from).c_str());
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return handle_ != invalid(); }

    // Converts as much of [in, in + in_left) as it can, appending the output to `out`; returns
    // 0 when everything converted, otherwise the errno that stopped it (EILSEQ or EINVAL) with
    // `in`/`in_left` at the offending input.
    int convert(const char*& in, std::size_t& in_left, std::string& out)
    {
        char chunk[4096];
        for (;;) {
            char* out_pos = chunk;
            std::size_t out_left = sizeof chunk;
            // glibc declares the input pointer non-const but never writes through it.
            char* in_pos = const_cast<char*>(in);
            std::size_t result = iconv(handle_, in ? &in_pos : nullptr, &in_left, &out_pos, &out_left);
            int error = result == static_cast<std::size_t>(-1) ? errno : 0;
            if (in)
                in = in_pos;
            out.append(chunk, static_cast<std::size_t>(out_pos - chunk));
            if (error != E2BIG)
                return error;
        }
    }

    // Ends the output (stateful encodings return to their initial shift state).
    void finish(std::string& out)
    {
        const char* none = nullptr;
        std::size_t zero = 0;
        convert(none, zero, out);
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t handle_ = invalid();
};

std::u16string to_units(const std::string& bytes)
{
    std::u16string units(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * sizeof(char16_t));
    return units;
}

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Writes one substitute through `converter`, keeping its shift state: U+FFFD when the target
// holds it, otherwise "?".
void append_substitute(IconvHandle& converter, std::string& out)
{
    for (char16_t candidate : {replacement_character, u'?'}) {
        const char* in = reinterpret_cast<const char*>(&candidate);
        std::size_t in_left = sizeof candidate;
        std::string encoded;
        if (converter.convert(in, in_left, encoded) == 0) {
            out += encoded;
            return;
        }
    }
}

} // namespace

bool is_known_charset(std::string_view charset)
{
    return IconvHandle(utf16_host_order, charset).valid() && IconvHandle(charset, utf16_host_order).valid();
}

std::optional<std::u16string> decode_charset(std::string_view bytes, std::string_view charset)
{
    IconvHandle converter(utf16_host_order, charset);
    if (!converter.valid())
        return std::nullopt;
    std::string out;
    const char* in = bytes.data();
    std::size_t in_left = bytes.size();
    const std::string replacement(reinterpret_cast<const char*>(&replacement_character),
                                  sizeof replacement_character);
    while (in_left > 0) {
        int error = converter.convert(in, in_left, out);
        if (error == 0)
            break;
        out += replacement;
        if (error == EILSEQ) {
            ++in;
            --in_left;
        } else {
            // An incomplete sequence at the end (EINVAL), or anything unexpected: one
            // replacement for the rest.
            in_left = 0;
        }
    }
    converter.finish(out);
    return to_units(out);
}

std::optional<std::string> encode_charset(std::u16string_view characters, std::string_view charset)
{
    IconvHandle converter(charset, utf16_host_order);
    if (!converter.valid())
        return std::nullopt;
    std::string out;
    const char* begin = reinterpret_cast<const char*>(characters.data());
    const char* in = begin;
    std::size_t in_left = characters.size() * sizeof(char16_t);
    while (in_left > 0) {
        int error = converter.convert(in, in_left, out);
        if (error == 0)
            break;
        append_substitute(converter, out);
        // Skip the character that did not convert: a surrogate pair as one, anything else
        // (a lone surrogate included) as one unit.
        std::size_t unit = static_cast<std::size_t>(in - begin) / sizeof(char16_t);
        std::size_t skip = 1;
        if (unit + 1 < characters.size() && is_high_surrogate(characters[unit]) &&
            is_low_surrogate(characters[unit + 1]))
            skip = 2;
        if (error != EILSEQ)
            skip = characters.size() - unit;
        in += skip * sizeof(char16_t);
        in_left -= skip * sizeof(char16_t);
    }
    converter.finish(out);
    return out;
}

} // namespace yejian::text
