// The web address of one fetch split into what the request needs, with the limits the fetch keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

enum class HttpScheme { Http, Https };

namespace http_address_limit {
inline constexpr std::size_t kHost = 256;
inline constexpr std::size_t kUserName = 128;
inline constexpr std::size_t kPassword = 128;
// Path, query and fragment together, counted before the fragment is cut off.
inline constexpr std::size_t kTarget = 2048;
} // namespace http_address_limit

struct HttpAddress {
    HttpScheme scheme = HttpScheme::Http;
    // As written in the address; an IPv6 literal keeps its brackets.
    std::string host;
    std::uint16_t port = 80;
    std::string user_name;
    std::string password;
    // What follows the method on the request line: the path with "." and ".." resolved, then the
    // query; never the fragment. "/" when the address has no path.
    std::string target;

    bool operator==(const HttpAddress&) const = default;
};

// Splits an absolute http or https address. Returns nothing for an address that cannot be fetched:
// no "scheme://", a scheme other than http and https, an empty host, a bad port, a part over its
// limit, or a control character anywhere (sent as it is, CR LF would forge header lines). The
// address ends at its first zero byte, as every Text does. Characters that are unsafe in an address
// stay as they are, except the space, which becomes %20 so that the request line keeps its three
// fields.
std::optional<HttpAddress> parse_http_address(std::string_view address);

// The address handed to the HTTP client: scheme, host, the port when it is not the scheme's own,
// and the target. Credentials are given to the client apart from it.
std::string client_url(const HttpAddress& address);

} // namespace tavik
