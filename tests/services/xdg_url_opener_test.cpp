// open_web_address with the real xdg-open opener, against a recording xdg-open put first on PATH.
#include "services/desktop_shell.h"
#include "services/service_environment.h"
#include "services/xdg_url_opener.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// Writes its arguments NUL-separated to `argv`, then holds until the test creates `release` (or a
// minute has gone by, so that a broken test cannot leave it behind), then writes `finished`.
constexpr char kRecordingOpener[] = R"(#!/bin/sh
dir=$(dirname "$0")
printf '%s\0' "$@" > "$dir/argv.part" && mv "$dir/argv.part" "$dir/argv"
n=0
while [ ! -e "$dir/release" ] && [ "$n" -lt 1200 ]; do sleep 0.05; n=$((n + 1)); done
touch "$dir/finished"
)";

bool has_children() {
    return !(waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
}

class OpenWebAddressTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_environment_ = service_environment();
        service_environment().url_opener = &opener_;
        const char* path = std::getenv("PATH");
        saved_path_ = path != nullptr ? path : "";
        std::string pattern = (fs::temp_directory_path() / "tavik-opener-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        setenv("PATH", saved_path_.c_str(), 1);
        service_environment() = saved_environment_;
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void install_recording_opener() {
        const fs::path bin = dir_ / "bin";
        fs::create_directory(bin);
        std::ofstream(bin / "xdg-open") << kRecordingOpener;
        fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        setenv("PATH", (bin.string() + ":" + saved_path_).c_str(), 1);
    }

    // Lets the recording opener finish and returns the arguments it was started with.
    std::vector<std::string> release_and_read_arguments() {
        const fs::path bin = dir_ / "bin";
        std::ofstream(bin / "release").put('\n');
        // Bounded only so that a missing opener fails the test instead of hanging it.
        for (int i = 0; i < 1200 && !fs::exists(bin / "finished"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(fs::exists(bin / "finished")) << "the opener was never started";
        std::ifstream in(bin / "argv", std::ios::binary);
        const std::string recorded{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::string> arguments;
        std::string::size_type start = 0;
        for (auto end = recorded.find('\0'); end != std::string::npos;
             end = recorded.find('\0', start)) {
            arguments.push_back(recorded.substr(start, end - start));
            start = end + 1;
        }
        fs::remove(bin / "release");
        fs::remove(bin / "finished");
        fs::remove(bin / "argv");
        return arguments;
    }

    fs::path dir_;

private:
    XdgUrlOpener opener_;
    ServiceEnvironment saved_environment_;
    std::string saved_path_;
};

TEST_F(OpenWebAddressTest, HandsTheAddressOverAsOneArgumentAndReturnsAtOnce) {
    install_recording_opener();
    const std::string marker = (dir_ / "ran").string();
    const std::string cases[] = {
        "http://pondly.example",
        "",
        "http://a.example/x y \"double\" 'single'; touch " + marker + "-semicolon",
        "http://a.example/$(touch " + marker + "-substitution)`touch " + marker + "-backtick`",
        "http://a.example/?a=1&b=2|touch " + marker + "-pipe > " + marker + "-redirect",
    };
    for (const std::string& address : cases) {
        open_web_address(address);
        // The opener holds until released, so it cannot have finished if the call did not wait.
        EXPECT_FALSE(fs::exists(dir_ / "bin" / "finished")) << "waited for: " << address;
        EXPECT_FALSE(has_children()) << "left a child behind for: " << address;
        EXPECT_EQ(release_and_read_arguments(), std::vector<std::string>{address});
    }
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().filename(), "bin") << "something else ran and made " << entry.path();
    }
}

TEST_F(OpenWebAddressTest, TheOpenerInheritsNoOtherDescriptorOfTheProgram) {
    // Left open across exec, as libraries do with descriptors of their own: the browser that the
    // opener starts outlives the program and must not hold on to them.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const fs::path bin = dir_ / "bin";
    fs::create_directory(bin);
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\n"
                                    << "for fd in " << ends[0] << " " << ends[1] << "; do\n"
                                    << "  [ -e /proc/$$/fd/$fd ] && printf '%s ' \"$fd\"\n"
                                    << "done > \"${0%/*}/inherited.part\"\n"
                                    << "mv \"${0%/*}/inherited.part\" \"${0%/*}/inherited\"\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    setenv("PATH", (bin.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")).c_str(), 1);

    open_web_address("http://pondly.example");
    close(ends[0]);
    close(ends[1]);
    // Bounded only so that a missing opener fails the test instead of hanging it.
    for (int i = 0; i < 1200 && !fs::exists(bin / "inherited"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(bin / "inherited");
    ASSERT_TRUE(in) << "the opener was never started";
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "");
}

TEST_F(OpenWebAddressTest, NoOpenerInstalledIsNoError) {
    setenv("PATH", dir_.c_str(), 1);
    open_web_address("http://pondly.example");
    EXPECT_FALSE(has_children());
}

} // namespace
} // namespace tavik
