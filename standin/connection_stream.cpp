#include "standin/connection_stream.h"

#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace yejian::standin {

namespace {

void address_of(const sockaddr_storage& address, std::string& ip, int& port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

int milliseconds_of(std::time_t seconds)
{
    return static_cast<int>(std::min<std::time_t>(seconds, 24 * 3600) * 1000);
}

} // namespace

ConnectionStream::ConnectionStream(socket_t sock, SSL* ssl, std::time_t read_timeout_seconds,
                                   std::time_t write_timeout_seconds, ExchangeRecord& record,
                                   std::function<void(ExchangeRecord&)> on_answer)
    : sock_(sock), ssl_(ssl), read_timeout_seconds_(read_timeout_seconds),
      write_timeout_seconds_(write_timeout_seconds), record_(record), on_answer_(std::move(on_answer))
{
}

bool ConnectionStream::has_buffered() const
{
    return buffer_start_ < buffer_end_ || (ssl_ != nullptr && SSL_pending(ssl_) > 0);
}

bool ConnectionStream::wait(short events, int timeout_ms) const
{
    pollfd entry{sock_, events, 0};
    for (;;) {
        int ready = ::poll(&entry, 1, timeout_ms);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0;
    }
}

bool ConnectionStream::is_readable() const
{
    return has_buffered() || wait(POLLIN, milliseconds_of(read_timeout_seconds_));
}

bool ConnectionStream::is_writable() const
{
    return !dropped_ && wait(POLLOUT, milliseconds_of(write_timeout_seconds_));
}

bool ConnectionStream::wait_for_next_request_ms(int milliseconds) const
{
    return has_buffered() || wait(POLLIN, milliseconds);
}

ssize_t ConnectionStream::receive(char* ptr, size_t size)
{
    if (ssl_ != nullptr) {
        int n = SSL_read(ssl_, ptr, static_cast<int>(std::min<size_t>(size, 1 << 30)));
        return n > 0 ? n : -1;
    }
    for (;;) {
        ssize_t n = ::recv(sock_, ptr, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 ? n : -1;
    }
}

ssize_t ConnectionStream::read(char* ptr, size_t size)
{
    if (dropped_)
        return -1;
    if (buffer_start_ == buffer_end_) {
        if (!is_readable())
            return -1;
        ssize_t n = receive(buffer_.data(), buffer_.size());
        if (n <= 0)
            return -1;
        buffer_start_ = 0;
        buffer_end_ = static_cast<std::size_t>(n);
    }
    std::size_t count = std::min(size, buffer_end_ - buffer_start_);
    std::memcpy(ptr, buffer_.data() + buffer_start_, count);
    buffer_start_ += count;
    record_.capture.take(ptr, count);
    return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size)
{
    if (!is_writable())
        return -1;
    if (!record_.handed_on) {
        // The library writes the status line first: "HTTP/1.1 200 OK". An interim
        // "100 Continue" comes before the body is read, so it does not count.
        std::string_view start(ptr, std::min<size_t>(size, 12));
        int status = 0;
        if (start.size() == 12 && start.substr(0, 7) == "HTTP/1." && start[8] == ' ')
            status = std::atoi(std::string(start.substr(9, 3)).c_str());
        if (status < 100 || status >= 200) {
            record_.status = status;
            record_.handed_on = true;
            if (on_answer_)
                on_answer_(record_);
        }
    }
    if (ssl_ != nullptr) {
        int n = SSL_write(ssl_, ptr, static_cast<int>(std::min<size_t>(size, 1 << 30)));
        return n > 0 ? n : -1;
    }
    for (;;) {
        ssize_t n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        address_of(address, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        address_of(address, ip, port);
}

} // namespace yejian::standin
