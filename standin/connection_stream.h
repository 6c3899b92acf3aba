#pragma once
// One client connection, plain or TLS, as the HTTP library's Stream. Every byte handed to the
// library's parser also goes to the current request's capture, so the log can show the header
// lines in the order they arrived. Just before the first byte of an answer goes out, the
// request is complete and the answer's status known: that is when the record is handed on, so
// a client that has its answer can be sure the record was written. A connection can be dropped
// on purpose: from then on every write fails, and the library closes the connection without
// an answer.

#include "standin/exchange_record.h"

#include <httplib.h>

#include <array>
#include <ctime>
#include <functional>

typedef struct ssl_st SSL;

namespace yejian::standin {

class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(socket_t sock, SSL* ssl, std::time_t read_timeout_seconds,
                     std::time_t write_timeout_seconds, ExchangeRecord& record,
                     std::function<void(ExchangeRecord&)> on_answer);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return sock_; }

    // True when bytes of a next request are waiting (or arrive within the given time).
    bool wait_for_next_request_ms(int milliseconds) const;
    void drop() { dropped_ = true; }
    bool dropped() const { return dropped_; }

private:
    bool has_buffered() const;
    bool wait(short events, int milliseconds) const;
    ssize_t receive(char* ptr, size_t size);

    socket_t sock_;
    SSL* ssl_;
    std::time_t read_timeout_seconds_;
    std::time_t write_timeout_seconds_;
    ExchangeRecord& record_;
    std::function<void(ExchangeRecord&)> on_answer_;
    std::array<char, 4096> buffer_{};
    std::size_t buffer_start_ = 0;
    std::size_t buffer_end_ = 0;
    bool dropped_ = false;
};

} // namespace yejian::standin
