#pragma once
// HTTP and HTTPS servers of the HTTP library whose connections run through ConnectionStream,
// so that each request's raw head, body hash and the handlers' findings end up in one
// ExchangeRecord, handed to a callback just before the answer goes out (or once the
// connection has been dropped without one). Handlers reach the record of the request they serve with current_exchange().

#include "standin/exchange_record.h"

#include <httplib.h>

#include <atomic>
#include <functional>

namespace yejian::standin {

class ConnectionStream;

using ExchangeCallback = std::function<void(ExchangeRecord&)>;

// The record of the request the calling thread is serving; null outside a handler.
ExchangeRecord* current_exchange();
// Ends the current connection without an answer: whatever the handler sets is never sent.
void drop_current_connection();

template <class Base>
class RecordingServer : public Base {
public:
    using Base::Base;

    void set_exchange_callback(ExchangeCallback callback) { exchange_callback_ = std::move(callback); }

    // Stops listening, and ends every open connection before its next request: the library's
    // own stop() keeps serving kept-alive connections until its workers have finished, so a
    // stopped stand-in would otherwise still answer for a few seconds.
    void stop()
    {
        stopping_ = true;
        Base::stop();
    }

private:
    bool serving() const { return this->is_running() && !stopping_; }
    bool process_and_close_socket(socket_t sock) override;
    bool wait_for_next_request(const ConnectionStream& stream) const;

    ExchangeCallback exchange_callback_;
    std::atomic<bool> stopping_{false};
};

using RecordingHttpServer = RecordingServer<httplib::Server>;
using RecordingHttpsServer = RecordingServer<httplib::SSLServer>;

extern template class RecordingServer<httplib::Server>;
extern template class RecordingServer<httplib::SSLServer>;

} // namespace yejian::standin
