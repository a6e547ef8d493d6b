// GBK texts as QStrings for the message box. Interim: gives way to the shared GBK codec once it is
// in.
#pragma once

#include "services/text.h"

#include <QString>

namespace tavik {

// Bytes that are not valid GBK each become U+FFFD, so a broken text still shows the rest.
QString qt_string_from_gbk(const Text& text);

} // namespace tavik
