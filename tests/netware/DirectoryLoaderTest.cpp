#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "DirectoryBuilder.h"
#include "DirectoryLoader.h"
#include "ExpectedMatchers.h"
#include "RecordAttributes.h"
#include "TestSupport.h"
#include "nwnet.h"

using namespace nw;
using kestrel::test::FailsWith;
using kestrel::test::Succeeded;
using nwtest::attributesOf;

namespace {

LoadResult parse(const std::string& json) {
    return parseDirectory(json, "dir.json");
}

std::shared_ptr<const Directory> load(const std::string& json) {
    auto result = parse(json);
    EXPECT_THAT(result, Succeeded());
    return result ? *result : nullptr;
}

std::vector<std::uint32_t> numbers(const NumberArray& array) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < array.size(); ++i) out.push_back(array[i]);
    return out;
}

std::string tree(const std::string& objects) {
    return R"({"trees": [{"name": "T", "objects": [)" + objects + "]}]}";
}

}  // namespace

TEST(DirectoryLoader, SyntaxErrorsNameFileLineAndColumn) {
    EXPECT_THAT(parse("{\n  \"trees\": [\n    {\"name\": }\n]}"),
                FailsWith("dir.json:3:14: unexpected '}'; expected a value"));
    EXPECT_THAT(parse(""), FailsWith("dir.json:1:1: unexpected end of input; expected a value"));
    EXPECT_THAT(parse("{\"trees\": []}\n\n x"),
                FailsWith("dir.json:3:2: unexpected 'x'; expected end of input"));
    EXPECT_THAT(parse("{\"trees\": [{\"name\": \"T\" \"objects\": []}]}"),
                FailsWith("dir.json:1:25: unexpected '\"'; expected ',' or '}'"));
    EXPECT_THAT(parse("{\"trees\": [{\"name\": \"T\x01\"}]}"),
                FailsWith("dir.json:1:21: control character in a string"));
}

TEST(DirectoryLoader, ContentErrorsNameTheObject) {
    EXPECT_THAT(parse(tree(R"({"name": "CN=X.OU=Gone.O=A", "class": "User"})")),
                FailsWith("dir.json: /trees/0/objects/0 (CN=X.OU=Gone.O=A): its container is not "
                          "listed before it"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization"},
                              {"name": "o=a", "class": "Organization"})")),
                FailsWith("dir.json: /trees/0/objects/1 (o=a): an object of that name exists "
                          "already"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "User", "password": "secret"})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/password: a password must be a "
                          "crypt(3) SHA-512 hash (\"$6$...\")"));
    EXPECT_THAT(parse(tree(R"({"name": "Acme", "class": "Organization"})")),
                FailsWith("dir.json: /trees/0/objects/0 (Acme): every name component needs a "
                          "type (CN=, OU=, O=, C=, L=, S=)"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"X": ["a", {"integer": 1}]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/1: all values of an "
                          "attribute must have the same syntax"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"X": [{"octets": "hex:abc"}]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/0/octets: malformed "
                          "octet data"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"This attribute name is far too long": ["a"]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/This attribute name is "
                          "far too long: attribute name must have 1 to 32 characters"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization", "colour": "red"})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/colour: unknown member"));
    EXPECT_THAT(parse(R"({"trees": [{"name": "T"}, {"name": "t"}]})"),
                FailsWith("dir.json: /trees/1/name: a tree of that name exists already"));
}

// What docs/directory-file.md asks of a file, the client refuses to serve otherwise: what the
// checker (examples/directory/check.py) refuses, the client refuses too.
TEST(DirectoryLoader, TheFilesRulesAreEnforced) {
    const std::string organization = R"({"name": "O=A", "class": "Organization"}, )";
    const std::string user = std::string(R"({"name": "CN=U.O=A", "class": "User", "password": ")") +
                             kestrel::test::kTestPasswordHash + "\"}";
    EXPECT_THAT(parse(tree(R"({"name": "CN=W.O=A", "class": "Workstation"},
                              {"name": "O=A", "class": "Organization"})")),
                FailsWith("dir.json: /trees/0/objects/0 (CN=W.O=A): its container is not listed "
                          "before it"));
    EXPECT_THAT(parse(tree(organization + R"({"name": "CN=W.O=A", "class": "Workstation"},
                                             {"name": "CN=X.CN=W.O=A", "class": "Workstation"})")),
                FailsWith("dir.json: /trees/0/objects/2 (CN=X.CN=W.O=A): its container is not of "
                          "a container class (Country, Locality, Organization, Organizational "
                          "Unit)"));
    EXPECT_THAT(parse(tree(R"({"name": "CN=W", "class": "Workstation"})")),
                FailsWith("dir.json: /trees/0/objects/0 (CN=W): only C=, O=, L= and S= objects "
                          "may sit at the top of a tree"));
    EXPECT_THAT(parse(tree(organization + R"({"name": "CN=U.O=A", "class": "User"})")),
                FailsWith("dir.json: /trees/0/objects/1 (CN=U.O=A): a User needs a \"password\" "
                          "(a crypt(3) SHA-512 hash)"));
    EXPECT_THAT(parse(tree(organization + R"({"name": "CN=W.O=A", "class": "Workstation",
                                              "password": ")" +
                           kestrel::test::kTestPasswordHash + "\"}")),
                FailsWith("dir.json: /trees/0/objects/1 (CN=W.O=A)/password: only a User has a "
                          "password"));
    // Values compare as searches compare them: text without regard to case, except case
    // exact strings; numbers, octets and addresses by their bytes.
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"X": ["Sales", "sales"]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/1: the same value is "
                          "given twice"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"X": ["a", "b", "c", "d", "e", "f", "g", "h", "i",
                                                   "j", "k", "l", "m", "n", "o", "p", "q", "r",
                                                   "S", "s"]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/19: the same value "
                          "is given twice"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization", "attributes": {"X": [
                                 {"netaddress": {"type": 1, "hex": "7f000001"}},
                                 {"netaddress": {"type": 1, "hex": "7F000001"}}]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/1: the same value is "
                          "given twice"));
    auto fine = load(tree(organization + user + R"(, {"name": "CN=W.O=A", "class": "Workstation",
        "attributes": {"Exact": [{"string": "Sales", "syntax": 2}, {"string": "sales", "syntax": 2}],
                       "Numbers": [{"integer": 1}, {"integer": 2}],
                       "Kinds": [{"netaddress": {"type": 1, "hex": "7f000001"}},
                                 {"netaddress": {"type": 9, "hex": "020c7f000001"}}]}})"));
    ASSERT_TRUE(fine);
    EXPECT_EQ(fine->trees()[0].size(), 3u);
}

