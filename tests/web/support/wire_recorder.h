#pragma once
// A loopback relay in front of a test server that keeps every byte clients send through it,
// so tests see requests exactly as they arrived on the wire: header order, spelling and body.

#include <mutex>
#include <string>
#include <thread>

namespace yejian::web::testing_support {

class WireRecorder {
public:
    // Relays connections made to port() on to 127.0.0.1:backend_port.
    explicit WireRecorder(int backend_port);
    ~WireRecorder();
    WireRecorder(const WireRecorder&) = delete;
    WireRecorder& operator=(const WireRecorder&) = delete;

    int port() const { return port_; }

    // Everything clients sent since the last call, over all connections, in arrival order.
    std::string take();

    // How many connections arrived so far.
    int connections();

private:
    void run();

    int backend_port_;
    int listen_fd_ = -1;
    int wake_fds_[2] = {-1, -1};
    int port_ = 0;
    std::mutex mutex_;
    std::string recorded_;
    int connections_ = 0;
    std::thread thread_;
};

} // namespace yejian::web::testing_support
