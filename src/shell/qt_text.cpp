// GBK conversion for widget texts, through the services' codec.
#include "qt_text.h"

#include "services/gbk_codec.h"

namespace tavik {

QString to_qstring(const Text& text) {
    const std::u16string utf16 = gbk_to_utf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

Text to_text(const QString& string) {
    return utf16_to_gbk(std::u16string_view(reinterpret_cast<const char16_t*>(string.utf16()),
                                            static_cast<std::size_t>(string.size())));
}

} // namespace tavik
