// The installer's message and string numbers have one home, messages/MessageStrings.h: every
// number named there has its text, and no other file names a number of its own.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

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

// A named number as the catalogue and the sources spell one: "constexpr int kName = 5552;"
// (also long, and with "inline" before it): its name and number, when `text` at `at` is one.
std::optional<std::pair<std::string, int>> namedNumberAt(std::string_view text, std::size_t at) {
    const auto blanks = [&](std::size_t from) {
        while (from < text.size() && std::isspace(static_cast<unsigned char>(text[from]))) ++from;
        return from;
    };
    const auto word = [&](std::size_t from) {
        std::size_t end = from;
        while (end < text.size() &&
               (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        return end;
    };
    std::size_t i = blanks(at + std::string_view("constexpr").size());
    const std::size_t typeEnd = word(i);
    const std::string_view type = text.substr(i, typeEnd - i);
    if (type != "int" && type != "long") return std::nullopt;
    i = blanks(typeEnd);
    const std::size_t nameEnd = word(i);
    const std::string name(text.substr(i, nameEnd - i));
    if (name.size() < 2 || name[0] != 'k') return std::nullopt;
    i = blanks(nameEnd);
    if (i >= text.size() || text[i] != '=') return std::nullopt;
    i = blanks(i + 1);
    std::size_t digitsEnd = i;
    while (digitsEnd < text.size() && std::isdigit(static_cast<unsigned char>(text[digitsEnd])))
        ++digitsEnd;
    if (digitsEnd == i || digitsEnd - i > 9 || blanks(digitsEnd) >= text.size() ||
        text[blanks(digitsEnd)] != ';')
        return std::nullopt;
    return std::pair{name, std::stoi(std::string(text.substr(i, digitsEnd - i)))};
}

std::vector<std::pair<std::string, int>> namedNumbers(std::string_view text) {
    std::vector<std::pair<std::string, int>> found;
    for (std::size_t at = text.find("constexpr"); at != std::string_view::npos;
         at = text.find("constexpr", at + 1)) {
        if (auto named = namedNumberAt(text, at)) found.push_back(std::move(*named));
    }
    return found;
}

// The numbers the catalogue names in one of its namespaces, by name.
std::map<std::string, int> catalogue(std::string_view space) {
    const std::string header = contentOf(kSetupSources / "messages" / "MessageStrings.h");
    const std::string opening = "namespace " + std::string(space) + " {";
    const std::size_t start = header.find(opening);
    const std::size_t end = header.find("}  // namespace " + std::string(space), start);
    EXPECT_NE(start, std::string::npos) << space;
    if (start == std::string::npos || end == std::string::npos) return {};
    std::map<std::string, int> numbers;
    for (auto& [name, number] : namedNumbers(std::string_view(header).substr(start, end - start)))
        numbers[name] = number;
    return numbers;
}

// A message or string number of the installer's own table: 5000-5099 or 5500-5599.
bool isTableNumber(int number) {
    return (number >= 5000 && number < 5100) || (number >= 5500 && number < 5600);
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
    for (const auto& entry : fs::recursive_directory_iterator(kSetupSources)) {
        const fs::path& file = entry.path();
        if (!entry.is_regular_file() || (file.extension() != ".cpp" && file.extension() != ".h"))
            continue;
        if (file.filename() == "MessageStrings.h") continue;
        for (const auto& [name, number] : namedNumbers(contentOf(file))) {
            EXPECT_FALSE(isTableNumber(number)) << file << ": " << name << " = " << number
                                                << " (name it in messages/MessageStrings.h)";
        }
    }
}

}  // namespace
}  // namespace kestrel::setup
