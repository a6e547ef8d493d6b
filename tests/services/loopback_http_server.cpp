// The loopback HTTP server of the fetch tests: one thread, one connection at a time, in order.
#include "loopback_http_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace tavik::testing {

namespace {

constexpr int kPollSlice = 20; // milliseconds between looks at the stop flag

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

std::uint16_t bound_port(int socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

int listen_on(std::uint16_t port, int backlog) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        return -1;
    }
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in address = loopback(port);
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, backlog) != 0) {
        ::close(listener);
        return -1;
    }
    return listener;
}

} // namespace

bool ServerConnection::wait_for(short events) {
    while (!server_.stopping()) {
        pollfd entry{socket_, events, 0};
        const int ready = poll(&entry, 1, kPollSlice);
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
    return false;
}

std::string ServerConnection::read_request() {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && wait_for(POLLIN)) {
        const ssize_t got = recv(socket_, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(got));
    }
    server_.record(request);
    return request;
}

std::string ServerConnection::read_some() {
    std::string bytes;
    char buffer[4096];
    if (wait_for(POLLIN)) {
        const ssize_t got = recv(socket_, buffer, sizeof buffer, 0);
        if (got > 0) {
            bytes.assign(buffer, static_cast<std::size_t>(got));
        }
    }
    server_.record(bytes);
    return bytes;
}

bool ServerConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (!wait_for(POLLOUT)) {
            return false;
        }
        const ssize_t sent = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void ServerConnection::wait_for_hang_up() {
    char buffer[4096];
    while (wait_for(POLLIN)) {
        if (recv(socket_, buffer, sizeof buffer, 0) <= 0) {
            return;
        }
    }
}

void ServerConnection::pause(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!server_.stopping() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(
            std::min<long>(kPollSlice, std::chrono::duration_cast<std::chrono::milliseconds>(
                                           until - std::chrono::steady_clock::now())
                                           .count())));
    }
}

void ServerConnection::reset() {
    const linger abort_on_close{1, 0};
    setsockopt(socket_, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
}

LoopbackHttpServer::LoopbackHttpServer(std::uint16_t port) {
    listener_ = listen_on(port, 16);
    if (listener_ < 0) {
        return;
    }
    port_ = bound_port(listener_);
    thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

std::string LoopbackHttpServer::url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

void LoopbackHttpServer::then(Script script) {
    const std::lock_guard lock(mutex_);
    scripts_.push_back(std::move(script));
}

std::vector<std::string> LoopbackHttpServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::record(std::string request) {
    const std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
}

void LoopbackHttpServer::serve() {
    while (!stopping_) {
        pollfd entry{listener_, POLLIN, 0};
        if (poll(&entry, 1, kPollSlice) <= 0) {
            continue;
        }
        const int socket = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (socket < 0) {
            continue;
        }
        ++connections_;
        Script script;
        {
            const std::lock_guard lock(mutex_);
            if (!scripts_.empty()) {
                last_script_ = std::move(scripts_.front());
                scripts_.pop_front();
            }
            script = last_script_;
        }
        if (script) {
            ServerConnection connection(*this, socket);
            script(connection);
        }
        ::close(socket);
    }
}

std::string http_answer(std::initializer_list<std::string_view> head, std::string_view body) {
    std::string answer;
    for (std::string_view line : head) {
        answer.append(line);
        answer.append("\r\n");
    }
    answer.append("\r\n");
    answer.append(body);
    return answer;
}

LoopbackHttpServer::Script answer_with(std::string bytes) {
    return [bytes = std::move(bytes)](ServerConnection& connection) {
        connection.read_request();
        connection.send(bytes);
    };
}

UnansweredPort::UnansweredPort() {
    // A backlog of 0 holds one finished connection; with the filler in it the queue is full and
    // the kernel drops every further connection attempt unanswered.
    listener_ = listen_on(0, 0);
    if (listener_ < 0) {
        return;
    }
    port_ = bound_port(listener_);
    filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port_);
    ready_ = filler_ >= 0 &&
             connect(filler_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

UnansweredPort::~UnansweredPort() {
    if (filler_ >= 0) {
        ::close(filler_);
    }
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

} // namespace tavik::testing
