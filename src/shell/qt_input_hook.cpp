// Maps Qt's input events to the toolkit's input messages and applies the toolkit's verdict.
#include "qt_input_hook.h"

#include "qt_toolkit_platform.h"
#include "toolkit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <optional>

namespace tavik {

namespace {

std::uint32_t function_keys(Qt::KeyboardModifiers modifiers) {
    std::uint32_t keys = 0;
    if (modifiers & Qt::ControlModifier) {
        keys |= function_key::kCtrl;
    }
    if (modifiers & Qt::ShiftModifier) {
        keys |= function_key::kShift;
    }
    if (modifiers & Qt::AltModifier) {
        keys |= function_key::kAlt;
    }
    return keys;
}

std::optional<InputKind> mouse_kind(QEvent::Type type, Qt::MouseButton button) {
    switch (type) {
    case QEvent::MouseButtonPress:
        if (button == Qt::LeftButton) {
            return InputKind::LeftPress;
        }
        if (button == Qt::RightButton) {
            return InputKind::RightPress;
        }
        return std::nullopt;
    case QEvent::MouseButtonDblClick:
        if (button == Qt::LeftButton) {
            return InputKind::LeftDoubleClick;
        }
        // A second right press counts as a press; only the left button knows double clicks here.
        if (button == Qt::RightButton) {
            return InputKind::RightPress;
        }
        return std::nullopt;
    case QEvent::MouseButtonRelease:
        if (button == Qt::LeftButton) {
            return InputKind::LeftRelease;
        }
        if (button == Qt::RightButton) {
            return InputKind::RightRelease;
        }
        return std::nullopt;
    case QEvent::MouseMove:
        return InputKind::MouseMove;
    default:
        return std::nullopt;
    }
}

} // namespace

QtInputHook::QtInputHook(QtToolkitPlatform& platform, Toolkit& toolkit)
    : platform_(platform)
    , toolkit_(toolkit) {}

bool QtInputHook::already_seen(QWidget* target, const QEvent* event) {
    const auto* input = static_cast<const QInputEvent*>(event);
    QPointF position;
    int key = 0;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        key = static_cast<const QKeyEvent*>(event)->key();
    } else if (event->type() == QEvent::Wheel) {
        position = static_cast<const QWheelEvent*>(event)->globalPosition();
    } else {
        position = static_cast<const QMouseEvent*>(event)->globalPosition();
    }
    const bool same = last_target_ != nullptr && event->type() == last_type_ &&
                      input->timestamp() == last_timestamp_ && position == last_position_ &&
                      key == last_key_ && target->isAncestorOf(last_target_);
    if (!same) {
        last_target_ = target;
        last_type_ = event->type();
        last_timestamp_ = input->timestamp();
        last_position_ = position;
        last_key_ = key;
    }
    return same;
}

bool QtInputHook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        break;
    default:
        return false;
    }
    if (!event->spontaneous() || !watched->isWidgetType()) {
        return false;
    }
    auto* target = static_cast<QWidget*>(watched);
    const std::optional<std::uint32_t> element = platform_.element_owning(target);
    if (!element || already_seen(target, event)) {
        return false;
    }
    QWidget* owner = platform_.widget(*element);

    InputMessage message{.element = *element};
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        message.kind = type == QEvent::KeyPress ? InputKind::KeyDown : InputKind::KeyUp;
        message.value = key->key();
        message.function_keys = function_keys(key->modifiers());
        if (toolkit_.route_input(message) == InputVerdict::Discard) {
            return true;
        }
        // A key that types something is also a character message.
        if (type == QEvent::KeyPress && !key->text().isEmpty() && key->text().at(0).isPrint()) {
            message.kind = InputKind::Character;
            message.value = key->text().at(0).unicode();
            return toolkit_.route_input(message) == InputVerdict::Discard;
        }
        return false;
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        message.kind = InputKind::Wheel;
        message.value = wheel->angleDelta().y();
        message.function_keys = function_keys(wheel->modifiers());
        return toolkit_.route_input(message) == InputVerdict::Discard;
    }
    default: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const std::optional<InputKind> kind = mouse_kind(type, mouse->button());
        if (!kind) {
            return false;
        }
        const QPoint local = owner != nullptr
                                 ? owner->mapFromGlobal(mouse->globalPosition().toPoint())
                                 : mouse->position().toPoint();
        message.kind = *kind;
        message.x = local.x();
        message.y = local.y();
        message.function_keys = function_keys(mouse->modifiers());
        return toolkit_.route_input(message) == InputVerdict::Discard;
    }
    }
}

} // namespace tavik
