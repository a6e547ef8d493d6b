// Splitting addresses for the fetch: the parts, the canonical target, the scheme rules, the limits.
#include "services/http_address.h"

#include <gtest/gtest.h>
#include <string>

namespace tavik {
namespace {

struct Parsed {
    HttpScheme scheme;
    std::string host;
    std::uint16_t port;
    std::string user_name;
    std::string password;
    std::string target;
};

void expect_parts(const std::string& address, const Parsed& expected) {
    const std::optional<HttpAddress> parsed = parse_http_address(address);
    ASSERT_TRUE(parsed.has_value()) << address;
    EXPECT_EQ(parsed->scheme, expected.scheme) << address;
    EXPECT_EQ(parsed->host, expected.host) << address;
    EXPECT_EQ(parsed->port, expected.port) << address;
    EXPECT_EQ(parsed->user_name, expected.user_name) << address;
    EXPECT_EQ(parsed->password, expected.password) << address;
    EXPECT_EQ(parsed->target, expected.target) << address;
}

TEST(HttpAddress, SplitsSchemeCredentialsHostPortAndTarget) {
    const HttpScheme http = HttpScheme::Http;
    const HttpScheme https = HttpScheme::Https;
    const struct {
        std::string address;
        Parsed expected;
    } cases[] = {
        {"http://version.tavik.example/tavik.txt",
         {http, "version.tavik.example", 80, "", "", "/tavik.txt"}},
        {"https://example.com", {https, "example.com", 443, "", "", "/"}},
        {"HTTPS://Example.com:8443/a?b=c", {https, "Example.com", 8443, "", "", "/a?b=c"}},
        {"http://127.0.0.1:8080/", {http, "127.0.0.1", 8080, "", "", "/"}},
        {"http://h:/x", {http, "h", 80, "", "", "/x"}},
        {"http://[::1]:8080/x", {http, "[::1]", 8080, "", "", "/x"}},
        {"http://[::1]/x", {http, "[::1]", 80, "", "", "/x"}},
        {"http://h:65535", {http, "h", 65535, "", "", "/"}},
        {"http://user:secret@h/", {http, "h", 80, "user", "secret", "/"}},
        {"http://user@h/", {http, "h", 80, "user", "", "/"}},
        {"http://:secret@h/", {http, "h", 80, "", "secret", "/"}},
        {"http://u:p:q@h/", {http, "h", 80, "u", "p:q", "/"}},
        {"http://u:p@x@h:81/", {http, "h", 81, "u", "p@x", "/"}},
        {"http://h?q=1", {http, "h", 80, "", "", "/?q=1"}},
        {"http://h#top", {http, "h", 80, "", "", "/"}},
        {"http://h/page#top", {http, "h", 80, "", "", "/page"}},
        {"http://h/p?q=1#f?g", {http, "h", 80, "", "", "/p?q=1"}},
        {"http://h/p#f?g", {http, "h", 80, "", "", "/p"}},
        // A Text ends at its first zero byte.
        {std::string("http://h/a\0b", 12), {http, "h", 80, "", "", "/a"}},
    };
    for (const auto& c : cases) {
        expect_parts(c.address, c.expected);
    }
}

TEST(HttpAddress, ResolvesDotSegmentsOfThePathOnly) {
    const struct {
        const char* path;
        const char* target;
    } cases[] = {
        {"/a/./b/../c", "/a/c"},
        {"/a/b/..", "/a/"},
        {"/a/b/.", "/a/b/"},
        {"/a/b/../../..", "/"},
        {"/../../x", "/x"},
        {"/./", "/"},
        {"/a//../b", "/a/b"},
        {"/a/.../b", "/a/.../b"},
        {"/a/..b/.c", "/a/..b/.c"},
        {"/a/%2e%2e/b", "/a/%2e%2e/b"},
        {"/a/../b?x/../y", "/b?x/../y"},
        {"/a/..?x", "/?x"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse_http_address(std::string("http://h") + c.path);
        ASSERT_TRUE(parsed.has_value()) << c.path;
        EXPECT_EQ(parsed->target, c.target) << c.path;
    }
}

TEST(HttpAddress, SendsUnsafeCharactersAsTheyAreButEscapesTheSpace) {
    // GBK bytes, quotes, braces and the like go out unchanged; a bare space would break the
    // request line into four fields.
    const auto parsed = parse_http_address("http://h/\xb0\xa1\"<>{}|\\^`/a b?c d");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->target, "/\xb0\xa1\"<>{}|\\^`/a%20b?c%20d");
}

TEST(HttpAddress, RefusesWhatCannotBeFetched) {
    const std::string cases[] = {
        "",
        "version.tavik.example/tavik.txt",
        "//h/x",
        "http:/h/x",
        "http:h",
        "ftp://h/x",
        "file:///etc/passwd",
        "gopher://h/",
        "mailto:someone@h",
        "1http://h/",
        " http://h/",
        "http://",
        "http:///x",
        "http://user@/x",
        "http://h:0/",
        "http://h:65536/",
        "http://h:99999999999999999999/",
        "http://h:8a/",
        "http://h:-1/",
        "http://[::1/",
        "http://[::1]x/",
        "http://h/a\r\nX-Forged: 1",
        "http://h/a\tb",
        "http://h/\x7f",
        std::string("\0http://h/", 10),
    };
    for (const std::string& address : cases) {
        EXPECT_FALSE(parse_http_address(address).has_value()) << address;
    }
}

TEST(HttpAddress, KeepsEachPartWithinItsLimit) {
    using namespace http_address_limit;
    const std::string host_at_limit(kHost, 'h');
    const std::string user_at_limit(kUserName, 'u');
    const std::string password_at_limit(kPassword, 'p');
    // The fragment counts towards the target's limit although it is never sent.
    const std::string path_at_limit = "/" + std::string(kTarget - 1, 't');
    const std::string path_and_fragment_at_limit = "/" + std::string(kTarget - 4, 't') + "#fr";
    const struct {
        std::string address;
        bool fits;
    } cases[] = {
        {"http://" + host_at_limit + "/", true},
        {"http://" + host_at_limit + "h/", false},
        {"http://" + user_at_limit + "@h/", true},
        {"http://" + user_at_limit + "u@h/", false},
        {"http://u:" + password_at_limit + "@h/", true},
        {"http://u:" + password_at_limit + "p@h/", false},
        {"http://h" + path_at_limit, true},
        {"http://h" + path_at_limit + "t", false},
        {"http://h" + path_and_fragment_at_limit, true},
        {"http://h" + path_and_fragment_at_limit + "x", false},
        // Measured after the dot segments are resolved.
        {"http://h/x/.." + path_at_limit, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_http_address(c.address).has_value(), c.fits)
            << c.address.substr(0, 40) << "... (" << c.address.size() << " characters)";
    }
}

TEST(HttpAddress, ClientUrlNamesThePortOnlyWhenItIsNotTheSchemesOwn) {
    const struct {
        const char* address;
        const char* url;
    } cases[] = {
        {"http://h:80/a", "http://h/a"},
        {"http://h:443/a", "http://h:443/a"},
        {"https://h:443/a", "https://h/a"},
        {"https://u:p@h:8443/a/../b#f", "https://h:8443/b"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse_http_address(c.address);
        ASSERT_TRUE(parsed.has_value()) << c.address;
        EXPECT_EQ(client_url(*parsed), c.url) << c.address;
    }
}

} // namespace
} // namespace tavik
