#include "text/script_value.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace yejian::text {
namespace {

std::string number_text(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    char buffer[64];
    std::to_chars_result result;
    if (value == std::trunc(value) && std::fabs(value) < 1e21)
        result = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value, std::chars_format::fixed, 0);
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

double text_number(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return 0;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || std::isnan(value))
        return 0;
    return value;
}

} // namespace

ScriptValue ScriptValue::boolean(bool value)
{
    ScriptValue v(Kind::boolean);
    v.boolean_ = value;
    return v;
}

ScriptValue ScriptValue::number(double value)
{
    ScriptValue v(Kind::number);
    v.number_ = value;
    return v;
}

ScriptValue ScriptValue::string(std::string utf8)
{
    ScriptValue v(Kind::string);
    v.text_ = std::move(utf8);
    return v;
}

ScriptValue ScriptValue::object(std::string text_form)
{
    ScriptValue v(Kind::object);
    v.text_ = std::move(text_form);
    return v;
}

std::string ScriptValue::as_text() const
{
    switch (kind_) {
    case Kind::string:
    case Kind::object:
        return text_.substr(0, text_.find('\0'));
    case Kind::number:
        return number_text(number_);
    case Kind::boolean:
        return boolean_ ? "true" : "false";
    default:
        return {};
    }
}

double ScriptValue::as_number() const
{
    switch (kind_) {
    case Kind::number:
        return std::isnan(number_) ? 0 : number_;
    case Kind::boolean:
        return boolean_ ? 1 : 0;
    case Kind::string:
        return text_number(text_);
    default:
        return 0;
    }
}

bool ScriptValue::as_truth() const
{
    switch (kind_) {
    case Kind::boolean:
        return boolean_;
    case Kind::number:
        return number_ != 0 && !std::isnan(number_);
    case Kind::string:
        return !text_.empty();
    case Kind::object:
        return true;
    default:
        return false;
    }
}

} // namespace yejian::text
