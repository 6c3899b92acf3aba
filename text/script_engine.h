#pragma once
// The script engine component ("MSScriptControl.ScriptControl"): a JavaScript engine
// (Duktape) with a heap of its own per instance and no I/O of its own. Code runs at global
// scope. Texts cross as local texts: each ends at its first zero character.

#include "platform/components.h"
#include "text/script_value.h"

#include <string_view>

struct duk_hthread;

namespace yejian::text {

inline constexpr const char* script_engine_prog_id = "MSScriptControl.ScriptControl";

class ScriptEngine : public platform::Component {
public:
    ScriptEngine(); // throws std::bad_alloc when no heap can be made
    ~ScriptEngine() override;

    // Chooses the language: "JavaScript" (or "JScript"), letters in any case. Until it is
    // chosen, AddCode and Eval fail.
    bool Language(std::string_view language);
    // Compiles `code` as a program at global scope and runs it; false when it does not compile
    // or throws.
    bool AddCode(std::string_view code);
    // Evaluates `code` (statements included) at global scope; the value of what it evaluated
    // last, or a failed value.
    ScriptValue Eval(std::string_view code);
    // Sets the global `name` to the value the engine's strict JSON parser makes of `json_text`.
    // The text is data: it is never compiled or run, whatever it holds. False, with the global
    // unchanged, when the text is not JSON.
    bool AssignJson(std::string_view name, std::string_view json_text);

private:
    ScriptValue take_result();

    duk_hthread* context_ = nullptr;
    bool language_chosen_ = false;
};

} // namespace yejian::text
