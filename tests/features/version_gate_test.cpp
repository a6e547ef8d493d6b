// The version gate against recording stand-ins for the theme, the window and the desktop, with the
// version host played by a scripted server on the build's loopback port.
#include "features/main_window_names.h"
#include "features/version_gate.h"
#include "services/control_text.h"
#include "services/desktop_shell.h"
#include "services/http_fetch.h"
#include "services/loopback_http_server.h"
#include "services/service_environment.h"
#include "services/theme_switch.h"
#include "services/url_opener.h"
#include "support/program_end.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavik {
namespace {

using testing::LoopbackHttpServer;
using testing::ProgramEnded;
using testing::ServerConnection;

// Every step the gate takes through a seam, in order.
class Steps final : public ThemeSwitch,
                    public ControlTextPort,
                    public UrlOpener,
                    public ProgramLifecycle,
                    public MessageBoxPresenter {
public:
    std::vector<std::string> log;
    std::map<std::string, Text, std::less<>> texts;
    MessageBoxRequest box;

    std::int32_t set_theme(std::int32_t mode) override {
        log.push_back("theme " + std::to_string(mode));
        return 1;
    }
    ControlAccess access(std::uint32_t window, std::string_view) override {
        return window == kMainWindow ? ControlAccess::Ok : ControlAccess::WindowNotLoaded;
    }
    Text read(std::uint32_t, std::string_view control) override {
        log.push_back("read " + std::string(control));
        return texts[std::string(control)];
    }
    void write(std::uint32_t, std::string_view control, const Text& text) override {
        log.push_back("write " + std::string(control) + " " + text);
        texts[std::string(control)] = text;
    }
    void open(const Text& address) override { log.push_back("open " + address); }
    void suppress_events_for_good() override { log.push_back("suppress"); }
    void clear_exit_routines() override {}
    [[noreturn]] void shut_down(std::int32_t exit_code) override {
        log.push_back("end " + std::to_string(exit_code));
        throw ProgramEnded{exit_code};
    }
    MessageBoxButton present(const MessageBoxRequest& request) override {
        log.push_back("box");
        box = request;
        return MessageBoxButton::Ok;
    }
};

// The port of the build's version address when it is on loopback.
std::optional<std::uint16_t> loopback_version_port() {
    const std::string address = version_address();
    const std::string prefix = "http://127.0.0.1:";
    if (address.rfind(prefix, 0) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(std::stoi(address.substr(prefix.size())));
}

std::string response(std::string_view status, std::string_view body) {
    return "HTTP/1.0 " + std::string(status) +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

class VersionGateTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = service_environment();
        ServiceEnvironment& environment = service_environment();
        environment.theme = &steps_;
        environment.controls = &steps_;
        environment.url_opener = &steps_;
        environment.lifecycle = &steps_;
        environment.message_box = &steps_;
        steps_.texts[std::string(control_name::kVersionHolder)] = "\xb1\xea\xc7\xa9"; // 标签
    }
    void TearDown() override { service_environment() = saved_; }

    // Runs the gate and tells whether it ended the program, and with which code.
    std::optional<std::int32_t> run_gate() {
        try {
            version_gate();
        } catch (const ProgramEnded& ended) {
            return ended.exit_code;
        }
        return std::nullopt;
    }

    std::vector<std::string> update_steps(const Text& published) const {
        const std::string holder(control_name::kVersionHolder);
        return {"theme 2", "write " + holder + " " + published, "read " + holder,
                "box",     "open " + download_page(),           "suppress",
                "end 0"};
    }

    Steps steps_;

private:
    ServiceEnvironment saved_;
};

TEST_F(VersionGateTest, WhatTheHostPublishesDecides) {
    const std::optional<std::uint16_t> port = loopback_version_port();
    if (!port) {
        GTEST_SKIP() << "the build's version host is not on loopback";
    }
    struct Case {
        const char* what;
        std::string reply;
        bool goes_on;
        Text held;
    };
    const Case cases[] = {
        {"exactly 1.0", response("200 OK", "1.0"), true, "1.0"},
        {"1.0, a zero byte, more", response("200 OK", std::string("1.0\0xy", 6)), true, "1.0"},
        {"404 whose body is 1.0", response("404 Not Found", "1.0"), true, "1.0"},
        {"1.0 and CR LF", response("200 OK", "1.0\r\n"), false, "1.0\r\n"},
        {"1.1", response("200 OK", "1.1"), false, "1.1"},
        {"a byte-order mark first",
         response("200 OK", "\xef\xbb\xbf"
                            "1.0"),
         false,
         "\xef\xbb\xbf"
         "1.0"},
        {"a zero byte first",
         response("200 OK", std::string("\0"
                                        "1.0",
                                        4)),
         false, ""},
        {"an error page", response("500 Oops", "<html>oops</html>"), false, "<html>oops</html>"},
    };
    for (const Case& c : cases) {
        steps_.log.clear();
        LoopbackHttpServer server(*port);
        ASSERT_TRUE(server.listening()) << "port " << *port << " is taken";
        server.then([&](ServerConnection& connection) {
            connection.read_request();
            connection.send(c.reply);
        });
        const std::optional<std::int32_t> ended = run_gate();
        const std::string holder(control_name::kVersionHolder);
        if (c.goes_on) {
            EXPECT_FALSE(ended.has_value()) << c.what;
            EXPECT_EQ(steps_.log,
                      (std::vector<std::string>{"theme 2", "write " + holder + " " + c.held,
                                                "read " + holder}))
                << c.what;
        } else {
            EXPECT_EQ(ended, std::optional<std::int32_t>(0)) << c.what;
            EXPECT_EQ(steps_.log, update_steps(c.held)) << c.what;
        }
        EXPECT_EQ(steps_.texts[holder], c.held) << c.what << ": the version holder keeps the text";
        ASSERT_EQ(server.requests().size(), 1u) << c.what;
        EXPECT_EQ(server.requests()[0].rfind("GET /tavik.txt HTTP/1.0\r\n", 0), 0u) << c.what;
    }
}

TEST_F(VersionGateTest, NothingPublishedIsAnOutdatedVersion) {
    // Nothing listens where the version is looked for (or the host does not resolve).
    if (const std::optional<std::uint16_t> port = loopback_version_port()) {
        // Binding the port shows nobody else serves it; it is let go before the gate runs.
        LoopbackHttpServer probe(*port);
        ASSERT_TRUE(probe.listening()) << "port " << *port << " is taken";
    }
    EXPECT_EQ(run_gate(), std::optional<std::int32_t>(0));
    EXPECT_EQ(steps_.log, update_steps(""));
    // 当前不是最新版本，确定下载最新版本 in the box titled 更新提示: one OK, no icon, no owner.
    EXPECT_EQ(steps_.box.text,
              "\xb5\xb1\xc7\xb0\xb2\xbb\xca\xc7\xd7\xee\xd0\xc2\xb0\xe6\xb1\xbe\xa3"
              "\xac\xc8\xb7\xb6\xa8\xcf\xc2\xd4\xd8\xd7\xee\xd0\xc2\xb0\xe6\xb1\xbe");
    EXPECT_EQ(steps_.box.title, "\xb8\xfc\xd0\xc2\xcc\xe1\xca\xbe");
    EXPECT_EQ(steps_.box.type, message_box_type::kTaskModal);
    EXPECT_FALSE(steps_.box.owner.has_value());
}

TEST(VersionGateAddresses, FollowTheBuildValues) {
    const Text version = version_address();
    EXPECT_EQ(version.rfind("http://", 0), 0u);
    EXPECT_EQ(version.substr(version.size() - 10), "/tavik.txt");
    const Text page = download_page();
    EXPECT_EQ(page.rfind("http://", 0), 0u);
    EXPECT_EQ(page.find('/', 7), Text::npos) << "the download page has no path";
}

} // namespace
} // namespace tavik
