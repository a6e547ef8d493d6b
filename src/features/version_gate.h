// The version gate: at start-up, before the window is shown, the published version must be ours.
#pragma once

#include "services/text.h"

namespace tavik {

// The program's own version, compared byte for byte with the published one.
inline constexpr char kOwnVersion[] = "1.0";

// Switches the theme on, fetches the published version into the version holder and compares it
// with the own version; on any difference tells the user, opens the download page and ends the
// program with exit code 0.
void version_gate();

// The addresses of this build.
Text version_address();
Text download_page();

} // namespace tavik
