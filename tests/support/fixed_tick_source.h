// A tick count that reads whatever the test sets, installed for the test's lifetime.
#pragma once

#include "services/service_environment.h"
#include "services/tick_source.h"

#include <cstdint>

namespace tavik::testing {

class FixedTickSource final : public TickSource {
public:
    explicit FixedTickSource(std::uint32_t now)
        : now_(now)
        , saved_(service_environment().ticks) {
        service_environment().ticks = this;
    }
    ~FixedTickSource() override { service_environment().ticks = saved_; }
    FixedTickSource(const FixedTickSource&) = delete;
    FixedTickSource& operator=(const FixedTickSource&) = delete;

    void set(std::uint32_t now) { now_ = now; }
    std::uint32_t milliseconds() override { return now_; }

private:
    std::uint32_t now_;
    TickSource* saved_;
};

} // namespace tavik::testing
