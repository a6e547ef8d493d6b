// Times GBK <-> UTF-16 conversion of a 4 KB text, the size of the account list, beside a converter
// opened afresh for every call.
#include "services/gbk_codec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iconv.h>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Median microseconds of one call, over rounds of many calls.
template <typename Call> double median_microseconds(Call&& call) {
    constexpr int kRounds = 31;
    constexpr int kCallsPerRound = 200;
    std::vector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < kCallsPerRound; ++i) {
            call();
        }
        const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
        rounds.push_back(spent.count() / kCallsPerRound);
    }
    std::nth_element(rounds.begin(), rounds.begin() + kRounds / 2, rounds.end());
    return rounds[kRounds / 2];
}

// The straightforward way: open, convert, close on every call.
std::u16string naive_gbk_to_utf16(const std::string& gbk) {
    std::u16string out(gbk.size(), u'\0');
    const iconv_t descriptor = iconv_open("UTF-16LE", "CP936");
    char* in = const_cast<char*>(gbk.data());
    std::size_t in_left = gbk.size();
    char* next = reinterpret_cast<char*>(out.data());
    std::size_t room = out.size() * 2;
    iconv(descriptor, &in, &in_left, &next, &room);
    iconv_close(descriptor);
    out.resize(out.size() - room / 2);
    return out;
}

std::string naive_utf16_to_gbk(const std::u16string& text) {
    std::string out(text.size() * 2, '\0');
    const iconv_t descriptor = iconv_open("CP936", "UTF-16LE");
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    std::size_t in_left = text.size() * 2;
    char* next = out.data();
    std::size_t room = out.size();
    iconv(descriptor, &in, &in_left, &next, &room);
    iconv_close(descriptor);
    out.resize(out.size() - room);
    return out;
}

volatile std::size_t sink;

} // namespace

int main() {
    std::string list;
    for (int i = 0; i < 381; ++i) {
        list += "abcd" + std::to_string(10000 + i) + "\r\n";
    }
    std::string chinese;
    while (chinese.size() < 4096) {
        chinese += "\xd5\xcb\xba\xc5\xc3\xdc\xc2\xeb\xd2\xbb\xbc\xfc\xbb\xf1\xc8\xa1\r\n";
    }
    const std::u16string list16 = tavik::gbk_to_utf16(list);
    const std::u16string chinese16 = tavik::gbk_to_utf16(chinese);

    struct Row {
        const char* what;
        double ours;
        double naive;
    };
    const Row rows[] = {
        {"ASCII list to UTF-16",
         median_microseconds([&] { sink = tavik::gbk_to_utf16(list).size(); }),
         median_microseconds([&] { sink = naive_gbk_to_utf16(list).size(); })},
        {"ASCII list to GBK",
         median_microseconds([&] { sink = tavik::utf16_to_gbk(list16).size(); }),
         median_microseconds([&] { sink = naive_utf16_to_gbk(list16).size(); })},
        {"Chinese text to UTF-16",
         median_microseconds([&] { sink = tavik::gbk_to_utf16(chinese).size(); }),
         median_microseconds([&] { sink = naive_gbk_to_utf16(chinese).size(); })},
        {"Chinese text to GBK",
         median_microseconds([&] { sink = tavik::utf16_to_gbk(chinese16).size(); }),
         median_microseconds([&] { sink = naive_utf16_to_gbk(chinese16).size(); })},
    };
    std::printf("GBK codec, %zu-byte texts, median per call\n", list.size());
    for (const Row& row : rows) {
        std::printf("  %-24s %8.2f us   baseline (converter opened per call) %8.2f us   %5.1f%%\n",
                    row.what, row.ours, row.naive, 100.0 * row.ours / row.naive);
    }
    return 0;
}
