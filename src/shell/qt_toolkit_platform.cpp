// Builds the main window from its description on Qt Widgets and carries texts in and out of it.
#include "qt_toolkit_platform.h"

#include "qt_controls.h"
#include "qt_input_hook.h"
#include "qt_main_window.h"
#include "qt_program_icon.h"
#include "qt_text.h"
#include "toolkit.h"

#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

namespace tavik {

QtToolkitPlatform::QtToolkitPlatform() = default;

QtToolkitPlatform::~QtToolkitPlatform() {
    if (input_hook_ && qApp != nullptr) {
        qApp->removeEventFilter(input_hook_.get());
    }
}

void QtToolkitPlatform::attach(Toolkit& toolkit) {
    toolkit_ = &toolkit;
}

std::optional<std::uint32_t> QtToolkitPlatform::element_owning(const QWidget* widget) const {
    if (window_ == nullptr) {
        return std::nullopt;
    }
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        auto found = owners_.find(w);
        if (found != owners_.end()) {
            return found->second;
        }
        if (w->isWindow()) {
            break;
        }
    }
    return std::nullopt;
}

QWidget* QtToolkitPlatform::widget(std::uint32_t element) const {
    if (element == window_element_ && window_ != nullptr) {
        return window_;
    }
    auto found = controls_.find(element);
    return found == controls_.end() ? nullptr : found->second.widget.data();
}

QWidget* QtToolkitPlatform::main_window() const {
    return window_;
}

void QtToolkitPlatform::initialise() {
    // The toolkit ends the loop itself once the window is gone and the loop was entered.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (!input_hook_ && toolkit_ != nullptr) {
        input_hook_ = std::make_unique<QtInputHook>(*this, *toolkit_);
        qApp->installEventFilter(input_hook_.get());
    }
}

void QtToolkitPlatform::process_pending_messages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtToolkitPlatform::create_window(const WindowDescription& description) {
    const Element& element = description.window();
    const auto& p = std::get<WindowProperties>(element.properties);
    const QSize outer(element.width, element.height);
    auto* window = new QtMainWindow(*toolkit_, outer);
    window->setWindowTitle(to_qstring(p.title));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window,
                     QColor(p.background.red, p.background.green, p.background.blue));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFont(font_for(p.font));
    if (p.own_icon) {
        window->setWindowIcon(program_icon());
    }

    QPoint position(element.left, element.top);
    if (p.start_position == StartPosition::Centred) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            position = QPoint(area.x() + (area.width() - outer.width()) / 2,
                              area.y() + (area.height() - outer.height()) / 2);
        }
    }
    window->move(position);

    window_ = window;
    window_element_ = element.number;
    owners_[window] = element.number;
    return true;
}

bool QtToolkitPlatform::create_control(const Element& control) {
    if (window_ == nullptr) {
        return false;
    }
    QWidget* widget = create_control_widget(control, window_);
    if (widget == nullptr) {
        return false;
    }
    Control entry{.widget = widget, .kind = control.kind, .caption = {}, .pending = {}};
    if (control.kind == ElementKind::Label) {
        entry.caption = std::get<LabelProperties>(control.properties).caption;
    } else if (control.kind == ElementKind::TransparentLabel) {
        entry.caption = std::get<TransparentLabelProperties>(control.properties).caption;
    } else if (control.kind == ElementKind::GroupBox) {
        entry.caption = std::get<GroupBoxProperties>(control.properties).caption;
    }
    if (control.kind == ElementKind::PushButton) {
        const std::uint32_t number = control.number;
        QObject::connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, widget,
                         [this, number] {
                             if (toolkit_ != nullptr) {
                                 toolkit_->button_clicked(number);
                             }
                         });
    }
    controls_[control.number] = std::move(entry);
    owners_[widget] = control.number;
    return true;
}

void QtToolkitPlatform::move_into_container(const Element& control, const Element& container) {
    QWidget* child = widget(control.number);
    QWidget* parent = widget(container.number);
    if (child == nullptr || parent == nullptr) {
        return;
    }
    child->setParent(parent);
    child->setGeometry(control.left, control.top, control.width, control.height);
}

void QtToolkitPlatform::stack_siblings(const std::vector<std::uint32_t>& top_first) {
    // Raising from the bottom up leaves the first one on top.
    for (auto it = top_first.rbegin(); it != top_first.rend(); ++it) {
        if (QWidget* w = widget(*it)) {
            w->raise();
        }
    }
}

