// The account draw through the real main window after a long paste into the account list: ten
// megabytes of names, and names with characters GBK cannot hold.
#include "features/account_draw.h"
#include "services/random.h"
#include "services/service_environment.h"
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
#include <cstdint>
#include <memory>
#include <vector>

namespace tavik {
namespace {

constexpr std::uint32_t kAccountList = 0x16010002;
constexpr std::uint32_t kAccountField = 0x16010014;
constexpr std::uint32_t kDrawButton = 0x16010015;
constexpr std::uint32_t kTicks = 1000;
constexpr int kDrawRange = 381;

// The generator after `steps` steps from `state`.
std::uint32_t advanced(std::uint32_t state, std::size_t steps) {
    for (std::size_t i = 0; i < steps; ++i) {
        state = state * 214013u + 2531011u;
    }
    return state;
}

// What a paste puts into the box, and what each pasted name is once it has become GBK.
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
        if (i < kDrawRange) {
            paste.shown_names.push_back(name);
        }
    }
    return paste;
}

// Names that start with a Thai letter and a character outside the basic plane, which GBK lacks,
// and then a Chinese one, which it holds.
Paste names_gbk_cannot_hold(std::size_t count) {
    Paste paste;
    for (std::size_t i = 0; i < count; ++i) {
        const QString digits = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        paste.text += QStringLiteral("\u0E01\U0001F600\u540D") + digits + QLatin1Char('\n');
        if (i < kDrawRange) {
            paste.shown_names.push_back(QStringLiteral("??\u540D") + digits);
        }
    }
    return paste;
}

} // namespace
} // namespace tavik

Q_DECLARE_METATYPE(tavik::Paste)

namespace tavik {

class AccountDrawPasteTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QtToolkitPlatform> platform_;
    std::unique_ptr<Toolkit> toolkit_;

private slots:
    void init() {
        platform_ = std::make_unique<QtToolkitPlatform>();
        toolkit_ = std::make_unique<Toolkit>(*platform_);
        platform_->attach(*toolkit_);
        service_environment().lifecycle = toolkit_.get();
        service_environment().controls = toolkit_.get();
        toolkit_->bind(Handler::AccountDraw, [](EventRecord&) { account_draw(); });
        toolkit_->begin(BuiltInDescriptions{});
        QVERIFY(toolkit_->load_window(kMainWindowNumber));
        QVERIFY(QTest::qWaitForWindowExposed(platform_->main_window()));
    }

    void cleanup() {
        if (platform_->main_window() != nullptr) {
            platform_->discard_window();
        }
        toolkit_.reset();
        platform_.reset();
        service_environment() = {};
    }

    void aLongPasteIsDrawnFromWhole_data() {
        QTest::addColumn<Paste>("paste");
        QTest::newRow("10 MB of names") << names_of_size(std::size_t{10} << 20);
        QTest::newRow("names GBK cannot hold") << names_gbk_cannot_hold(100000);
    }

    void aLongPasteIsDrawnFromWhole() {
        QFETCH(Paste, paste);
        auto* list = static_cast<QPlainTextEdit*>(platform_->widget(kAccountList));
        auto* field = static_cast<QLineEdit*>(platform_->widget(kAccountField));
        list->setPlainText(paste.text);
        const std::size_t members = static_cast<std::size_t>(paste.text.count(QLatin1Char('\n')));

        const testing::FixedTickSource ticks(kTicks);
        reset_seeding_counter();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(platform_->widget(kDrawButton), Qt::LeftButton);
        qInfo("%zu members drawn in %lld ms", members, static_cast<long long>(timer.elapsed()));

        // One seeding at the tick count, one step per member; the field shows the last pass's
        // member, which lies within the draw range since the list is longer than it.
        const std::uint32_t state = advanced(kTicks, members);
        QCOMPARE(generator_state(), state);
        const std::size_t last = ((state >> 16) & 0x7FFF) % kDrawRange;
        QCOMPARE(field->text(), paste.shown_names[last]);
        QCOMPARE(toolkit_->read(kMainWindowNumber, "编辑框2"), to_text(paste.shown_names[last]));
        QVERIFY(platform_->main_window()->isVisible());
    }
};

} // namespace tavik

QTEST_MAIN(tavik::AccountDrawPasteTest)
#include "account_draw_paste_test.moc"
