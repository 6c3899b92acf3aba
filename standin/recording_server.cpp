#include "standin/recording_server.h"

#include "standin/connection_stream.h"

#include <openssl/ssl.h>

#include <sys/socket.h>
#include <unistd.h>

#include <type_traits>

namespace yejian::standin {

namespace {

struct ConnectionScope {
    ExchangeRecord* record = nullptr;
    ConnectionStream* stream = nullptr;
};

thread_local ConnectionScope current;

} // namespace

ExchangeRecord* current_exchange()
{
    return current.record;
}

void drop_current_connection()
{
    if (current.stream != nullptr)
        current.stream->drop();
    if (current.record != nullptr)
        current.record->dropped = true;
}

template <class Base>
bool RecordingServer<Base>::wait_for_next_request(const ConnectionStream& stream) const
{
    // In short slices, so that stopping the server does not wait for idle connections.
    for (std::time_t waited = 0; waited < this->keep_alive_timeout_sec_ * 4; ++waited) {
        if (!serving())
            return false;
        if (stream.wait_for_next_request_ms(250))
            return true;
    }
    return false;
}

template <class Base>
bool RecordingServer<Base>::process_and_close_socket(socket_t sock)
{
    ExchangeRecord record;
    SSL* ssl = nullptr;
    bool ready = true;
    if constexpr (std::is_base_of_v<httplib::SSLServer, Base>) {
        record.https = true;
        // The handshake must not wait forever for a client that connects and says nothing.
        timeval limit{static_cast<time_t>(this->read_timeout_sec_), 0};
        ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ssl = SSL_new(this->ssl_context());
        ready = ssl != nullptr && SSL_set_fd(ssl, sock) == 1 && SSL_accept(ssl) == 1;
    }
    if (ready) {
        ConnectionStream stream(sock, ssl, this->read_timeout_sec_, this->write_timeout_sec_, record,
                                exchange_callback_);
        current = {&record, &stream};
        // The library's own keep-alive loop, with the recording stream in its place.
        for (std::size_t left = this->keep_alive_max_count_; left > 0 && serving(); --left) {
            if (!wait_for_next_request(stream))
                break;
            record.begin_request();
            bool close_connection = left == 1 || !serving();
            bool connection_closed = false;
            bool ok = this->process_request(stream, close_connection, connection_closed, nullptr);
            record.dropped = record.dropped || stream.dropped();
            // Requests that got no answer are handed on here.
            if (!record.handed_on && !record.capture.empty() && exchange_callback_) {
                record.handed_on = true;
                exchange_callback_(record);
            }
            if (!ok || connection_closed || stream.dropped())
                break;
        }
        current = {};
        if (ssl != nullptr && !stream.dropped())
            SSL_shutdown(ssl);
    }
    if (ssl != nullptr)
        SSL_free(ssl);
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return true;
}

template class RecordingServer<httplib::Server>;
template class RecordingServer<httplib::SSLServer>;

} // namespace yejian::standin
