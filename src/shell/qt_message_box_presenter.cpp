// QMessageBox set up from a message box type, and the program's windows held off while it is up.
#include "qt_message_box_presenter.h"

#include "qt_text.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

namespace tavik {

namespace {

namespace mb = message_box_type;

// The buttons of a set in the order the default-button bits count them.
std::vector<QMessageBox::StandardButton> buttons_for(std::uint32_t type) {
    switch (type & mb::kButtonsMask) {
    case mb::kOkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case mb::kAbortRetryIgnore:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case mb::kYesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case mb::kYesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case mb::kRetryCancel:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        // kOk, and sets this program does not know: a box that can always be closed.
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon icon_for(std::uint32_t type) {
    switch (type & mb::kIconMask) {
    case mb::kIconError:
        return QMessageBox::Critical;
    case mb::kIconQuestion:
        return QMessageBox::Question;
    case mb::kIconWarning:
        return QMessageBox::Warning;
    case mb::kIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

MessageBoxButton button_for(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return MessageBoxButton::Ok;
    case QMessageBox::Cancel:
        return MessageBoxButton::Cancel;
    case QMessageBox::Abort:
        return MessageBoxButton::Abort;
    case QMessageBox::Retry:
        return MessageBoxButton::Retry;
    case QMessageBox::Ignore:
        return MessageBoxButton::Ignore;
    case QMessageBox::Yes:
        return MessageBoxButton::Yes;
    case QMessageBox::No:
        return MessageBoxButton::No;
    default:
        return MessageBoxButton::None;
    }
}

// CR LF (and a lone CR) end lines in the program's texts; Qt breaks lines at LF only.
QString message_text(const Text& text) {
    QString shown = to_qstring(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// Disables every enabled top-level window but the box, and enables again exactly those it disabled.
// A window that was disabled already stays so, and one that goes away meanwhile is skipped.
class WindowsHeldOff {
public:
    explicit WindowsHeldOff(QWidget* box) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != box && window->isEnabled()) {
                window->setEnabled(false);
                held_.emplace_back(window);
            }
        }
        // Disabling the owner disables its child windows too, the box among them.
        box->setEnabled(true);
    }
    ~WindowsHeldOff() {
        for (const QPointer<QWidget>& window : held_) {
            if (window) {
                window->setEnabled(true);
            }
        }
    }
    WindowsHeldOff(const WindowsHeldOff&) = delete;
    WindowsHeldOff& operator=(const WindowsHeldOff&) = delete;

private:
    std::vector<QPointer<QWidget>> held_;
};

} // namespace

QtMessageBoxPresenter::QtMessageBoxPresenter(WindowLookup find_window)
    : find_window_(std::move(find_window)) {}

bool QtMessageBoxPresenter::window_exists(std::uint32_t window) {
    return find(window) != nullptr;
}

QWidget* QtMessageBoxPresenter::find(std::uint32_t window) const {
    return find_window_ ? find_window_(window) : nullptr;
}

MessageBoxButton QtMessageBoxPresenter::present(const MessageBoxRequest& request) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return MessageBoxButton::None;
    }
    QWidget* owner = request.owner ? find(*request.owner) : nullptr;
    QMessageBox box(owner);
    box.setWindowTitle(to_qstring(request.title));
    // Plain text always: a message is never taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(message_text(request.text));
    box.setIcon(icon_for(request.type));

    const std::vector<QMessageBox::StandardButton> buttons = buttons_for(request.type);
    for (QMessageBox::StandardButton button : buttons) {
        // A message box's buttons carry their caption alone, as the desktop's own boxes do.
        box.addButton(button)->setIcon(QIcon());
    }
    // Default-button bits past the last button fall back to the first, as the type values intend.
    const std::size_t default_index = (request.type & mb::kDefaultButtonMask) >> 8;
    box.setDefaultButton(buttons.at(default_index < buttons.size() ? default_index : 0));
    if (buttons.size() == 1) {
        // Esc and the close button close a box with one button as that button.
        box.setEscapeButton(buttons.front());
    }

    box.setWindowModality(Qt::ApplicationModal);
    const bool system_modal = (request.type & mb::kSystemModal) != 0;
    if (system_modal) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }

    std::optional<WindowsHeldOff> held_off;
    if (!system_modal) {
        held_off.emplace(&box);
    }
    box.exec();
    return button_for(box.standardButton(box.clickedButton()));
}

} // namespace tavik
