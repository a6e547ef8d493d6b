// The account draw: one seeding, then one draw, one member access and one write per listed name.
#include "account_draw.h"

#include "features/main_window_names.h"
#include "services/control_text.h"
#include "services/random.h"
#include "services/text_operations.h"

#include <cstdint>

namespace tavik {

namespace {
// The draw range is fixed by the build, not taken from the list: only a list of at least 381 names
// makes every draw a valid member.
constexpr std::int32_t kLowestMember = 1;
constexpr std::int32_t kHighestMember = 381;
} // namespace

void account_draw() {
    seed_random();
    const TextArray members =
        split_text(read_control_text(kMainWindow, control_name::kAccountList), "\r\n");
    const std::int32_t passes = member_count(members);
    for (std::int32_t pass = 1; pass <= passes; ++pass) {
        const std::int32_t drawn = random_integer(kLowestMember, kHighestMember);
        // The field keeps a copy of its own, so the member itself is handed over.
        write_control_text(kMainWindow, control_name::kAccountField, member_access(members, drawn));
    }
}

} // namespace tavik
