#include "text/script_engine.h"

#include "text/engine_strings.h"
#include "text/text_helpers.h"

#include <duktape.h>

#include <new>
#include <string>

namespace yejian::text {
namespace {

// Everything that can throw inside the engine runs in a protected call; these callbacks only
// use the engine's own API (no C++ allocation), so nothing but engine errors crosses them.

struct SourceText {
    const std::string* text;
};

duk_ret_t run_program(duk_context* context, void* data)
{
    const auto* source = static_cast<SourceText*>(data)->text;
    duk_compile_lstring(context, 0, source->data(), source->size());
    duk_call(context, 0);
    return 1;
}

duk_ret_t evaluate(duk_context* context, void* data)
{
    const auto* source = static_cast<SourceText*>(data)->text;
    duk_eval_lstring(context, source->data(), source->size());
    return 1;
}

duk_ret_t convert_to_string(duk_context* context, void*)
{
    duk_to_string(context, -1);
    return 1;
}

struct JsonAssignment {
    const std::string* name;
    const std::string* json_text;
};

duk_ret_t decode_into_global(duk_context* context, void* data)
{
    const auto* assignment = static_cast<JsonAssignment*>(data);
    duk_push_lstring(context, assignment->json_text->data(), assignment->json_text->size());
    duk_json_decode(context, -1);
    duk_put_global_lstring(context, assignment->name->data(), assignment->name->size());
    return 0;
}

// The engine's copy of a text handed over as local text: up to its first zero character.
std::string engine_text(std::string_view local_text)
{
    return utf8_to_engine(text_before_zero(local_text));
}

bool is_javascript(std::string_view language)
{
    return equals_ignoring_case(language, "JavaScript") || equals_ignoring_case(language, "JScript");
}

} // namespace

ScriptEngine::ScriptEngine() : context_(duk_create_heap_default())
{
    if (!context_)
        throw std::bad_alloc();
}

ScriptEngine::~ScriptEngine() { duk_destroy_heap(context_); }

bool ScriptEngine::Language(std::string_view language)
{
    check_thread();
    if (!is_javascript(language))
        return false;
    language_chosen_ = true;
    return true;
}

bool ScriptEngine::AddCode(std::string_view code)
{
    check_thread();
    if (!language_chosen_)
        return false;
    const std::string source = engine_text(code);
    SourceText data{&source};
    const bool ran = duk_safe_call(context_, run_program, &data, 0, 1) == DUK_EXEC_SUCCESS;
    duk_pop(context_);
    return ran;
}

ScriptValue ScriptEngine::Eval(std::string_view code)
{
    check_thread();
    if (!language_chosen_)
        return {};
    const std::string source = engine_text(code);
    SourceText data{&source};
    if (duk_safe_call(context_, evaluate, &data, 0, 1) != DUK_EXEC_SUCCESS) {
        duk_pop(context_);
        return {};
    }
    return take_result();
}

bool ScriptEngine::AssignJson(std::string_view name, std::string_view json_text)
{
    check_thread();
    const std::string engine_name = engine_text(name);
    const std::string engine_json = engine_text(json_text);
    JsonAssignment data{&engine_name, &engine_json};
    const bool assigned = duk_safe_call(context_, decode_into_global, &data, 0, 1) == DUK_EXEC_SUCCESS;
    duk_pop(context_);
    return assigned;
}

// Reads the value on top of the stack into a ScriptValue and pops it.
ScriptValue ScriptEngine::take_result()
{
    ScriptValue value;
    switch (duk_get_type(context_, -1)) {
    case DUK_TYPE_UNDEFINED:
        value = ScriptValue::undefined();
        break;
    case DUK_TYPE_NULL:
        value = ScriptValue::null();
        break;
    case DUK_TYPE_BOOLEAN:
        value = ScriptValue::boolean(duk_get_boolean(context_, -1));
        break;
    case DUK_TYPE_NUMBER:
        value = ScriptValue::number(duk_get_number(context_, -1));
        break;
    case DUK_TYPE_STRING:
        if (duk_is_symbol(context_, -1)) {
            value = ScriptValue::object_without_text();
        } else {
            duk_size_t length = 0;
            const char* bytes = duk_get_lstring(context_, -1, &length);
            value = ScriptValue::string(engine_to_utf8(std::string_view(bytes, length)));
        }
        break;
    default:
        // Objects, functions, buffers: the engine's own string conversion, which may run
        // script (a toString member) and may fail.
        if (duk_safe_call(context_, convert_to_string, nullptr, 1, 1) == DUK_EXEC_SUCCESS) {
            duk_size_t length = 0;
            const char* bytes = duk_get_lstring(context_, -1, &length);
            value = ScriptValue::object(engine_to_utf8(std::string_view(bytes, length)));
        } else {
            value = ScriptValue::object_without_text();
        }
        break;
    }
    duk_pop(context_);
    return value;
}

} // namespace yejian::text
