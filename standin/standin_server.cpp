#include "standin/standin_server.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace yejian::standin {

namespace fs = std::filesystem;

namespace {

void require_readable_file(const std::string& path, const char* what)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        throw StartError(std::string(what) + " " + path +
                         " not found; scripts/make-cert.sh DIR makes a certificate and its key");
    if (::access(path.c_str(), R_OK) != 0)
        throw StartError(std::string(what) + " " + path + " cannot be read: " + std::strerror(errno));
}

template <class Server>
void configure(Server& server, std::uint64_t max_body)
{
    server.set_payload_max_length(static_cast<std::size_t>(max_body));
    server.set_keep_alive_max_count(100);
    server.set_read_timeout(30, 0);
    server.set_write_timeout(30, 0);
}

template <class Server>
int bind_port(Server& server, const std::string& address, int port, const char* scheme)
{
    errno = 0;
    int bound = port == 0 ? server.bind_to_any_port(address) : (server.bind_to_port(address, port) ? port : -1);
    if (bound <= 0) {
        int cause = errno;
        throw StartError(std::string("cannot listen for ") + scheme + " on " + address + ":" +
                         std::to_string(port) + ": " +
                         (cause == EADDRINUSE ? "the port is in use"
                          : cause != 0        ? std::strerror(cause)
                                              : "the address cannot be used"));
    }
    return bound;
}

} // namespace

StandinServer::StandinServer(StandinOptions options) : options_(std::move(options))
{
    // A client that goes away mid-answer must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    require_readable_file(options_.cert_file, "certificate file");
    require_readable_file(options_.key_file, "key file");
    try {
        if (!options_.accounts_file.empty())
            accounts_ = AccountBook::with_file(options_.accounts_file);
        faults_ = std::make_unique<FaultSwitches>(options_.fault_rules, options_.faults_file);
        state_ = std::make_unique<ServiceState>(options_.data_dir, options_.first_file_id, options_.first_pin_id);
        log_ = std::make_unique<RequestLog>(options_.log_file.empty()
                                                ? (fs::path(options_.data_dir) / "requests.jsonl").string()
                                                : options_.log_file);
    } catch (const StartError&) {
        throw;
    } catch (const std::exception& error) {
        throw StartError(error.what());
    }
    routes_ = std::make_unique<ServiceRoutes>(accounts_, *state_, *faults_);

    https_ = std::make_unique<RecordingHttpsServer>(options_.cert_file.c_str(), options_.key_file.c_str());
    if (!https_->is_valid())
        throw StartError("cannot use certificate " + options_.cert_file + " with key " + options_.key_file +
                         " (not PEM, or the key does not belong to the certificate)");
    http_ = std::make_unique<RecordingHttpServer>();
    for (httplib::Server* server : {static_cast<httplib::Server*>(https_.get()), static_cast<httplib::Server*>(http_.get())})
        routes_->install(*server);
    configure(*https_, options_.max_body_bytes);
    configure(*http_, options_.max_body_bytes);
    auto log = [this](ExchangeRecord& record) { log_->write(record); };
    https_->set_exchange_callback(log);
    http_->set_exchange_callback(log);
}

StandinServer::~StandinServer()
{
    stop();
}

void StandinServer::start()
{
    https_port_ = bind_port(*https_, options_.bind_address, options_.https_port, "HTTPS");
    http_port_ = bind_port(*http_, options_.bind_address, options_.http_port, "HTTP");
    https_thread_ = std::thread([this] { https_->listen_after_bind(); });
    http_thread_ = std::thread([this] { http_->listen_after_bind(); });
    if (!options_.ports_file.empty())
        write_ports_file();
}

void StandinServer::stop()
{
    if (routes_)
        routes_->cancel_delays();
    if (https_)
        https_->stop();
    if (http_)
        http_->stop();
    if (https_thread_.joinable())
        https_thread_.join();
    if (http_thread_.joinable())
        http_thread_.join();
}

void StandinServer::write_ports_file() const
{
    std::string temporary = options_.ports_file + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "https_port=" << https_port_ << "\nhttp_port=" << http_port_ << "\npid=" << ::getpid() << "\n";
        if (!out)
            throw StartError("cannot write the ports file " + temporary);
    }
    std::error_code error;
    fs::rename(temporary, options_.ports_file, error);
    if (error)
        throw StartError("cannot write the ports file " + options_.ports_file + ": " + error.message());
}

} // namespace yejian::standin
