// Themed drawing of push buttons, check boxes, radio buttons, group boxes, edit frames, combo
// boxes, up-down controls and drop-down list items. Every control is drawn into its own off-screen
// image first; the widget's painter then receives it in one step (and Qt's backing store
// double-buffers the window on top of that, so nothing half-drawn ever reaches the screen).
#include "shell/qt_theme_draw.h"

#include "shell/qt_theme_support.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

namespace tavik::theme {
namespace {

QFont font_of(const QWidget* widget, const QPainter& painter) {
    return widget != nullptr ? widget->font() : painter.font();
}

// Icons of push buttons and check controls sit at the left of the caption area, which shrinks
// by the icon and a small gap.
Rect draw_icon(QPainter& painter, const QIcon& icon, const QSize& icon_size, bool enabled, bool on,
               const Rect& area) {
    if (icon.isNull() || icon_size.isEmpty()) {
        return area;
    }
    const QPixmap pixmap = icon.pixmap(icon_size, enabled ? QIcon::Normal : QIcon::Disabled,
                                       on ? QIcon::On : QIcon::Off);
    const QSize shown = pixmap.deviceIndependentSize().toSize();
    painter.drawPixmap(area.left + 2, area.top + (area.height - shown.height()) / 2, pixmap);
    const int used = 2 + shown.width() + 4;
    return {area.left + used, area.top, area.width - used, area.height};
}

} // namespace

void draw_push_button(QPainter& painter, const QStyleOptionButton& option, const QWidget* widget,
                      const ColourSet& colours, const StateFlags& flags,
                      const Surroundings& surroundings) {
    Canvas canvas(option.rect.width(), option.rect.height());
    const CaptionPlacement caption = paint_push_button(canvas, colours, flags, surroundings);
    QImage image = image_on(canvas);
    {
        QPainter on_image(&image);
        const Rect text_area = draw_icon(on_image, option.icon, option.iconSize, !flags.disabled,
                                         flags.checked, caption.area);
        draw_caption(on_image, font_of(widget, painter), option.text, text_area, caption.colour,
                     HAlign::centre, VAlign::middle);
    }
    painter.drawImage(option.rect.topLeft(), image);
}

void draw_check_control(QPainter& painter, const QStyleOptionButton& option, const QWidget* widget,
                        const QStyle& style, bool is_radio, const ColourSet& colours,
                        const StateFlags& flags, const Surroundings& surroundings) {
    const QPoint origin = option.rect.topLeft();
    const auto part = [&](QStyle::SubElement element) {
        return to_rect(style.subElementRect(element, &option, widget).translated(-origin));
    };
    Canvas canvas(option.rect.width(), option.rect.height());
    if (is_radio) {
        paint_radio_indicator(canvas, part(QStyle::SE_RadioButtonIndicator), colours, flags,
                              surroundings);
    } else {
        paint_check_indicator(canvas, part(QStyle::SE_CheckBoxIndicator), colours, flags,
                              surroundings);
    }
    if (flags.focused && !option.text.isEmpty()) {
        canvas.dotted_frame(
            part(is_radio ? QStyle::SE_RadioButtonFocusRect : QStyle::SE_CheckBoxFocusRect),
            colours.dark_frame);
    }
    QImage image = image_on(canvas);
    {
        QPainter on_image(&image);
        const Rect contents =
            part(is_radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents);
        const Rect text_area = draw_icon(on_image, option.icon, option.iconSize, !flags.disabled,
                                         flags.checked, contents);
        draw_caption(on_image, font_of(widget, painter), option.text, text_area,
                     caption_colour(flags), HAlign::left, VAlign::middle);
    }
    painter.drawImage(origin, image);
}

void draw_group_box(QPainter& painter, const QStyleOptionGroupBox& option, const QWidget* widget,
                    const Surroundings& surroundings, Rgb caption_colour, Rgb colour_beneath) {
    const QFont font = font_of(widget, painter);
    const QFontMetrics metrics(font);
    const std::u16string full_title = option.text.toStdU16String();
    const QString title = to_qstring(limit_caption(full_title));
    std::optional<CaptionSize> caption;
    if (!title.isEmpty()) {
        caption = CaptionSize{
            metrics.horizontalAdvance(to_qstring(shown_text(limit_caption(full_title)))),
            metrics.height(), horizontal_alignment(option.textAlignment)};
    }
    const int sample_height = QFontMetrics(QApplication::font()).height();

    Canvas canvas(option.rect.width(), option.rect.height());
    const GroupBoxLayout layout =
        paint_group_box(canvas, caption, sample_height, surroundings, colour_beneath);
    QImage image = image_on(canvas);
    if (caption) {
        QPainter on_image(&image);
        on_image.setFont(font);
        on_image.setPen(to_qcolor(caption_colour));
        on_image.drawText(QRect(layout.caption_x, 0, caption->width, caption->height),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic |
                              Qt::TextDontClip,
                          title);
    }
    painter.drawImage(option.rect.topLeft(), image);
}

void draw_edit_frame(QPainter& painter, const QSize& size, const ColourSet& colours,
                     const StateFlags& flags, const Surroundings& surroundings) {
    Canvas canvas(size.width(), size.height());
    paint_edit_frame(canvas, colours, flags, surroundings);
    painter.drawImage(QPoint(0, 0), image_on(canvas));
}

void draw_combo_box(QPainter& painter, const QStyleOptionComboBox& option, const QWidget* widget,
                    const QStyle& style, const ColourSet& colours, StateFlags flags,
                    const Surroundings& surroundings) {
    Canvas canvas(option.rect.width(), option.rect.height());
    const Rect arrow =
        to_rect(style.subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, widget)
                    .translated(-option.rect.topLeft()));
    // An open drop-down list holds the combo box down.
    flags.pressed = (option.state & QStyle::State_On) != 0;
    if (option.editable) {
        paint_edit_frame(canvas, colours, flags, surroundings);
        const Rect inside = canvas.bounds().inset(2);
        canvas.fill(inside, flags.disabled ? surroundings.button_face : surroundings.window_colour);
        paint_small_button(canvas, arrow.intersected(inside), colours, flags, surroundings,
                           Arrow::down, true);
    } else {
        paint_push_button(canvas, colours, flags, surroundings);
        paint_arrow(canvas, arrow, Arrow::down, arrow_colour(colours, flags));
    }
    painter.drawImage(option.rect.topLeft(), image_on(canvas));
}

