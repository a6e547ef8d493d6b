// Starting xdg-open for a web address without a shell, without waiting and without a zombie.
#include "xdg_url_opener.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tavik {

namespace {

class SpawnAttributes {
public:
    SpawnAttributes() { ready_ = posix_spawnattr_init(&attributes_) == 0; }
    ~SpawnAttributes() {
        if (ready_) {
            posix_spawnattr_destroy(&attributes_);
        }
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    bool ready() const { return ready_; }
    posix_spawnattr_t* get() { return &attributes_; }

private:
    posix_spawnattr_t attributes_{};
    bool ready_ = false;
};

class SpawnFileActions {
public:
    SpawnFileActions() { ready_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnFileActions() {
        if (ready_) {
            posix_spawn_file_actions_destroy(&actions_);
        }
    }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    bool ready() const { return ready_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ready_ = false;
};

// The opener starts as if from a fresh login: its own session, so that neither the end of this
// program nor a hang-up of its terminal takes the browser along, no blocked signals, default
// dispositions (this process may ignore SIGPIPE), no terminal input to read, and none of the
// descriptors that libraries leave open across exec (libcurl's wake-up pair, for one), which the
// browser would otherwise hold for as long as it runs.
bool prepare_detached(SpawnAttributes& attributes, SpawnFileActions& actions) {
    if (!attributes.ready() || !actions.ready()) {
        return false;
    }
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    return posix_spawnattr_setsigmask(attributes.get(), &none) == 0 &&
           posix_spawnattr_setsigdefault(attributes.get(), &all) == 0 &&
           posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                          POSIX_SPAWN_SETSIGDEF) == 0 &&
           posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY,
                                            0) == 0 &&
           posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1) == 0;
}

} // namespace

void XdgUrlOpener::open(const Text& address) {
    // Everything is prepared before the fork: the intermediate child of this threaded process only
    // spawns and exits.
    SpawnAttributes attributes;
    SpawnFileActions actions;
    if (!prepare_detached(attributes, actions)) {
        return;
    }
    std::string program = "xdg-open";
    std::string argument = address;
    char* argv[] = {program.data(), argument.data(), nullptr};

    // A short-lived intermediate process starts the opener and exits at once. Reaping it here
    // takes no longer than the spawn; the opener is then nobody's child in this process, so it
    // needs no reaper thread or SIGCHLD handling, leaves no zombie and runs on after the program.
    const pid_t intermediate = fork();
    if (intermediate == 0) {
        pid_t opener = 0;
        const int spawned =
            posix_spawnp(&opener, program.c_str(), actions.get(), attributes.get(), argv, environ);
        _exit(spawned == 0 ? 0 : 1);
    }
    if (intermediate < 0) {
        return;
    }
    while (waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace tavik
