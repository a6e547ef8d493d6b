// The main window as the Qt realisation builds it: focus rules, keys, pointers, texts and the way
// real widget input reaches the toolkit.
#include "services/service_environment.h"
#include "shell/account_list.h"
#include "shell/main_window_description.h"
#include "shell/qt_text.h"
#include "shell/qt_toolkit_platform.h"
#include "shell/toolkit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

namespace tavik {
namespace {

constexpr std::uint32_t kAccountList = 0x16010002;
constexpr std::uint32_t kAccountField = 0x16010014;
constexpr std::uint32_t kDrawButton = 0x16010015;
constexpr std::uint32_t kLinkLabel = 0x16010019;
constexpr std::uint32_t kGroupBox = 0x16010013;
constexpr std::uint32_t kVersionHolder = 0x16010012;
constexpr std::uint32_t kCaptionLabel = 0x16010016;

// The main window with the link label also bound to releases and double clicks, so that the
// routing of a whole click can be watched.
class WatchedDescriptions final : public DescriptionSource {
public:
    std::optional<std::vector<WindowDescription>> read() const override {
        WindowDescription d = main_window_description();
        for (Element& e : d.elements) {
            if (e.number == kLinkLabel) {
                e.bindings.push_back({event::kLeftButtonReleased, Handler::FriendlyLink});
                e.bindings.push_back({event::kLeftButtonDoubleClicked, Handler::FriendlyLink});
            }
        }
        return std::vector<WindowDescription>{d};
    }
};

} // namespace

class QtMainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QtToolkitPlatform> platform_;
    std::unique_ptr<Toolkit> toolkit_;
    std::vector<EventRecord> events_;

    QWidget* widget(std::uint32_t element) const { return platform_->widget(element); }
    QWidget* window() const { return platform_->main_window(); }

private slots:
    void init() {
        platform_ = std::make_unique<QtToolkitPlatform>();
        toolkit_ = std::make_unique<Toolkit>(*platform_);
        platform_->attach(*toolkit_);
        service_environment().lifecycle = toolkit_.get();
        service_environment().controls = toolkit_.get();
        events_.clear();
        for (Handler h : {Handler::AccountDraw, Handler::FriendlyLink}) {
            toolkit_->bind(h, [this](EventRecord& r) { events_.push_back(r); });
        }
        toolkit_->begin(WatchedDescriptions{});
        QVERIFY(toolkit_->load_window(kMainWindowNumber));
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }

    void cleanup() {
        if (platform_->main_window() != nullptr) {
            platform_->discard_window();
        }
        toolkit_.reset();
        platform_.reset();
        service_environment() = {};
    }

    void firstActivationFocusesTheAccountList() {
        QCOMPARE(QApplication::focusWidget(), widget(kAccountList));
        auto* list = static_cast<QPlainTextEdit*>(widget(kAccountList));
        QCOMPARE(list->textCursor().position(), 0);
        QVERIFY(!list->textCursor().hasSelection());
    }

    void tabMovesThroughTheFocusOrder_data() {
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<std::vector<std::uint32_t>>("expected");
        QTest::newRow("Tab") << false
                             << std::vector<std::uint32_t>{kAccountField, kDrawButton, kAccountList,
                                                           kAccountField};
        QTest::newRow("Shift+Tab")
            << true
            << std::vector<std::uint32_t>{kDrawButton, kAccountField, kAccountList, kDrawButton};
    }

