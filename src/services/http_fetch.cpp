// The HTTP text fetch on libcurl's easy interface: one easy handle per fetch, the caches shared by
// the process's client context.
#include "http_fetch.h"

#include "http_address.h"
#include "read_size.h"

#include <algorithm>
#include <cstdint>
#include <curl/curl.h>
#include <exception>
#include <initializer_list>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kProtocols[] = "http,https";
constexpr long kRedirectLimit = 10;

struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;

struct ShareHandleDeleter {
    void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};
using ShareHandle = std::unique_ptr<CURLSH, ShareHandleDeleter>;

HeaderList make_header_list(std::initializer_list<const char*> lines) {
    curl_slist* list = nullptr;
    for (const char* line : lines) {
        curl_slist* longer = curl_slist_append(list, line);
        if (longer == nullptr) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = longer;
    }
    return HeaderList(list);
}

// libcurl's process-wide set-up, held for as long as the client context lives.
class CurlGlobal {
public:
    CurlGlobal()
        : ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}
    ~CurlGlobal() {
        if (ready_) {
            curl_global_cleanup();
        }
    }
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;
    bool ready() const { return ready_; }

private:
    bool ready_;
};

// The client context: libcurl set up for the process and a share of the name cache and the TLS
// session cache, which outlive each fetch. Every fetch has an easy handle of its own, so nothing of
// one fetch (credentials above all) reaches the next. A reused easy handle would also be unsafe:
// libcurl 7.88 keeps a pointer to the previous answer's last header line across requests, and an
// answer whose head starts with a folded line then writes through it after it was freed.
// FORBID_REUSE closes each fetch's connection when the fetch ends.
class ClientContext {
public:
    // Nothing when libcurl or the share cannot be had.
    static ClientContext* open() {
        std::unique_ptr<ClientContext> context(new (std::nothrow) ClientContext);
        if (!context || !context->global_.ready() || !context->share_ ||
            !context->request_headers_ || !context->proxy_headers_) {
            return nullptr;
        }
        for (const curl_lock_data shared : {CURL_LOCK_DATA_DNS, CURL_LOCK_DATA_SSL_SESSION}) {
            if (curl_share_setopt(context->share_.get(), CURLSHOPT_SHARE, shared) != CURLSHE_OK) {
                return nullptr;
            }
        }
        return context.release();
    }

    CURLSH* share() const { return share_.get(); }
    curl_slist* request_headers() const { return request_headers_.get(); }
    curl_slist* proxy_headers() const { return proxy_headers_.get(); }

private:
    ClientContext() = default;

    // Declared first: set up before the share and torn down after it.
    CurlGlobal global_;
    ShareHandle share_{global_.ready() ? curl_share_init() : nullptr};
    // The program's own header line. The client would add the same Accept by itself; naming it
    // here keeps it whatever the client's defaults.
    HeaderList request_headers_ = make_header_list({"Accept: */*"});
    // Only a proxy between us and the origin could answer from a cache, so only a proxy is asked
    // not to; a direct request carries no cache header.
    HeaderList proxy_headers_ = make_header_list({"Pragma: no-cache", "Cache-Control: no-cache"});
};

// Never torn down: the context lives until the process ends, and closing it from an exit routine
// could run after the TLS library has already cleaned up after itself.
ClientContext* g_context = nullptr;
std::size_t g_contexts_opened = 0;
HttpFetchTimeouts g_timeouts;

ClientContext* client_context() {
    if (g_context == nullptr) {
        g_context = ClientContext::open();
        if (g_context != nullptr) {
            ++g_contexts_opened;
        }
    }
    return g_context;
}

// Gathers one fetch's body. libcurl hands over the header lines of every answer, redirects
// included, and only the body of the final one.
class BodyReader {
public:
    static std::size_t on_header(char* data, std::size_t size, std::size_t count, void* self) {
        try {
            static_cast<BodyReader*>(self)->header_line(std::string_view(data, size * count));
        } catch (const std::bad_alloc&) {
            // A Content-Length that cannot be kept counts as unreadable.
        }
        return size * count;
    }

