// Directory files for the client, built object by object in the directory's own order: trees,
// objects with their class and attributes, users with the test password.
#pragma once

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace kestrel::test {

using Json = nlohmann::ordered_json;

// Every user the builder makes has this password; the hash is its crypt(3) SHA-512 form.
inline constexpr const char* kTestPassword = "secret";
inline constexpr const char* kTestPasswordHash =
    "$6$kestreltest$/tanLLuEl3AKg8pXYM3VA6cawJhT73mqJgsKOSLK4GTDxUKtfyYyQ8kc7ZnUDg1m3owviRqrdMkX1"
    "xTNaho.E.";

// One attribute value of each syntax as the directory file spells it; a plain string is a
// case ignore string.
namespace value {
Json integer(std::int64_t number);
Json time(std::int64_t secondsSince1970);
Json octets(std::string_view hex);
Json netAddress(int type, std::string_view hex);
Json typedString(std::string_view text, int syntax);
}  // namespace value

class DirectoryBuilder {
  public:
    DirectoryBuilder() = default;
    // Goes on from a directory file that exists.
    static DirectoryBuilder fromFile(const std::filesystem::path& file);

    // Later objects go into this tree; a tree not there yet is added after the others.
    DirectoryBuilder& tree(std::string_view name);
    // `attributes`: an object of attribute names, each with an array of values.
    DirectoryBuilder& object(std::string_view name, std::string_view objectClass,
                             Json attributes = nullptr);
    DirectoryBuilder& user(std::string_view name, Json attributes = nullptr);

    std::string text() const { return directory_.dump(1); }

  private:
    Json directory_ = {{"trees", Json::array()}};
    std::size_t tree_ = 0;
};

}  // namespace kestrel::test
