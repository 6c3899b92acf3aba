#pragma once
// The command line of yejian-standin.

#include "standin/fault_switches.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace yejian::standin {

struct StandinOptions {
    std::string bind_address = "127.0.0.1";
    int https_port = 0; // 0: a free port, chosen when the server starts
    int http_port = 0;
    std::string cert_file;
    std::string key_file;
    std::string data_dir;
    std::string accounts_file;
    std::string faults_file;
    std::vector<FaultRule> fault_rules;
    std::string log_file; // empty: <data_dir>/requests.jsonl
    std::string ports_file;
    std::int64_t first_file_id = 1000001;
    std::int64_t first_pin_id = 5000001;
    std::uint64_t max_body_bytes = std::uint64_t{4} << 30;
};

// A command line that cannot be used; the message says which flag and why.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class CommandLineAction { run, show_help, show_version };

struct CommandLine {
    CommandLineAction action = CommandLineAction::run;
    StandinOptions options;
};

// Throws UsageError.
CommandLine parse_command_line(const std::vector<std::string>& arguments);
std::string usage_text();

} // namespace yejian::standin
