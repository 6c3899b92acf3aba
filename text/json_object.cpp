#include "text/json_object.h"

#include "platform/components.h"
#include "text/json_support.h"
#include "text/script_engine.h"
#include "text/text_components.h"
#include "text/text_helpers.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace yejian::text {
namespace {

// "%.13g" without the C library, whose decimal point follows the process locale.
std::string number_literal(double number)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 13);
    return std::string(buffer, result.ptr);
}

int truncated_count(double count)
{
    if (!(std::fabs(count) < std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(count);
}

} // namespace

// The thread's component initialisation count stays balanced because every object that holds
// an engine holds exactly one initialisation of its own: `init` takes one (once, however often
// it is called), `copy` takes one for the new object on the same thread, and `destroy` (or the
// destructor) gives back exactly the one its object holds. `get_object` therefore ends holding
// one: its temporary object's initialisation goes with the temporary, the copy keeps its own.

JsonObject::JsonObject(std::string variable_name) : variable_name_(std::move(variable_name)) {}

JsonObject::~JsonObject() { destroy(); }

JsonObject::JsonObject(JsonObject&& other) noexcept
    : engine_(std::move(other.engine_)),
      variable_name_(std::move(other.variable_name_)),
      holds_initialisation_(std::exchange(other.holds_initialisation_, false)),
      thread_(other.thread_)
{
}

JsonObject& JsonObject::operator=(JsonObject&& other) noexcept
{
    if (this != &other) {
        destroy();
        engine_ = std::move(other.engine_);
        variable_name_ = std::move(other.variable_name_);
        holds_initialisation_ = std::exchange(other.holds_initialisation_, false);
        thread_ = other.thread_;
    }
    return *this;
}

void JsonObject::take_thread_initialisation()
{
    if (holds_initialisation_)
        return;
    platform::initialize_components_on_thread();
    holds_initialisation_ = true;
    thread_ = std::this_thread::get_id();
}

void JsonObject::destroy()
{
    engine_.reset();
    if (holds_initialisation_) {
        assert(thread_ == std::this_thread::get_id() && "a JSON object ends on the thread that made it");
        platform::uninitialize_components_on_thread();
        holds_initialisation_ = false;
    }
    variable_name_.clear();
}

JsonObject JsonObject::copy() const
{
    JsonObject twin(variable_name_);
    if (holds_initialisation_)
        twin.take_thread_initialisation();
    twin.engine_ = engine_;
    return twin;
}

void JsonObject::init()
{
    take_thread_initialisation();
    register_text_components();
    engine_ = platform::create_component_as<ScriptEngine>(script_engine_prog_id);
    if (!engine_)
        return;
    engine_->Language("JavaScript");
    engine_->AddCode(json_support_script());
    eval("var " + variable_name_ + "={}");
}

bool JsonObject::parse(std::string_view text)
{
    eval("var " + variable_name_ + "=null");
    // The answer is data: the engine's JSON parser reads it and nothing in it runs.
    if (engine_)
        engine_->AssignJson(variable_name_, text);
    return eval("null !=" + variable_name_).as_truth();
}

std::string JsonObject::to_json() { return eval("JSON.stringify(" + variable_name_ + ")").as_text(); }

void JsonObject::clear() { eval(variable_name_ + "={}"); }

void JsonObject::set_text(std::string_view path, std::string_view value, bool as_json)
{
    if (as_json)
        eval(member(path) + "= eval(" + std::string(value.empty() ? "{}" : value) + ")");
    else
        eval(member(path) + "='" + std::string(value) + "'");
}

void JsonObject::set_raw(std::string_view path, std::string_view value)
{
    eval(member(path) + "=" + std::string(value));
}

void JsonObject::set_number(std::string_view path, double number)
{
    eval(member(path) + "=" + number_literal(number));
}

double JsonObject::get_number(std::string_view path) { return eval(member_path(path)).as_number(); }

std::string JsonObject::get_json(std::string_view path)
{
    return eval("JSON.stringify(" + member(path) + ")").as_text();
}

std::string JsonObject::get_text(std::string_view path, bool as_json)
{
    if (as_json)
        return eval("JSON.stringify(" + member_path(path) + ")").as_text();
    return eval(member_path(path)).as_text();
}

JsonObject JsonObject::get_object(std::string_view path)
{
    JsonObject temporary;
    temporary.init();
    temporary.parse(eval("JSON.stringify(" + member_path(path) + ")").as_text());
    JsonObject result = temporary.copy();
    temporary.destroy();
    return result;
}

void JsonObject::remove(std::string_view path) { eval("delete " + member(path)); }

int JsonObject::member_count(std::string_view path)
{
    return truncated_count(eval("get__count(" + whole_or_member(path) + ")").as_number());
}

void JsonObject::append(std::string_view value, std::string_view path, bool raw)
{
    const std::string x = whole_or_member(path);
    const std::string quote = raw ? "" : "'";
    eval("if(!" + x + ".map){" + x + "=[]} " + x + ".push(" + quote + std::string(value) + quote + ")");
}

std::string JsonObject::get_element(int index, std::string_view path, bool as_json)
{
    const std::string element = whole_or_member(path) + "[" + std::to_string(index) + "]";
    if (as_json)
        return eval("JSON.stringify(" + element + ")").as_text();
    return eval(element).as_text();
}

void JsonObject::set_element(int index, std::string_view value, bool raw)
{
    const std::string quote = raw ? "" : "'";
    eval(variable_name_ + "[" + std::to_string(index) + "]=" + quote + std::string(value) + quote);
}

void JsonObject::remove_element(int index)
{
    eval(variable_name_ + ".splice(" + std::to_string(index) + ",1)");
}

void JsonObject::reset(int type_code)
{
    switch (type_code) {
    case reset_to_null:
        eval("var " + variable_name_ + "=null");
        break;
    case reset_to_object:
        eval("var " + variable_name_ + "={}");
        break;
    case reset_to_array:
        eval("var " + variable_name_ + "=new Array()");
        break;
    default:
        break;
    }
}

void JsonObject::assign(std::string_view value, bool raw)
{
    const std::string quote = raw ? "" : "'";
    eval(variable_name_ + "=" + quote + std::string(value) + quote);
}

bool JsonObject::has_member(std::string_view path) { return eval(member(path) + " !=null").as_truth(); }

void JsonObject::member_names(std::vector<std::string>& names, std::string_view path)
{
    const std::string listed =
        eval("var ary=''; for (var key in " + whole_or_member(path) + ") {ary=ary+ key+','; }").as_text();
    eval("ary=null");
    names = cut_at(listed, ",");
}

int JsonObject::type_of(std::string_view path)
{
    // Without an engine there is no value to type; the empty result rather than "other".
    if (!engine_)
        return type_null;
    const std::string x = whole_or_member(path);
    if (eval(x + "==null").as_truth())
        return type_null;
    const std::string type = eval("typeof (" + x + ")").as_text();
    if (type == "string")
        return type_string;
    if (type == "number")
        return type_number;
    if (type == "object")
        return eval("!" + x + ".map").as_truth() ? type_without_map : type_with_map;
    return type_other;
}

ScriptValue JsonObject::eval(const std::string& code)
{
    if (!engine_)
        return {};
    return engine_->Eval(code);
}

std::string JsonObject::member_path(std::string_view path) const
{
    if (!path.empty() && path.front() == '[')
        return variable_name_ + std::string(path);
    return variable_name_ + "." + std::string(path);
}

std::string JsonObject::whole_or_member(std::string_view path) const
{
    if (path.empty())
        return variable_name_;
    return variable_name_ + "." + std::string(path);
}

std::string JsonObject::member(std::string_view path) const { return variable_name_ + "." + std::string(path); }

} // namespace yejian::text
