// Splitting a web address into scheme, credentials, host, port and request target.
#include "http_address.h"

#include <algorithm>

namespace tavik {

namespace {

bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_ascii_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_control(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

char to_lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return to_lower_ascii(x) == to_lower_ascii(y);
           });
}

std::optional<HttpScheme> scheme_of(std::string_view name) {
    if (name.empty() || !is_ascii_letter(name.front())) {
        return std::nullopt;
    }
    for (char c : name) {
        if (!is_ascii_letter(c) && !is_ascii_digit(c) && c != '+' && c != '-' && c != '.') {
            return std::nullopt;
        }
    }
    if (equals_ignoring_case(name, "http")) {
        return HttpScheme::Http;
    }
    if (equals_ignoring_case(name, "https")) {
        return HttpScheme::Https;
    }
    return std::nullopt;
}

std::uint16_t default_port(HttpScheme scheme) {
    return scheme == HttpScheme::Https ? 443 : 80;
}

// Empty text means the scheme's own port; anything but 1 to 65535 in decimal is refused.
std::optional<std::uint16_t> port_of(std::string_view text, HttpScheme scheme) {
    if (text.empty()) {
        return default_port(scheme);
    }
    std::uint32_t value = 0;
    for (char c : text) {
        if (!is_ascii_digit(c)) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 65535) {
            return std::nullopt;
        }
    }
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Drops the last segment written so far, with the slash before it.
void drop_last_segment(std::string& out) {
    const std::size_t slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
}

// Resolves "." and ".." segments the way a relative reference is merged into a base address.
std::string remove_dot_segments(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    while (!in.empty()) {
        if (starts_with(in, "../")) {
            in.remove_prefix(3);
        } else if (starts_with(in, "./") || starts_with(in, "/./")) {
            in.remove_prefix(2);
        } else if (in == "/.") {
            in = "/";
        } else if (starts_with(in, "/../")) {
            in.remove_prefix(3);
            drop_last_segment(out);
        } else if (in == "/..") {
            in = "/";
            drop_last_segment(out);
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            const std::size_t end = in.find('/', 1);
            const std::size_t length = end == std::string_view::npos ? in.size() : end;
            out.append(in.substr(0, length));
            in.remove_prefix(length);
        }
    }
    return out;
}

std::string escape_spaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ') {
            out += "%20";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::optional<HttpAddress> parse_http_address(std::string_view address) {
    address = address.substr(0, address.find('\0'));
    if (std::any_of(address.begin(), address.end(), is_control)) {
        return std::nullopt;
    }

    const std::size_t scheme_end = address.find("://");
    if (scheme_end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<HttpScheme> scheme = scheme_of(address.substr(0, scheme_end));
    if (!scheme) {
        return std::nullopt;
    }
    HttpAddress parsed;
    parsed.scheme = *scheme;

    const std::string_view rest = address.substr(scheme_end + 3);
    const std::size_t authority_end = std::min(rest.find_first_of("/?#"), rest.size());
    std::string_view host_and_port = rest.substr(0, authority_end);
    const std::string_view tail = rest.substr(authority_end);

    // The last at sign ends the credentials, so a password may hold at signs of its own.
    const std::size_t at = host_and_port.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view credentials = host_and_port.substr(0, at);
        const std::size_t colon = credentials.find(':');
        parsed.user_name = credentials.substr(0, colon);
        if (colon != std::string_view::npos) {
            parsed.password = credentials.substr(colon + 1);
        }
        host_and_port.remove_prefix(at + 1);
    }

    std::size_t host_end = host_and_port.find(':');
    if (starts_with(host_and_port, "[")) {
        const std::size_t bracket = host_and_port.find(']');
        if (bracket == std::string_view::npos) {
            return std::nullopt;
        }
        host_end = bracket + 1;
        if (host_end < host_and_port.size() && host_and_port[host_end] != ':') {
            return std::nullopt;
        }
    }
    host_end = std::min(host_end, host_and_port.size());
    parsed.host = host_and_port.substr(0, host_end);
    const std::string_view port_text =
        host_end < host_and_port.size() ? host_and_port.substr(host_end + 1) : std::string_view{};
    const std::optional<std::uint16_t> port = port_of(port_text, parsed.scheme);
    if (!port) {
        return std::nullopt;
    }
    parsed.port = *port;

    const std::size_t path_end = std::min(tail.find_first_of("?#"), tail.size());
    const std::size_t fragment_start = std::min(tail.find('#'), tail.size());
    std::string path = remove_dot_segments(tail.substr(0, path_end));
    if (path.empty()) {
        path.push_back('/');
    }
    const std::string_view query = tail.substr(path_end, fragment_start - path_end);
    const std::size_t fragment_length = tail.size() - fragment_start;
    const std::size_t target_length = path.size() + query.size() + fragment_length;

    if (parsed.host.empty() || parsed.host.size() > http_address_limit::kHost ||
        parsed.user_name.size() > http_address_limit::kUserName ||
        parsed.password.size() > http_address_limit::kPassword ||
        target_length > http_address_limit::kTarget) {
        return std::nullopt;
    }
    parsed.target = escape_spaces(path);
    parsed.target += escape_spaces(query);
    return parsed;
}

std::string client_url(const HttpAddress& address) {
    std::string url = address.scheme == HttpScheme::Https ? "https://" : "http://";
    url += address.host;
    if (address.port != default_port(address.scheme)) {
        url += ':';
        url += std::to_string(address.port);
    }
    url += address.target;
    return url;
}

} // namespace tavik
