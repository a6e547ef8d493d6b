// Placeholder list until the generated one lands.
#include "account_list.h"

namespace tavik {

std::string_view account_list() {
    return "abcde1234\r\n";
}

} // namespace tavik
