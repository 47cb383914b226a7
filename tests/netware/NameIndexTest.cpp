// The name index answers "which objects' names contain this text" exactly as reading every
// name would, in memory and from the compiled store, for names of any case and script.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

#include "ClientFixture.h"
#include "DirectoryCache.h"
#include "DirectoryLoader.h"
#include "IsolatedUser.h"

using namespace nw;

namespace {

// What the index must give: every object one of whose name components, lower-cased,
// contains the text (its own, or a container's above it).
std::vector<std::uint32_t> byReadingEveryName(const Tree& tree, std::string_view lowerText) {
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < tree.size(); ++i) {
        std::string name = asciiLower(tree.head(static_cast<int>(i)).name());
        for (std::string_view component : splitStoredName(name))
            if (component.find(lowerText) != std::string_view::npos) {
                found.push_back(i);
                break;
            }
    }
    return found;
}

// Every run of one to five bytes of every object's name, lower-cased: texts that are found,
// texts across components, and parts of multi-byte characters.
std::set<std::string> textsOf(const Tree& tree) {
    std::set<std::string> texts;
    for (std::uint32_t i = 0; i < tree.size(); ++i) {
        std::string name = asciiLower(tree.head(static_cast<int>(i)).name());
        for (std::size_t at = 0; at < name.size(); ++at)
            for (std::size_t length = 1; length <= 5 && at + length <= name.size(); ++length)
                texts.insert(name.substr(at, length));
    }
    return texts;
}

// Containers and workstations whose names mix cases, digits and non-ASCII letters (both
// cases of ä, é and Ω in UTF-8), so that runs of bytes split characters and case differs
// only where ASCII case folding applies.
std::string generatedDirectory(unsigned seed, int objects) {
    static const std::vector<std::string> kPieces = {
        "a",        "A",        "b",        "B",     "ws",       "WS",       "0",
        "1",        "7",        "-",        " ",     "\xc3\xa4", "\xc3\x84", "\xc3\xa9",
        "\xc3\x89", "\xce\xa9", "\xcf\x89", "Sales", "sALES",    "x"};
    std::mt19937 random(seed);
    auto name = [&] {
        std::string text = kPieces[random() % kPieces.size()];
        for (int n = static_cast<int>(random() % 5); n > 0; --n)
            text += kPieces[random() % kPieces.size()];
        // A value does not begin or end with a blank.
        if (text.front() == ' ') text.front() = 'q';
        if (text.back() == ' ') text.back() = 'z';
        return text;
    };
    kestrel::test::DirectoryBuilder directory;
    directory.tree("GEN").object("O=Gen", "Organization");
    std::vector<std::string> containers = {"O=Gen"};
    std::set<std::string> taken;
    for (int i = 0; i < objects; ++i) {
        const std::string& parent = containers[random() % containers.size()];
        bool container = random() % 8 == 0;
        std::string full = (container ? "OU=" : "CN=") + name() + "." + parent;
        if (!taken.insert(asciiLower(full)).second) continue;
        directory.object(full, container ? "Organizational Unit" : "Workstation");
        if (container) containers.push_back(full);
    }
    return directory.text();
}

class NameIndex : public ::testing::Test {
  protected:
    // The same directory in memory and from its compiled store.
    std::vector<std::shared_ptr<const Directory>> bothForms(const std::string& json) {
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << json;
        auto memory = parseDirectory(json, "dir.json");
        auto stored = openDirectory(file_);
        EXPECT_TRUE(memory && stored);
        if (!memory || !stored) return {};
        EXPECT_EQ(stored->notice, "") << "the store must be used";
        return {*memory, stored->directory};
    }

    static void expectSameAsReadingEveryName(const Directory& directory) {
        for (const Tree& tree : directory.trees()) {
            std::set<std::string> texts = textsOf(tree);
            texts.insert({"zzzz", "\xc3", "\xa4\xc3", "cn=", "=", "q\xc3\xa4z"});
            for (const std::string& text : texts)
                ASSERT_EQ(tree.namedLike(text), byReadingEveryName(tree, text))
                    << tree.name() << ": \"" << text << '"';
        }
    }

    kestrel::test::IsolatedUser user_;
    std::filesystem::path file_ = user_.root() / "dir.json";
};

}  // namespace

TEST_F(NameIndex, GivesWhatReadingEveryNameGivesOnTheSample) {
    for (const auto& directory : bothForms(nwtest::sampleDirectory().text()))
        expectSameAsReadingEveryName(*directory);
    std::ifstream sample(KESTREL_SOURCE_DIR "/examples/directory/sample.json", std::ios::binary);
    std::string json((std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
    for (const auto& directory : bothForms(json)) expectSameAsReadingEveryName(*directory);
}

TEST_F(NameIndex, GivesWhatReadingEveryNameGivesOnMixedCaseAndNonAsciiNames) {
    for (unsigned seed : {1u, 2u}) {
        auto forms = bothForms(generatedDirectory(seed, 200));
        ASSERT_EQ(forms.size(), 2u);
        ASSERT_GT(forms[0]->trees().front().size(), 150u);
        for (const auto& directory : forms) expectSameAsReadingEveryName(*directory);
    }
}

TEST_F(NameIndex, ATextOfManyRunsIsFoundAmongMany) {
    // Thousands of objects share most runs of the text; only one holds all of them.
    kestrel::test::DirectoryBuilder directory;
    directory.tree("GEN").object("O=Gen", "Organization");
    for (int i = 0; i < 5000; ++i)
        directory.object("CN=WS" + std::to_string(i) + ".O=Gen", "Workstation");
    for (const auto& form : bothForms(directory.text())) {
        const Tree& tree = form->trees().front();
        EXPECT_EQ(tree.namedLike("ws1234"), byReadingEveryName(tree, "ws1234"));
        EXPECT_EQ(tree.namedLike("ws1234").size(), 1u);
        EXPECT_EQ(tree.namedLike("s49").size(), 111u);  // 49, 490..499, 4900..4999
        EXPECT_EQ(tree.namedLike("=ws").size(), 5000u);
        EXPECT_TRUE(tree.namedLike("ws12345").empty());
    }
}
