// A listing that starts again on another server passes over what it took, whatever order that
// server answers in, and misses nothing it had not taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TakenEntries.h"

namespace {

std::vector<std::string> names(int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i < to; ++i) out.push_back("cn=W" + std::to_string(i) + ",ou=Big,o=Acme");
    return out;
}

TEST(TakenEntries, ARestartedListingTakesEachEntryOnce) {
    nw::TakenEntries taken;
    std::vector<std::string> delivered;
    const auto offer = [&](const std::vector<std::string>& pass, std::size_t upTo) {
        for (std::size_t i = 0; i < upTo && i < pass.size(); ++i)
            if (taken.first(pass[i])) delivered.push_back(pass[i]);
    };
    const auto all = names(0, 500);
    offer(all, 120);  // the first server fails after 120 entries
    taken.restart();
    auto reversed = all;  // the next one answers in another order, and spells DNs its own way
    std::reverse(reversed.begin(), reversed.end());
    for (auto& dn : reversed) dn[0] = 'C';
    offer(reversed, 300);  // and fails too
    taken.restart();
    offer(all, all.size());  // the first, restarted, answers in full
    ASSERT_EQ(delivered.size(), all.size());
    std::vector<std::string> seen;
    for (auto dn : delivered) {
        dn[0] = 'c';
        seen.push_back(dn);
    }
    std::sort(seen.begin(), seen.end());
    auto expected = all;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected);
}

}  // namespace
