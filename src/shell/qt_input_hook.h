// Looks at every mouse and keyboard message for the main window before Qt dispatches it, the way a
// hook in the message loop would, and lets the toolkit route it to a handler.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>

namespace tavik {

class QtToolkitPlatform;
class Toolkit;

class QtInputHook final : public QObject {
    Q_OBJECT
public:
    QtInputHook(QtToolkitPlatform& platform, Toolkit& toolkit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Qt hands an ignored mouse or key event on to the target's parents; the hook sees each message
    // once, at the widget it was meant for.
    bool already_seen(QWidget* target, const QEvent* event);

    QtToolkitPlatform& platform_;
    Toolkit& toolkit_;
    QPointer<QWidget> last_target_;
    QEvent::Type last_type_ = QEvent::None;
    quint64 last_timestamp_ = 0;
    QPointF last_position_;
    int last_key_ = 0;
};

} // namespace tavik
