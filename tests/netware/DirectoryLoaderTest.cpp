#include <gtest/gtest.h>

#include "DirectoryLoader.h"
#include "nwnet.h"

using namespace nw;

namespace {

std::string errorOf(const std::string& json) {
    auto result = parseDirectory(json, "dir.json");
    auto* error = std::get_if<LoadError>(&result);
    return error ? error->message : "";
}

std::shared_ptr<const Directory> load(const std::string& json) {
    auto result = parseDirectory(json, "dir.json");
    if (auto* error = std::get_if<LoadError>(&result)) ADD_FAILURE() << error->message;
    auto* directory = std::get_if<std::shared_ptr<const Directory>>(&result);
    return directory ? *directory : nullptr;
}

std::string tree(const std::string& objects) {
    return R"({"trees": [{"name": "T", "objects": [)" + objects + "]}]}";
}

}  // namespace

TEST(DirectoryLoader, SyntaxErrorsNameFileLineAndColumn) {
    EXPECT_EQ(errorOf("{\n  \"trees\": [\n    {\"name\": }\n]}").rfind("dir.json:3:", 0), 0u)
        << errorOf("{\n  \"trees\": [\n    {\"name\": }\n]}");
    EXPECT_EQ(errorOf("").rfind("dir.json:1:1:", 0), 0u);
    EXPECT_NE(errorOf("{\"trees\": []}\n\n x").find("dir.json:3:"), std::string::npos);
}

TEST(DirectoryLoader, ContentErrorsNameTheObject) {
    auto missingParent = errorOf(tree(R"({"name": "CN=X.OU=Gone.O=A", "class": "User"})"));
    EXPECT_NE(missingParent.find("/trees/0/objects/0 (CN=X.OU=Gone.O=A)"), std::string::npos);
    EXPECT_NE(missingParent.find("container"), std::string::npos);

    auto duplicate = errorOf(tree(R"({"name": "O=A", "class": "Organization"},
                                     {"name": "o=a", "class": "Organization"})"));
    EXPECT_NE(duplicate.find("/objects/1"), std::string::npos);

    EXPECT_NE(errorOf(tree(R"({"name": "O=A", "class": "User", "password": "secret"})"))
                  .find("SHA-512"), std::string::npos);
    EXPECT_NE(errorOf(tree(R"({"name": "Acme", "class": "Organization"})")).find("type"),
              std::string::npos);
    EXPECT_NE(errorOf(tree(R"({"name": "O=A", "class": "Organization",
                               "attributes": {"X": ["a", {"integer": 1}]}})"))
                  .find("same syntax"), std::string::npos);
    EXPECT_NE(errorOf(tree(R"({"name": "O=A", "class": "Organization",
                               "attributes": {"X": [{"octets": "hex:abc"}]}})"))
                  .find("/attributes/X/0/octets"), std::string::npos);
    EXPECT_NE(errorOf(tree(R"({"name": "O=A", "class": "Organization",
                               "attributes": {"This attribute name is far too long": ["a"]}})"))
                  .find("32 characters"), std::string::npos);
    EXPECT_NE(errorOf(tree(R"({"name": "O=A", "class": "Organization", "colour": "red"})"))
                  .find("unknown member"), std::string::npos);
    EXPECT_NE(errorOf(R"({"trees": [{"name": "T"}, {"name": "t"}]})").find("/trees/1"),
              std::string::npos);
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
    const auto& object = directory->trees()[0].objects()[1];
    ASSERT_EQ(object.attributes.size(), 8u);  // "Object Class" comes first
    EXPECT_EQ(object.attributes[0].name, "Object Class");
    EXPECT_EQ(object.attributes[0].values, (std::vector<std::string>{"Workstation", "Top"}));
    EXPECT_EQ(object.attributes[1].syntax, static_cast<std::uint32_t>(SYN_CI_STRING));
    EXPECT_EQ(object.attributes[2].values[0], std::string("\xff\xff\xff\xff", 4));
    EXPECT_EQ(object.attributes[3].syntax, static_cast<std::uint32_t>(SYN_TIME));
    EXPECT_EQ(object.attributes[4].values[0], std::string("\x00\xff\x10", 3));
    EXPECT_EQ(object.attributes[5].values[0], "Hi");
    EXPECT_EQ(object.attributes[6].values[0], std::string("\x01\0\0\0\x7f\0\0\x01", 8));
    EXPECT_EQ(object.attributes[7].syntax, static_cast<std::uint32_t>(SYN_CLASS_NAME));
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
    EXPECT_EQ(t.children(kRootIndex), std::vector<int>{0});
    EXPECT_EQ(t.children(0), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(t.isWithin(3, 0));
    EXPECT_FALSE(t.isWithin(4, 2));
    auto found = t.find(*resolveName("cn=y.ou=b.o=a", AbsoluteName{}, false));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 3);
}

TEST(DirectoryLoader, TheBundledSampleLoads) {
    auto result = loadDirectory(KESTREL_SOURCE_DIR "/examples/directory/sample.json");
    auto* error = std::get_if<LoadError>(&result);
    ASSERT_EQ(error, nullptr) << error->message;
    const auto& directory = *std::get<std::shared_ptr<const Directory>>(result);
    EXPECT_GE(directory.trees().size(), 2u);
    std::size_t workstations = 0;
    for (const auto& t : directory.trees())
        for (const auto& object : t.objects()) workstations += object.baseClass == "Workstation";
    EXPECT_GE(workstations, 50u);
}

TEST(DirectoryLoader, AMissingFileIsNamed) {
    auto result = loadDirectory("/nonexistent/dir.json");
    ASSERT_TRUE(std::holds_alternative<LoadError>(result));
    EXPECT_NE(std::get<LoadError>(result).message.find("/nonexistent/dir.json"), std::string::npos);
}
