// The control theme on real widgets: each control is rendered with QWidget::grab and its pixels
// are read where the theme places them.
//
// Still to come with the main window: a screenshot of the real window under Xvfb with the theme
// on should show the olive draw button at window coordinates (176, 32) to (255, 55) with the
// RGB(55,98,6) frame at (186, 33), the account field's RGB(164,185,127) outline at (72, 32) with
// the button-face line at (73, 33), the group box frame RGB(191,184,191) at (140, 135) and its
// caption from x = 17, and nothing of the account list or the version holder in view.
#include "shell/control_theme.h"
#include "shell/qt_control_theme.h"

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <functional>

using tavik::set_theme;
using tavik::theme::active_theme;
using tavik::theme::ControlKind;

namespace {

const QColor white(255, 255, 255);
const QColor black(0, 0, 0);
const QColor muted(165, 162, 148);
const QColor disabled_fill(245, 244, 234);
const QColor normal_band_bottom(226, 223, 214);
const QColor hot_band_top(255, 240, 207);
const QColor hot_band_bottom(229, 151, 0);
const QColor group_frame(191, 184, 191);
const QColor olive_outline(164, 185, 127);

QColor button_face() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QColor window_colour() {
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor darker(const QColor& colour, int by) {
    return QColor(std::max(0, colour.red() - by), std::max(0, colour.green() - by),
                  std::max(0, colour.blue() - by));
}

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

QColor inverted(const QColor& colour) {
    return QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue());
}

// Glyphs are antialiased and this small a font never covers a whole pixel, so the darkest pixel
// of a caption only comes close to its colour.
bool close_to(const QColor& actual, const QColor& expected, int tolerance) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

bool is_dark(const QColor& colour) {
    return colour.red() + colour.green() + colour.blue() < 300;
}

QImage grab(QWidget* widget) {
    QCoreApplication::processEvents();
    return widget->grab().toImage();
}

QColor darkest_in(const QImage& image, const QRect& area) {
    QColor darkest = white;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = at(image, x, y);
            if (c.red() + c.green() + c.blue() < darkest.red() + darkest.green() + darkest.blue()) {
                darkest = c;
            }
        }
    }
    return darkest;
}

void paint_plain(QWidget* widget, const QColor& background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

[[nodiscard]] bool show_active(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// A white window with the main window's account row: the group box holding the draw button and
// the account field, and the account list below it (here in view).
struct Scene {
    QWidget window;
    QGroupBox* group = new QGroupBox(QStringLiteral("Lumrose"), &window);
    QPushButton* button = new QPushButton(QStringLiteral("一键获取"), group);
    QLineEdit* field = new QLineEdit(group);
    QPlainTextEdit* list = new QPlainTextEdit(&window);

    Scene() {
        window.resize(286, 260);
        paint_plain(&window, white);
        group->setGeometry(8, 8, 264, 128);
        paint_plain(group, white);
        button->setGeometry(168, 24, 80, 24);
        field->setGeometry(64, 24, 88, 24);
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignCenter);
        list->setGeometry(24, 150, 96, 24);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setPlainText(QStringLiteral("abcd12345\r\n"));
    }

    // Shown and active, the focus on the account list and the pointer in an empty corner.
    [[nodiscard]] bool show() {
        if (!show_active(&window)) {
            return false;
        }
        list->setFocus(Qt::OtherFocusReason);
        QTest::mouseMove(&window, QPoint(280, 250));
        QCoreApplication::processEvents();
        return list->hasFocus();
    }
};

enum class Pose { rest, hot, pressed, focused, default_button, disabled };

struct ButtonLook {
    QColor frame;
    QColor band_top;
    QColor band_bottom;
    QColor face_top_left;
    QColor face_top_right;
    QColor face_bottom;
    QColor diagonal_corner;
    QColor edge_corner;
    QColor text;
    bool focus_rectangle = false;
};

struct ModeColours {
    int mode;
    QColor frame;
    QColor focus_band_top;
    QColor focus_band_bottom;
    QColor pressed_band_top;
    QColor pressed_band_bottom;
    QColor face_top;
    QColor face_bottom;
    QColor pressed_face_top_left;
    QColor pressed_face_top_right;
    QColor pressed_face_bottom;
};

const ModeColours blue{1,
                       {0, 60, 115},
                       {206, 231, 255},
                       {105, 130, 238},
                       {209, 204, 193},
                       {242, 241, 238},
                       {252, 252, 251},
                       {236, 235, 230},
                       {231, 227, 222},
                       {231, 231, 231},
                       {231, 227, 222}};
const ModeColours olive{2,
                        {55, 98, 6},
                        hot_band_top,
                        hot_band_bottom,
                        {239, 227, 206},
                        {239, 227, 206},
                        {252, 252, 251},
                        {236, 225, 201},
                        {239, 227, 206},
                        {239, 227, 206},
                        {239, 227, 206}};
const ModeColours silver{3,
                         {0, 60, 116},
                         {206, 231, 255},
                         {105, 130, 238},
                         {239, 227, 206},
                         {239, 227, 206},
                         {252, 252, 251},
                         {198, 197, 215},
                         {179, 178, 197},
                         {179, 178, 197},
                         {252, 252, 251}};

using Factory = std::function<QWidget*(QWidget* parent)>;

} // namespace

