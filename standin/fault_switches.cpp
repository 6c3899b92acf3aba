#include "standin/fault_switches.h"

#include <sys/stat.h>

#include <iostream>
#include <stdexcept>

namespace yejian::standin {

namespace {

const std::pair<const char*, FaultKind> fault_names[] = {
    {"no_id", FaultKind::no_id},
    {"no_pin_id", FaultKind::no_pin_id},
    {"delay", FaultKind::delay},
    {"drop", FaultKind::drop},
    {"drop_mid_request", FaultKind::drop_mid_request},
    {"error_500", FaultKind::error_500},
    {"not_json", FaultKind::not_json},
    {"huge", FaultKind::huge},
};

bool path_matches(const FaultRule& rule, std::string_view path)
{
    if (rule.path.empty())
        return true;
    return rule.path_is_prefix ? path.substr(0, rule.path.size()) == rule.path : path == rule.path;
}

std::optional<std::string> identity_of(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino) + ":" +
           std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec) + ":" +
           std::to_string(status.st_ctim.tv_sec) + "." + std::to_string(status.st_ctim.tv_nsec) + ":" +
           std::to_string(status.st_size);
}

} // namespace

FaultRule parse_fault_rule(const Json& rule)
{
    auto fail = [&](const std::string& what) {
        throw std::runtime_error("fault rule " + json_text(rule) + ": " + what);
    };
    if (!rule.is_object() || !rule.contains("fault") || !rule["fault"].is_string())
        fail("needs \"fault\"");
    FaultRule parsed;
    parsed.text = json_text(rule);
    std::string name = rule["fault"].get<std::string>();
    bool known = false;
    for (const auto& [text, kind] : fault_names)
        if (name == text) {
            parsed.kind = kind;
            known = true;
        }
    if (!known)
        fail("unknown fault \"" + name + "\"");
    for (const auto& [key, value] : rule.items()) {
        if (key == "fault")
            continue;
        if (key == "path" && value.is_string()) {
            parsed.path = value.get<std::string>();
            if (!parsed.path.empty() && parsed.path.back() == '*') {
                parsed.path.pop_back();
                parsed.path_is_prefix = true;
            }
        } else if (key == "file_name" && value.is_string()) {
            parsed.file_name = value.get<std::string>();
        } else if (key == "times" && value.is_number_integer() && value.get<long long>() >= 1) {
            parsed.times_left = value.get<long long>();
        } else if (key == "ms" && value.is_number_integer() && value.get<long long>() >= 0) {
            parsed.delay_ms = value.get<std::int64_t>();
        } else if (key == "bytes" && value.is_number_unsigned()) {
            parsed.bytes = value.get<std::uint64_t>();
        } else {
            fail("member \"" + key + "\" is unknown or has a wrong value");
        }
    }
    if (parsed.kind == FaultKind::delay && !rule.contains("ms"))
        fail("a delay needs \"ms\"");
    if (parsed.kind == FaultKind::huge && !rule.contains("bytes"))
        fail("a huge answer needs \"bytes\"");
    if (parsed.kind == FaultKind::drop_mid_request && parsed.file_name)
        fail("drop_mid_request acts before the file name is known; leave \"file_name\" out");
    return parsed;
}

std::vector<FaultRule> parse_fault_rules(const Json& document)
{
    if (!document.is_object() || !document.contains("faults") || !document["faults"].is_array())
        throw std::runtime_error("expected {\"faults\": [...]}");
    std::vector<FaultRule> rules;
    for (const auto& rule : document["faults"])
        rules.push_back(parse_fault_rule(rule));
    return rules;
}

FaultSwitches::FaultSwitches(std::vector<FaultRule> flag_rules, std::string file_path)
    : flag_rules_(std::move(flag_rules)), file_path_(std::move(file_path))
{
    if (file_path_.empty())
        return;
    try {
        file_rules_ = parse_fault_rules(read_json_file(file_path_));
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(file_path_ + ": " + error.what());
    }
    file_identity_ = identity_of(file_path_);
}

void FaultSwitches::reload_if_changed()
{
    if (file_path_.empty())
        return;
    std::optional<std::string> identity = identity_of(file_path_);
    if (identity == file_identity_)
        return;
    file_identity_ = identity;
    if (!identity) {
        file_rules_.clear();
        return;
    }
    try {
        file_rules_ = parse_fault_rules(read_json_file(file_path_));
    } catch (const std::exception& problem) {
        std::cerr << "yejian-standin: keeping the earlier fault rules: " << file_path_ << ": "
                  << problem.what() << std::endl;
    }
}

std::optional<FaultRule> FaultSwitches::take(FaultKind kind, std::string_view path,
                                             const std::optional<std::string>& file_name)
{
    std::lock_guard lock(mutex_);
    reload_if_changed();
    for (auto* rules : {&flag_rules_, &file_rules_}) {
        for (FaultRule& rule : *rules) {
            if (rule.kind != kind || !path_matches(rule, path))
                continue;
            if (rule.file_name && (!file_name || *rule.file_name != *file_name))
                continue;
            if (rule.times_left) {
                if (*rule.times_left == 0)
                    continue;
                --*rule.times_left;
            }
            return rule;
        }
    }
    return std::nullopt;
}

} // namespace yejian::standin
