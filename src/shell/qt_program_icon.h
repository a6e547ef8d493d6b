// The program's own icon, built into the executable, for the main window's title bar and taskbar.
#pragma once

#include <QIcon>

namespace tavik {

// One picture in 256, 48 and 32 pixels square with an alpha channel. Needs a QGuiApplication.
QIcon program_icon();

} // namespace tavik
