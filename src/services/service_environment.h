// The seams through which the services reach the toolkit and the desktop; set once at start-up.
#pragma once

namespace tavik {

class ControlTextPort;
class MessageBoxPresenter;
class ProgramLifecycle;
class ThemeSwitch;
class TickSource;
class UrlOpener;

struct ServiceEnvironment {
    ProgramLifecycle* lifecycle = nullptr;
    MessageBoxPresenter* message_box = nullptr;
    UrlOpener* url_opener = nullptr;
    ControlTextPort* controls = nullptr;
    TickSource* ticks = nullptr;
    ThemeSwitch* theme = nullptr;
};

// The process-wide seams. main() fills them in before the first window is loaded; tests put fakes
// in.
ServiceEnvironment& service_environment();

} // namespace tavik
