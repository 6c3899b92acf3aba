#pragma once
// The request log: one JSON line per request, written when its answer has gone out, so a
// test can read exactly what a client sent. A line holds:
//   "time"        UTC, "2024-05-01T12:00:00.123Z"
//   "scheme"      "https" or "http"
//   "method", "target"   from the request line (target: path and query as sent)
//   "headers"     the header lines in the order received, each "Name: value" as sent
//   "body_size", "body_sha256"   of the body bytes as they came (after the blank line)
//   "form"        [[name, value], ...] of a URL-encoded body, in order, values decoded
//   "files"       [{"name", "file_name", "content_type", "size", "sha256"}] of a multipart body
//   "account"     e-mail of the session's account ("" without a session)
//   "status"      the answer's status (0 when none was sent)
//   "dropped"     true when the connection was closed without an answer
//   "fault"       the fault rule that shaped the answer, as written ("" for none)
// Passwords never reach it: password fields, password query values and credentials headers
// are written as "<redacted>".

#include "standin/exchange_record.h"

#include <fstream>
#include <mutex>
#include <string>

namespace yejian::standin {

class RequestLog {
public:
    // An empty path: no log. Throws std::runtime_error when the file cannot be opened.
    explicit RequestLog(const std::string& path);

    void write(ExchangeRecord& record);

private:
    std::mutex mutex_;
    std::ofstream out_;
    bool enabled_ = false;
};

} // namespace yejian::standin
