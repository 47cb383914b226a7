#include "DirectoryBuilder.h"

#include <fstream>
#include <stdexcept>

namespace kestrel::test {

namespace value {

Json integer(std::int64_t number) {
    return {{"integer", number}};
}

Json time(std::int64_t secondsSince1970) {
    return {{"time", secondsSince1970}};
}

Json octets(std::string_view hex) {
    return {{"octets", "hex:" + std::string(hex)}};
}

Json netAddress(int type, std::string_view hex) {
    return {{"netaddress", {{"type", type}, {"hex", hex}}}};
}

Json typedString(std::string_view text, int syntax) {
    return {{"string", text}, {"syntax", syntax}};
}

}  // namespace value

DirectoryBuilder DirectoryBuilder::fromFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    DirectoryBuilder builder;
    builder.directory_ = Json::parse(in);
    return builder;
}

DirectoryBuilder& DirectoryBuilder::tree(std::string_view name) {
    Json& trees = directory_["trees"];
    for (tree_ = 0; tree_ < trees.size(); ++tree_)
        if (trees[tree_]["name"] == name) return *this;
    trees.push_back({{"name", name}, {"objects", Json::array()}});
    return *this;
}

DirectoryBuilder& DirectoryBuilder::object(std::string_view name, std::string_view objectClass,
                                           Json attributes) {
    if (directory_["trees"].empty()) throw std::logic_error("an object needs a tree first");
    Json entry = {{"name", name}, {"class", objectClass}};
    if (!attributes.is_null()) entry["attributes"] = std::move(attributes);
    directory_["trees"][tree_]["objects"].push_back(std::move(entry));
    return *this;
}

DirectoryBuilder& DirectoryBuilder::user(std::string_view name, Json attributes) {
    object(name, "User", std::move(attributes));
    directory_["trees"][tree_]["objects"].back()["password"] = kTestPasswordHash;
    return *this;
}

}  // namespace kestrel::test
