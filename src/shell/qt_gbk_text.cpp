// GBK to UTF-8 through iconv, then into a QString (Qt 6 has no GBK decoder of its own without ICU).
#include "qt_gbk_text.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace tavik {

namespace {

class Converter {
public:
    // CP936 rather than plain GBK: it also knows the single byte 0x80 (the euro sign).
    Converter()
        : handle_(iconv_open("UTF-8", "CP936")) {}
    ~Converter() {
        if (valid()) {
            iconv_close(handle_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

constexpr char kReplacement[] = "\xef\xbf\xbd"; // U+FFFD in UTF-8

} // namespace

QString qt_string_from_gbk(const Text& text) {
    Converter converter;
    if (!converter.valid()) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    std::string utf8;
    char* in = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char buffer[256];
    while (in_left > 0) {
        char* out = buffer;
        std::size_t out_left = sizeof buffer;
        const std::size_t converted = iconv(converter.get(), &in, &in_left, &out, &out_left);
        utf8.append(buffer, static_cast<std::size_t>(out - buffer));
        if (converted != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // An invalid byte, or a lead byte with nothing after it: replace one byte and go on.
        utf8 += kReplacement;
        ++in;
        --in_left;
    }
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace tavik
