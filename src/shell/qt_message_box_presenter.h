// The program's message boxes on screen, built on QMessageBox.
#pragma once

#include "services/message_box.h"

#include <cstdint>
#include <functional>

class QWidget;

namespace tavik {

class QtMessageBoxPresenter final : public MessageBoxPresenter {
public:
    // Finds the top-level widget of a window number, or null when that window is not there.
    using WindowLookup = std::function<QWidget*(std::uint32_t window)>;

    // Without a lookup no window can own a box.
    explicit QtMessageBoxPresenter(WindowLookup find_window = {});

    // Runs the box in a modal loop. Without kSystemModal every top-level window of the program is
    // disabled while it is up; with it the box is application-modal and asks to stay on top.
    // Returns None when there is no QApplication to show it in.
    MessageBoxButton present(const MessageBoxRequest& request) override;

    bool window_exists(std::uint32_t window) override;

private:
    QWidget* find(std::uint32_t window) const;

    WindowLookup find_window_;
};

} // namespace tavik
