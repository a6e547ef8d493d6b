// The account draw on the real main window: clicks on the real button, lists edited by typing into
// the list box or pasted into it at length, and the end of the program when the typed list is too
// short.
#include "features/account_draw.h"
#include "services/fatal_error.h"
#include "services/message_box.h"
#include "services/random.h"
#include "services/service_environment.h"
#include "shell/account_list.h"
#include "shell/main_window_description.h"
#include "shell/qt_text.h"
#include "shell/qt_toolkit_platform.h"
#include "shell/toolkit.h"
#include "support/fixed_tick_source.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTestEventList>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Failed comparisons of texts print their bytes.
namespace QTest {
template <> char* toString(const std::string& text) {
    return toPrettyCString(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace QTest

namespace tavik {
namespace {

constexpr std::uint32_t kAccountList = 0x16010002;
constexpr std::uint32_t kAccountField = 0x16010014;
constexpr std::uint32_t kDrawButton = 0x16010015;

// The tick count every click here seeds from; with the seeding counter at 0 it is the seed.
constexpr std::uint32_t kTick = 1000;

// The member numbers a click draws, worked out from the generator's definition rather than taken
// from the services under test.
std::vector<int> drawn_members(std::uint32_t seed, std::size_t passes) {
    std::vector<int> members;
    std::uint32_t state = seed;
    for (std::size_t pass = 0; pass < passes; ++pass) {
        state = state * 214013u + 2531011u;
        members.push_back(1 + static_cast<int>((state >> 16) & 0x7FFF) % 381);
    }
    return members;
}

std::uint32_t state_after(std::uint32_t seed, std::size_t steps) {
    for (std::size_t step = 0; step < steps; ++step) {
        seed = seed * 214013u + 2531011u;
    }
    return seed;
}

std::vector<Text> delivered_names() {
    std::vector<Text> names;
    const std::string_view list = account_list();
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find("\r\n", start);
        names.emplace_back(list.substr(start, end - start));
        start = end + 2;
    }
    return names;
}

Text joined(const std::vector<Text>& lines, bool final_line_break = true) {
    Text list;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        list += lines[i];
        if (i + 1 < lines.size() || final_line_break) {
            list += "\r\n";
        }
    }
    return list;
}

// What the user would see from one click with the seed kTick: the member of the last pass, or the
// field's earlier text when the list has no members.
Text shown_after_click(const std::vector<Text>& members, const Text& before) {
    if (members.empty()) {
        return before;
    }
    return members[static_cast<std::size_t>(drawn_members(kTick, members.size()).back() - 1)];
}

// What a paste puts into the list box, and each of the first 381 names as the field shows it once
// it has been through GBK.
struct Paste {
    QString text;
    std::vector<QString> shown_names;
};

// Nine-character names, one per line, until the list holds `bytes` bytes with CR LF breaks.
Paste names_of_size(std::size_t bytes) {
    Paste paste;
    const std::size_t count = bytes / 11;
    paste.text.reserve(static_cast<qsizetype>(count * 10));
    for (std::size_t i = 0; i < count; ++i) {
        const QString name = QStringLiteral("u%1").arg(i, 8, 10, QLatin1Char('0'));
        paste.text += name;
        paste.text += QLatin1Char('\n');
        if (i < 381) {
            paste.shown_names.push_back(name);
        }
    }
    return paste;
}

// Names that start with a Thai letter and a character outside the basic plane, which GBK lacks
// (one '?' each), then a Chinese one, which it holds.
Paste names_gbk_cannot_hold(std::size_t count) {
    Paste paste;
    for (std::size_t i = 0; i < count; ++i) {
        const QString digits = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        paste.text += QStringLiteral("\u0E01\U0001F600\u540D") + digits + QLatin1Char('\n');
        if (i < 381) {
            paste.shown_names.push_back(QStringLiteral("??\u540D") + digits);
        }
    }
    return paste;
}

// Where the child writes what it saw: records of a 32-bit length and that many bytes.
int report_fd = -1;

void write_record(const Text& bytes) {
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
    Text record(reinterpret_cast<const char*>(&size), sizeof size);
    record += bytes;
    for (std::size_t done = 0; done < record.size();) {
        const ssize_t n = ::write(report_fd, record.data() + done, record.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void exit_routine_ran() {
    write_record("exit routine ran");
}

// Stands in for the desktop's box in the child: tells the parent what the box says and what the
// account field shows under it, and clicks the draw button once more while the box is "up".
class ReportingBox final : public MessageBoxPresenter {
public:
    ReportingBox(QLineEdit& field, QPushButton& button)
        : field_(field)
        , button_(button) {}

    MessageBoxButton present(const MessageBoxRequest& request) override {
        write_record("box");
        write_record(request.title);
        write_record(request.text);
        write_record(std::to_string(request.type));
        write_record(request.owner ? "owned" : "no owner");
        write_record(to_text(field_.text()));
        QTest::mouseClick(&button_, Qt::LeftButton);
        write_record(to_text(field_.text()));
        return MessageBoxButton::Ok;
    }

private:
    QLineEdit& field_;
    QPushButton& button_;
};

std::vector<Text> read_records(int fd) {
    Text bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    std::vector<Text> records;
    for (std::size_t at = 0; at + sizeof(std::uint32_t) <= bytes.size();) {
        std::uint32_t size = 0;
        bytes.copy(reinterpret_cast<char*>(&size), sizeof size, at);
        at += sizeof size;
        records.push_back(bytes.substr(at, size));
        at += size;
    }
    return records;
}

} // namespace
} // namespace tavik

Q_DECLARE_METATYPE(tavik::Paste)

namespace tavik {

class QtAccountDrawTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QtToolkitPlatform> platform_;
    std::unique_ptr<Toolkit> toolkit_;
    std::unique_ptr<testing::FixedTickSource> ticks_;

    QPlainTextEdit* list_box() const {
        return static_cast<QPlainTextEdit*>(platform_->widget(kAccountList));
    }
    QLineEdit* field() const { return static_cast<QLineEdit*>(platform_->widget(kAccountField)); }
    QPushButton* button() const {
        return static_cast<QPushButton*>(platform_->widget(kDrawButton));
    }
    Text read(const char* control) const { return toolkit_->read(kMainWindowNumber, control); }
    void show_in_field(const Text& text) {
        toolkit_->write(kMainWindowNumber, "编辑框2", text);
        platform_->flush_control_texts();
    }

private slots:
    void init() {
        platform_ = std::make_unique<QtToolkitPlatform>();
        toolkit_ = std::make_unique<Toolkit>(*platform_);
        platform_->attach(*toolkit_);
        service_environment().lifecycle = toolkit_.get();
        service_environment().controls = toolkit_.get();
        ticks_ = std::make_unique<testing::FixedTickSource>(kTick);
        toolkit_->bind(Handler::AccountDraw, [](EventRecord&) { account_draw(); });
        toolkit_->begin(BuiltInDescriptions{});
        QVERIFY(toolkit_->load_window(kMainWindowNumber));
        QVERIFY(QTest::qWaitForWindowActive(platform_->main_window()));
        reset_seeding_counter(0);
    }

    void cleanup() {
        ticks_.reset();
        if (platform_->main_window() != nullptr) {
            platform_->discard_window();
        }
        toolkit_.reset();
        platform_.reset();
        service_environment() = {};
    }

    void theWorkedExampleShowsMember252() {
        const std::vector<Text> names = delivered_names();
        QCOMPARE(names.size(), std::size_t{381});

        QTest::mouseClick(button(), Qt::LeftButton);

        QCOMPARE(read("编辑框2"), names[252 - 1]);
        QCOMPARE(to_text(field()->text()), names[252 - 1]);
        QCOMPARE(generator_state(), state_after(kTick, 381));
        QCOMPARE(seeding_counter(), 332u);
        // The list itself is only read.
        QCOMPARE(read("编辑框1"), Text(account_list()));
    }

    void aSecondClickInTheSameMillisecondDrawsAfresh() {
        QTest::mouseClick(button(), Qt::LeftButton);
        QTest::mouseClick(button(), Qt::LeftButton);
        // The second seed is the tick count plus the counter the first seeding left, 332.
        const std::vector<Text> names = delivered_names();
        QCOMPARE(read("编辑框2"),
                 names[static_cast<std::size_t>(drawn_members(kTick + 332, 381).back() - 1)]);
        QCOMPARE(generator_state(), state_after(kTick + 332, 381));
    }

    void aTypedListIsWhatIsDrawnFrom_data() {
        QTest::addColumn<QTestEventList>("typing");
        QTest::addColumn<std::vector<Text>>("members");
        QTest::addColumn<bool>("final_line_break");

        const std::vector<Text> names = delivered_names();

        QTestEventList extra;
        extra.addKeyClick(Qt::Key_End, Qt::ControlModifier);
        extra.addKeyClicks("zzzz99999");
        extra.addKeyClick(Qt::Key_Return);
        std::vector<Text> with_extra = names;
        with_extra.push_back("zzzz99999");
        QTest::newRow("an extra line: 382 passes") << extra << with_extra << true;

        // The empty line goes where the last of 382 passes looks, so that it is what is left.
        const int last = drawn_members(kTick, 382).back();
        QTestEventList empty_line;
        empty_line.addKeyClick(Qt::Key_Home, Qt::ControlModifier);
        for (int line = 1; line < last; ++line) {
            empty_line.addKeyClick(Qt::Key_Down);
        }
        empty_line.addKeyClick(Qt::Key_Return);
        std::vector<Text> with_empty = names;
        with_empty.insert(with_empty.begin() + (last - 1), Text());
        QTest::newRow("an empty line drawn last clears the field")
            << empty_line << with_empty << true;

        QTestEventList unended;
        unended.addKeyClick(Qt::Key_End, Qt::ControlModifier);
        unended.addKeyClick(Qt::Key_Backspace);
        QTest::newRow("no line break after the last name") << unended << names << false;

        QTestEventList cleared;
        cleared.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        cleared.addKeyClick(Qt::Key_Delete);
        QTest::newRow("an empty list changes nothing") << cleared << std::vector<Text>{} << false;
    }

    void aTypedListIsWhatIsDrawnFrom() {
        QFETCH(QTestEventList, typing);
        QFETCH(std::vector<Text>, members);
        QFETCH(bool, final_line_break);

        const Text before = "before";
        show_in_field(before);
        QCOMPARE(QApplication::focusWidget(), list_box());
        typing.simulate(list_box());
        QCOMPARE(read("编辑框1"), joined(members, final_line_break));

        QTest::mouseClick(button(), Qt::LeftButton);

        const Text expected = shown_after_click(members, before);
        QCOMPARE(read("编辑框2"), expected);
        QCOMPARE(to_text(field()->text()), expected);
        // Seeded once, then one generator step per member.
        QCOMPARE(generator_state(), state_after(kTick, members.size()));
    }

    void spaceOnTheFocusedButtonDraws() {
        button()->setFocus();
        QTest::keyClick(button(), Qt::Key_Space);
        QCOMPARE(read("编辑框2"), delivered_names()[252 - 1]);
    }

    void aLongPasteIsDrawnFromWhole_data() {
        QTest::addColumn<Paste>("paste");
        QTest::newRow("10 MB of names") << names_of_size(std::size_t{10} << 20);
        QTest::newRow("names GBK cannot hold") << names_gbk_cannot_hold(100000);
    }

    // A paste sets the box's text at once; far more names than the draw range make every draw
    // valid, and the field shows the member of the last of as many passes as there are names.
    void aLongPasteIsDrawnFromWhole() {
        QFETCH(Paste, paste);
        list_box()->setPlainText(paste.text);
        const std::size_t members = static_cast<std::size_t>(paste.text.count(QLatin1Char('\n')));

        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(button(), Qt::LeftButton);
        qInfo("%zu members drawn in %lld ms", members, static_cast<long long>(timer.elapsed()));

        QCOMPARE(generator_state(), state_after(kTick, members));
        const QString& shown =
            paste.shown_names[static_cast<std::size_t>(drawn_members(kTick, members).back() - 1)];
        QCOMPARE(field()->text(), shown);
        QCOMPARE(read("编辑框2"), to_text(shown));
    }

    // The report ends the process, so the click runs in a child; the parent reads what the child
    // saw when the box came up and how it ended.
    void aShortListEndsTheProgramAfterTheEarlierWrites() {
        // Cut the list to its first 260 names: the draws from 1000 begin 257, 221, 180, ...
        constexpr std::size_t kKept = 260;
        QTestEventList cut;
        cut.addKeyClick(Qt::Key_End, Qt::ControlModifier);
        for (std::size_t line = kKept; line < 381; ++line) {
            cut.addKeyClick(Qt::Key_Up, Qt::ShiftModifier);
        }
        cut.addKeyClick(Qt::Key_Delete);
        cut.simulate(list_box());
        const std::vector<Text> all = delivered_names();
        const std::vector<Text> kept(all.begin(), all.begin() + kKept);
        QCOMPARE(read("编辑框1"), joined(kept));

        Text last_written;
        std::size_t first_invalid_pass = 0;
        const std::vector<int> draws = drawn_members(kTick, kKept);
        for (std::size_t pass = 0; pass < draws.size() && first_invalid_pass == 0; ++pass) {
            if (static_cast<std::size_t>(draws[pass]) > kKept) {
                first_invalid_pass = pass + 1;
            } else {
                last_written = kept[static_cast<std::size_t>(draws[pass] - 1)];
            }
        }
        QVERIFY(first_invalid_pass > 3);

        int pipe_ends[2];
        QCOMPARE(::pipe(pipe_ends), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(pipe_ends[0]);
            report_fd = pipe_ends[1];
            // A hung child must not hang the test run.
            ::alarm(60);
            ReportingBox box(*field(), *button());
            service_environment().message_box = &box;
            toolkit_->add_exit_routine(&exit_routine_ran);
            QTest::mouseClick(button(), Qt::LeftButton);
            write_record("the draw came back");
            std::_Exit(3);
        }
        ::close(pipe_ends[1]);
        const std::vector<Text> records = read_records(pipe_ends[0]);
        ::close(pipe_ends[0]);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);

        QVERIFY2(WIFEXITED(status), "the child was killed");
        QCOMPARE(WEXITSTATUS(status), 255);
        for (const char* never : {"exit routine ran", "the draw came back"}) {
            QVERIFY2(std::find(records.begin(), records.end(), Text(never)) == records.end(),
                     never);
        }
        QCOMPARE(records.size(), std::size_t{7});
        QCOMPARE(records[0], Text("box"));
        QCOMPARE(records[1], Text("\xb4\xed\xce\xf3")); // 错误
        QCOMPARE(records[2], compose_fatal_error_text(fatal_message::kIndexAboveCount,
                                                      fatal_code::kIndexAboveCount));
        QCOMPARE(records[3], std::to_string(message_box_type::kOk | message_box_type::kIconError));
        QCOMPARE(records[4], Text("no owner"));
        // The name of the last valid pass is on screen under the box, and a click made while the
        // box is up runs nothing.
        QCOMPARE(records[5], last_written);
        QCOMPARE(records[6], last_written);
    }
};

} // namespace tavik

QTEST_MAIN(tavik::QtAccountDrawTest)
#include "qt_account_draw_test.moc"