// The checker people run on their files and the client that serves them follow one rule.
TEST(DirectoryLoader, TheCheckerAndTheClientAgree) {
    if (::access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "python3 is not installed";
    const std::string hash = kestrel::test::kTestPasswordHash;
    const std::string top = R"({"name": "O=A", "class": "Organization"}, )";
    const std::pair<const char*, std::string> files[] = {
        {"fine", top + R"({"name": "CN=U.O=A", "class": "User", "password": ")" + hash +
                     R"("}, {"name": "CN=W.O=A", "class": "Workstation", "attributes": {
                         "WM:Network Address": ["01010000:00A0C9123456:4006", "127.0.0.17"],
                         "Exact": [{"string": "a", "syntax": 2}, {"string": "A", "syntax": 2}]}})"},
        {"text and an address in one attribute",
         top + R"({"name": "CN=W.O=A", "class": "Workstation", "attributes": {
                    "WM:Network Address": ["127.0.0.17",
                                           {"netaddress": {"type": 1, "hex": "7f000011"}}]}})"},
        {"a value twice", top + R"({"name": "CN=W.O=A", "class": "Workstation", "attributes": {
                                     "X": ["Sales", {"string": "SALES", "syntax": 3}]}})"},
        {"a child before its parent",
         R"({"name": "CN=W.O=A", "class": "Workstation"}, )" + top.substr(0, top.size() - 2)},
        {"a leaf as container", top + R"({"name": "CN=W.O=A", "class": "Workstation"},
                                         {"name": "CN=X.CN=W.O=A", "class": "Workstation"})"},
        {"a user without password", top + R"({"name": "CN=U.O=A", "class": "User"})"},
        {"a password beside a workstation", top + R"({"name": "CN=W.O=A", "class": "Workstation",
                                                     "password": ")" +
                                                hash + R"("})"},
    };
    kestrel::test::TempDir scratch;
    for (const auto& [what, objects] : files) {
        SCOPED_TRACE(what);
        const std::string text = tree(objects);
        kestrel::test::writeFile(scratch / "dir.json", text);
        const std::string command = "python3 " KESTREL_SOURCE_DIR
                                    "/examples/directory/check.py --no-password-check " +
                                    (scratch / "dir.json").string() + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        const bool checkerAccepts = WEXITSTATUS(status) == 0;
        auto loaded = parse(text);
        EXPECT_EQ(checkerAccepts, static_cast<bool>(loaded))
            << (loaded ? std::string("the client accepts it") : loaded.error().describe());
    }
}

