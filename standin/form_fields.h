#pragma once
// URL-encoded form bodies as ordered name/value pairs (the HTTP library's own table sorts them,
// and the log shows them as sent), and the hiding of secrets before anything is logged.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yejian::standin {

using FormFields = std::vector<std::pair<std::string, std::string>>;

inline constexpr const char* redacted_text = "<redacted>";

// Pieces between "&", each split at its first "="; "+" and %XX decoded. Empty pieces (a
// trailing "&") are skipped; a piece without "=" has an empty value.
FormFields parse_form(std::string_view body);
std::optional<std::string> form_value(const FormFields& fields, std::string_view name);

// The same fields with the value of every password field replaced by redacted_text.
FormFields without_secrets(FormFields fields);
// A request target with the values of password query fields replaced by redacted_text.
std::string target_without_secrets(std::string_view target);
// A raw header line with the value of credentials headers replaced by redacted_text.
std::string header_line_without_secrets(std::string_view line);

} // namespace yejian::standin