Q_DECLARE_METATYPE(Pose)
Q_DECLARE_METATYPE(ButtonLook)
Q_DECLARE_METATYPE(Factory)

class ControlThemeTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_theme(0); }

    void reports_what_switching_did_data();
    void reports_what_switching_did();
    void push_button_looks_data();
    void push_button_looks();
    void pressed_caption_moves_one_pixel_right_and_down();
    void checked_band_is_shaded_as_two_triangles();
    void edit_frames_data();
    void edit_frames();
    void read_only_is_taken_when_the_theme_takes_over();
    void group_box_data();
    void group_box();
    void message_box_created_later_is_themed();
    void switching_off_restores_every_control_data();
    void switching_off_restores_every_control();
    void takes_over_only_its_kinds_data();
    void takes_over_only_its_kinds();
    void other_kinds_use_the_colour_set_data();
    void other_kinds_use_the_colour_set();
    void drop_down_list_highlights_in_the_hot_band_data();
    void drop_down_list_highlights_in_the_hot_band();
    void repaints_only_when_state_changes_data();
    void repaints_only_when_state_changes();
};

void ControlThemeTest::reports_what_switching_did_data() {
    QTest::addColumn<QList<int>>("modes");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QColor>("frame");

    QTest::newRow("on") << QList{2} << QList{1} << olive.frame;
    QTest::newRow("off while off") << QList{0} << QList{0} << QColor();
    QTest::newRow("on, then off") << QList{2, 0} << QList{1, 1} << QColor();
    QTest::newRow("off twice") << QList{2, 0, 0} << QList{1, 1, 0} << QColor();
    QTest::newRow("unknown mode switches off") << QList{3, 4} << QList{1, 1} << QColor();
    QTest::newRow("negative mode switches off") << QList{1, -1} << QList{1, 1} << QColor();
    QTest::newRow("another mode while on") << QList{2, 1} << QList{1, 1} << blue.frame;
    QTest::newRow("same mode again") << QList{3, 3} << QList{1, 1} << silver.frame;
}

void ControlThemeTest::reports_what_switching_did() {
    QFETCH(QList<int>, modes);
    QFETCH(QList<int>, results);
    QFETCH(QColor, frame);

    Scene scene;
    QVERIFY(scene.show());
    QList<int> reported;
    for (const int mode : modes) {
        reported.append(set_theme(mode));
    }
    QCOMPARE(reported, results);
    QCOMPARE(active_theme() != nullptr, frame.isValid());
    // The controls that existed all along are drawn in the last mode's colours, or in their own.
    const QImage button = grab(scene.button);
    if (frame.isValid()) {
        QCOMPARE(at(button, 10, 1), frame);
    } else {
        QVERIFY(at(button, 10, 1) != olive.frame && at(button, 10, 1) != blue.frame);
    }
}

void ControlThemeTest::push_button_looks_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<Pose>("pose");
    QTest::addColumn<ButtonLook>("look");

    const QColor face = button_face();
    for (const ModeColours& m : {blue, olive, silver}) {
        const ButtonLook rest{m.frame,    white,      normal_band_bottom,
                              m.face_top, m.face_top, m.face_bottom,
                              m.frame,    m.frame,    black,
                              false};
        QTest::addRow("mode %d at rest", m.mode) << m.mode << Pose::rest << rest;

        ButtonLook hot = rest;
        hot.band_top = hot_band_top;
        hot.band_bottom = hot_band_bottom;
        QTest::addRow("mode %d hot", m.mode) << m.mode << Pose::hot << hot;

        // A press also gives the button the focus.
        ButtonLook pressed = rest;
        pressed.band_top = m.pressed_band_top;
        pressed.band_bottom = m.pressed_band_bottom;
        pressed.face_top_left = m.pressed_face_top_left;
        pressed.face_top_right = m.pressed_face_top_right;
        pressed.face_bottom = m.pressed_face_bottom;
        pressed.focus_rectangle = true;
        QTest::addRow("mode %d pressed", m.mode) << m.mode << Pose::pressed << pressed;

        ButtonLook focused = rest;
        focused.band_top = m.focus_band_top;
        focused.band_bottom = m.focus_band_bottom;
        focused.focus_rectangle = true;
        QTest::addRow("mode %d focused", m.mode) << m.mode << Pose::focused << focused;

        ButtonLook by_default = focused;
        by_default.focus_rectangle = false;
        QTest::addRow("mode %d default", m.mode) << m.mode << Pose::default_button << by_default;

        const ButtonLook disabled{
            darker(face, 32), disabled_fill,    disabled_fill,    disabled_fill, disabled_fill,
            disabled_fill,    darker(face, 21), darker(face, 17), muted,         false};
        QTest::addRow("mode %d disabled", m.mode) << m.mode << Pose::disabled << disabled;
    }
}

