// Where program texts meet widgets: GBK bytes to QString and back.
#pragma once

#include "services/text.h"

#include <QString>

namespace tavik {

QString to_qstring(const Text& text);
Text to_text(const QString& string);

} // namespace tavik
