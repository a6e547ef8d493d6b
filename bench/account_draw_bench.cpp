// Times one click of the draw button on the real main window (the delivered list, 381 passes)
// beside 381 plain writes of a nine-character name into an edit box like the account field.
#include "features/account_draw.h"
#include "services/service_environment.h"
#include "shell/account_list.h"
#include "shell/main_window_description.h"
#include "shell/qt_controls.h"
#include "shell/qt_toolkit_platform.h"
#include "shell/toolkit.h"

#include <QApplication>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kAccountField = 0x16010014;
constexpr std::uint32_t kDrawButton = 0x16010015;
constexpr int kSamples = 301;
constexpr int kWritesPerClick = 381;

// Median microseconds of one sample; what the screen does with the result happens between samples
// and is not counted.
template <typename Sample> double median_microseconds(Sample&& sample) {
    std::vector<double> times;
    for (int i = 0; i < kSamples + 10; ++i) {
        QCoreApplication::processEvents();
        const auto start = Clock::now();
        sample();
        const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
        // The first few warm caches and fonts.
        if (i >= 10) {
            times.push_back(spent.count());
        }
    }
    std::nth_element(times.begin(), times.begin() + kSamples / 2, times.end());
    return times[kSamples / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);

    tavik::QtToolkitPlatform platform;
    tavik::Toolkit toolkit(platform);
    platform.attach(toolkit);
    tavik::service_environment().lifecycle = &toolkit;
    tavik::service_environment().controls = &toolkit;
    toolkit.bind(tavik::Handler::AccountDraw, [](tavik::EventRecord&) { tavik::account_draw(); });
    toolkit.begin(tavik::BuiltInDescriptions{});
    if (!toolkit.load_window(tavik::kMainWindowNumber)) {
        std::fprintf(stderr, "the main window could not be built\n");
        return EXIT_FAILURE;
    }

    // A fresh edit box of the account field's kind, shown in a window of its own.
    const tavik::WindowDescription description = tavik::main_window_description();
    const tavik::Element* field = description.find(kAccountField);
    QWidget host;
    host.resize(200, 60);
    auto* baseline_field = static_cast<QLineEdit*>(tavik::create_control_widget(*field, &host));
    baseline_field->show();
    host.show();

    std::vector<QString> names;
    const std::string_view list = tavik::account_list();
    for (std::size_t start = 0; start < list.size(); start = list.find("\r\n", start) + 2) {
        names.push_back(QString::fromLatin1(list.data() + start, 9));
    }

    const double click = median_microseconds([&] { toolkit.button_clicked(kDrawButton); });
    const double baseline = median_microseconds([&] {
        for (int i = 0; i < kWritesPerClick; ++i) {
            baseline_field->setText(names[static_cast<std::size_t>(i) % names.size()]);
        }
    });

    const QString shown = static_cast<QLineEdit*>(platform.widget(kAccountField))->text();
    std::printf("Account draw, one click with the delivered list (%zu names), median of %d\n",
                names.size(), kSamples);
    std::printf("  click                                %9.1f us\n", click);
    std::printf("  baseline: %d QLineEdit::setText       %9.1f us\n", kWritesPerClick, baseline);
    std::printf("  click / baseline                     %9.3f   (goal: at most 0.25)\n",
                click / baseline);
    std::printf("  last name shown: %s\n", qPrintable(shown));

    platform.discard_window();
    tavik::service_environment() = {};
    return EXIT_SUCCESS;
}