void ControlThemeTest::push_button_looks() {
    QFETCH(int, mode);
    QFETCH(Pose, pose);
    QFETCH(ButtonLook, look);

    Scene scene;
    QVERIFY(scene.show());
    QCOMPARE(set_theme(mode), 1);
    QPushButton* button = scene.button;
    const QPoint centre = button->rect().center();
    const auto release = qScopeGuard([&] {
        if (pose == Pose::pressed) {
            QTest::mouseRelease(button, Qt::LeftButton, {}, centre);
        }
    });
    switch (pose) {
    case Pose::rest:
        break;
    case Pose::hot:
        QTest::mouseMove(button, centre);
        break;
    case Pose::pressed:
        QTest::mousePress(button, Qt::LeftButton, {}, centre);
        QVERIFY(button->isDown());
        break;
    case Pose::focused:
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(button->hasFocus());
        break;
    case Pose::default_button:
        button->setDefault(true);
        break;
    case Pose::disabled:
        button->setEnabled(false);
        break;
    }

    const QImage image = grab(button);
    const int w = image.width();
    const int h = image.height();
    QCOMPARE(QSize(w, h), QSize(80, 24));
    const QColor face = button_face();

    // The button-face line along the edge, the dark frame one pixel in.
    QCOMPARE(at(image, 10, 0), face);
    QCOMPARE(at(image, 0, 12), face);
    QCOMPARE(at(image, w - 1, 12), face);
    QCOMPARE(at(image, 10, h - 1), face);
    QCOMPARE(at(image, 10, 1), look.frame);
    QCOMPARE(at(image, 1, 12), look.frame);
    QCOMPARE(at(image, w - 2, 12), look.frame);
    QCOMPARE(at(image, 10, h - 2), look.frame);

    // The band's top and bottom rows, and the face inside it.
    QCOMPARE(at(image, 10, 2), look.band_top);
    QCOMPARE(at(image, w - 11, 2), look.band_top);
    QCOMPARE(at(image, 10, h - 3), look.band_bottom);
    QCOMPARE(at(image, 4, 4), look.face_top_left);
    QCOMPARE(at(image, w - 5, 4), look.face_top_right);
    QCOMPARE(at(image, 4, h - 5), look.face_bottom);
    QCOMPARE(at(image, w - 5, h - 5), look.face_bottom);

    // Corners rounded pixel by pixel.
    for (const auto& [x, y, dx, dy] :
         {std::tuple{1, 1, 1, 1}, std::tuple{w - 2, 1, -1, 1}, std::tuple{1, h - 2, 1, -1},
          std::tuple{w - 2, h - 2, -1, -1}}) {
        QCOMPARE(at(image, x, y), face);
        QCOMPARE(at(image, x + dx, y + dy), look.diagonal_corner);
        QCOMPARE(at(image, x, y + dy), look.edge_corner);
        QCOMPARE(at(image, x + dx, y), look.edge_corner);
    }

    // The dotted focus rectangle at inset 3 inverts every other pixel of the band, starting at
    // its top-left corner; the band's rows are one colour, so the pixel to the left tells what
    // was there.
    for (const auto& [x, y] : {std::pair{3, 3}, std::pair{5, 3}, std::pair{3, 5},
                               std::pair{w - 4, h - 4}, std::pair{w - 6, h - 4}}) {
        QCOMPARE(at(image, x, y) == inverted(at(image, x - 1, y)), look.focus_rectangle);
    }
    QCOMPARE(at(image, 4, 3), at(image, 2, 3));
    QCOMPARE(at(image, 3, 4), at(image, 2, 4));

    const QColor darkest = darkest_in(image, QRect(4, 4, w - 8, h - 8));
    QVERIFY2(close_to(darkest, look.text, 12), qPrintable(darkest.name()));
}

void ControlThemeTest::pressed_caption_moves_one_pixel_right_and_down() {
    // In the olive set a checked and a pressed button share the flat pressed face, so the two
    // captions can be compared pixel for pixel.
    Scene scene;
    scene.button->setCheckable(true);
    QVERIFY(scene.show());
    set_theme(2);
    scene.button->setChecked(true);
    const QImage checked = grab(scene.button);
    scene.button->setChecked(false);
    scene.button->setDown(true);
    const QImage pressed = grab(scene.button);
    scene.button->setDown(false);

    int caption_pixels = 0;
    int moved_mismatches = 0;
    int unmoved_mismatches = 0;
    for (int y = 4; y < checked.height() - 5; ++y) {
        for (int x = 4; x < checked.width() - 5; ++x) {
            caption_pixels += is_dark(at(checked, x, y)) ? 1 : 0;
            moved_mismatches += at(pressed, x + 1, y + 1) != at(checked, x, y) ? 1 : 0;
            unmoved_mismatches += at(pressed, x, y) != at(checked, x, y) ? 1 : 0;
        }
    }
    QVERIFY(caption_pixels > 20);
    QVERIFY(unmoved_mismatches > 0);
    QCOMPARE(moved_mismatches, 0);
}

