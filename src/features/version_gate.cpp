// The version gate, in its fixed order: theme, fetch, version holder, compare, and on a difference
// the notice, the download page and the end of the program.
#include "version_gate.h"

#include "features/build_values.h"
#include "features/main_window_names.h"
#include "services/control_text.h"
#include "services/desktop_shell.h"
#include "services/http_fetch.h"
#include "services/text_operations.h"
#include "services/theme_switch.h"

#include <optional>

namespace tavik {

namespace {
constexpr std::int32_t kOliveTheme = 2;
// 当前不是最新版本，确定下载最新版本
constexpr char kUpdateNotice[] = "\xb5\xb1\xc7\xb0\xb2\xbb\xca\xc7\xd7\xee\xd0\xc2\xb0\xe6\xb1\xbe"
                                 "\xa3\xac\xc8\xb7\xb6\xa8\xcf\xc2"
                                 "\xd4\xd8\xd7\xee\xd0\xc2\xb0\xe6\xb1\xbe";
// 更新提示
constexpr char kUpdateTitle[] = "\xb8\xfc\xd0\xc2\xcc\xe1\xca\xbe";
} // namespace

Text version_address() {
    return kVersionAddress;
}

Text download_page() {
    return kDownloadPage;
}

void version_gate() {
    set_control_theme(kOliveTheme);
    write_control_text(kMainWindow, control_name::kVersionHolder,
                       bytes_to_text(http_fetch(kVersionAddress)));
    // The version holder gives back what it keeps; that is what gets compared.
    const Text published = read_control_text(kMainWindow, control_name::kVersionHolder);
    if (compare_texts(published, kOwnVersion) == 0) {
        return;
    }
    // However the box is closed, the program goes on to the download page and ends.
    show_message(kUpdateNotice, 0, Text(kUpdateTitle), std::nullopt);
    open_web_address(kDownloadPage);
    end_program(0);
}

} // namespace tavik
