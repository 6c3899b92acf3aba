#pragma once
// What the stand-in keeps of one request and its answer: the raw request head as it came off
// the wire (the parsed form of the HTTP library sorts header names, and tests need the order),
// the body's size and hash, and what the handlers learnt from the body.

#include "standin/digest.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace yejian::standin {

struct FilePartRecord {
    std::string field_name;
    std::string file_name;
    std::string content_type;
    std::uint64_t size = 0;
    std::string sha256;
};

class RequestCapture {
public:
    // Forgets the previous request of the connection.
    void begin();
    // Bytes as the HTTP parser consumes them, in order.
    void take(const char* data, std::size_t size);

    bool empty() const { return head_.empty(); }
    std::string request_line() const;
    // The header lines between the request line and the blank line, exactly as received.
    std::vector<std::string> header_lines() const;
    std::uint64_t body_size() const { return body_size_; }
    std::string body_sha256() { return body_hash_.finish_hex(); }

private:
    static constexpr std::size_t head_limit = 256 * 1024;
    std::string head_;
    bool head_complete_ = false;
    std::uint64_t body_size_ = 0;
    Sha256 body_hash_;
};

struct ExchangeRecord {
    bool https = false;
    RequestCapture capture;
    // Form fields in the order sent, values decoded; secrets already replaced.
    std::vector<std::pair<std::string, std::string>> form;
    std::vector<FilePartRecord> files;
    std::string account; // e-mail of the session's account, when there is one
    std::string fault;   // the fault switch that shaped the answer, if any
    int status = 0;
    bool dropped = false;
    bool handed_on = false; // given to the log already

    void begin_request()
    {
        capture.begin();
        form.clear();
        files.clear();
        account.clear();
        fault.clear();
        status = 0;
        dropped = false;
        handed_on = false;
    }
};

} // namespace yejian::standin