void ControlThemeTest::checked_band_is_shaded_as_two_triangles() {
    // The checked band has different top corners: its top row runs from one to the other while
    // its bottom row stays one colour.
    Scene scene;
    scene.button->setCheckable(true);
    scene.button->setChecked(true);
    QVERIFY(scene.show());
    set_theme(2);
    const QImage image = grab(scene.button);
    const int w = image.width();
    const int h = image.height();
    // The corner pixels of the band are rounded off, so read one pixel in from them.
    QVERIFY2(close_to(at(image, 3, 2), QColor(214, 203, 189), 1),
             qPrintable(at(image, 3, 2).name()));
    QVERIFY2(close_to(at(image, w - 4, 2), QColor(214, 207, 198), 1),
             qPrintable(at(image, w - 4, 2).name()));
    QCOMPARE(at(image, w / 2, 2), QColor(214, 205, 194));
    QCOMPARE(at(image, 3, h - 3), QColor(247, 243, 239));
    QCOMPARE(at(image, w - 4, h - 3), QColor(247, 243, 239));
}

void ControlThemeTest::edit_frames_data() {
    QTest::addColumn<bool>("multi_line");
    QTest::addColumn<bool>("read_only");
    QTest::addColumn<bool>("disabled");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("scroll_bar");
    QTest::addColumn<bool>("tinted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("outline");
    QTest::addColumn<QColor>("inner");

    const QColor face = button_face();
    const QColor window = window_colour();
    QTest::newRow("account field: thin border, read-only")
        << false << true << false << false << false << false << 2 << olive_outline << face;
    QTest::newRow("account list: sunken, editable")
        << true << false << false << false << false << false << 2 << olive_outline << window;
    QTest::newRow("account list with the focus")
        << true << false << false << true << false << false << 2 << olive_outline << window;
    QTest::newRow("multi-line with a scroll bar")
        << true << false << false << false << true << false << 2 << olive_outline << window;
    QTest::newRow("multi-line with a text area of its own colour")
        << true << false << false << false << false << true << 2 << olive_outline << window;
    QTest::newRow("editable field with the focus")
        << false << false << false << true << false << false << 2 << olive_outline << window;
    QTest::newRow("editable field, blue") << false << false << false << false << false << false << 1
                                          << QColor(123, 158, 189) << window;
    QTest::newRow("editable field, silver") << false << false << false << false << false << false
                                            << 3 << QColor(198, 197, 215) << window;
    QTest::newRow("disabled field")
        << false << false << true << false << false << false << 2 << darker(face, 32) << face;
    QTest::newRow("disabled list")
        << true << false << true << false << false << false << 2 << darker(face, 32) << face;
}

void ControlThemeTest::edit_frames() {
    QFETCH(bool, multi_line);
    QFETCH(bool, read_only);
    QFETCH(bool, disabled);
    QFETCH(bool, focused);
    QFETCH(bool, scroll_bar);
    QFETCH(bool, tinted);
    QFETCH(int, mode);
    QFETCH(QColor, outline);
    QFETCH(QColor, inner);

    Scene scene;
    scene.field->setReadOnly(read_only);
    scene.list->setReadOnly(read_only);
    if (scroll_bar) {
        scene.list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    if (tinted) {
        // The text area covers the inner line of the frame; the theme's line must still show.
        QPalette palette = scene.list->palette();
        palette.setColor(QPalette::Base, QColor(255, 255, 224));
        scene.list->setPalette(palette);
    }
    QWidget* edit = multi_line ? static_cast<QWidget*>(scene.list) : scene.field;
    QVERIFY(scene.show());
    QCOMPARE(set_theme(mode), 1);
    if (disabled) {
        edit->setEnabled(false);
    }
    if (focused) {
        edit->setFocus(Qt::TabFocusReason);
        QVERIFY(edit->hasFocus());
    }

    const QImage image = grab(edit);
    const int w = image.width();
    const int h = image.height();
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{w - 1, 0}, std::pair{0, h - 1},
                               std::pair{w - 1, h - 1}, std::pair{w / 2, 0}, std::pair{0, h / 2},
                               std::pair{w / 2, h - 1}, std::pair{w - 1, h / 2}}) {
        QCOMPARE(at(image, x, y), outline);
    }
    for (const auto& [x, y] : {std::pair{1, 1}, std::pair{w - 2, 1}, std::pair{1, h - 2},
                               std::pair{w - 2, h - 2}, std::pair{w / 2, 1}, std::pair{1, h / 2},
                               std::pair{w / 2, h - 2}, std::pair{w - 2, h / 2}}) {
        QCOMPARE(at(image, x, y), inner);
    }
}

