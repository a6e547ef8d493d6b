// One HTTP GET, synchronous on the calling thread: the response body as bytes, empty on failure.
#pragma once

#include "text.h"

#include <chrono>
#include <cstddef>

namespace tavik {

// Fetches the address (http or https) and returns every body byte that arrived, whatever the
// status; the empty Byte set when nothing did, and the bytes so far when the exchange broke off,
// took too long or the body passed kHttpBodyLimit. Never throws, never shows anything, never looks
// at the status. Call it from one thread only: the client context is shared and not locked.
ByteSet http_fetch(const Text& address) noexcept;

// A body is not read past this many bytes; those bytes are what the fetch returns.
inline constexpr std::size_t kHttpBodyLimit = std::size_t{16} * 1024 * 1024;

// How long a fetch may wait; the README explains the defaults.
struct HttpFetchTimeouts {
    // Name resolution, TCP connect and the TLS handshake together.
    std::chrono::milliseconds connect{std::chrono::seconds{30}};
    // Ends a fetch once nothing at all has arrived for this long (whole seconds, at least 1).
    std::chrono::seconds no_progress{30};
    // Everything, redirects included, from the first connect to the last body byte.
    std::chrono::milliseconds whole_exchange{std::chrono::seconds{60}};

    bool operator==(const HttpFetchTimeouts&) const = default;
};

// The time-outs of later fetches. The program never changes them; tests shorten them.
HttpFetchTimeouts http_fetch_timeouts();
void set_http_fetch_timeouts(const HttpFetchTimeouts& timeouts);

// How a fetch ended, for tests and diagnostics; http_fetch() returns only the body.
enum class HttpFetchEnd {
    AddressRejected,   // empty, unparsable, over a limit, or not http/https: nothing sent
    ClientUnavailable, // the client context could not be opened or set up
    RequestFailed,     // no answer: name, connect, TLS, redirect rules, a broken answer head
    TimedOut,          // one of the time-outs; the body holds what came before it
    Complete,          // the body was read to its end
    BrokenOff,         // the connection failed after part of the body
    BodyLimit,         // kHttpBodyLimit reached; the body holds exactly that many bytes
    NoReadBuffer,      // memory for the read buffer could not be had; nothing was read
};

struct HttpFetchOutcome {
    ByteSet body;
    HttpFetchEnd end = HttpFetchEnd::AddressRejected;
};

HttpFetchOutcome http_fetch_outcome(const Text& address) noexcept;

// How many client contexts this process has opened: 0 before the first fetch whose address
// parses, 1 from then on. The client context is libcurl's process-wide set-up with the name cache
// and the TLS session cache that fetches share (each fetch has a request handle of its own); it is
// made on first use, reused by every later fetch and kept until the process ends. A failure to make
// it leaves none, and the next fetch tries again.
std::size_t http_client_contexts_opened();

} // namespace tavik
