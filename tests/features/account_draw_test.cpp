// The account draw against a stand-in for the main window: the passes, the draws and their writes,
// and the end of the program when the list is too short.
#include "features/account_draw.h"
#include "features/main_window_names.h"
#include "services/control_text.h"
#include "services/fatal_error.h"
#include "services/random.h"
#include "support/fixed_tick_source.h"
#include "support/program_end.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tavik {
namespace {

using testing::FixedTickSource;
using testing::ProgramEndCatcher;
using testing::ProgramEnded;

// The main window as the draw sees it: the list box it reads and the account field it writes.
class MainWindowStandIn final : public ControlTextPort {
public:
    Text account_list;
    Text account_field = "untouched";
    std::vector<Text> field_writes;

    ControlAccess access(std::uint32_t window, std::string_view control) override {
        if (window != kMainWindow) {
            return ControlAccess::WindowNotLoaded;
        }
        // The names arrive exactly as the window description spells them, in UTF-8.
        if (control != "编辑框1" && control != "编辑框2") {
            return ControlAccess::ControlMissing;
        }
        return ControlAccess::Ok;
    }
    Text read(std::uint32_t, std::string_view control) override {
        EXPECT_EQ(control, "编辑框1") << "the draw only reads the list";
        return account_list;
    }
    void write(std::uint32_t, std::string_view control, const Text& text) override {
        EXPECT_EQ(control, "编辑框2") << "the draw only writes the account field";
        account_field = text;
        field_writes.push_back(text);
    }
};

// Distinct nine-character names: 4 to 7 lower-case letters, then digits.
std::vector<Text> account_names(int count) {
    std::vector<Text> names;
    for (int i = 0; i < count; ++i) {
        const int letters = 4 + i % 4;
        Text name;
        for (int k = 0, rest = i; k < letters; ++k, rest /= 26) {
            name += static_cast<char>('a' + rest % 26);
        }
        for (int k = letters, rest = i * 7919; k < 9; ++k, rest /= 10) {
            name += static_cast<char>('0' + rest % 10);
        }
        names.push_back(name);
    }
    return names;
}

Text as_list(const std::vector<Text>& names, bool final_line_break = true) {
    Text list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += names[i];
        if (i + 1 < names.size() || final_line_break) {
            list += "\r\n";
        }
    }
    return list;
}

// Seeding counter 0 and the tick count at 1000, as for the first click after start-up.
class AccountDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = service_environment().controls;
        service_environment().controls = &window_;
        reset_seeding_counter();
    }
    void TearDown() override { service_environment().controls = saved_; }

    MainWindowStandIn window_;
    FixedTickSource ticks_{1000};

private:
    ControlTextPort* saved_ = nullptr;
};

TEST(AccountNames, AreDistinctNineCharacterNames) {
    const std::vector<Text> names = account_names(381);
    EXPECT_EQ(std::set<Text>(names.begin(), names.end()).size(), names.size());
    for (const Text& name : names) {
        ASSERT_EQ(name.size(), 9u) << name;
    }
}

TEST_F(AccountDrawTest, DrawsTheKnownMembersPassByPass) {
    const std::vector<Text> names = account_names(381);
    window_.account_list = as_list(names);

    account_draw();

    ASSERT_EQ(window_.field_writes.size(), 381u);
    EXPECT_EQ(window_.field_writes[0], names[257 - 1]);
    EXPECT_EQ(window_.field_writes[1], names[221 - 1]);
    EXPECT_EQ(window_.field_writes[2], names[180 - 1]);
    EXPECT_EQ(window_.account_field, names[252 - 1]);

    // Seeded once with 1000, then exactly one generator step per pass.
    std::uint32_t state = 1000;
    for (int pass = 0; pass < 381; ++pass) {
        state = state * 214013u + 2531011u;
    }
    EXPECT_EQ(generator_state(), state);
    EXPECT_EQ(seeding_counter(), 332u);
}

TEST_F(AccountDrawTest, MakesOnePassPerMember) {
    const std::vector<Text> names = account_names(382);
    const std::vector<Text> delivered(names.begin(), names.begin() + 381);
    struct Case {
        const char* what;
        Text list;
        std::size_t passes;
    };
    const Case cases[] = {
        {"the delivered list", as_list(delivered), 381},
        {"a list without its last line break", as_list(delivered, false), 381},
        {"an extra name", as_list(names), 382},
        {"an empty line between names", as_list(delivered) + "\r\n" + names[381] + "\r\n", 383},
    };
    for (const Case& c : cases) {
        window_.account_list = c.list;
        window_.field_writes.clear();
        account_draw();
        EXPECT_EQ(window_.field_writes.size(), c.passes) << c.what;
    }
}

TEST_F(AccountDrawTest, AnEmptyListWritesNothing) {
    for (const Text& list : {Text(), Text("\0abc", 4)}) {
        window_.account_list = list;
        account_draw();
        EXPECT_TRUE(window_.field_writes.empty());
        EXPECT_EQ(window_.account_field, "untouched");
    }
    // Each click still seeded the generator, and nothing drew from it.
    EXPECT_EQ(generator_state(), 1332u);
}

TEST_F(AccountDrawTest, AShortListEndsTheProgramAfterTheEarlierWrites) {
    // The draws from seed 1000 begin 257, 221, 180, ...; with 260 names the first few are valid.
    const std::vector<Text> names = account_names(260);
    window_.account_list = as_list(names);
    ProgramEndCatcher program;

    std::int32_t first_invalid_pass = 0;
    std::vector<Text> expected_writes;
    seed_random(1000);
    for (std::int32_t pass = 1; first_invalid_pass == 0; ++pass) {
        const std::int32_t drawn = random_integer(1, 381);
        if (drawn > 260) {
            first_invalid_pass = pass;
        } else {
            expected_writes.push_back(names[drawn - 1]);
        }
    }
    ASSERT_GT(first_invalid_pass, 3);

    try {
        account_draw();
        FAIL() << "the draw came back";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exit_code, -1);
    }
    EXPECT_TRUE(program.reported(fatal_message::kIndexAboveCount, fatal_code::kIndexAboveCount));
    EXPECT_EQ(window_.field_writes, expected_writes);
}

} // namespace
} // namespace tavik
