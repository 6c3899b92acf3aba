#pragma once
// The whole stand-in as one object: accounts, state, fault switches, request log and the two
// servers. The program's main and the tests both run it this way.

#include "standin/accounts.h"
#include "standin/fault_switches.h"
#include "standin/recording_server.h"
#include "standin/request_log.h"
#include "standin/service_routes.h"
#include "standin/service_state.h"
#include "standin/standin_options.h"

#include <memory>
#include <stdexcept>
#include <thread>

namespace yejian::standin {

// The stand-in cannot start; the message names the file, port or folder and what is wrong.
struct StartError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class StandinServer {
public:
    // Loads everything the flags name; throws StartError.
    explicit StandinServer(StandinOptions options);
    ~StandinServer();
    StandinServer(const StandinServer&) = delete;
    StandinServer& operator=(const StandinServer&) = delete;

    // Binds both ports, starts serving and writes the ports file; throws StartError.
    void start();
    // Stops both servers and waits for them; safe to call more than once.
    void stop();

    int https_port() const { return https_port_; }
    int http_port() const { return http_port_; }
    const StandinOptions& options() const { return options_; }

private:
    void write_ports_file() const;

    StandinOptions options_;
    AccountBook accounts_;
    std::unique_ptr<ServiceState> state_;
    std::unique_ptr<FaultSwitches> faults_;
    std::unique_ptr<RequestLog> log_;
    std::unique_ptr<ServiceRoutes> routes_;
    std::unique_ptr<RecordingHttpsServer> https_;
    std::unique_ptr<RecordingHttpServer> http_;
    std::thread https_thread_;
    std::thread http_thread_;
    int https_port_ = 0;
    int http_port_ = 0;
};

} // namespace yejian::standin
