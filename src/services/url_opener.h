// The seam through which web addresses reach the desktop's opener.
#pragma once

#include "text.h"

namespace tavik {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Hands the address over and returns at once; the outcome is neither waited for nor reported.
    virtual void open(const Text& address) = 0;
};

} // namespace tavik