    static std::size_t on_body(char* data, std::size_t size, std::size_t count, void* self) {
        return static_cast<BodyReader*>(self)->body_bytes(data, size * count);
    }

    HttpFetchOutcome finish(CURLcode result) {
        HttpFetchEnd end = HttpFetchEnd::Complete;
        if (stop_) {
            end = *stop_;
        } else if (result == CURLE_OPERATION_TIMEDOUT) {
            end = HttpFetchEnd::TimedOut;
        } else if (result != CURLE_OK) {
            end = body_.empty() ? HttpFetchEnd::RequestFailed : HttpFetchEnd::BrokenOff;
        }
        return {std::move(body_), end};
    }

private:
    void header_line(std::string_view line) {
        if (line.substr(0, 5) == "HTTP/") {
            content_length_.reset();
            return;
        }
        if (content_length_) {
            return; // the first Content-Length of an answer counts
        }
        if (const std::optional<std::string_view> value = content_length_of_header_line(line)) {
            content_length_.emplace(*value);
        }
    }

    std::size_t body_bytes(const char* data, std::size_t length) {
        if (length == 0) {
            return 0;
        }
        try {
            if (!reading_) {
                reading_ = true;
                // The read buffer of the announced size: when the length is announced the body
                // buffer never has to grow for the announced bytes.
                try {
                    body_.reserve(read_size_for_content_length(content_length_));
                } catch (const std::bad_alloc&) {
                    stop_ = HttpFetchEnd::NoReadBuffer;
                    return CURL_WRITEFUNC_ERROR;
                }
            }
            const std::size_t room = kHttpBodyLimit - body_.size();
            const std::size_t taken = std::min(length, room);
            if (body_.size() + taken > body_.capacity()) {
                // Grows by doubling, but never asks for more than the bound.
                body_.reserve(
                    std::min(std::max(body_.capacity() * 2, body_.size() + taken), kHttpBodyLimit));
            }
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
            body_.insert(body_.end(), bytes, bytes + taken);
            if (taken < length) {
                stop_ = HttpFetchEnd::BodyLimit;
                return CURL_WRITEFUNC_ERROR;
            }
            return length;
        } catch (const std::bad_alloc&) {
            // A body that cannot grow ends like a read that fails part way.
            stop_ = HttpFetchEnd::BrokenOff;
            return CURL_WRITEFUNC_ERROR;
        }
    }

    ByteSet body_;
    std::optional<std::string> content_length_;
    bool reading_ = false;
    std::optional<HttpFetchEnd> stop_;
};

long at_least_one(long value) {
    return std::max(value, 1L);
}

