// JsonObject::parse on a fuzzed answer, then the reads the program makes of a sign-in page's
// user data, an upload answer and a pin answer. One object serves every input, as one serves
// a whole batch. Parsing never runs the answer: a global or a prototype member that only code
// could make stays absent. Counts are -2 or more and every text read is valid UTF-8.

#include "tests/fuzz/fuzz_check.h"
#include "text/json_object.h"

using namespace yejian;

namespace {

// Paths the document itself cannot reach once it is reset to an empty object: a global of the
// engine (through a link to the global object that the harness keeps on Object) and a member
// every object inherits. Only code in an answer could create them.
constexpr std::string_view global_link = "constructor.yejian_global";
constexpr std::string_view global_probe = "constructor.yejian_global.yejian_probe";
constexpr std::string_view inherited_probe = "constructor.prototype.yejian_probe";

text::JsonObject& json()
{
    static text::JsonObject object = [] {
        text::JsonObject made;
        made.init();
        made.set_raw(global_link, "this");
        // The probes must see what code would do, or checking them proves nothing.
        made.set_raw(global_probe, "1");
        made.set_raw(inherited_probe, "1");
        FUZZ_CHECK(made.get_text(global_probe) == "1" && made.has_member("yejian_probe"));
        made.remove(global_probe);
        made.remove(inherited_probe);
        FUZZ_CHECK(made.get_text(global_probe).empty() && !made.has_member("yejian_probe"));
        return made;
    }();
    return object;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    text::JsonObject& object = json();
    object.parse(fuzz::as_text(data, size));

    FUZZ_CHECK(fuzz::is_valid_utf8(object.get_text("user.urlname")));
    FUZZ_CHECK(object.member_count("boards") >= -2);
    (void)object.get_number("boards[0].board_id");
    FUZZ_CHECK(fuzz::is_valid_utf8(object.get_text("boards[0].title")));
    (void)object.get_number("id");
    FUZZ_CHECK(fuzz::is_valid_utf8(object.get_text("pin.pin_id")));

    object.reset(text::JsonObject::reset_to_object);
    FUZZ_CHECK(object.get_text(global_probe).empty());
    FUZZ_CHECK(!object.has_member("yejian_probe"));
    return 0;
}
