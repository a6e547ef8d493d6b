// A scripted HTTP server on 127.0.0.1 for the fetch tests: it records the raw request bytes and
// answers each connection with whatever its script sends, stalls or breaks off.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tavik::testing {

class LoopbackHttpServer;

// One accepted connection, as its script sees it. Every wait gives up once the server stops.
class ServerConnection {
public:
    ServerConnection(LoopbackHttpServer& server, int socket)
        : server_(server)
        , socket_(socket) {}

    // Reads up to and including the empty line that ends a request head (or until the client
    // stops sending) and records the bytes as one request.
    std::string read_request();
    // Reads whatever arrives first and records it as one request.
    std::string read_some();
    // Sends all bytes unless the client has gone; says whether they all went.
    bool send(std::string_view bytes);
    // Waits until the client hangs up.
    void wait_for_hang_up();
    // Waits, but not past the server's stop.
    void pause(std::chrono::milliseconds duration);
    // Ends the connection with a reset rather than an orderly close.
    void reset();

private:
    bool wait_for(short events);

    LoopbackHttpServer& server_;
    int socket_;
};

class LoopbackHttpServer {
public:
    using Script = std::function<void(ServerConnection&)>;

    // Listens on an ephemeral port, or on the given one; see listening().
    explicit LoopbackHttpServer(std::uint16_t port = 0);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool listening() const { return listener_ >= 0; }
    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the target.
    std::string url(std::string_view target = "/") const;

    // The script of the next connection not yet given one; the last script also serves every
    // connection after it.
    void then(Script script);
    // The request bytes received, one entry per read_request() or read_some().
    std::vector<std::string> requests() const;
    std::size_t connections() const { return connections_; }

    bool stopping() const { return stopping_; }

private:
    friend class ServerConnection;
    void serve();
    void record(std::string request);

    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> connections_{0};
    mutable std::mutex mutex_;
    std::deque<Script> scripts_;
    Script last_script_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A complete answer: the head lines (status line first, without line ends) and the body.
std::string http_answer(std::initializer_list<std::string_view> head, std::string_view body);
// Reads the request, sends the bytes, closes.
LoopbackHttpServer::Script answer_with(std::string bytes);

// A port where connecting never completes: the listener's queue is kept full and nothing is ever
// accepted, so the client's connection attempts go unanswered.
class UnansweredPort {
public:
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    bool ready() const { return ready_; }
    std::uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    int filler_ = -1;
    std::uint16_t port_ = 0;
    bool ready_ = false;
};

} // namespace tavik::testing
