#include "standin/standin_options.h"

#include <charconv>
#include <functional>
#include <map>

namespace yejian::standin {

namespace {

template <class Number>
Number number_of(const std::string& flag, const std::string& text, Number low, Number high)
{
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw UsageError(flag + " wants a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    return value;
}

} // namespace

std::string usage_text()
{
    return R"(Usage: yejian-standin --cert FILE --key FILE --data-dir DIR [options]

A local stand-in of the 叶笺 service for yejian-uploader and its tests.
Serves HTTPS (sign-in) and HTTP (everything else) for the host yejian.example.

  --cert FILE          server certificate (PEM); scripts/make-cert.sh makes one
  --key FILE           its private key (PEM)
  --data-dir DIR       where sessions, uploaded files and pins are kept (made if missing)
  --https-port N       HTTPS port; 0 (the default) picks a free port
  --http-port N        HTTP port; 0 (the default) picks a free port
  --bind ADDRESS       address to listen on (default 127.0.0.1)
  --ports-file FILE    once listening, write "https_port=N", "http_port=N" and "pid=N"
                       lines to FILE (written whole, then renamed into place)
  --accounts FILE      more accounts (JSON); the demo account is always there
  --faults FILE        fault rules (JSON), read again whenever the file changes
  --fault RULE         one fault rule as JSON; may be given many times
  --log FILE           request log, one JSON line per request
                       (default DIR/requests.jsonl)
  --first-file-id N    first id given to an upload (default 1000001)
  --first-pin-id N     first id given to a pin (default 5000001)
  --max-body BYTES     largest request body accepted (default 4294967296)
  --help, --version

Demo account: demo@yejian.example, password demo-pass.
Stops cleanly on SIGINT or SIGTERM.
)";
}

CommandLine parse_command_line(const std::vector<std::string>& arguments)
{
    CommandLine command;
    StandinOptions& options = command.options;
    std::map<std::string, std::function<void(const std::string&)>> with_value = {
        {"--cert", [&](const std::string& v) { options.cert_file = v; }},
        {"--key", [&](const std::string& v) { options.key_file = v; }},
        {"--data-dir", [&](const std::string& v) { options.data_dir = v; }},
        {"--https-port", [&](const std::string& v) { options.https_port = number_of("--https-port", v, 0, 65535); }},
        {"--http-port", [&](const std::string& v) { options.http_port = number_of("--http-port", v, 0, 65535); }},
        {"--bind", [&](const std::string& v) { options.bind_address = v; }},
        {"--ports-file", [&](const std::string& v) { options.ports_file = v; }},
        {"--accounts", [&](const std::string& v) { options.accounts_file = v; }},
        {"--faults", [&](const std::string& v) { options.faults_file = v; }},
        {"--fault",
         [&](const std::string& v) {
             Json rule = Json::parse(v, nullptr, false);
             if (rule.is_discarded())
                 throw UsageError("--fault wants a JSON object, not \"" + v + "\"");
             try {
                 options.fault_rules.push_back(parse_fault_rule(rule));
             } catch (const std::runtime_error& error) {
                 throw UsageError(std::string("--fault: ") + error.what());
             }
         }},
        {"--log", [&](const std::string& v) { options.log_file = v; }},
        {"--first-file-id",
         [&](const std::string& v) { options.first_file_id = number_of<std::int64_t>("--first-file-id", v, 1, INT64_MAX / 2); }},
        {"--first-pin-id",
         [&](const std::string& v) { options.first_pin_id = number_of<std::int64_t>("--first-pin-id", v, 1, INT64_MAX / 2); }},
        {"--max-body",
         [&](const std::string& v) { options.max_body_bytes = number_of<std::uint64_t>("--max-body", v, 1, UINT64_MAX); }},
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string flag = arguments[i];
        if (flag == "--help" || flag == "-h") {
            command.action = CommandLineAction::show_help;
            return command;
        }
        if (flag == "--version") {
            command.action = CommandLineAction::show_version;
            return command;
        }
        std::string value;
        bool has_value = false;
        if (std::size_t equals = flag.find('='); flag.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = flag.substr(equals + 1);
            flag = flag.substr(0, equals);
            has_value = true;
        }
        auto handler = with_value.find(flag);
        if (handler == with_value.end())
            throw UsageError("unknown argument \"" + flag + "\" (see --help)");
        if (!has_value) {
            if (i + 1 >= arguments.size())
                throw UsageError(flag + " needs a value");
            value = arguments[++i];
        }
        handler->second(value);
    }
    if (options.cert_file.empty() || options.key_file.empty())
        throw UsageError("--cert and --key are required (scripts/make-cert.sh DIR makes them)");
    if (options.data_dir.empty())
        throw UsageError("--data-dir is required");
    if (options.https_port != 0 && options.https_port == options.http_port)
        throw UsageError("--https-port and --http-port must differ");
    return command;
}

} // namespace yejian::standin
