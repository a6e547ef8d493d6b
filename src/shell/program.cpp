// Start-up of the process: the application object, the toolkit, the seams and the handler table.
#include "program.h"

#include "control_theme.h"
#include "main_window_description.h"
#include "qt_message_box_presenter.h"
#include "qt_toolkit_platform.h"
#include "services/service_environment.h"
#include "services/theme_switch.h"
#include "services/tick_source.h"
#include "services/xdg_url_opener.h"
#include "toolkit.h"

#include <QApplication>

namespace tavik {

namespace {

// The version gate switches the painted theme through the services' seam.
class ControlThemeSwitch final : public ThemeSwitch {
public:
    std::int32_t set_theme(std::int32_t mode) override { return tavik::set_theme(mode); }
};

} // namespace

void run_program(const ProgramHandlers& handlers) {
    // The program takes no command line; Qt is given the program name alone.
    static char name[] = "tavik";
    static char* arguments[] = {name, nullptr};
    static int count = 1;
    QApplication application(count, arguments);
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVIK_DESKTOP_ID));

    QtToolkitPlatform platform;
    Toolkit toolkit(platform);
    platform.attach(toolkit);

    QtMessageBoxPresenter message_box([&](std::uint32_t window) -> QWidget* {
        const WindowDescription* loaded = toolkit.loaded_window();
        return loaded != nullptr && loaded->window_number == window ? platform.main_window()
                                                                    : nullptr;
    });
    XdgUrlOpener url_opener;
    BootClockTickSource ticks;
    ControlThemeSwitch theme;

    ServiceEnvironment& environment = service_environment();
    environment.lifecycle = &toolkit;
    environment.controls = &toolkit;
    environment.message_box = &message_box;
    environment.url_opener = &url_opener;
    environment.ticks = &ticks;
    environment.theme = &theme;

    if (handlers.version_gate) {
        toolkit.bind(Handler::VersionGate, [&](EventRecord&) { handlers.version_gate(); });
    }
    if (handlers.account_draw) {
        toolkit.bind(Handler::AccountDraw, [&](EventRecord&) { handlers.account_draw(); });
    }
    if (handlers.friendly_link) {
        toolkit.bind(Handler::FriendlyLink, [&](EventRecord& record) {
            handlers.friendly_link(record.arguments[0], record.arguments[1],
                                   static_cast<std::uint32_t>(record.arguments[2]));
        });
    }
    toolkit.run(BuiltInDescriptions{}, kMainWindowNumber);
}

} // namespace tavik
