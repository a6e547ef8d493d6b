// The control theme as an application style: it paints the kinds of control the theme takes over
// and hands everything else to the application's own style unchanged.
#pragma once

#include "shell/theme_rules.h"

#include <QHash>
#include <QList>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <optional>

namespace tavik::theme {

class ThemeStyle final : public QProxyStyle {
public:
    // base becomes the proxy's own; it must be a separate instance from the style the
    // application goes back to when the theme is switched off.
    ThemeStyle(QStyle* base, const ColourSet& colours);
    ~ThemeStyle() override;

    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
    // Takes over a qualifying widget (once), and lets it go again.
    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // What the theme holds about a widget, if it took it over.
    std::optional<ControlKind> kind_of(const QWidget* widget) const;
    std::optional<StateFlags> flags_of(const QWidget* widget) const;

private:
    struct Entry {
        ControlKind kind = ControlKind::none;
        StateFlags flags;
        // The parent-supplied colours as last reported, asked for before every paint.
        std::optional<Rgb> parent_background;
        Rgb parent_text;
        // What the theme changed on the widget, to be put back when it lets the widget go.
        std::optional<bool> hover_before;
        std::optional<QPalette> palette_before;
        // Child widgets of a multi-line edit box that cover the inner line of its frame.
        QList<QPointer<QWidget>> parts;
        QMetaObject::Connection destroyed;
    };

    Entry* entry_for(const QWidget* widget, ControlKind kind) const;
    void let_go(QWidget* widget, Entry& entry);
    void track_state(QWidget* widget, Entry& entry, QEvent* event);
    bool paint_over_own(QWidget* target, QEvent* event, QWidget* edit);
    void ask_parent(const QWidget* widget, Entry& entry) const;

    const ColourSet& colours_;
    // The themed-control list: one entry per widget taken over. Painting is const in QStyle but
    // records the parent's colours and the button state it is handed.
    mutable QHash<const QObject*, Entry> entries_;
    // The inner parts of themed edit boxes, to the edit box they belong to.
    QHash<const QObject*, QWidget*> part_owners_;
    QObject* painting_own_ = nullptr;
};

// The theme style while the theme is on, else null.
ThemeStyle* active_theme();

} // namespace tavik::theme
