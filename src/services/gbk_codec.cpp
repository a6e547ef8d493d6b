// GBK <-> UTF-16 through iconv, with one cached converter per direction and thread.
#include "gbk_codec.h"

#include "allocation.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace tavik {

namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One iconv descriptor, opened once; opening one costs far more than converting a few kilobytes.
class Converter {
public:
    Converter(const char* to, const char* from)
        : descriptor_(iconv_open(to, from)) {
        // Older or trimmed converter sets may know code page 936 only by the name GBK.
        if (!open() && std::strcmp(from, "CP936") == 0) {
            descriptor_ = iconv_open(to, "GBK");
        } else if (!open() && std::strcmp(to, "CP936") == 0) {
            descriptor_ = iconv_open("GBK", from);
        }
    }
    ~Converter() {
        if (open()) {
            iconv_close(descriptor_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open's own way of saying that it failed.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    bool open() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // The descriptor back in its initial state, so nothing carries over from an earlier call.
    iconv_t fresh() {
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        return descriptor_;
    }

private:
    iconv_t descriptor_;
};

Converter& gbk_to_utf16_converter() {
    thread_local Converter converter(kUtf16, "CP936");
    return converter;
}

Converter& utf16_to_gbk_converter() {
    thread_local Converter converter("CP936", kUtf16);
    return converter;
}

bool is_gbk_lead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool is_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Where the first surrogate of the text stands; its length when there is none.
std::size_t first_surrogate(std::u16string_view text) {
    return static_cast<std::size_t>(std::find_if(text.begin(), text.end(), is_surrogate) -
                                    text.begin());
}

// How many bytes one unconvertible GBK sequence at the start of `rest` takes up.
std::size_t broken_gbk_length(std::string_view rest) {
    if (rest.size() >= 2 && is_gbk_lead(static_cast<unsigned char>(rest[0])) &&
        static_cast<unsigned char>(rest[1]) >= 0x80) {
        return 2;
    }
    return 1;
}

// How many UTF-16 units one character that GBK cannot hold takes up at the start of `rest`.
std::size_t unrepresentable_length(std::u16string_view rest) {
    if (rest.size() >= 2 && is_high_surrogate(rest[0]) && is_low_surrogate(rest[1])) {
        return 2;
    }
    return 1;
}

// An output buffer that iconv writes into, grown when it runs short.
template <typename String> class Output {
public:
    explicit Output(std::size_t units) {
        text_ = allocate_or_end((units + 1) * sizeof(typename String::value_type),
                                [units] { return String(units, {}); });
        next_ = reinterpret_cast<char*>(text_.data());
        room_ = text_.size() * sizeof(typename String::value_type);
    }

    char** next() { return &next_; }
    std::size_t* room() { return &room_; }

    void grow(std::size_t at_least_units) {
        const std::size_t used = written_bytes();
        const std::size_t units = std::max(text_.size() * 2, text_.size() + at_least_units);
        allocate_or_end((units + 1) * sizeof(typename String::value_type),
                        [&] { text_.resize(units); });
        next_ = reinterpret_cast<char*>(text_.data()) + used;
        room_ = text_.size() * sizeof(typename String::value_type) - used;
    }

    void put(typename String::value_type unit) {
        if (room_ < sizeof unit) {
            grow(1);
        }
        std::memcpy(next_, &unit, sizeof unit);
        next_ += sizeof unit;
        room_ -= sizeof unit;
    }

    String finish() {
        text_.resize(written_bytes() / sizeof(typename String::value_type));
        return std::move(text_);
    }

private:
    std::size_t written_bytes() const {
        return static_cast<std::size_t>(next_ - reinterpret_cast<const char*>(text_.data()));
    }

    String text_;
    char* next_ = nullptr;
    std::size_t room_ = 0;
};

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

bool is_ascii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
}

} // namespace

std::u16string gbk_to_utf16(std::string_view gbk) {
    // The account list is plain ASCII; it needs no converter at all.
    if (is_ascii(gbk)) {
        return allocate_or_end((gbk.size() + 1) * sizeof(char16_t),
                               [gbk] { return std::u16string(gbk.begin(), gbk.end()); });
    }

    // One unit per byte is always enough: ASCII and replacements take one, a pair of bytes one.
    Output<std::u16string> out(gbk.size());
    Converter& converter = gbk_to_utf16_converter();
    const bool converting = converter.open();
    const iconv_t descriptor = converting ? converter.fresh() : iconv_t{};
    std::string_view rest = gbk;
    while (!rest.empty()) {
        if (!converting) {
            // Without a converter ASCII still passes and everything else is unreadable.
            const auto byte = static_cast<unsigned char>(rest[0]);
            const std::size_t length = byte < 0x80 ? 1 : broken_gbk_length(rest);
            out.put(byte < 0x80 ? static_cast<char16_t>(byte) : kGbkReplacementCharacter);
            rest.remove_prefix(length);
            continue;
        }
        char* in = const_cast<char*>(rest.data()); // iconv does not write through it
        std::size_t in_left = rest.size();
        const std::size_t result = iconv(descriptor, &in, &in_left, out.next(), out.room());
        rest = std::string_view(in, in_left);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.grow(rest.size() * 2);
        } else {
            // EILSEQ for a sequence that maps to nothing, EINVAL for a lead byte at the very end.
            out.put(kGbkReplacementCharacter);
            rest.remove_prefix(broken_gbk_length(rest));
        }
    }
    return out.finish();
}

Text utf16_to_gbk(std::u16string_view text) {
    if (is_ascii(text)) {
        return allocate_or_end(text.size() + 1, [text] {
            Text narrow(text.size(), '\0');
            std::transform(text.begin(), text.end(), narrow.begin(),
                           [](char16_t unit) { return static_cast<char>(unit); });
            return narrow;
        });
    }

    // Two bytes per unit are always enough: a surrogate pair (two units) gives at most two bytes.
    Output<Text> out(text.size() * 2);
    Converter& converter = utf16_to_gbk_converter();
    const bool converting = converter.open();
    const iconv_t descriptor = converting ? converter.fresh() : iconv_t{};
    std::u16string_view rest = text;
    while (!rest.empty()) {
        // GBK holds nothing outside the basic plane, and the converter would drop some of those
        // characters (the tag characters U+E0000 to U+E007F) without a word, so surrogates never
        // reach it: each pair, and each lone surrogate, is one mark.
        if (!converting || is_surrogate(rest[0])) {
            const bool ascii = rest[0] < 0x80;
            out.put(ascii ? static_cast<char>(rest[0]) : kGbkUnrepresentableByte);
            rest.remove_prefix(ascii ? 1 : unrepresentable_length(rest));
            continue;
        }
        const std::u16string_view run = rest.substr(0, first_surrogate(rest));
        char* in = reinterpret_cast<char*>(const_cast<char16_t*>(run.data()));
        std::size_t in_left = run.size() * sizeof(char16_t);
        const std::size_t result = iconv(descriptor, &in, &in_left, out.next(), out.room());
        rest.remove_prefix(run.size() - in_left / sizeof(char16_t));
        if (result != static_cast<std::size_t>(-1)) {
            continue; // the run is converted
        }
        if (errno == E2BIG) {
            out.grow(rest.size() * 2);
        } else {
            // EILSEQ for a character GBK lacks.
            out.put(kGbkUnrepresentableByte);
            rest.remove_prefix(1);
        }
    }
    return out.finish();
}

} // namespace tavik