void ControlThemeTest::read_only_is_taken_when_the_theme_takes_over() {
    Scene scene;
    QVERIFY(scene.show());
    set_theme(2);
    QCOMPARE(at(grab(scene.field), 1, 1), button_face());
    // Not followed afterwards...
    scene.field->setReadOnly(false);
    QCOMPARE(at(grab(scene.field), 1, 1), button_face());
    // ...until the theme is switched on again and every control starts afresh.
    set_theme(2);
    QCOMPARE(at(grab(scene.field), 1, 1), window_colour());
}

void ControlThemeTest::group_box_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QColor>("fill");

    QTest::newRow("caption on the left") << int(Qt::AlignLeft) << white;
    QTest::newRow("caption centred") << int(Qt::AlignHCenter) << white;
    QTest::newRow("caption on the right") << int(Qt::AlignRight) << white;
    QTest::newRow("own fill unlike the parent's") << int(Qt::AlignLeft) << QColor(255, 255, 224);
}

void ControlThemeTest::group_box() {
    QFETCH(int, alignment);
    QFETCH(QColor, fill);

    Scene scene;
    scene.group->setAlignment(Qt::Alignment(alignment));
    paint_plain(scene.group, fill);
    QVERIFY(scene.show());
    set_theme(2);

    const QImage image = grab(scene.group);
    const int w = image.width();
    const int h = image.height();
    const QFontMetrics metrics(scene.group->font());
    const int caption_width = metrics.horizontalAdvance(QStringLiteral("Lumrose"));
    const int caption_height = metrics.height();
    const int top = caption_height / 2;
    int caption_x = 9;
    int gap_first = 8;
    int gap_last = caption_width + 9;
    if (alignment == Qt::AlignHCenter) {
        caption_x = (w - caption_width) / 2;
        gap_first = caption_x - 5;
        gap_last = caption_x + caption_width + 4;
    } else if (alignment == Qt::AlignRight) {
        caption_x = w - 10 - caption_width;
        gap_first = caption_x;
        gap_last = w - 11;
    }

    // The frame, its top line at half the caption height with a gap under the caption.
    QCOMPARE(at(image, w / 2, h - 1), group_frame);
    QCOMPARE(at(image, 0, h / 2), group_frame);
    QCOMPARE(at(image, w - 1, h / 2), group_frame);
    QCOMPARE(at(image, gap_first - 1, top), group_frame);
    QCOMPARE(at(image, gap_last + 1, top), group_frame);
    QVERIFY(at(image, gap_first, top) != group_frame);
    QVERIFY(at(image, gap_last, top) != group_frame);
    QCOMPARE(at(image, w / 2 + (alignment == Qt::AlignHCenter ? w / 3 : 0), top), group_frame);

    // The caption, in the parent's text colour on the parent's background, drawn from caption_x.
    QImage expected(image.size(), image.format());
    expected.fill(white);
    {
        QPainter painter(&expected);
        painter.setFont(scene.group->font());
        painter.setPen(black);
        painter.drawText(QRect(caption_x, 0, caption_width, caption_height),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                         QStringLiteral("Lumrose"));
    }
    int ink = 0;
    int mismatches = 0;
    for (int y = 0; y <= top; ++y) {
        for (int x = gap_first; x <= gap_last; ++x) {
            ink += is_dark(at(image, x, y)) ? 1 : 0;
            mismatches += at(image, x, y) != at(expected, x, y) ? 1 : 0;
        }
    }
    QVERIFY(ink > 10);
    QCOMPARE(mismatches, 0);

    // Rounded corners: three pixels of the edge in the background, two inside in frame colour.
    const int bottom = h - 1;
    for (const auto& [x, dx] : {std::pair{0, 1}, std::pair{w - 1, -1}}) {
        for (const auto& [y, dy] : {std::pair{top, 1}, std::pair{bottom, -1}}) {
            QCOMPARE(at(image, x, y), white);
            QCOMPARE(at(image, x, y + dy), white);
            QCOMPARE(at(image, x, y + 2 * dy), white);
            QCOMPARE(at(image, x + dx, y), white);
            QCOMPARE(at(image, x + 2 * dx, y), white);
            QCOMPARE(at(image, x + 2 * dx, y + dy), group_frame);
            QCOMPARE(at(image, x + dx, y + 2 * dy), group_frame);
            QCOMPARE(at(image, x + 3 * dx, y), group_frame);
        }
    }

    // Inside, the box keeps its own fill; the two pixels along the edge take the parent's.
    QCOMPARE(at(image, w / 2, h / 2), fill);
    QCOMPARE(at(image, 1, h / 2), white);
    QCOMPARE(at(image, w - 2, h / 2), white);
    QCOMPARE(at(image, w / 2, h - 2), white);
    QCOMPARE(at(image, 2, h / 2), fill);
}

