#include "web/stall_watch.h"

namespace yejian::web {

void StallWatch::request_starts(Clock::time_point now)
{
    started_ = true;
    uploaded_ = 0;
    downloaded_ = 0;
    last_progress_ = now;
}

bool StallWatch::proceed(Clock::time_point now, std::int64_t upload_total, std::int64_t uploaded,
                         std::int64_t downloaded)
{
    if (!started_ || stalled_)
        return !stalled_;
    if (uploaded != uploaded_ || downloaded != downloaded_) {
        uploaded_ = uploaded;
        downloaded_ = downloaded;
        last_progress_ = now;
        return true;
    }
    const bool sending = uploaded < upload_total;
    const std::chrono::milliseconds limit = sending ? send_limit_ : receive_limit_;
    if (limit.count() > 0 && now - last_progress_ > limit)
        stalled_ = true;
    return !stalled_;
}

} // namespace yejian::web
