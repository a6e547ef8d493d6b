// The main window widget and how its moves, resizes and closing reach the toolkit.
#include "qt_main_window.h"

#include "toolkit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMargins>
#include <QWindow>

namespace tavik {

QtMainWindow::QtMainWindow(Toolkit& toolkit, QSize outer_size)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint)
    , toolkit_(&toolkit)
    , outer_size_(outer_size) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(outer_size);
    last_position_ = pos();
    last_size_ = size();
}

QtMainWindow::~QtMainWindow() {
    if (toolkit_ != nullptr) {
        toolkit_->window_being_destroyed();
        toolkit_->window_destroyed();
    }
}

bool QtMainWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WindowStateChange:
    case QEvent::PlatformSurface:
        fit_to_frame();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void QtMainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    fit_to_frame();
    // Qt replays the position a hidden window was given when it is shown; only real moves count.
    if (pos() != last_position_) {
        last_position_ = pos();
        if (toolkit_ != nullptr) {
            toolkit_->window_moved();
        }
    }
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size() != last_size_) {
        last_size_ = size();
        if (toolkit_ != nullptr) {
            toolkit_->window_resized();
        }
    }
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (toolkit_ != nullptr && !toolkit_->window_close_requested()) {
        event->ignore();
        return;
    }
    event->accept();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    // No control claims Escape, so it arrives here from whichever control has the focus.
    if (event->key() == Qt::Key_Escape &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QtMainWindow::fit_to_frame() {
    QWindow* handle = windowHandle();
    if (handle == nullptr || !isVisible()) {
        return;
    }
    const QMargins frame = handle->frameMargins();
    const QSize client(outer_size_.width() - frame.left() - frame.right(),
                       outer_size_.height() - frame.top() - frame.bottom());
    if (client.isValid() && client != size()) {
        setFixedSize(client);
    }
}

} // namespace tavik
