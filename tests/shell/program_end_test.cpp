// end_program inside the whole program as main() runs it: each case runs the program in a child
// process, whose handlers leave markers on its standard error, and looks at how the child ended.
#include "services/desktop_shell.h"
#include "shell/program.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tavik {
namespace {

using ::testing::ElementsAre;
using ::testing::ExitedWithCode;
using ::testing::ResultOf;

// The link label's place in the main window.
const QRect kLinkLabel(8, 136, 136, 24);

void mark(const char* what) {
    std::fprintf(stderr, "marker: %s\n", what);
    std::fflush(stderr);
}

// The markers in what the child wrote, in order; Qt's own messages are left out.
std::vector<std::string> markers(const std::string& output) {
    std::vector<std::string> found;
    std::istringstream lines(output);
    const std::string prefix = "marker: ";
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(prefix)) {
            found.push_back(line.substr(prefix.size()));
        }
    }
    return found;
}

QWidget* main_window() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->findChild<QPushButton*>() != nullptr) {
            return window;
        }
    }
    return nullptr;
}

QPushButton* draw_button() {
    return main_window()->findChild<QPushButton*>();
}

QLabel* link_label() {
    for (QLabel* label : main_window()->findChildren<QLabel*>()) {
        if (label->parentWidget() == main_window() && label->geometry() == kLinkLabel) {
            return label;
        }
    }
    return nullptr;
}

// Queues left-button input for the target. Qt hands a posted event over as one sent by the
// program itself, which the toolkit's input hook rightly passes by; so what is queued is the
// delivery of the input as the windowing system makes it, spontaneous, once the loop next takes
// from its queue.
void queue_left_button(QWidget* target, QEvent::Type type) {
    static quint64 timestamp = 1000;
    timestamp += 10;
    QMetaObject::invokeMethod(
        qApp,
        [target = QPointer<QWidget>(target), type, stamp = timestamp] {
            if (target == nullptr) {
                return;
            }
            const QPointF at(target->width() / 2, target->height() / 2);
            const Qt::MouseButtons down = type == QEvent::MouseButtonRelease
                                              ? Qt::NoButton
                                              : Qt::MouseButtons(Qt::LeftButton);
            QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, down,
                              Qt::NoModifier);
            event.setTimestamp(stamp);
            QSpontaneKeyEvent::setSpontaneous(&event);
            qApp->notify(target, &event);
        },
        Qt::QueuedConnection);
}

// Reports a window closed through its close path.
class CloseWatcher final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            mark("window closed");
        }
        return false;
    }
};

// Runs the whole program and clicks its draw button once the loop runs. That first draw queues a
// click on the draw button and a press on the link label, then ends the program with end_code, or
// returns when there is none. A press on the link label ends the program with 3.
[[noreturn]] void draw_queues_input_then(std::optional<std::int32_t> end_code) {
    // A child that waits for input that never comes must not hang the test run.
    ::alarm(60);
    run_program({
        .version_gate =
            [] {
                // Clicked once the loop runs, with the window on screen.
                QTimer::singleShot(0, [] { draw_button()->click(); });
            },
        .account_draw =
            [end_code] {
                static bool first = true;
                mark("draw");
                if (!std::exchange(first, false)) {
                    return;
                }
                queue_left_button(draw_button(), QEvent::MouseButtonPress);
                queue_left_button(draw_button(), QEvent::MouseButtonRelease);
                queue_left_button(link_label(), QEvent::MouseButtonPress);
                qApp->installEventFilter(new CloseWatcher);
                if (end_code) {
                    end_program(*end_code);
                }
            },
        .friendly_link =
            [](std::int32_t, std::int32_t, std::uint32_t) {
                mark("link");
                end_program(3);
            },
    });
}

TEST(ProgramEndDeathTest, QueuedInputReachesItsHandlersWhenTheHandlerReturns) {
    // What the cases below would see without the end: the queued click draws again and the queued
    // press runs the friendly link.
    EXPECT_EXIT(draw_queues_input_then(std::nullopt), ExitedWithCode(3),
                ResultOf(markers, ElementsAre("draw", "draw", "link")));
}

TEST(ProgramEndDeathTest, EndsWithTheCodeAndNoQueuedInputReachesAHandler) {
    struct Case {
        std::int32_t code;
        int status; // as the parent sees it: the low eight bits
    };
    for (const Case c : {Case{0, 0}, Case{-1, 255}}) {
        EXPECT_EXIT(draw_queues_input_then(c.code), ExitedWithCode(c.status),
                    ResultOf(markers, ElementsAre("draw")))
            << "end_program(" << c.code << ")";
    }
}

// A folder holding a stand-in for the desktop's opener that takes its time, so that it is still
// running when the program has ended, and then records its argument.
class SlowOpener {
public:
    SlowOpener() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavik-opener-XXXXXX");
        if (::mkdtemp(pattern.data()) != nullptr) {
            folder_ = pattern;
        }
        std::ofstream script(folder_ / "xdg-open");
        script << "#!/bin/sh\n"
                  "sleep 0.5\n"
                  "printf '%s' \"$1\" > \"${0%/*}/record.part\"\n"
                  "mv \"${0%/*}/record.part\" \"${0%/*}/record\"\n";
        script.close();
        std::filesystem::permissions(folder_ / "xdg-open", std::filesystem::perms::owner_all);
    }
    ~SlowOpener() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SlowOpener(const SlowOpener&) = delete;
    SlowOpener& operator=(const SlowOpener&) = delete;

    const std::filesystem::path& folder() const { return folder_; }

    // The recorded argument, once the opener has written it; empty when it has not within a
    // generous time.
    std::optional<std::string> wait_for_record() const {
        for (int attempt = 0; attempt < 1500; ++attempt) {
            std::ifstream record(folder_ / "record");
            if (record) {
                return std::string(std::istreambuf_iterator<char>(record), {});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
    }

private:
    std::filesystem::path folder_;
};

TEST(ProgramEndDeathTest, AnAddressOpenedRightBeforeTheEndIsStillOpened) {
    SlowOpener opener;
    ASSERT_FALSE(opener.folder().empty());
    const Text address = "http://download.tavik.example";

    // What the version gate does after its box: open the page, end at once.
    EXPECT_EXIT(
        {
            const char* inherited = std::getenv("PATH");
            const std::string path = opener.folder().string() + ":" +
                                     (inherited != nullptr ? inherited : "/usr/bin:/bin");
            ::setenv("PATH", path.c_str(), 1);
            run_program({.version_gate =
                             [&] {
                                 open_web_address(address);
                                 end_program(0);
                             },
                         .account_draw = {},
                         .friendly_link = {}});
        },
        ExitedWithCode(0), "");
    EXPECT_EQ(opener.wait_for_record(), std::optional<std::string>(address));
}

} // namespace
} // namespace tavik
