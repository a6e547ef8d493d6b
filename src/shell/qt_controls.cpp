// Widgets for the control kinds: edit boxes, push button, labels, transparent labels, group box.
#include "qt_controls.h"

#include "qt_text.h"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

namespace tavik {

namespace {

QColor colour(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

Qt::Alignment horizontal(HorizontalAlignment alignment) {
    switch (alignment) {
    case HorizontalAlignment::Centre:
        return Qt::AlignHCenter;
    case HorizontalAlignment::Right:
        return Qt::AlignRight;
    case HorizontalAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

Qt::Alignment vertical(VerticalAlignment alignment) {
    switch (alignment) {
    case VerticalAlignment::Top:
        return Qt::AlignTop;
    case VerticalAlignment::Bottom:
        return Qt::AlignBottom;
    case VerticalAlignment::Centre:
        break;
    }
    return Qt::AlignVCenter;
}

// Faces that stand in for the named ones on desktops that do not have them, nearest look first.
QStringList look_alikes(const QString& face) {
    if (face == QStringLiteral("楷体")) {
        return {QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN"),
                QStringLiteral("AR PL UKai TW"), QStringLiteral("AR PL KaitiM GB"),
                QStringLiteral("Noto Serif CJK SC")};
    }
    if (face == QStringLiteral("微软雅黑")) {
        return {QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Zen Hei"),
                QStringLiteral("WenQuanYi Micro Hei")};
    }
    return {};
}

// The first family of the list that this desktop has, named alone: Qt picks the same face from the
// whole list, but given the whole list it first asks fontconfig for a sorted list of stand-ins for
// the named face and again for the face it finds, which holds up the first paint by several
// milliseconds per font. Stand-ins are only wanted for characters the face lacks, and every
// look-alike has all the characters of the captions set in these fonts. With none of them
// installed, the list goes to Qt as it is.
QStringList installed_choice(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            return {family};
        }
    }
    return families;
}

QWidget* make_edit_box(const EditBoxProperties& p, QWidget* parent) {
    QPalette palette = parent->palette();
    palette.setColor(QPalette::Text, colour(p.text_colour));
    palette.setColor(QPalette::Base, colour(p.background));
    if (p.multi_line) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setPalette(palette);
        edit->setTabChangesFocus(true);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setFrameStyle(p.border == EditBorder::None ? QFrame::NoFrame
                                                         : QFrame::StyledPanel | QFrame::Sunken);
        edit->setReadOnly(p.read_only);
        edit->setFont(font_for(p.font));
        QString text = to_qstring(p.text);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        edit->setPlainText(text);
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setPalette(palette);
    edit->setFrame(p.border != EditBorder::None);
    edit->setAlignment(horizontal(p.alignment) | Qt::AlignVCenter);
    edit->setReadOnly(p.read_only);
    edit->setFont(font_for(p.font));
    edit->setText(to_qstring(p.text));
    edit->setCursorPosition(0);
    return edit;
}

QWidget* make_widget(const Element& control, QWidget* parent) {
    switch (control.kind) {
    case ElementKind::EditBox:
        return make_edit_box(std::get<EditBoxProperties>(control.properties), parent);
    case ElementKind::PushButton: {
        const auto& p = std::get<PushButtonProperties>(control.properties);
        auto* button = new QPushButton(to_qstring(p.caption), parent);
        // Enter presses only the default button; this one is not.
        button->setAutoDefault(false);
        button->setDefault(p.default_button);
        button->setFont(font_for(p.font));
        button->setFocusPolicy(Qt::StrongFocus);
        return button;
    }
    case ElementKind::Label: {
        const auto& p = std::get<LabelProperties>(control.properties);
        auto* label = new QLabel(to_qstring(p.caption), parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ElementKind::TransparentLabel: {
        const auto& p = std::get<TransparentLabelProperties>(control.properties);
        auto* label = new QLabel(to_qstring(p.caption), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(false);
        label->setAlignment(horizontal(p.alignment) | vertical(p.vertical_alignment));
        label->setWordWrap(p.word_wrap);
        label->setMargin(0);
        label->setIndent(0);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour(p.text_colour));
        label->setPalette(palette);
        label->setFont(font_for(p.font));
        return label;
    }
    case ElementKind::GroupBox: {
        const auto& p = std::get<GroupBoxProperties>(control.properties);
        auto* box = new QGroupBox(to_qstring(p.caption), parent);
        // QGroupBox takes the flags as a plain int.
        box->setAlignment(static_cast<int>(horizontal(p.caption_alignment).toInt()));
        QPalette palette = box->palette();
        palette.setColor(QPalette::Window, colour(p.background));
        palette.setColor(QPalette::WindowText, colour(p.text_colour));
        box->setPalette(palette);
        box->setAutoFillBackground(true);
        box->setFont(font_for(p.font));
        return box;
    }
    case ElementKind::Window:
        break;
    }
    return nullptr;
}

} // namespace

QFont font_for(const std::optional<Font>& font) {
    if (!font) {
        return QApplication::font();
    }
    QFont result;
    const QString face = to_qstring(font->face);
    QStringList families{face};
    families += look_alikes(face);
    result.setFamilies(installed_choice(families));
    result.setPixelSize(font->pixel_height);
    result.setWeight(font->weight >= 700 ? QFont::Bold : QFont::Normal);
    result.setItalic(font->italic);
    result.setUnderline(font->underline);
    result.setStrikeOut(font->strike_out);
    result.setStyleStrategy(QFont::PreferQuality);
    return result;
}

QWidget* create_control_widget(const Element& control, QWidget* parent) {
    QWidget* widget = make_widget(control, parent);
    if (widget == nullptr) {
        return nullptr;
    }
    widget->hide();
    widget->setGeometry(control.left, control.top, control.width, control.height);
    widget->setEnabled(!control.disabled);
    if (!control.tab_stop) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    // A control without a pointer of its own shows its kind's usual one, not its container's.
    widget->setCursor(control.kind == ElementKind::EditBox ? Qt::IBeamCursor : Qt::ArrowCursor);
    return widget;
}

} // namespace tavik
