#pragma once
// The stream component ("Adodb.Stream"): a byte buffer with a read/write position that can be
// read and written either as bytes or as text in a named charset. Text crosses its interface as
// local text, which ends at its first zero character, the way the platform hands text over.
//
// Every member does nothing and reports false (or gives the empty text/bytes) when the stream
// refuses it in its present state; callers may go on regardless, as with the platform's stream.

#include "platform/components.h"

#include <string>
#include <string_view>

namespace yejian::text {

inline constexpr const char* stream_prog_id = "Adodb.Stream";

enum class StreamType { binary = 1, text = 2 };

class CharsetStream : public platform::Component {
public:
    // The kind of access; changes only while the stream is closed or at position 0.
    bool Type(StreamType type);
    // Opens an empty stream at position 0; refused when already open.
    bool Open();
    // Drops the content; the type and charset stay.
    bool Close();
    // Writes `bytes` at the position (binary streams), extending the stream as needed.
    bool Write(std::string_view bytes);
    // Moves the position, in bytes; it may lie past the end, where reading gives nothing.
    bool Position(long position);
    // The charset of text reads and writes; only at position 0. A charset the converter does
    // not know is kept but refused, and text reads and writes fail until another is set.
    bool Charset(std::string_view charset);
    // The text from the position to the end as local text; the position moves to the end.
    std::string ReadText();
    // Writes `local_text` (up to its first zero byte) in the stream's charset at the position.
    bool WriteText(std::string_view local_text);
    // The bytes from the position to the end (binary streams); the position moves to the end.
    std::string Read();

private:
    void put(std::string_view bytes);
    std::string take_rest();

    StreamType type_ = StreamType::text;
    std::string charset_ = "UTF-16LE";
    bool charset_known_ = true;
    bool open_ = false;
    std::string content_;
    std::size_t position_ = 0;
};

} // namespace yejian::text