void draw_spin_box(QPainter& painter, const QStyleOptionSpinBox& option, const QWidget* widget,
                   const QStyle& style, const ColourSet& colours, const StateFlags& flags,
                   const Surroundings& surroundings) {
    Canvas canvas(option.rect.width(), option.rect.height());
    if (option.frame) {
        paint_edit_frame(canvas, colours, flags, surroundings);
    }
    const Rect inside = option.frame ? canvas.bounds().inset(2) : canvas.bounds();
    canvas.fill(inside, flags.disabled ? surroundings.button_face : surroundings.window_colour);
    if (option.buttonSymbols != QAbstractSpinBox::NoButtons) {
        struct Step {
            QStyle::SubControl control;
            Arrow arrow;
            QAbstractSpinBox::StepEnabledFlag enabled;
        };
        for (const Step step :
             {Step{QStyle::SC_SpinBoxUp, Arrow::up, QAbstractSpinBox::StepUpEnabled},
              Step{QStyle::SC_SpinBoxDown, Arrow::down, QAbstractSpinBox::StepDownEnabled}}) {
            const Rect area =
                to_rect(style.subControlRect(QStyle::CC_SpinBox, &option, step.control, widget)
                            .translated(-option.rect.topLeft()));
            const bool active = (option.activeSubControls & step.control) != 0;
            StateFlags button = flags;
            button.pressed = active && (option.state & QStyle::State_Sunken) != 0;
            button.hot = flags.hot && active;
            paint_small_button(canvas, area.intersected(inside), colours, button, surroundings,
                               step.arrow, (option.stepEnabled & step.enabled) != 0);
        }
    }
    painter.drawImage(option.rect.topLeft(), image_on(canvas));
}

void draw_gradient(QPainter& painter, const QRect& rect, const Gradient& gradient) {
    Canvas canvas(rect.width(), rect.height());
    canvas.fill_gradient(canvas.bounds(), gradient);
    painter.drawImage(rect.topLeft(), image_on(canvas));
}

} // namespace tavik::theme
