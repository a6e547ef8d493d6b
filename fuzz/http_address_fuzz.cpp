// Fuzzes the address parsing of the HTTP fetch.
//
// Properties of every address that parses (read up to its first zero byte):
//  1. It starts with "http://" or "https://" (any case) and holds no control character.
//  2. The limits hold: a host of 1 to 256 characters, a user name and a password of at most 128,
//     a port from 1 to 65535.
//  3. The target starts with "/" and holds no "#" (the fragment is never sent), no space and no
//     control character, so the request line keeps its three fields.
//  4. The canonical form is a fixed point: the address handed to the HTTP client parses again to
//     the same scheme, host, port and target (credentials travel apart from it). The limit counts
//     the target as written, so where the escaped spaces (three characters each) take the target
//     past it, the canonical form is refused instead: it is never fetched again, only handed to
//     the client.
// And of every address: no crash and no read past its bytes (exact-size buffer under ASan).
#include "fuzz_check.h"
#include "services/http_address.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace {

bool is_control(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> bytes(data, data + size);
    const std::string_view address(bytes.data(), bytes.size());
    const std::optional<tavik::HttpAddress> parsed = tavik::parse_http_address(address);
    if (!parsed) {
        return 0;
    }
    namespace limit = tavik::http_address_limit;
    const std::string_view text = address.substr(0, address.find('\0'));
    FUZZ_CHECK(starts_with_ignoring_case(
        text, parsed->scheme == tavik::HttpScheme::Https ? "https://" : "http://"));
    FUZZ_CHECK(std::none_of(text.begin(), text.end(), is_control));

    FUZZ_CHECK(!parsed->host.empty() && parsed->host.size() <= limit::kHost);
    FUZZ_CHECK(parsed->user_name.size() <= limit::kUserName);
    FUZZ_CHECK(parsed->password.size() <= limit::kPassword);
    FUZZ_CHECK(parsed->port != 0);

    const std::string& target = parsed->target;
    FUZZ_CHECK(!target.empty() && target.front() == '/');
    FUZZ_CHECK(target.find_first_of("# ") == std::string::npos);
    FUZZ_CHECK(std::none_of(target.begin(), target.end(), is_control));

    const std::optional<tavik::HttpAddress> again =
        tavik::parse_http_address(tavik::client_url(*parsed));
    if (target.size() > limit::kTarget) {
        FUZZ_CHECK(target.find("%20") != std::string::npos && !again);
        return 0;
    }
    FUZZ_CHECK(again.has_value());
    tavik::HttpAddress without_credentials = *parsed;
    without_credentials.user_name.clear();
    without_credentials.password.clear();
    FUZZ_CHECK(*again == without_credentials);
    return 0;
}