    void tabMovesThroughTheFocusOrder() {
        QFETCH(bool, backwards);
        QFETCH(std::vector<std::uint32_t>, expected);
        for (std::uint32_t next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), widget(next));
        }
    }

    void typingAndEnterChangeTheAccountList() {
        QTest::keyClicks(QApplication::focusWidget(), "zz");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        const Text text = toolkit_->read(kMainWindowNumber, "编辑框1");
        QCOMPARE(QByteArray::fromStdString(text),
                 QByteArray("zz\r\n") + QByteArray::fromStdString(std::string(account_list())));
    }

    void enterOnTheFieldOrTheButtonDoesNothing_data() {
        QTest::addColumn<std::uint32_t>("element");
        QTest::newRow("account field") << kAccountField;
        QTest::newRow("draw button") << kDrawButton;
    }

    void enterOnTheFieldOrTheButtonDoesNothing() {
        QFETCH(std::uint32_t, element);
        widget(element)->setFocus();
        QTest::keyClick(widget(element), Qt::Key_Return);
        QTest::keyClick(widget(element), Qt::Key_Enter);
        QVERIFY(events_.empty());
        QCOMPARE(QApplication::focusWidget(), widget(element));
        QCOMPARE(toolkit_->read(kMainWindowNumber, "编辑框2"), Text());
    }

    void spaceOnTheButtonClicksIt() {
        widget(kDrawButton)->setFocus();
        QTest::keyClick(widget(kDrawButton), Qt::Key_Space);
        QCOMPARE(events_.size(), std::size_t{1});
        QCOMPARE(events_[0].element, kDrawButton);
        QCOMPARE(events_[0].event, event::kClicked);
    }

    void theAccountFieldCannotBeEdited() {
        widget(kAccountField)->setFocus();
        QTest::keyClicks(widget(kAccountField), "abc");
        QCOMPARE(toolkit_->read(kMainWindowNumber, "编辑框2"), Text());
    }

    void clickingALabelLeavesTheFocus_data() {
        QTest::addColumn<std::uint32_t>("label");
        QTest::newRow("link label") << kLinkLabel;
        QTest::newRow("caption label") << kCaptionLabel;
    }

    void clickingALabelLeavesTheFocus() {
        QFETCH(std::uint32_t, label);
        QTest::mouseClick(widget(label), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), widget(kAccountList));
        QTest::mouseClick(widget(kDrawButton), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), widget(kDrawButton));
    }

    void escapeClosesTheWindowFromEveryControl_data() {
        QTest::addColumn<std::uint32_t>("element");
        QTest::newRow("account list") << kAccountList;
        QTest::newRow("account field") << kAccountField;
        QTest::newRow("draw button") << kDrawButton;
    }

    void escapeClosesTheWindowFromEveryControl() {
        QFETCH(std::uint32_t, element);
        widget(element)->setFocus();
        QTest::keyClick(widget(element), Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(platform_->window_exists());
        QTest::keyClick(widget(element), Qt::Key_Escape);
        QTRY_VERIFY(!platform_->window_exists());
        QCOMPARE(toolkit_->state(), LifeState::Closing);
    }

    void pressesOnTheLinkLabelBecomeEvents() {
        QWidget* label = widget(kLinkLabel);
        // Right of the text, still inside the label's rectangle.
        const QPoint point(130, 20);
        QTest::mousePress(label, Qt::LeftButton, Qt::ControlModifier, point);
        QTest::mouseRelease(label, Qt::LeftButton, Qt::ControlModifier, point);
        QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier, point);
        std::vector<std::int32_t> seen;
        for (const EventRecord& r : events_) {
            QCOMPARE(r.element, kLinkLabel);
            seen.push_back(r.event);
        }
        QVERIFY(!seen.empty());
        QCOMPARE(seen.front(), event::kLeftButtonPressed);
        QCOMPARE(events_.front().arguments[0], 130);
        QCOMPARE(events_.front().arguments[1], 20);
        QCOMPARE(events_.front().arguments[2], static_cast<std::int32_t>(function_key::kCtrl));
        QVERIFY(std::count(seen.begin(), seen.end(), event::kLeftButtonDoubleClicked) == 1);
    }

    void pointersFollowTheElementUnderThem_data() {
        QTest::addColumn<std::uint32_t>("element");
        QTest::addColumn<int>("shape");
        QTest::newRow("window") << kMainWindowElement << int(Qt::PointingHandCursor);
        QTest::newRow("group box") << kGroupBox << int(Qt::PointingHandCursor);
        QTest::newRow("account field") << kAccountField << int(Qt::PointingHandCursor);
        QTest::newRow("link label") << kLinkLabel << int(Qt::ArrowCursor);
        QTest::newRow("label in the group box") << kCaptionLabel << int(Qt::ArrowCursor);
        QTest::newRow("draw button") << kDrawButton << int(Qt::ArrowCursor);
    }

    void pointersFollowTheElementUnderThem() {
        QFETCH(std::uint32_t, element);
        QFETCH(int, shape);
        QCOMPARE(int(widget(element)->cursor().shape()), shape);
    }

    void theFrameIsFixedWithoutMaximise() {
        QWidget* w = window();
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(w->windowTitle(), QStringLiteral("TavikLumrose软件1.0[电脑版]"));
    }

    void startTextsAndStorageBelowTheEdge() {
        QCOMPARE(toolkit_->read(kMainWindowNumber, "标签2"), Text("\xb1\xea\xc7\xa9"));
        QCOMPARE(toolkit_->read(kMainWindowNumber, "编辑框2"), Text());
        QCOMPARE(toolkit_->read(kMainWindowNumber, "编辑框1"), Text(account_list()));
        for (std::uint32_t storage : {kVersionHolder, kAccountList}) {
            QVERIFY(widget(storage)->isVisible());
            QVERIFY(widget(storage)->geometry().top() >= window()->height());
        }
    }

    void aLabelGivesBackTheBytesItWasGiven() {
        // Bytes that are no GBK at all still come back as they went in.
        const Text odd("\xef\xbb\xbf"
                       "1.0\x80",
                       7);
        toolkit_->write(kMainWindowNumber, "标签2", odd);
        QCOMPARE(toolkit_->read(kMainWindowNumber, "标签2"), odd);
    }
};

} // namespace tavik

QTEST_MAIN(tavik::QtMainWindowTest)
#include "qt_main_window_test.moc"
