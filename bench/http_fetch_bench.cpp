// Speed of the HTTP fetch on loopback beside a bare libcurl GET of the same address in the same
// run: the median time to fetch "1.0", and the throughput of a body just under the 16 MiB bound.
#include "services/http_fetch.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kVersionRounds = 2000;
constexpr int kBodyRounds = 15;
constexpr std::size_t kBodySize = std::size_t{15} * 1024 * 1024;
constexpr double kVersionGoal = 1.2; // at most this many times the bare GET's median
constexpr double kBodyGoal = 0.95;   // at least this share of the bare GET's throughput

std::string answer(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Serves /tavik.txt and /body one connection at a time, closing each after its answer.
class Server {
public:
    Server()
        : version_(answer("1.0"))
        , body_(answer(std::string(kBodySize, 'b'))) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 64) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::perror("loopback server");
            std::exit(1);
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~Server() {
        stopping_ = true;
        thread_.join();
        close(listener_);
    }

    std::string url(const char* target) const {
        return "http://127.0.0.1:" + std::to_string(port_) + target;
    }

private:
    void serve() {
        while (!stopping_) {
            pollfd entry{listener_, POLLIN, 0};
            if (poll(&entry, 1, 50) <= 0) {
                continue;
            }
            const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                continue;
            }
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                request.append(buffer, static_cast<std::size_t>(got));
            }
            const std::string& reply =
                request.find(" /body ") != std::string::npos ? body_ : version_;
            std::size_t sent = 0;
            while (sent < reply.size()) {
                const ssize_t now =
                    send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                if (now <= 0) {
                    break;
                }
                sent += static_cast<std::size_t>(now);
            }
            close(connection);
        }
    }

    std::string version_;
    std::string body_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// The baseline: one reused easy handle, the address and a write callback, nothing else.
class BareGet {
public:
    BareGet()
        : handle_(curl_easy_init()) {
        if (handle_ == nullptr ||
            curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &BareGet::on_body) != CURLE_OK ||
            curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &body_) != CURLE_OK) {
            std::fputs("bare libcurl GET: set-up failed\n", stderr);
            std::exit(1);
        }
    }
    ~BareGet() { curl_easy_cleanup(handle_); }

    std::size_t get(const std::string& url) {
        body_.clear();
        body_.shrink_to_fit();
        if (curl_easy_setopt(handle_, CURLOPT_URL, url.c_str()) != CURLE_OK ||
            curl_easy_perform(handle_) != CURLE_OK) {
            std::fputs("bare libcurl GET failed\n", stderr);
            std::exit(1);
        }
        return body_.size();
    }

private:
    static std::size_t on_body(char* data, std::size_t size, std::size_t count, void* body) {
        auto* bytes = static_cast<std::vector<std::uint8_t>*>(body);
        const auto* first = reinterpret_cast<const std::uint8_t*>(data);
        bytes->insert(bytes->end(), first, first + size * count);
        return size * count;
    }

    CURL* handle_;
    std::vector<std::uint8_t> body_;
};

double seconds_of(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Fetch> double timed(Fetch&& fetch, std::size_t expected_size) {
    const Clock::time_point start = Clock::now();
    const std::size_t size = fetch();
    const double elapsed = seconds_of(Clock::now() - start);
    if (size != expected_size) {
        std::fprintf(stderr, "fetched %zu bytes instead of %zu\n", size, expected_size);
        std::exit(1);
    }
    return elapsed;
}

// Alternates which of the two goes first, so that neither always runs on a freshly idle server.
template <typename First, typename Second>
void take_turns(int round, First&& first, Second&& second) {
    if (round % 2 == 0) {
        first();
        second();
    } else {
        second();
        first();
    }
}

const char* verdict(bool met) {
    return met ? "goal met" : "GOAL MISSED";
}

} // namespace

int main() {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        return 1;
    }
    Server server;
    BareGet bare;
    const tavik::Text version_url = server.url("/tavik.txt");
    const tavik::Text body_url = server.url("/body");
    const auto ours = [](const tavik::Text& url) {
        return [&url] { return tavik::http_fetch(url).size(); };
    };
    const auto baseline = [&bare](const std::string& url) {
        return [&bare, &url] { return bare.get(url); };
    };

    // Warm both up (the client context is opened on the first fetch), then take turns so that
    // both see the same machine.
    for (int i = 0; i < 50; ++i) {
        timed(ours(version_url), 3);
        timed(baseline(version_url), 3);
    }
    std::vector<double> fetch_times;
    std::vector<double> bare_times;
    for (int i = 0; i < kVersionRounds; ++i) {
        take_turns(
            i, [&] { fetch_times.push_back(timed(ours(version_url), 3)); },
            [&] { bare_times.push_back(timed(baseline(version_url), 3)); });
    }
    const double fetch_median = median(fetch_times);
    const double bare_median = median(bare_times);
    const double version_ratio = fetch_median / bare_median;
    std::printf("version text \"1.0\", median of %d fetches on loopback\n", kVersionRounds);
    std::printf("  http_fetch        %8.1f us\n", fetch_median * 1e6);
    std::printf("  bare libcurl GET  %8.1f us\n", bare_median * 1e6);
    std::printf("  ratio %.2f (goal: at most %.2f) %s\n", version_ratio, kVersionGoal,
                verdict(version_ratio <= kVersionGoal));

    fetch_times.clear();
    bare_times.clear();
    for (int i = 0; i < kBodyRounds; ++i) {
        take_turns(
            i, [&] { fetch_times.push_back(timed(ours(body_url), kBodySize)); },
            [&] { bare_times.push_back(timed(baseline(body_url), kBodySize)); });
    }
    const double mebibytes = static_cast<double>(kBodySize) / (1024.0 * 1024.0);
    const double fetch_throughput = mebibytes / median(fetch_times);
    const double bare_throughput = mebibytes / median(bare_times);
    const double body_ratio = fetch_throughput / bare_throughput;
    std::printf("%.0f MiB body, median of %d fetches on loopback\n", mebibytes, kBodyRounds);
    std::printf("  http_fetch        %8.0f MiB/s\n", fetch_throughput);
    std::printf("  bare libcurl GET  %8.0f MiB/s\n", bare_throughput);
    std::printf("  ratio %.2f (goal: at least %.2f) %s\n", body_ratio, kBodyGoal,
                verdict(body_ratio >= kBodyGoal));
    return 0;
}
