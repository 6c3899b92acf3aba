#pragma once
// Fault switches: rules that make the stand-in misbehave on purpose, for tests of how a client
// copes. They come from --fault flags and from a faults file that is read again whenever it
// changes (a file that goes away turns its rules off; one that does not parse keeps the old
// rules and says why on stderr).
//
// File: {"faults": [RULE, ...]}; flag: --fault RULE. A RULE is a JSON object:
//   "fault": "no_id"            the upload answer lacks "id" (nothing is stored)
//            "no_pin_id"        the pin creation answer lacks "pin" (no pin is made)
//            "delay"            wait "ms" milliseconds before handling the request
//            "drop"             read the whole request, then close without an answer
//            "drop_mid_request" read the head and at most half of the body, then close
//            "error_500"        answer 500 with an HTML body, handle nothing
//            "not_json"         answer 200 with an HTML body where JSON belongs, handle nothing
//            "huge"             the normal answer followed by blanks up to "bytes" in all
//   "path":      the request path it applies to, exact, or a prefix when it ends in "*"
//                ("/pins/*"); left out: every path
//   "file_name": only for uploads (and pins made of an upload) whose multipart file name is
//                exactly this (UTF-8); left out: any file. Not with drop_mid_request, which
//                acts before the file name is known.
//   "times":     how many requests it hits before it is spent; left out: every request
//   "ms", "bytes": as above.

#include "standin/json_text.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace yejian::standin {

enum class FaultKind { no_id, no_pin_id, delay, drop, drop_mid_request, error_500, not_json, huge };

struct FaultRule {
    FaultKind kind = FaultKind::delay;
    std::string path; // empty: every path
    bool path_is_prefix = false;
    std::optional<std::string> file_name;
    std::optional<long long> times_left;
    std::int64_t delay_ms = 0;
    std::uint64_t bytes = 0;
    std::string text; // the rule as written, for the request log
};

// Throws std::runtime_error that says what is wrong with the rule.
FaultRule parse_fault_rule(const Json& rule);
std::vector<FaultRule> parse_fault_rules(const Json& document);

class FaultSwitches {
public:
    FaultSwitches() = default;
    // Reads the file now: a missing or bad file at start is an error (std::runtime_error).
    FaultSwitches(std::vector<FaultRule> flag_rules, std::string file_path);

    // The first rule of this kind that matches, with one of its times used up.
    std::optional<FaultRule> take(FaultKind kind, std::string_view path,
                                  const std::optional<std::string>& file_name);

private:
    void reload_if_changed();

    std::mutex mutex_;
    std::vector<FaultRule> flag_rules_;
    std::vector<FaultRule> file_rules_;
    std::string file_path_;
    // What the file was when last read: inode, change time and size (a file replaced by a
    // rename always differs in its inode, however quickly it follows).
    std::optional<std::string> file_identity_;
};

} // namespace yejian::standin
