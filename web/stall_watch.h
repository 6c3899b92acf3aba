#pragma once
// Send and receive time-outs as stall limits: an exchange ends when no byte has moved for
// longer than the limit of the phase it is in. The phase is "sending" while the request body
// has not been handed over completely, "receiving" afterwards (waiting for the answer and for
// each next piece of it). The clock starts once a connection is ready for a request, so the
// connection phase is left to the connect time-out.

#include <chrono>
#include <cstdint>

namespace yejian::web {

class StallWatch {
public:
    using Clock = std::chrono::steady_clock;

    // A limit of zero means that phase never stalls out.
    StallWatch(std::chrono::milliseconds send_limit, std::chrono::milliseconds receive_limit)
        : send_limit_(send_limit), receive_limit_(receive_limit)
    {
    }

    // A request (the first or one after a redirect) is about to go out on a ready connection.
    void request_starts(Clock::time_point now);

    // Progress as the transfer reports it; false when the exchange has stalled for longer than
    // the limit of its phase and must end.
    bool proceed(Clock::time_point now, std::int64_t upload_total, std::int64_t uploaded,
                 std::int64_t downloaded);

    bool stalled() const { return stalled_; }

private:
    std::chrono::milliseconds send_limit_;
    std::chrono::milliseconds receive_limit_;
    bool started_ = false;
    bool stalled_ = false;
    std::int64_t uploaded_ = 0;
    std::int64_t downloaded_ = 0;
    Clock::time_point last_progress_{};
};

} // namespace yejian::web
