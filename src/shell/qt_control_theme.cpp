// The control theme's application style: taking widgets over, following their state, and drawing
// the kinds the theme knows; plus switching the theme on and off.
#include "shell/qt_control_theme.h"

#include "shell/control_theme.h"
#include "shell/qt_theme_draw.h"
#include "shell/qt_theme_support.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QThread>
#include <utility>

namespace tavik::theme {
namespace {

// Default, checked and indeterminate as the control has them when it is taken over; from then on
// they come with every paint, from the control's own state.
void take_initial_button_state(const QWidget* widget, StateFlags& flags) {
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        flags.is_default = button->isDefault();
        flags.checked = button->isChecked();
    } else if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
        flags.checked = box->checkState() == Qt::Checked;
        flags.indeterminate = box->checkState() == Qt::PartiallyChecked;
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        flags.checked = button->isChecked();
    }
}

// Read once, when the control is taken over: a later change of the read-only state is not
// followed until the theme is switched on again.
bool is_read_only(const QWidget* widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->isReadOnly();
    }
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
        return edit->isReadOnly();
    }
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) {
        return spin->isReadOnly();
    }
    return false;
}

// Only an edit box with a border is given the flat frame; a borderless one draws itself.
bool has_border(const QWidget* widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->hasFrame();
    }
    if (const auto* frame = qobject_cast<const QFrame*>(widget)) {
        return frame->frameShape() != QFrame::NoFrame && frame->frameWidth() > 0;
    }
    return false;
}

void take_button_state(const QStyleOption& option, StateFlags& flags) {
    flags.pressed = (option.state & QStyle::State_Sunken) != 0;
    flags.checked = (option.state & QStyle::State_On) != 0;
    flags.indeterminate = (option.state & QStyle::State_NoChange) != 0;
    if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(&option)) {
        flags.is_default = (button->features & QStyleOptionButton::DefaultButton) != 0;
    }
}

} // namespace

ThemeStyle::ThemeStyle(QStyle* base, const ColourSet& colours)
    : QProxyStyle(base)
    , colours_(colours) {}

ThemeStyle::~ThemeStyle() {
    // Switching the theme off lets every widget go through unpolish; this is for an application
    // that ends with the theme still on.
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        let_go(const_cast<QWidget*>(static_cast<const QWidget*>(it.key())), it.value());
    }
}

void ThemeStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (widget == nullptr || entries_.contains(widget)) {
        return;
    }
    const ControlKind kind = classify(traits_of(widget));
    if (!is_taken_over(kind)) {
        return;
    }
    Entry entry;
    entry.kind = kind;
    entry.flags.disabled = !widget->isEnabled();
    entry.flags.focused = widget->hasFocus();
    take_initial_button_state(widget, entry.flags);
    entry.flags.read_only = is_read_only(widget);
    if (kind == ControlKind::push_button || kind == ControlKind::check_box ||
        kind == ControlKind::radio_button) {
        // The theme draws these whole and follows the pointer itself, from enter, leave and
        // mouse move events. Hover events would make Qt repaint them on moves of its own.
        entry.hover_before = widget->testAttribute(Qt::WA_Hover);
        widget->setAttribute(Qt::WA_Hover, false);
    }
    if (kind == ControlKind::combo_list) {
        // Drop-down lists drawn by an item delegate fill the chosen item straight from the
        // palette's highlight brush; menu-style lists are drawn through their combo box.
        entry.palette_before =
            widget->testAttribute(Qt::WA_SetPalette) ? widget->palette() : QPalette();
        QPalette palette = widget->palette();
        QLinearGradient band(0, 0, 0, 1);
        band.setCoordinateMode(QGradient::ObjectBoundingMode);
        band.setColorAt(0, to_qcolor(colours_.band_hot.top_left));
        band.setColorAt(1, to_qcolor(colours_.band_hot.bottom_left));
        palette.setBrush(QPalette::Highlight, QBrush(band));
        palette.setColor(QPalette::HighlightedText, to_qcolor(text_black));
        widget->setPalette(palette);
    }
    widget->installEventFilter(this);
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(widget);
        area != nullptr && kind == ControlKind::edit_box) {
        // The text area and scroll bars of a multi-line edit box are child widgets lying on the
        // inner line of the frame, so the frame is laid over them as well.
        for (QWidget* part : {static_cast<QWidget*>(area->viewport()),
                              static_cast<QWidget*>(area->horizontalScrollBar()),
                              static_cast<QWidget*>(area->verticalScrollBar())}) {
            if (part != nullptr) {
                part->installEventFilter(this);
                part_owners_.insert(part, widget);
                entry.parts.append(part);
                // A part dies before its edit box reports its own end.
                connect(part, &QObject::destroyed, this,
                        [this](QObject* gone) { part_owners_.remove(gone); });
            }
        }
    }
    entry.destroyed = connect(widget, &QObject::destroyed, this, [this](QObject* gone) {
        entries_.remove(gone);
        part_owners_.removeIf([gone](const auto& owner) { return owner.value() == gone; });
    });
    entries_.insert(widget, entry);
    widget->update();
}

