// The top-level widget of the main window: fixed frame, white background, and the window happenings
// it reports to the toolkit.
#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

namespace tavik {

class Toolkit;

class QtMainWindow final : public QWidget {
    Q_OBJECT
public:
    // outer_size is the size the window should take with its frame.
    QtMainWindow(Toolkit& toolkit, QSize outer_size);
    ~QtMainWindow() override;

    // Stops the window from reporting anything, for a window thrown away while it is being built.
    void detach() { toolkit_ = nullptr; }

protected:
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Keeps the outer size fixed once the window manager tells how wide its frame is.
    void fit_to_frame();

    Toolkit* toolkit_;
    QSize outer_size_;
    QPoint last_position_;
    QSize last_size_;
};

} // namespace tavik
