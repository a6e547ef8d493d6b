// The desktop's opener on freedesktop systems: xdg-open, started detached and never waited for.
#pragma once

#include "url_opener.h"

namespace tavik {

class XdgUrlOpener final : public UrlOpener {
public:
    // Starts `xdg-open <address>` (found on PATH) in a session of its own, with the address as one
    // argument and no shell in between. Returns once the opener has been started; the opener is not
    // a child of this process, so nothing is left to reap and it outlives the program. Every
    // failure (no xdg-open, no processes left) is ignored.
    void open(const Text& address) override;
};

} // namespace tavik
