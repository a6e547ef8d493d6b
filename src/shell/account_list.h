// The account list the program carries: the text the account-list edit box holds at start.
#pragma once

#include <string_view>

namespace tavik {

// 381 distinct names of nine ASCII characters, each followed by CR LF (4191 bytes, nothing else).
std::string_view account_list();

} // namespace tavik
