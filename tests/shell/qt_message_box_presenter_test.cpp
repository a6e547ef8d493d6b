// The QMessageBox presenter: buttons, look, text, and how it holds off the program's windows.
#include "shell/qt_message_box_presenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <optional>

using tavik::MessageBoxButton;
using tavik::MessageBoxRequest;
using tavik::QtMessageBoxPresenter;

Q_DECLARE_METATYPE(MessageBoxButton)

namespace {

// Acts on the box once it is up in its modal loop. The action looks and clicks only; checks come
// after present() returns, so a failing check cannot leave a box open.
void once_the_box_is_up(std::function<void(QMessageBox*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(box);
    });
    timer->start();
}

MessageBoxRequest request_of_type(std::uint32_t type) {
    MessageBoxRequest request;
    request.text = "text";
    request.title = "title";
    request.type = type;
    return request;
}

QList<int> offered_buttons(const QMessageBox* box) {
    QList<int> offered;
    for (QAbstractButton* button : box->buttons()) {
        offered.append(box->standardButton(button));
    }
    std::sort(offered.begin(), offered.end());
    return offered;
}

QList<int> sorted(QList<int> buttons) {
    std::sort(buttons.begin(), buttons.end());
    return buttons;
}

} // namespace

class QtMessageBoxPresenterTest : public QObject {
    Q_OBJECT

private slots:
    void closingButtonIsReported_data();
    void closingButtonIsReported();
    void escapeAndCloseCountAsOkOnAnOkBox_data();
    void escapeAndCloseCountAsOkOnAnOkBox();
    void iconAndDefaultButtonFollowTheType_data();
    void iconAndDefaultButtonFollowTheType();
    void textIsShownAsPlainLines_data();
    void textIsShownAsPlainLines();
    void taskModalBoxHoldsOffEveryWindow_data();
    void taskModalBoxHoldsOffEveryWindow();
    void systemModalBoxStaysOnTop();
};

void QtMessageBoxPresenterTest::closingButtonIsReported_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<QList<int>>("offered");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<MessageBoxButton>("expected");

    const QList<int> ok{QMessageBox::Ok};
    const QList<int> ok_cancel{QMessageBox::Ok, QMessageBox::Cancel};
    const QList<int> abort_retry_ignore{QMessageBox::Abort, QMessageBox::Retry,
                                        QMessageBox::Ignore};
    const QList<int> yes_no_cancel{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    const QList<int> yes_no{QMessageBox::Yes, QMessageBox::No};
    const QList<int> retry_cancel{QMessageBox::Retry, QMessageBox::Cancel};

    QTest::newRow("0 OK") << 0x2000u << ok << int(QMessageBox::Ok) << MessageBoxButton::Ok;
    QTest::newRow("1 Cancel") << 0x2001u << ok_cancel << int(QMessageBox::Cancel)
                              << MessageBoxButton::Cancel;
    QTest::newRow("2 Abort") << 0x2002u << abort_retry_ignore << int(QMessageBox::Abort)
                             << MessageBoxButton::Abort;
    QTest::newRow("2 Retry") << 0x2002u << abort_retry_ignore << int(QMessageBox::Retry)
                             << MessageBoxButton::Retry;
    QTest::newRow("2 Ignore") << 0x2002u << abort_retry_ignore << int(QMessageBox::Ignore)
                              << MessageBoxButton::Ignore;
    QTest::newRow("3 Yes") << 0x2003u << yes_no_cancel << int(QMessageBox::Yes)
                           << MessageBoxButton::Yes;
    QTest::newRow("3 Cancel") << 0x2003u << yes_no_cancel << int(QMessageBox::Cancel)
                              << MessageBoxButton::Cancel;
    QTest::newRow("4 Yes") << 0x2004u << yes_no << int(QMessageBox::Yes) << MessageBoxButton::Yes;
    QTest::newRow("4 No") << 0x2004u << yes_no << int(QMessageBox::No) << MessageBoxButton::No;
    QTest::newRow("5 Retry") << 0x2005u << retry_cancel << int(QMessageBox::Retry)
                             << MessageBoxButton::Retry;
    QTest::newRow("system-modal 4 No")
        << 0x1004u << yes_no << int(QMessageBox::No) << MessageBoxButton::No;
    QTest::newRow("unknown set 9 is OK")
        << 0x2009u << ok << int(QMessageBox::Ok) << MessageBoxButton::Ok;
}

