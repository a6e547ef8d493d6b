// The account names the program hands out.
#pragma once

#include <string_view>

namespace tavik {

std::string_view account_list();

} // namespace tavik
