#include "standin/exchange_record.h"

#include <algorithm>

namespace yejian::standin {

void RequestCapture::begin()
{
    head_.clear();
    head_complete_ = false;
    body_size_ = 0;
    body_hash_.finish_hex();
}

void RequestCapture::take(const char* data, std::size_t size)
{
    std::size_t used = 0;
    if (!head_complete_) {
        // The blank line may straddle two reads: search from a few bytes before the new ones.
        std::size_t search_from = head_.size() < 3 ? 0 : head_.size() - 3;
        std::size_t room = head_limit - std::min(head_limit, head_.size());
        std::size_t taken = std::min(size, room);
        head_.append(data, taken);
        std::size_t end = head_.find("\r\n\r\n", search_from);
        if (end != std::string::npos) {
            head_complete_ = true;
            std::size_t head_size = end + 4;
            used = taken - (head_.size() - head_size);
            head_.resize(head_size);
        } else if (taken < size) {
            head_complete_ = true; // an oversized head: the parser refuses it anyway
            used = taken;
        } else {
            return;
        }
    }
    body_size_ += size - used;
    body_hash_.add(std::string_view(data + used, size - used));
}

std::string RequestCapture::request_line() const
{
    return head_.substr(0, head_.find("\r\n"));
}

std::vector<std::string> RequestCapture::header_lines() const
{
    std::vector<std::string> lines;
    std::size_t start = head_.find("\r\n");
    while (start != std::string::npos) {
        start += 2;
        std::size_t end = head_.find("\r\n", start);
        if (end == std::string::npos || end == start)
            break;
        lines.push_back(head_.substr(start, end - start));
        start = end;
    }
    return lines;
}

} // namespace yejian::standin