void QtMessageBoxPresenterTest::closingButtonIsReported() {
    QFETCH(uint, type);
    QFETCH(QList<int>, offered);
    QFETCH(int, pressed);
    QFETCH(MessageBoxButton, expected);

    QList<int> seen;
    once_the_box_is_up([&](QMessageBox* box) {
        seen = offered_buttons(box);
        if (QAbstractButton* button = box->button(QMessageBox::StandardButton(pressed))) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            box->done(0);
        }
    });
    QtMessageBoxPresenter presenter;
    const MessageBoxButton answer = presenter.present(request_of_type(type));

    QCOMPARE(seen, sorted(offered));
    QCOMPARE(answer, expected);
}

void QtMessageBoxPresenterTest::escapeAndCloseCountAsOkOnAnOkBox_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<bool>("escape"); // otherwise the close button

    QTest::newRow("Esc") << 0x2000u << true;
    QTest::newRow("close button") << 0x2000u << false;
    QTest::newRow("Esc, system-modal, icon") << 0x1010u << true;
    QTest::newRow("close button, system-modal, icon") << 0x1010u << false;
}

void QtMessageBoxPresenterTest::escapeAndCloseCountAsOkOnAnOkBox() {
    QFETCH(uint, type);
    QFETCH(bool, escape);

    once_the_box_is_up([escape](QMessageBox* box) {
        if (escape) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->close(); // what the window manager's close button asks for
        }
    });
    QtMessageBoxPresenter presenter;
    QCOMPARE(presenter.present(request_of_type(type)), MessageBoxButton::Ok);
}

void QtMessageBoxPresenterTest::iconAndDefaultButtonFollowTheType_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("default_button");

    QTest::newRow("0: no icon, OK") << 0x0u << int(QMessageBox::NoIcon) << int(QMessageBox::Ok);
    QTest::newRow("0x10 error") << 0x10u << int(QMessageBox::Critical) << int(QMessageBox::Ok);
    QTest::newRow("0x20 question") << 0x24u << int(QMessageBox::Question) << int(QMessageBox::Yes);
    QTest::newRow("0x30 warning") << 0x31u << int(QMessageBox::Warning) << int(QMessageBox::Ok);
    QTest::newRow("0x40 information")
        << 0x40u << int(QMessageBox::Information) << int(QMessageBox::Ok);
    QTest::newRow("second default") << 0x103u << int(QMessageBox::NoIcon) << int(QMessageBox::No);
    QTest::newRow("third default")
        << 0x203u << int(QMessageBox::NoIcon) << int(QMessageBox::Cancel);
    QTest::newRow("third default of ARI")
        << 0x202u << int(QMessageBox::NoIcon) << int(QMessageBox::Ignore);
    QTest::newRow("fourth default of two falls back to the first")
        << 0x304u << int(QMessageBox::NoIcon) << int(QMessageBox::Yes);
}

void QtMessageBoxPresenterTest::iconAndDefaultButtonFollowTheType() {
    QFETCH(uint, type);
    QFETCH(int, icon);
    QFETCH(int, default_button);

    int seen_icon = -1;
    int seen_default = -1;
    once_the_box_is_up([&](QMessageBox* box) {
        seen_icon = box->icon();
        seen_default = box->standardButton(box->defaultButton());
        box->done(0);
    });
    QtMessageBoxPresenter presenter;
    presenter.present(request_of_type(type));

    QCOMPARE(seen_icon, icon);
    QCOMPARE(seen_default, default_button);
}

void QtMessageBoxPresenterTest::textIsShownAsPlainLines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("CR LF between two lines")
        << QByteArray("\xb5\xda\xd2\xbb\xd0\xd0\r\n\xb5\xda\xb6\xfe\xd0\xd0")
        << QString::fromUtf8("第一行\n第二行");
    QTest::newRow("fatal error layout")
        << QByteArray("a\r\n\r\nb\r\n") << QStringLiteral("a\n\nb\n");
    QTest::newRow("markup stays text")
        << QByteArray("<b>x</b> &amp;") << QStringLiteral("<b>x</b> &amp;");
    QTest::newRow("invalid bytes are replaced") << QByteArray("a\xff"
                                                              "b\xd6")
                                                << QString::fromUtf8("a\xef\xbf\xbd"
                                                                     "b\xef\xbf\xbd");
    QTest::newRow("empty") << QByteArray() << QString();
}