void ControlThemeTest::message_box_created_later_is_themed() {
    QCOMPARE(set_theme(2), 1);
    QMessageBox box(QMessageBox::Information, QStringLiteral("TavikLumrose"),
                    QStringLiteral("不是最新版本"), QMessageBox::Ok);
    QVERIFY(show_active(&box));
    auto* ok = qobject_cast<QPushButton*>(box.button(QMessageBox::Ok));
    QVERIFY(ok != nullptr);
    QVERIFY(ok->isDefault());
    QVERIFY(ok->hasFocus());

    QImage image = grab(ok);
    QCOMPARE(at(image, 10, 1), olive.frame);
    QCOMPARE(at(image, 10, 2), hot_band_top);
    QCOMPARE(at(image, 10, image.height() - 3), hot_band_bottom);
    QCOMPARE(at(image, 3, 3), inverted(at(image, 2, 3)));

    QCOMPARE(set_theme(0), 1);
    image = grab(ok);
    QVERIFY(at(image, 10, 1) != olive.frame);
    QVERIFY(at(image, 10, 2) != hot_band_top);
    QVERIFY(at(image, 10, image.height() - 3) != hot_band_bottom);
}

void ControlThemeTest::switching_off_restores_every_control_data() {
    QTest::addColumn<Factory>("make");
    QTest::addColumn<bool>("themed");

    QTest::newRow("draw button") << Factory([](QWidget* parent) {
        return new QPushButton(QStringLiteral("一键获取"), parent);
    }) << true;
    QTest::newRow("account field") << Factory([](QWidget* parent) {
        auto* edit = new QLineEdit(QStringLiteral("abcd12345"), parent);
        edit->setReadOnly(true);
        return edit;
    }) << true;
    QTest::newRow("account list") << Factory([](QWidget* parent) {
        return new QPlainTextEdit(QStringLiteral("abcd12345"), parent);
    }) << true;
    QTest::newRow("group box") << Factory([](QWidget* parent) {
        return new QGroupBox(QStringLiteral("Lumrose"), parent);
    }) << true;
    QTest::newRow("check box") << Factory([](QWidget* parent) {
        return new QCheckBox(QStringLiteral("Remember"), parent);
    }) << true;
    QTest::newRow("radio button") << Factory([](QWidget* parent) {
        return new QRadioButton(QStringLiteral("Blue"), parent);
    }) << true;
    QTest::newRow("combo box") << Factory([](QWidget* parent) {
        auto* combo = new QComboBox(parent);
        combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
        return combo;
    }) << true;
    QTest::newRow("up-down") << Factory([](QWidget* parent) { return new QSpinBox(parent); })
                             << true;
    QTest::newRow("label") << Factory([](QWidget* parent) {
        return new QLabel(QStringLiteral("标签"), parent);
    }) << false;
    QTest::newRow("borderless edit") << Factory([](QWidget* parent) {
        auto* edit = new QLineEdit(QStringLiteral("abc"), parent);
        edit->setFrame(false);
        return edit;
    }) << false;
    QTest::newRow("tool button") << Factory([](QWidget* parent) {
        auto* button = new QToolButton(parent);
        button->setText(QStringLiteral("..."));
        return button;
    }) << false;
    QTest::newRow("rich text editor")
        << Factory([](QWidget* parent) { return new QTextEdit(QStringLiteral("abc"), parent); })
        << false;
}

void ControlThemeTest::switching_off_restores_every_control() {
    QFETCH(Factory, make);
    QFETCH(bool, themed);

    QWidget window;
    window.resize(200, 160);
    paint_plain(&window, white);
    QWidget* widget = make(&window);
    widget->setGeometry(8, 8, 120, 40);
    auto* elsewhere = new QLineEdit(&window);
    elsewhere->setGeometry(8, 100, 80, 24);
    QVERIFY(show_active(&window));
    elsewhere->setFocus();
    QTest::mouseMove(&window, QPoint(190, 150));

    const QImage own_look = grab(widget);
    QCOMPARE(set_theme(2), 1);
    QCOMPARE(grab(widget) != own_look, themed);
    QCOMPARE(set_theme(0), 1);
    QCOMPARE(grab(widget), own_look);
}

