// How many bytes each read of a response body asks for, settled from the Content-Length header.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tavik {

namespace read_size {
// For a body whose length is not announced, or announced as 0, negative or unreadable.
inline constexpr std::size_t kUnannounced = 10240;
inline constexpr std::size_t kLargest = 102400;
// A Content-Length value longer than this is not read at all.
inline constexpr std::size_t kLongestValue = 31;
} // namespace read_size

// The read size for a Content-Length value (nothing when the header is absent): a positive leading
// decimal number n gives n + 1, at most kLargest; everything else gives kUnannounced. The number is
// read as strtol reads it: white space skipped, an optional sign, digits up to the first other
// character. It only shapes the reading; the body is read to its end whatever the value says.
std::size_t read_size_for_content_length(std::optional<std::string_view> value);

// The value of a Content-Length header line as the HTTP client hands it over ("Name: value\r\n"),
// without the white space around it; nothing for a line of any other header.
std::optional<std::string_view> content_length_of_header_line(std::string_view line);

} // namespace tavik
