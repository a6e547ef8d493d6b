// What the control theme needs from Qt besides the style itself: colour and geometry conversion,
// the parent colour query, widget classification and caption drawing.
#pragma once

#include "shell/theme_painters.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <optional>
#include <string_view>

class QFont;
class QPainter;
class QWidget;

namespace tavik::theme {

QColor to_qcolor(Rgb colour);
Rgb to_rgb(const QColor& colour);
QRect to_qrect(const Rect& rect);
Rect to_rect(const QRect& rect);
QString to_qstring(std::u16string_view text);

// A QImage over the canvas' own pixels, so text drawn with a QPainter lands in the same buffer.
// The canvas must outlive the image.
QImage image_on(Canvas& canvas);

// The colours a control's parent supplies for it. The parent reports a background only when it
// fills its own background (a window, or a widget with autoFillBackground) with a plain colour;
// otherwise nothing is recorded and the themed background fill draws nothing, which lets Qt's
// composition show the parent through. The text colour is the parent's foreground colour.
struct ParentColours {
    std::optional<Rgb> background;
    Rgb text;
};

ParentColours ask_parent_for_colours(const QWidget* widget);

// The colour Qt shows at a widget's top-left corner before the widget paints: the background of
// the nearest widget, itself included, that fills its own background.
Rgb colour_beneath(const QWidget* widget);

// The desktop colours of the moment: button face is the application palette's Button colour and
// the window colour its Base colour (the background of text entry), as of the active colour group.
Surroundings current_surroundings(const std::optional<Rgb>& parent_background);

WidgetTraits traits_of(const QWidget* widget);

HAlign horizontal_alignment(Qt::Alignment alignment);

// Draws a caption laid out by lay_out_caption, clipped to the area.
void draw_caption(QPainter& painter, const QFont& font, const QString& caption, const Rect& area,
                  Rgb colour, HAlign horizontal, VAlign vertical);

} // namespace tavik::theme
