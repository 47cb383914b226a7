// The installer's message and string numbers have one home, messages/MessageStrings.h: every
// number named there has its text, and no other file names a number of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "messages/MessageSpec.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

const fs::path kSetupSources = fs::path(KESTREL_SOURCE_DIR) / "setup";

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The numbers the catalogue names in one of its namespaces, by name.
std::map<std::string, int> catalogue(std::string_view space) {
    const std::string header = contentOf(kSetupSources / "messages" / "MessageStrings.h");
    const std::string opening = "namespace " + std::string(space) + " {";
    const std::size_t start = header.find(opening);
    const std::size_t end = header.find("}  // namespace " + std::string(space), start);
    EXPECT_NE(start, std::string::npos) << space;
    if (start == std::string::npos || end == std::string::npos) return {};
    const std::string body = header.substr(start, end - start);
    static const std::regex constant(R"(inline constexpr int (k\w+) = (\d+);)");
    std::map<std::string, int> numbers;
    for (std::sregex_iterator it(body.begin(), body.end(), constant), last; it != last; ++it)
        numbers[(*it)[1]] = std::stoi((*it)[2]);
    return numbers;
}

TEST(MessageCatalogue, EveryNumberNamedHasItsTextOnce) {
    const auto messages = catalogue("messages");
    const auto strings = catalogue("strings");
    ASSERT_GT(messages.size(), 50u);
    ASSERT_GT(strings.size(), 20u);
    EXPECT_EQ(messages.at("kVersionOutOfDate"), messages::kVersionOutOfDate);
    std::map<int, std::string> seen;
    for (const auto* names : {&messages, &strings}) {
        for (const auto& [name, number] : *names) {
            const char* text = builtinString(number);
            ASSERT_NE(text, nullptr) << name << " = " << number;
            if (names == &messages) {
                EXPECT_TRUE(parseMessageSpec(text)) << name << ": " << text;
            }
            const auto [where, fresh] = seen.emplace(number, name);
            EXPECT_TRUE(fresh) << name << " and " << where->second << " are both " << number;
        }
    }
}

TEST(MessageCatalogue, NoOtherFileNamesAMessageNumber) {
    static const std::regex ownNumber(R"(constexpr\s+(int|long)\s+k\w+\s*=\s*5[05]\d\d\s*;)");
    for (const auto& entry : fs::recursive_directory_iterator(kSetupSources)) {
        const fs::path& file = entry.path();
        if (!entry.is_regular_file() || (file.extension() != ".cpp" && file.extension() != ".h"))
            continue;
        if (file.filename() == "MessageStrings.h") continue;
        const std::string text = contentOf(file);
        std::smatch found;
        EXPECT_FALSE(std::regex_search(text, found, ownNumber))
            << file << ": " << found.str() << " (name it in messages/MessageStrings.h)";
    }
}

}  // namespace
}  // namespace kestrel::setup
