// The friendly link opens the partner address configured for the build, on every press.
#include "features/friendly_link.h"
#include "services/service_environment.h"
#include "services/url_opener.h"

#include <gtest/gtest.h>
#include <vector>

namespace tavik {
namespace {

class RecordingOpener final : public UrlOpener {
public:
    std::vector<Text> opened;
    void open(const Text& address) override { opened.push_back(address); }
};

TEST(FriendlyLink, EveryPressOpensThePartnerAddressWhateverItsArguments) {
    const ServiceEnvironment saved = service_environment();
    RecordingOpener opener;
    service_environment().url_opener = &opener;

    friendly_link(0, 0, 0);
    friendly_link(135, 23, 1 | 2 | 4); // far corner of the label, Ctrl, Shift and Alt held
    friendly_link(-5, 40, 0);

    service_environment() = saved;
    EXPECT_EQ(partner_address(), TAVIK_TEST_PARTNER_ADDRESS);
    EXPECT_EQ(opener.opened, std::vector<Text>(3, TAVIK_TEST_PARTNER_ADDRESS));
}

} // namespace
} // namespace tavik