void QtMessageBoxPresenterTest::textIsShownAsPlainLines() {
    QFETCH(QByteArray, text);
    QFETCH(QString, shown);

    QString seen_text;
    QString seen_title;
    Qt::TextFormat seen_format = Qt::AutoText;
    once_the_box_is_up([&](QMessageBox* box) {
        seen_text = box->text();
        seen_title = box->windowTitle();
        seen_format = box->textFormat();
        box->done(0);
    });
    MessageBoxRequest request = request_of_type(0x2000);
    request.text = text.toStdString();
    request.title = "\xb8\xfc\xd0\xc2\xcc\xe1\xca\xbe"; // 更新提示
    QtMessageBoxPresenter presenter;
    presenter.present(request);

    QCOMPARE(seen_text, shown);
    QCOMPARE(seen_format, Qt::PlainText);
    QCOMPARE(seen_title, QString::fromUtf8("更新提示"));
}

void QtMessageBoxPresenterTest::taskModalBoxHoldsOffEveryWindow_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<std::optional<std::uint32_t>>("owner");
    QTest::addColumn<bool>("owned");

    QTest::newRow("no owner") << 0x2000u << std::optional<std::uint32_t>() << false;
    QTest::newRow("owned by the main window") << 0x2000u << std::optional<std::uint32_t>(1) << true;
    QTest::newRow("owner not there") << 0x2000u << std::optional<std::uint32_t>(7) << false;
    // The fatal error report asks for neither modality.
    QTest::newRow("no modality bits") << 0x10u << std::optional<std::uint32_t>() << false;
}

void QtMessageBoxPresenterTest::taskModalBoxHoldsOffEveryWindow() {
    QFETCH(uint, type);
    QFETCH(std::optional<std::uint32_t>, owner);
    QFETCH(bool, owned);

    QWidget main_window;
    auto* draw = new QPushButton(QStringLiteral("draw"), &main_window);
    main_window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main_window));
    QWidget hidden_window;
    QWidget disabled_window;
    disabled_window.setEnabled(false);
    QSignalSpy clicks(draw, &QPushButton::clicked);

    bool main_enabled = true;
    bool hidden_enabled = true;
    bool box_enabled = false;
    QWidget* box_parent = nullptr;
    once_the_box_is_up([&](QMessageBox* box) {
        main_enabled = main_window.isEnabled();
        hidden_enabled = hidden_window.isEnabled();
        box_enabled = box->isEnabled();
        box_parent = box->parentWidget();
        QTest::mouseClick(draw, Qt::LeftButton);
        QTest::keyClick(draw, Qt::Key_Space);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        if (box->isVisible()) {
            box->done(0); // the box took no input either; present() then reports None
        }
    });
    QtMessageBoxPresenter presenter(
        [&](std::uint32_t window) -> QWidget* { return window == 1 ? &main_window : nullptr; });
    MessageBoxRequest request = request_of_type(type);
    request.owner = owner;
    QCOMPARE(presenter.present(request), MessageBoxButton::Ok);

    QVERIFY(!main_enabled);
    QVERIFY(!hidden_enabled);
    QVERIFY(box_enabled);
    QCOMPARE(box_parent, owned ? &main_window : nullptr);
    QCOMPARE(clicks.count(), 0);
    // Afterwards exactly the windows it disabled are enabled again.
    QVERIFY(main_window.isEnabled());
    QVERIFY(hidden_window.isEnabled());
    QVERIFY(!disabled_window.isEnabled());
    QVERIFY(presenter.window_exists(1));
    QVERIFY(!presenter.window_exists(7));
}

void QtMessageBoxPresenterTest::systemModalBoxStaysOnTop() {
    bool on_top = false;
    Qt::WindowModality modality = Qt::NonModal;
    once_the_box_is_up([&](QMessageBox* box) {
        on_top = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        modality = box->windowModality();
        box->done(0);
    });
    QtMessageBoxPresenter presenter;
    presenter.present(request_of_type(0x1000));

    QVERIFY(on_top);
    QCOMPARE(modality, Qt::ApplicationModal);
}

QTEST_MAIN(QtMessageBoxPresenterTest)
#include "qt_message_box_presenter_test.moc"
