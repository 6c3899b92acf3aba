#include "wire_recorder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace yejian::web::testing_support {
namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool write_all(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

struct Link {
    int client;
    int backend;
};

} // namespace

WireRecorder::WireRecorder(int backend_port) : backend_port_(backend_port)
{
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listen_fd_, 16) != 0 ||
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::pipe(wake_fds_) != 0)
        throw std::runtime_error("wire recorder: cannot listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

WireRecorder::~WireRecorder()
{
    const char stop = 0;
    (void)::write(wake_fds_[1], &stop, 1);
    thread_.join();
    ::close(listen_fd_);
    ::close(wake_fds_[0]);
    ::close(wake_fds_[1]);
}

std::string WireRecorder::take()
{
    std::lock_guard lock(mutex_);
    std::string taken;
    taken.swap(recorded_);
    return taken;
}

int WireRecorder::connections()
{
    std::lock_guard lock(mutex_);
    return connections_;
}

void WireRecorder::run()
{
    std::vector<Link> links;
    auto close_link = [&](std::size_t i) {
        ::close(links[i].client);
        ::close(links[i].backend);
        links.erase(links.begin() + static_cast<std::ptrdiff_t>(i));
    };
    for (;;) {
        std::vector<pollfd> fds = {{wake_fds_[0], POLLIN, 0}, {listen_fd_, POLLIN, 0}};
        for (const Link& link : links) {
            fds.push_back({link.client, POLLIN, 0});
            fds.push_back({link.backend, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        // Walk backwards so that closing a link does not shift the ones still to be served.
        for (std::size_t i = (fds.size() - 2) / 2; i-- > 0;) {
            const pollfd& from_client = fds[2 + 2 * i];
            const pollfd& from_backend = fds[3 + 2 * i];
            char buffer[65536];
            bool open = true;
            if (from_client.revents) {
                const ssize_t got = ::recv(links[i].client, buffer, sizeof buffer, 0);
                if (got > 0) {
                    {
                        std::lock_guard lock(mutex_);
                        recorded_.append(buffer, static_cast<std::size_t>(got));
                    }
                    open = write_all(links[i].backend, buffer, static_cast<std::size_t>(got));
                } else {
                    open = false;
                }
            }
            if (open && from_backend.revents) {
                const ssize_t got = ::recv(links[i].backend, buffer, sizeof buffer, 0);
                open = got > 0 && write_all(links[i].client, buffer, static_cast<std::size_t>(got));
            }
            if (!open)
                close_link(i);
        }
        // New connections join after the links polled in this round have been served.
        if (fds[1].revents & POLLIN) {
            const int client = ::accept(listen_fd_, nullptr, nullptr);
            const int backend = ::socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in address = loopback(backend_port_);
            if (client >= 0 && backend >= 0 &&
                ::connect(backend, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
                links.push_back({client, backend});
                std::lock_guard lock(mutex_);
                ++connections_;
            } else {
                if (client >= 0)
                    ::close(client);
                if (backend >= 0)
                    ::close(backend);
            }
        }
    }
    while (!links.empty())
        close_link(links.size() - 1);
}

} // namespace yejian::web::testing_support
