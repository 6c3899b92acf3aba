#pragma once
// What the script engine answered, and the one set of rules by which the program reads an
// answer as a text, a number or a truth value. A failed call (syntax or run-time error, no
// engine) reads as the empty text, 0 and false.

#include <string>

namespace yejian::text {

class ScriptValue {
public:
    enum class Kind { failed, undefined, null, boolean, number, string, object };

    ScriptValue() = default; // a failed call
    static ScriptValue undefined() { return ScriptValue(Kind::undefined); }
    static ScriptValue null() { return ScriptValue(Kind::null); }
    static ScriptValue boolean(bool value);
    static ScriptValue number(double value);
    static ScriptValue string(std::string utf8);
    // An object, function or other non-primitive, with the text the engine makes of it (an
    // object whose string conversion failed has none).
    static ScriptValue object(std::string text_form);
    static ScriptValue object_without_text() { return ScriptValue(Kind::object); }

    Kind kind() const { return kind_; }

    // A string is itself (up to its first zero character: text reaches the program as local
    // text); a whole number below 1e21 gives its decimal digits, another number its shortest
    // exact form; a truth value "true" or "false"; an object the engine's text of it; undefined,
    // null and failures the empty text.
    std::string as_text() const;
    // A number is itself (NaN gives 0); true is 1; a string holding a decimal number gives it;
    // everything else gives 0.
    double as_number() const;
    // JavaScript's truth: false, 0, NaN, the empty string, undefined, null and failures are false.
    bool as_truth() const;

private:
    explicit ScriptValue(Kind kind) : kind_(kind) {}

    Kind kind_ = Kind::failed;
    bool boolean_ = false;
    double number_ = 0;
    std::string text_;
};

} // namespace yejian::text
