// Qt side of the control theme's colour query, classification and caption drawing.
#include "shell/qt_theme_support.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <string>

namespace tavik::theme {

QColor to_qcolor(Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

Rgb to_rgb(const QColor& colour) {
    const QRgb rgb = colour.rgb();
    return {static_cast<std::uint8_t>(qRed(rgb)), static_cast<std::uint8_t>(qGreen(rgb)),
            static_cast<std::uint8_t>(qBlue(rgb))};
}

QRect to_qrect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

Rect to_rect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QString to_qstring(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

QImage image_on(Canvas& canvas) {
    // Canvas pixels are 0xAARRGGBB with alpha either 0 (nothing drawn, all channels 0) or 255, so
    // they are valid premultiplied pixels as they stand.
    return QImage(reinterpret_cast<uchar*>(canvas.pixels()), canvas.width(), canvas.height(),
                  qsizetype{canvas.width()} * 4, QImage::Format_ARGB32_Premultiplied);
}

namespace {

bool fills_own_background(const QWidget* widget) {
    if (widget->testAttribute(Qt::WA_TranslucentBackground) ||
        widget->testAttribute(Qt::WA_NoSystemBackground)) {
        return false;
    }
    return widget->isWindow() || widget->autoFillBackground();
}

} // namespace

ParentColours ask_parent_for_colours(const QWidget* widget) {
    ParentColours colours{std::nullopt, text_black};
    const QWidget* parent = widget->parentWidget();
    if (parent == nullptr) {
        return colours;
    }
    const QPalette& palette = parent->palette();
    colours.text = to_rgb(palette.color(parent->foregroundRole()));
    if (fills_own_background(parent)) {
        const QBrush& brush = palette.brush(parent->backgroundRole());
        if (brush.style() == Qt::SolidPattern) {
            colours.background = to_rgb(brush.color());
        }
    }
    return colours;
}

Rgb colour_beneath(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (fills_own_background(w)) {
            return to_rgb(w->palette().color(w->backgroundRole()));
        }
    }
    return to_rgb(QApplication::palette().color(QPalette::Window));
}

Surroundings current_surroundings(const std::optional<Rgb>& parent_background) {
    const QPalette palette = QApplication::palette();
    return {to_rgb(palette.color(QPalette::Active, QPalette::Button)),
            to_rgb(palette.color(QPalette::Active, QPalette::Base)), parent_background};
}

namespace {

bool is_combo_popup_list(const QAbstractItemView* view) {
    const QWidget* container = view->parentWidget();
    const auto* combo =
        container != nullptr ? qobject_cast<const QComboBox*>(container->parentWidget()) : nullptr;
    return combo != nullptr && combo->view() == view;
}

WidgetTraits push_button_traits(const QPushButton* button) {
    WidgetTraits traits;
    traits.widget_class = WidgetClass::push_button;
    traits.has_text = !button->text().isEmpty();
    traits.has_image = !button->icon().isNull();
    traits.is_default = button->isDefault();
    traits.is_checkable = button->isCheckable();
    traits.is_flat = button->isFlat();
    traits.has_menu = button->menu() != nullptr;
    return traits;
}

WidgetClass view_class(const QAbstractItemView* view) {
    if (is_combo_popup_list(view)) {
        return WidgetClass::combo_popup_list;
    }
    if (qobject_cast<const QTreeView*>(view) != nullptr) {
        return WidgetClass::tree_view;
    }
    return WidgetClass::list_view;
}

WidgetClass widget_class(const QWidget* widget) {
    if (qobject_cast<const QCheckBox*>(widget) != nullptr) {
        return WidgetClass::check_box;
    }
    if (qobject_cast<const QRadioButton*>(widget) != nullptr) {
        return WidgetClass::radio_button;
    }
    if (qobject_cast<const QToolButton*>(widget) != nullptr) {
        return WidgetClass::tool_button;
    }
    if (qobject_cast<const QGroupBox*>(widget) != nullptr) {
        return WidgetClass::group_box;
    }
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
        return WidgetClass::line_edit;
    }
    if (qobject_cast<const QPlainTextEdit*>(widget) != nullptr) {
        return WidgetClass::plain_text_edit;
    }
    if (qobject_cast<const QTextEdit*>(widget) != nullptr) {
        return WidgetClass::rich_text_edit;
    }
    if (qobject_cast<const QComboBox*>(widget) != nullptr) {
        return WidgetClass::combo_box;
    }
    if (qobject_cast<const QDateTimeEdit*>(widget) != nullptr) {
        return WidgetClass::date_time_edit;
    }
    if (qobject_cast<const QAbstractSpinBox*>(widget) != nullptr) {
        return WidgetClass::spin_box;
    }
    if (qobject_cast<const QKeySequenceEdit*>(widget) != nullptr) {
        return WidgetClass::key_sequence_edit;
    }
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget)) {
        return view_class(view);
    }
    if (qobject_cast<const QScrollBar*>(widget) != nullptr) {
        return WidgetClass::scroll_bar;
    }
    if (qobject_cast<const QSlider*>(widget) != nullptr) {
        return WidgetClass::slider;
    }
    if (qobject_cast<const QCalendarWidget*>(widget) != nullptr) {
        return WidgetClass::calendar;
    }
    if (qobject_cast<const QTabBar*>(widget) != nullptr ||
        qobject_cast<const QTabWidget*>(widget) != nullptr) {
        return WidgetClass::tab_bar;
    }
    if (qobject_cast<const QProgressBar*>(widget) != nullptr) {
        return WidgetClass::progress_bar;
    }
    return WidgetClass::other;
}

} // namespace

WidgetTraits traits_of(const QWidget* widget) {
    if (qobject_cast<const QCommandLinkButton*>(widget) != nullptr) {
        return {.widget_class = WidgetClass::command_link};
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return push_button_traits(button);
    }
    WidgetTraits traits;
    traits.widget_class = widget_class(widget);
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        traits.has_title_check_box = group->isCheckable();
    }
    if (traits.widget_class == WidgetClass::line_edit) {
        const QWidget* parent = widget->parentWidget();
        traits.is_part_of_composite = qobject_cast<const QAbstractSpinBox*>(parent) != nullptr ||
                                      qobject_cast<const QComboBox*>(parent) != nullptr;
    }
    return traits;
}

HAlign horizontal_alignment(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) {
        return HAlign::centre;
    }
    if (alignment & Qt::AlignRight) {
        return HAlign::right;
    }
    return HAlign::left;
}

void draw_caption(QPainter& painter, const QFont& font, const QString& caption, const Rect& area,
                  Rgb colour, HAlign horizontal, VAlign vertical) {
    const QFontMetrics metrics(font);
    const std::u16string text = caption.toStdU16String();
    const auto lines = lay_out_caption(limit_caption(text), area, metrics.height(), horizontal,
                                       vertical, [&metrics](std::u16string_view shown) {
                                           return metrics.horizontalAdvance(to_qstring(shown));
                                       });
    if (lines.empty()) {
        return;
    }
    painter.save();
    painter.setFont(font);
    painter.setPen(to_qcolor(colour));
    painter.setClipRect(to_qrect(area));
    constexpr int flags =
        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextDontClip;
    for (const TextLine& line : lines) {
        painter.drawText(QRect(line.x, line.y, line.width, metrics.height()), flags,
                         to_qstring(line.text));
    }
    painter.restore();
}

} // namespace tavik::theme