void ControlThemeTest::takes_over_only_its_kinds_data() {
    QTest::addColumn<Factory>("make");
    QTest::addColumn<int>("kind");

    const int none = -1;
    const auto add = [](const char* name, Factory make, int kind) {
        QTest::newRow(name) << make << kind;
    };
    add(
        "push button", [](QWidget* p) { return new QPushButton(QStringLiteral("OK"), p); },
        int(ControlKind::push_button));
    add(
        "push-like check box",
        [](QWidget* p) {
            auto* button = new QPushButton(QStringLiteral("Bold"), p);
            button->setCheckable(true);
            return button;
        },
        int(ControlKind::push_button));
    add(
        "blank plain button", [](QWidget* p) { return new QPushButton(p); }, none);
    add(
        "blank default button",
        [](QWidget* p) {
            auto* button = new QPushButton(p);
            button->setDefault(true);
            return button;
        },
        int(ControlKind::push_button));
    add(
        "picture-only button",
        [](QWidget* p) {
            QPixmap picture(16, 16);
            picture.fill(Qt::red);
            return new QPushButton(QIcon(picture), QString(), p);
        },
        none);
    add(
        "check box", [](QWidget* p) { return new QCheckBox(QStringLiteral("a"), p); },
        int(ControlKind::check_box));
    add(
        "radio button", [](QWidget* p) { return new QRadioButton(QStringLiteral("a"), p); },
        int(ControlKind::radio_button));
    add(
        "group box", [](QWidget* p) { return new QGroupBox(QStringLiteral("a"), p); },
        int(ControlKind::group_box));
    add(
        "group box with a check box",
        [](QWidget* p) {
            auto* group = new QGroupBox(QStringLiteral("a"), p);
            group->setCheckable(true);
            return group;
        },
        none);
    add(
        "single-line edit box", [](QWidget* p) { return new QLineEdit(p); },
        int(ControlKind::edit_box));
    add(
        "multi-line edit box", [](QWidget* p) { return new QPlainTextEdit(p); },
        int(ControlKind::edit_box));
    add(
        "text field inside an up-down",
        [](QWidget* p) { return (new QSpinBox(p))->findChild<QLineEdit*>(); }, none);
    add(
        "combo box", [](QWidget* p) { return new QComboBox(p); }, int(ControlKind::combo_box));
    add(
        "up-down", [](QWidget* p) { return new QSpinBox(p); }, int(ControlKind::up_down));
    add(
        "date picker", [](QWidget* p) { return new QDateEdit(p); }, none);
    add(
        "rich text editor", [](QWidget* p) { return new QTextEdit(p); }, none);
    add(
        "label", [](QWidget* p) { return new QLabel(QStringLiteral("a"), p); }, none);
    add(
        "tool button", [](QWidget* p) { return new QToolButton(p); }, none);
    add(
        "command link", [](QWidget* p) { return new QCommandLinkButton(QStringLiteral("a"), p); },
        none);
    add(
        "scroll bar", [](QWidget* p) { return new QScrollBar(p); }, none);
    add(
        "slider", [](QWidget* p) { return new QSlider(p); }, none);
    add(
        "list", [](QWidget* p) { return new QListWidget(p); }, none);
}