CURLcode set_up_request(CURL* const h, const ClientContext& context, const HttpAddress& address,
                        const std::string& url, const HttpFetchTimeouts& timeouts,
                        BodyReader& reader) {
    CURLcode code = CURLE_OK;
    const auto check = [&code](CURLcode result) {
        if (code == CURLE_OK) {
            code = result;
        }
    };

    // What is asked for, and of whom.
    // libcurl sends the target as given except for bytes of 0x80 and above in the path, which it
    // always percent-escapes; naming the target ourselves (CURLOPT_REQUEST_TARGET) would keep them
    // raw but would also be sent unchanged after a redirect and to a proxy.
    check(curl_easy_setopt(h, CURLOPT_SHARE, context.share()));
    check(curl_easy_setopt(h, CURLOPT_URL, url.c_str()));
    check(curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kProtocols));
    check(curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L)); // the target is in canonical form already
    check(curl_easy_setopt(h, CURLOPT_HTTPGET, 1L));
    check(curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)));
    check(curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent));
    check(curl_easy_setopt(h, CURLOPT_HTTPHEADER, context.request_headers()));
    check(curl_easy_setopt(h, CURLOPT_PROXYHEADER, context.proxy_headers()));
    check(curl_easy_setopt(h, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE)));
    check(curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, static_cast<const char*>(nullptr)));
    check(curl_easy_setopt(h, CURLOPT_HTTP_CONTENT_DECODING, 0L));
    check(curl_easy_setopt(h, CURLOPT_HTTP_TRANSFER_DECODING, 1L));
    check(curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L));
    // The body is read until the server ends it, whatever Content-Length says (even a negative or
    // unreadable one); Content-Length only sizes the reads.
    check(curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L));
    check(curl_easy_setopt(h, CURLOPT_FAILONERROR, 0L));

    // Credentials from the address, offered when the server asks for them, never to another host.
    if (!address.user_name.empty() || !address.password.empty()) {
        check(curl_easy_setopt(h, CURLOPT_USERNAME, address.user_name.c_str()));
        check(curl_easy_setopt(h, CURLOPT_PASSWORD, address.password.c_str()));
        check(curl_easy_setopt(h, CURLOPT_HTTPAUTH,
                               static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST)));
    }
    check(curl_easy_setopt(h, CURLOPT_UNRESTRICTED_AUTH, 0L));

    // Redirects: followed, to http and https only, without a referrer.
    check(curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L));
    check(curl_easy_setopt(h, CURLOPT_MAXREDIRS, kRedirectLimit));
    check(curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols));
    check(curl_easy_setopt(h, CURLOPT_AUTOREFERER, 0L));

    // The proxy that the environment names (http_proxy, https_proxy, all_proxy, no_proxy); a
    // direct connection when it names none.
    check(curl_easy_setopt(h, CURLOPT_PROXY, static_cast<const char*>(nullptr)));

    // https: the system's certificate store, peer and name checked.
    check(curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L));
    check(curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L));

    check(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, at_least_one(timeouts.connect.count())));
    check(curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L));
    check(curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, at_least_one(timeouts.no_progress.count())));
    check(curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, at_least_one(timeouts.whole_exchange.count())));
    check(curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L));

    check(curl_easy_setopt(h, CURLOPT_NOPROGRESS, 1L));
    check(curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &BodyReader::on_header));
    check(curl_easy_setopt(h, CURLOPT_HEADERDATA, &reader));
    check(curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &BodyReader::on_body));
    check(curl_easy_setopt(h, CURLOPT_WRITEDATA, &reader));
    return code;
}

} // namespace

HttpFetchOutcome http_fetch_outcome(const Text& address) noexcept {
    try {
        const std::optional<HttpAddress> parsed = parse_http_address(address);
        if (!parsed) {
            return {{}, HttpFetchEnd::AddressRejected};
        }
        const std::string url = client_url(*parsed);
        ClientContext* const context = client_context();
        if (context == nullptr) {
            return {{}, HttpFetchEnd::ClientUnavailable};
        }
        const EasyHandle handle(curl_easy_init());
        if (!handle) {
            return {{}, HttpFetchEnd::ClientUnavailable};
        }
        BodyReader reader;
        if (set_up_request(handle.get(), *context, *parsed, url, g_timeouts, reader) != CURLE_OK) {
            return {{}, HttpFetchEnd::ClientUnavailable};
        }
        return reader.finish(curl_easy_perform(handle.get()));
    } catch (const std::exception&) {
        // Only memory can run out here, before anything was sent.
        return {{}, HttpFetchEnd::ClientUnavailable};
    }
}

ByteSet http_fetch(const Text& address) noexcept {
    return http_fetch_outcome(address).body;
}

HttpFetchTimeouts http_fetch_timeouts() {
    return g_timeouts;
}

void set_http_fetch_timeouts(const HttpFetchTimeouts& timeouts) {
    g_timeouts = timeouts;
}

std::size_t http_client_contexts_opened() {
    return g_contexts_opened;
}

} // namespace tavik
