// GBK conversion for widget texts through the C library's converter.
#include "qt_text.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace tavik {

namespace {

// Converts with a fresh descriptor; invalid input is replaced rather than cutting the text short.
std::string convert(const char* to, const char* from, const char* input, std::size_t length,
                    const std::string& replacement, std::size_t unit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    std::string output(length * 4 + 16, '\0');
    char* in = const_cast<char*>(input);
    std::size_t in_left = length;
    std::size_t done = 0;
    while (in_left > 0) {
        char* out = output.data() + done;
        std::size_t out_left = output.size() - done;
        std::size_t result = iconv(cd, &in, &in_left, &out, &out_left);
        done = output.size() - out_left;
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
            continue;
        }
        // An unconvertible or broken sequence: put the replacement in and step over one unit.
        std::size_t skip = std::min(unit, in_left);
        in += skip;
        in_left -= skip;
        if (output.size() - done < replacement.size()) {
            output.resize(output.size() * 2);
        }
        output.replace(done, replacement.size(), replacement);
        done += replacement.size();
    }
    iconv_close(cd);
    output.resize(done);
    return output;
}

} // namespace

QString to_qstring(const Text& text) {
    const std::string replacement("\xfd\xff", 2); // U+FFFD in UTF-16LE
    std::string utf16 = convert("UTF-16LE", "GBK", text.data(), text.size(), replacement, 1);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(utf16.data()),
                              static_cast<qsizetype>(utf16.size() / 2));
}

Text to_text(const QString& string) {
    return convert("GBK", "UTF-16LE", reinterpret_cast<const char*>(string.utf16()),
                   static_cast<std::size_t>(string.size()) * 2, "?", 2);
}

} // namespace tavik