void ControlThemeTest::takes_over_only_its_kinds() {
    QFETCH(Factory, make);
    QFETCH(int, kind);

    QCOMPARE(set_theme(2), 1);
    QWidget window;
    window.resize(200, 200);
    QWidget* widget = make(&window);
    QVERIFY(widget != nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::optional<ControlKind> taken = active_theme()->kind_of(widget);
    QCOMPARE(taken ? int(*taken) : -1, kind);
}

void ControlThemeTest::other_kinds_use_the_colour_set_data() {
    QTest::addColumn<Factory>("make");
    QTest::addColumn<int>("mode");
    // Where to look, and whether that pixel is the edit outline or the dark frame.
    QTest::addColumn<std::function<QPoint(QWidget*)>>("probe");
    QTest::addColumn<bool>("outline");

    const Factory check_box = [](QWidget* p) {
        auto* box = new QCheckBox(QStringLiteral("Remember"), p);
        box->setChecked(true);
        return box;
    };
    const auto indicator = [](QStyle::SubElement element) {
        return std::function<QPoint(QWidget*)>([element](QWidget* w) {
            QStyleOptionButton option;
            option.initFrom(w);
            const QRect box = w->style()->subElementRect(element, &option, w);
            return QPoint(box.left(), box.top() + box.height() / 2);
        });
    };
    const Factory radio = [](QWidget* p) { return new QRadioButton(QStringLiteral("Blue"), p); };
    const Factory combo = [](QWidget* p) {
        auto* box = new QComboBox(p);
        box->addItem(QStringLiteral("One"));
        return box;
    };
    const Factory editable_combo = [](QWidget* p) {
        auto* box = new QComboBox(p);
        box->setEditable(true);
        return box;
    };
    const Factory spin = [](QWidget* p) { return new QSpinBox(p); };
    const std::function<QPoint(QWidget*)> left_middle = [](QWidget* w) {
        return QPoint(1, w->height() / 2);
    };
    const std::function<QPoint(QWidget*)> left_edge = [](QWidget* w) {
        return QPoint(0, w->height() / 2);
    };
    for (const int mode : {1, 2}) {
        QTest::addRow("check box, mode %d", mode)
            << check_box << mode << indicator(QStyle::SE_CheckBoxIndicator) << false;
        QTest::addRow("radio button, mode %d", mode)
            << radio << mode << indicator(QStyle::SE_RadioButtonIndicator) << false;
        QTest::addRow("combo box, mode %d", mode) << combo << mode << left_middle << false;
        QTest::addRow("editable combo box, mode %d", mode)
            << editable_combo << mode << left_edge << true;
        QTest::addRow("up-down, mode %d", mode) << spin << mode << left_edge << true;
    }
}

void ControlThemeTest::other_kinds_use_the_colour_set() {
    QFETCH(Factory, make);
    QFETCH(int, mode);
    QFETCH(std::function<QPoint(QWidget*)>, probe);
    QFETCH(bool, outline);

    QWidget window;
    window.resize(200, 100);
    paint_plain(&window, white);
    QWidget* widget = make(&window);
    widget->setGeometry(8, 8, 150, 24);
    QVERIFY(show_active(&window));
    set_theme(mode);
    const ModeColours& colours = mode == 1 ? blue : olive;
    const QColor expected =
        outline ? (mode == 1 ? QColor(123, 158, 189) : olive_outline) : colours.frame;
    const QPoint point = probe(widget);
    QCOMPARE(at(grab(widget), point.x(), point.y()), expected);
}

void ControlThemeTest::drop_down_list_highlights_in_the_hot_band_data() {
    QTest::addColumn<bool>("editable");
    QTest::newRow("drop-down list") << false;
    QTest::newRow("drop-down combo box") << true;
}

void ControlThemeTest::drop_down_list_highlights_in_the_hot_band() {
    QFETCH(bool, editable);

    QWidget window;
    window.resize(200, 100);
    auto* combo = new QComboBox(&window);
    combo->setEditable(editable);
    combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
    combo->setGeometry(8, 8, 150, 24);
    QVERIFY(show_active(&window));
    set_theme(2);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    QCOMPARE(active_theme()->kind_of(list), std::optional(ControlKind::combo_list));
    const QRect item = list->visualRect(combo->model()->index(0, 0));
    const QImage image = grab(list->viewport());
    combo->hidePopup();
    // A gradient brush shades pixel centres, so its edge rows only come close to the band's ends.
    const QColor top = at(image, item.left() + 1, item.top());
    const QColor bottom = at(image, item.left() + 1, item.bottom());
    QVERIFY2(close_to(top, hot_band_top, 8), qPrintable(top.name()));
    QVERIFY2(close_to(bottom, hot_band_bottom, 8), qPrintable(bottom.name()));
}

void ControlThemeTest::repaints_only_when_state_changes_data() {
    enum Step { arrive, move_within, leave, press, press_outside, focus, disable };
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("repaints");
    QTest::addColumn<bool>("hot");

    QTest::newRow("pointer arrives") << QList<int>{} << int(arrive) << true << true;
    QTest::newRow("pointer moves while hot")
        << QList{int(arrive)} << int(move_within) << false << true;
    QTest::newRow("pointer leaves") << QList{int(arrive)} << int(leave) << true << false;
    QTest::newRow("move with the button held down")
        << QList{int(arrive), int(press)} << int(move_within) << false << true;
    QTest::newRow("arrival with the button held down")
        << QList{int(press_outside)} << int(arrive) << false << false;
    QTest::newRow("focus arrives") << QList<int>{} << int(focus) << true << false;
    QTest::newRow("disabled") << QList<int>{} << int(disable) << true << false;
}

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

} // namespace

void ControlThemeTest::repaints_only_when_state_changes() {
    enum Step { arrive, move_within, leave, press, press_outside, focus, disable };
    QFETCH(QList<int>, before);
    QFETCH(int, step);
    QFETCH(bool, repaints);
    QFETCH(bool, hot);

    Scene scene;
    QVERIFY(scene.show());
    set_theme(2);
    QPushButton* button = scene.button;
    const QPoint outside(280, 250);
    Qt::MouseButtons held;
    const auto release = qScopeGuard([&] {
        if (held) {
            QTest::mouseRelease(&scene.window, Qt::LeftButton, {},
                                scene.window.mapFromGlobal(QCursor::pos()));
        }
    });
    const auto perform = [&](int action) {
        switch (action) {
        case arrive:
            QTest::mouseMove(button, QPoint(20, 12));
            break;
        case move_within:
            QTest::mouseMove(button, QPoint(40, 14));
            break;
        case leave:
            QTest::mouseMove(&scene.window, outside);
            break;
        case press:
            QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 12));
            held = Qt::LeftButton;
            break;
        case press_outside:
            QTest::mousePress(&scene.window, Qt::LeftButton, {}, outside);
            held = Qt::LeftButton;
            break;
        case focus:
            button->setFocus(Qt::TabFocusReason);
            break;
        case disable:
            button->setEnabled(false);
            break;
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    for (const int action : before) {
        perform(action);
    }
    PaintCounter counter;
    button->installEventFilter(&counter);
    perform(step);
    button->removeEventFilter(&counter);

    QCOMPARE(counter.paints > 0, repaints);
    QCOMPARE(active_theme()->flags_of(button)->hot, hot);
}

QTEST_MAIN(ControlThemeTest)
#include "control_theme_test.moc"