void ThemeStyle::unpolish(QWidget* widget) {
    if (const auto it = entries_.find(widget); it != entries_.end()) {
        let_go(widget, it.value());
        entries_.erase(it);
        widget->update();
    }
    QProxyStyle::unpolish(widget);
}

void ThemeStyle::let_go(QWidget* widget, Entry& entry) {
    disconnect(entry.destroyed);
    widget->removeEventFilter(this);
    for (const QPointer<QWidget>& part : entry.parts) {
        if (part) {
            part->removeEventFilter(this);
        }
    }
    part_owners_.removeIf([widget](const auto& owner) { return owner.value() == widget; });
    if (entry.hover_before) {
        widget->setAttribute(Qt::WA_Hover, *entry.hover_before);
    }
    if (entry.palette_before) {
        widget->setPalette(*entry.palette_before);
    }
}

ThemeStyle::Entry* ThemeStyle::entry_for(const QWidget* widget, ControlKind kind) const {
    if (widget == nullptr) {
        return nullptr;
    }
    const auto it = entries_.find(widget);
    return it != entries_.end() && it->kind == kind ? &it.value() : nullptr;
}

std::optional<ControlKind> ThemeStyle::kind_of(const QWidget* widget) const {
    const auto it = entries_.constFind(widget);
    return it != entries_.constEnd() ? std::optional(it->kind) : std::nullopt;
}

std::optional<StateFlags> ThemeStyle::flags_of(const QWidget* widget) const {
    const auto it = entries_.constFind(widget);
    return it != entries_.constEnd() ? std::optional(it->flags) : std::nullopt;
}

void ThemeStyle::ask_parent(const QWidget* widget, Entry& entry) const {
    const ParentColours colours = ask_parent_for_colours(widget);
    entry.parent_background = colours.background;
    entry.parent_text = colours.text;
}

bool ThemeStyle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched == painting_own_) {
        return false;
    }
    if (QWidget* owner = part_owners_.value(watched)) {
        if (event->type() == QEvent::Paint) {
            return paint_over_own(static_cast<QWidget*>(watched), event, owner);
        }
        return false;
    }
    const auto it = entries_.find(watched);
    if (it == entries_.end()) {
        return QProxyStyle::eventFilter(watched, event);
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Paint && it->kind == ControlKind::edit_box) {
        return paint_over_own(widget, event, widget);
    }
    track_state(widget, it.value(), event);
    return QProxyStyle::eventFilter(watched, event);
}

void ThemeStyle::track_state(QWidget* widget, Entry& entry, QEvent* event) {
    StateFlags& flags = entry.flags;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        // A drop-down list opening or closing does not move the focus away from its combo box.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            flags.focused = event->type() == QEvent::FocusIn;
            widget->update();
        }
        break;
    case QEvent::EnabledChange:
        flags.disabled = !widget->isEnabled();
        widget->update();
        break;
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::MouseMove:
        // Only the first move with the left button up makes the control hot; moves after that,
        // and moves with the button held down, change nothing and repaint nothing.
        if (!flags.hot && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
            flags.hot = true;
            widget->update();
        }
        break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
        if (flags.hot) {
            flags.hot = false;
            widget->update();
        }
        break;
    default:
        break;
    }
}

bool ThemeStyle::paint_over_own(QWidget* target, QEvent* event, QWidget* edit) {
    const auto it = entries_.constFind(edit);
    if (it == entries_.constEnd() || !has_border(edit)) {
        return false;
    }
    // The edit box draws its text area first; the flat frame then goes over its edge.
    QObject* const outer = std::exchange(painting_own_, target);
    QCoreApplication::sendEvent(target, event);
    painting_own_ = outer;

    QPainter painter(target);
    if (target != edit) {
        painter.translate(-target->mapTo(edit, QPoint(0, 0)));
    }
    draw_edit_frame(painter, edit->size(), colours_, it->flags, current_surroundings(std::nullopt));
    return true;
}

void ThemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    switch (element) {
    case PE_PanelLineEdit:
        // A bordered single-line edit box fills its text area only; the theme's frame follows.
        if (entry_for(widget, ControlKind::edit_box) != nullptr && has_border(widget)) {
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            return;
        }
        break;
    case PE_FrameFocusRect:
        // The hot band already marks the chosen item of a drop-down list.
        if (entry_for(widget, ControlKind::combo_list) != nullptr) {
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ThemeStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    switch (element) {
    case CE_PushButton: {
        Entry* entry = entry_for(widget, ControlKind::push_button);
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (entry != nullptr && button != nullptr) {
            take_button_state(*button, entry->flags);
            ask_parent(widget, *entry);
            draw_push_button(*painter, *button, widget, colours_, entry->flags,
                             current_surroundings(entry->parent_background));
            return;
        }
        break;
    }
    case CE_CheckBox:
    case CE_RadioButton: {
        const bool is_radio = element == CE_RadioButton;
        Entry* entry =
            entry_for(widget, is_radio ? ControlKind::radio_button : ControlKind::check_box);
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (entry != nullptr && button != nullptr) {
            take_button_state(*button, entry->flags);
            ask_parent(widget, *entry);
            draw_check_control(*painter, *button, widget, *this, is_radio, colours_, entry->flags,
                               current_surroundings(entry->parent_background));
            return;
        }
        break;
    }
    case CE_ComboBoxLabel: {
        const Entry* entry = entry_for(widget, ControlKind::combo_box);
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (entry != nullptr && combo != nullptr && !combo->editable) {
            QStyleOptionComboBox label = *combo;
            const QColor colour = to_qcolor(caption_colour(entry->flags));
            label.palette.setColor(QPalette::ButtonText, colour);
            label.palette.setColor(QPalette::Text, colour);
            painter->save();
            painter->setPen(colour);
            QProxyStyle::drawControl(element, &label, painter, widget);
            painter->restore();
            return;
        }
        break;
    }
    case CE_MenuItem: {
        // A combo box whose drop-down list is drawn as a menu: the chosen item in the hot band,
        // the text black.
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (entry_for(widget, ControlKind::combo_box) != nullptr && item != nullptr) {
            QStyleOptionMenuItem themed = *item;
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                for (const QPalette::ColorRole role :
                     {QPalette::Text, QPalette::WindowText, QPalette::ButtonText,
                      QPalette::HighlightedText}) {
                    themed.palette.setColor(group, role, to_qcolor(text_black));
                }
            }
            if ((item->state & State_Selected) && (item->state & State_Enabled)) {
                draw_gradient(*painter, item->rect, colours_.band_hot);
                themed.state &= ~State_Selected;
            }
            QProxyStyle::drawControl(element, &themed, painter, widget);
            return;
        }
        break;
    }
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void ThemeStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    switch (control) {
    case CC_GroupBox: {
        Entry* entry = entry_for(widget, ControlKind::group_box);
        const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (entry != nullptr && group != nullptr) {
            ask_parent(widget, *entry);
            draw_group_box(*painter, *group, widget, current_surroundings(entry->parent_background),
                           entry->parent_text, colour_beneath(widget));
            return;
        }
        break;
    }
    case CC_ComboBox: {
        Entry* entry = entry_for(widget, ControlKind::combo_box);
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (entry != nullptr && combo != nullptr) {
            ask_parent(widget, *entry);
            draw_combo_box(*painter, *combo, widget, *this, colours_, entry->flags,
                           current_surroundings(entry->parent_background));
            return;
        }
        break;
    }
    case CC_SpinBox: {
        Entry* entry = entry_for(widget, ControlKind::up_down);
        const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
        if (entry != nullptr && spin != nullptr) {
            ask_parent(widget, *entry);
            draw_spin_box(*painter, *spin, widget, *this, colours_, entry->flags,
                          current_surroundings(entry->parent_background));
            return;
        }
        break;
    }
    default:
        break;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

namespace {

// The theme mode is kept for the life of the process; the two styles exist only while the theme
// is on.
struct ThemeSwitch {
    int mode = 0;
    QPointer<ThemeStyle> theme;
    QPointer<QStyle> own_style;
};

ThemeSwitch& theme_switch() {
    static ThemeSwitch state;
    return state;
}

bool on_gui_thread() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Puts the application's own style back. QApplication::setStyle unpolishes every widget through
// the theme, which lets it go, polishes it with the own style again, repaints it, and deletes the
// theme. Reports whether a theme was on.
bool switch_off() {
    ThemeSwitch& state = theme_switch();
    const QPointer<ThemeStyle> theme = std::exchange(state.theme, nullptr);
    const QPointer<QStyle> own = std::exchange(state.own_style, nullptr);
    if (theme.isNull()) {
        return false;
    }
    if (!own.isNull() && QApplication::style() == theme.data()) {
        QApplication::setStyle(own.data());
    }
    return true;
}

void switch_on(const ColourSet& colours) {
    ThemeSwitch& state = theme_switch();
    QStyle* own = QApplication::style();
    // The proxy gets a base style of its own: QProxyStyle points its base back at itself, which
    // would leave the application's style pointing at a deleted proxy once the theme is gone.
    // Without a factory name the proxy falls back to the platform's default style.
    auto* theme = new ThemeStyle(QStyleFactory::create(own->name()), colours);
    // QApplication::setStyle deletes the style it replaces when the application owns it; the
    // theme holds on to it instead until it is put back.
    own->setParent(theme);
    state.own_style = own;
    state.theme = theme;
    // Polishes, and so takes over, every widget that exists; widgets created later are polished
    // by the theme as they are first shown.
    QApplication::setStyle(theme);
}

} // namespace

ThemeStyle* active_theme() {
    return theme_switch().theme.data();
}

} // namespace tavik::theme

namespace tavik {

int set_theme(int mode) {
    theme::theme_switch().mode = mode;
    if (!theme::on_gui_thread()) {
        return 0;
    }
    const bool was_on = theme::switch_off();
    if (const theme::ColourSet* colours = theme::colour_set_for_mode(mode)) {
        theme::switch_on(*colours);
    }
    return theme::set_theme_result(mode, was_on);
}

} // namespace tavik
