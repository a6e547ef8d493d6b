// Fuzzes the HTTP fetch against a loopback server that answers every connection with the fuzzer's
// bytes: status line, header lines and body as they come, then an orderly close or a reset.
//
// Properties:
//  1. The fetch returns (short time-outs here; libFuzzer's -timeout catches a hang).
//  2. The body is never longer than the bytes the server sent (redirects make it send them more
//     than once) and never longer than kHttpBodyLimit.
//  3. A fetch that got no answer (RequestFailed) returns no bytes.
//  4. A plain answer, "HTTP/1.0 200 OK", an empty line and a body, then a close, gives exactly that
//     body.
// AddressSanitizer and UndefinedBehaviorSanitizer watch the reading of whatever arrives.
#include "fuzz_check.h"
#include "services/http_fetch.h"
#include "services/loopback_http_server.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace {

using tavik::testing::LoopbackHttpServer;
using tavik::testing::ServerConnection;

struct Answer {
    std::mutex mutex;
    std::string bytes;
    bool reset = false;
    std::atomic<std::size_t> sent{0};
};

Answer g_answer;
LoopbackHttpServer* g_server = nullptr;
std::string g_address;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The answer comes from loopback, never through a proxy named in the environment.
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        unsetenv(name);
    }
    // Time-outs far below the program's: a fuzzer runs thousands of fetches.
    tavik::set_http_fetch_timeouts({.connect = std::chrono::milliseconds{2000},
                                    .no_progress = std::chrono::seconds{1},
                                    .whole_exchange = std::chrono::milliseconds{3000}});
    g_server = new LoopbackHttpServer(); // lives as long as the fuzzer
    if (!g_server->listening()) {
        std::abort();
    }
    g_server->then([](ServerConnection& connection) {
        connection.read_request();
        std::string bytes;
        bool reset = false;
        {
            const std::lock_guard lock(g_answer.mutex);
            bytes = g_answer.bytes;
            reset = g_answer.reset;
        }
        g_answer.sent += bytes.size(); // counted before it goes, so the body can never outrun it
        connection.send(bytes);
        if (reset) {
            connection.reset();
        }
    });
    g_address = g_server->url("/tavik.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    {
        const std::lock_guard lock(g_answer.mutex);
        g_answer.reset = (data[0] & 1) != 0;
        g_answer.bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    }
    g_answer.sent = 0;

    const tavik::HttpFetchOutcome outcome = tavik::http_fetch_outcome(g_address);

    FUZZ_CHECK(outcome.body.size() <= g_answer.sent);
    FUZZ_CHECK(outcome.body.size() <= tavik::kHttpBodyLimit);
    if (outcome.end == tavik::HttpFetchEnd::RequestFailed) {
        FUZZ_CHECK(outcome.body.empty());
    }

    constexpr std::string_view kPlainHead = "HTTP/1.0 200 OK\r\n\r\n";
    const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) == 0 && answer.substr(0, kPlainHead.size()) == kPlainHead) {
        const std::string_view body = answer.substr(kPlainHead.size());
        FUZZ_CHECK(outcome.end == tavik::HttpFetchEnd::Complete);
        FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(outcome.body.data()),
                                    outcome.body.size()) == body);
    }
    return 0;
}