void QtToolkitPlatform::set_pointer(std::uint32_t element, MousePointer pointer) {
    QWidget* w = widget(element);
    if (w == nullptr) {
        return;
    }
    if (pointer == MousePointer::PointingHand) {
        w->setCursor(Qt::PointingHandCursor);
        // The typing area of an edit box is a child widget with a pointer of its own.
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            edit->viewport()->setCursor(Qt::PointingHandCursor);
        }
    }
}

void QtToolkitPlatform::set_focus_order(const std::vector<std::uint32_t>& order) {
    QWidget* previous = nullptr;
    for (std::uint32_t element : order) {
        QWidget* w = widget(element);
        if (w == nullptr) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, w);
        } else {
            first_focus_ = w;
        }
        previous = w;
    }
}

void QtToolkitPlatform::show_control(std::uint32_t element) {
    if (QWidget* w = widget(element)) {
        w->show();
    }
}

void QtToolkitPlatform::discard_window() {
    if (window_ != nullptr) {
        window_->detach();
        delete window_.data();
    }
    window_ = nullptr;
    controls_.clear();
    owners_.clear();
    pending_.clear();
}

bool QtToolkitPlatform::window_exists() const {
    return window_ != nullptr;
}

bool QtToolkitPlatform::control_exists(std::uint32_t element) const {
    auto found = controls_.find(element);
    return found != controls_.end() && found->second.widget != nullptr;
}

void QtToolkitPlatform::show_window() {
    if (window_ == nullptr) {
        return;
    }
    if (first_focus_ != nullptr && window_->focusWidget() == nullptr) {
        first_focus_->setFocus(Qt::OtherFocusReason);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

Text QtToolkitPlatform::control_text(std::uint32_t element) {
    auto found = controls_.find(element);
    if (found == controls_.end() || found->second.widget == nullptr) {
        return {};
    }
    Control& control = found->second;
    if (control.pending) {
        apply(control, *control.pending);
        control.pending.reset();
    }
    QWidget* w = control.widget;
    switch (control.kind) {
    case ElementKind::EditBox:
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            // The box keeps line breaks as single characters; the program sees CR LF.
            QString text = edit->toPlainText();
            text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
            return to_text(text);
        }
        return to_text(static_cast<QLineEdit*>(w)->text());
    case ElementKind::PushButton:
        return to_text(static_cast<QPushButton*>(w)->text());
    case ElementKind::GroupBox:
    case ElementKind::Label:
    case ElementKind::TransparentLabel:
    case ElementKind::Window:
        break;
    }
    return control.caption;
}

void QtToolkitPlatform::set_control_text(std::uint32_t element, const Text& text) {
    auto found = controls_.find(element);
    if (found == controls_.end() || found->second.widget == nullptr) {
        return;
    }
    Control& control = found->second;
    // Only the last of many writes within one handler can be seen, so the widget gets just that.
    if (!control.pending) {
        pending_.push_back(element);
    }
    control.pending = text;
}

void QtToolkitPlatform::flush_control_texts() {
    for (std::uint32_t element : pending_) {
        auto found = controls_.find(element);
        if (found != controls_.end() && found->second.pending) {
            apply(found->second, *found->second.pending);
            found->second.pending.reset();
        }
    }
    pending_.clear();
}

void QtToolkitPlatform::apply(Control& control, const Text& text) {
    QWidget* w = control.widget;
    if (w == nullptr) {
        return;
    }
    switch (control.kind) {
    case ElementKind::EditBox:
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            QString string = to_qstring(text);
            string.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            edit->setPlainText(string);
        } else {
            auto* line = static_cast<QLineEdit*>(w);
            line->setText(to_qstring(text));
            line->setCursorPosition(0);
        }
        return;
    case ElementKind::PushButton:
        static_cast<QPushButton*>(w)->setText(to_qstring(text));
        return;
    case ElementKind::GroupBox:
        control.caption = text;
        static_cast<QGroupBox*>(w)->setTitle(to_qstring(text));
        return;
    case ElementKind::Label:
    case ElementKind::TransparentLabel:
        control.caption = text;
        static_cast<QLabel*>(w)->setText(to_qstring(text));
        return;
    case ElementKind::Window:
        return;
    }
}

int QtToolkitPlatform::run_message_loop() {
    return QApplication::exec();
}

void QtToolkitPlatform::post_quit(int code) {
    QCoreApplication::exit(code);
}

void QtToolkitPlatform::release() {
    if (input_hook_ && qApp != nullptr) {
        qApp->removeEventFilter(input_hook_.get());
    }
    if (window_ != nullptr) {
        window_->detach();
    }
    pending_.clear();
}

void QtToolkitPlatform::end_process(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace tavik