TEST(DirectoryLoader, ValuesKeepTheirSyntaxAndBytes) {
    auto directory = load(tree(R"(
        {"name": "O=A", "class": "Organization"},
        {"name": "CN=W.O=A", "class": "Workstation", "attributes": {
            "Text": ["one", "two"],
            "Number": [{"integer": -1}],
            "When": [{"time": 915239109}],
            "Hex": [{"octets": "hex:00ff10"}],
            "B64": [{"octets": "base64:SGk="}],
            "Addr": [{"netaddress": {"type": 1, "hex": "7F000001"}}],
            "Class": [{"string": "Workstation", "syntax": 20}]}})"));
    ASSERT_TRUE(directory);
    auto attributes = attributesOf(directory->trees()[0].object(1));
    ASSERT_EQ(attributes.size(), 8u);  // "Object Class" comes first
    EXPECT_EQ(attributes[0].name, "Object Class");
    EXPECT_EQ(attributes[0].values, (std::vector<std::string>{"Workstation", "Top"}));
    EXPECT_EQ(attributes[1].syntax, static_cast<std::uint32_t>(SYN_CI_STRING));
    EXPECT_EQ(attributes[1].values, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(attributes[2].values[0], std::string("\xff\xff\xff\xff", 4));
    EXPECT_EQ(attributes[3].syntax, static_cast<std::uint32_t>(SYN_TIME));
    EXPECT_EQ(attributes[4].values[0], std::string("\x00\xff\x10", 3));
    EXPECT_EQ(attributes[5].values[0], "Hi");
    EXPECT_EQ(attributes[6].values[0], std::string("\x01\0\0\0\x7f\0\0\x01", 8));
    EXPECT_EQ(attributes[7].syntax, static_cast<std::uint32_t>(SYN_CLASS_NAME));
}

TEST(DirectoryLoader, ObjectsKeepFileOrderAndFindTheirContainers) {
    auto directory = load(tree(R"(
        {"name": "O=A", "class": "Organization"},
        {"name": "CN=Z.O=A", "class": "Workstation"},
        {"name": "OU=B.O=A", "class": "Organizational Unit"},
        {"name": "CN=Y.OU=B.O=A", "class": "Workstation"},
        {"name": "CN=X.O=A", "class": "Workstation"})"));
    ASSERT_TRUE(directory);
    const Tree& t = directory->trees()[0];
    EXPECT_EQ(numbers(t.children(kRootIndex)), std::vector<std::uint32_t>{0});
    EXPECT_EQ(numbers(t.children(0)), (std::vector<std::uint32_t>{1, 2, 4}));
    EXPECT_EQ(t.childCount(0), 3u);
    EXPECT_EQ(t.parent(3), 2);
    EXPECT_EQ(t.depth(3), 3u);
    EXPECT_TRUE(t.isWithin(3, 0));
    EXPECT_FALSE(t.isWithin(4, 2));
    auto found = t.find(*resolveName("cn=y.ou=b.o=a", AbsoluteName{}, false));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 3);
}

// The file has no escapes: a backslash is part of the name, and the client's own name
// syntax, which does escape, finds the object by its escaped form.
TEST(DirectoryLoader, ABackslashInANameIsKept) {
    auto directory = load(tree(R"(
        {"name": "O=A", "class": "Organization"},
        {"name": "CN=a/b\\c.O=A", "class": "Workstation"},
        {"name": "CN=end\\.O=A", "class": "Workstation"})"));
    ASSERT_TRUE(directory);
    const Tree& t = directory->trees()[0];
    EXPECT_EQ(t.object(1).name(), R"(CN=a/b\\c.O=A)");
    auto found = t.find(*resolveName(R"(cn=a/b\\c.o=a)", AbsoluteName{}, false));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 1);
    found = t.find(*resolveName(R"(CN=end\\.O=A)", AbsoluteName{}, false));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 2);
    EXPECT_EQ(numbers(t.children(0)), (std::vector<std::uint32_t>{1, 2}));

    // Nor does a backslash hide a full stop.
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization"},
                              {"name": "CN=a\\.b.O=A", "class": "Workstation"})")),
                FailsWith("dir.json: /trees/0/objects/1 (CN=a\\.b.O=A): every name component "
                          "needs a type (CN=, OU=, O=, C=, L=, S=)"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A..", "class": "Organization"})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A..): not a valid object name"));
}

TEST(DirectoryLoader, TheBundledSampleLoads) {
    auto result = loadDirectory(KESTREL_SOURCE_DIR "/examples/directory/sample.json");
    ASSERT_THAT(result, Succeeded());
    const auto& directory = **result;
    EXPECT_GE(directory.trees().size(), 2u);
    std::size_t workstations = 0;
    for (const auto& t : directory.trees())
        for (int i = 0; i < static_cast<int>(t.size()); ++i)
            workstations += t.object(i).baseClass() == "Workstation";
    EXPECT_GE(workstations, 50u);
}

TEST(DirectoryLoader, AMissingFileIsNamed) {
    EXPECT_THAT(loadDirectory("/nonexistent/dir.json"),
                FailsWith("/nonexistent/dir.json: cannot open the directory file: No such file or "
                          "directory"));
}

// A misspelt member of a value would otherwise change its meaning without a word.
TEST(DirectoryLoader, ValuesWithMembersBesideTheirKindAreRefused) {
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"X": [{"string": "a", "sytnax": 2}]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/0: unexpected members "
                          "in value"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"X": [{"netaddress": {"type": 1, "hex": "7f",
                                                                   "port": 5}}]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/X/0/netaddress: "
                          "expected {\"type\": n, \"hex\": \"...\"}"));
    EXPECT_THAT(parse(tree(R"({"name": "O=A", "class": "Organization",
                              "attributes": {"Object Class": [{"integer": 5}]}})")),
                FailsWith("dir.json: /trees/0/objects/0 (O=A)/attributes/Object Class/0: "
                          "\"Object Class\" values must be text"));
}
